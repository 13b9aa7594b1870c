#include "app/shortcut_form.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "commands/command_table.h"

namespace vexal::app {

QString TShortCutForm::PageText(const std::vector<ShortcutEntry>& shortcuts) {
  QString html =
      "<h3>View</h3><table>"
      "<tr><td>Alt + Left Button Mouse</td><td>Rotate View</td></tr>"
      "<tr><td>Alt + Middle Button Mouse</td><td>Pan View</td></tr>"
      "<tr><td>Alt + Ctrl + Middle Button Mouse</td><td>Zoom</td></tr>"
      "<tr><td>Alt + Ctrl + Left Button Mouse</td><td>Zoom Region</td></tr>"
      "<tr><td>Mouse Wheel</td><td>Zoom</td></tr>"
      "</table><h3>Knife</h3><table>"
      "<tr><td>Alt + Shift + Drag to cut</td><td>Edge Cut</td></tr>"
      "</table><h3>Quick Undo</h3><table>"
      "<tr><td>Right Button Mouse while working.</td><td>Undo</td></tr>"
      "</table><h3>Keys</h3><table>";
  for (const ShortcutListRow& row : ShortcutListRows(shortcuts)) {
    html += "<tr><td>" + QString::fromStdString(row.key).toHtmlEscaped() + "</td><td>" +
            QString::fromUtf8(row.caption.data(), static_cast<qsizetype>(row.caption.size()))
                .toHtmlEscaped() +
            "</td></tr>";
  }
  html += "</table>";
  return html;
}

TShortCutForm::TShortCutForm(QWidget* parent, const std::vector<ShortcutEntry>& shortcuts)
    : QDialog(parent) {
  setObjectName("ShortCutForm");
  setWindowTitle("Shortcuts Keys List");
  resize(460, 560);
  auto* layout = new QVBoxLayout(this);
  auto* page = new QTextBrowser(this);
  page->setHtml(PageText(shortcuts));
  layout->addWidget(page);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

}  // namespace vexal::app
