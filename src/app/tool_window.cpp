#include "app/tool_window.h"

#include <QEvent>

#include "app/main_form.h"
#include "app/number_edit.h"

namespace vexal::app {

ToolWindow::ToolWindow(TMainForm* main, const QString& objectName, const QString& caption)
    : QWidget(main, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                        Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setObjectName(objectName);
  setWindowTitle(caption);
}

void ToolWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
    NormalizeNumberEdits(this);
    fieldsNormalized();
  }
}

}  // namespace vexal::app
