#include "app/about_box.h"

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "app/main_form.h"

namespace vexal::app {

TAboutBox::TAboutBox(QWidget* parent, int gridType, bool celShade)
    : QDialog(parent), gridType_(gridType), celShade_(celShade) {
  setObjectName("AboutBox");
  setWindowTitle("About");
  auto* layout = new QVBoxLayout(this);
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/icons/vexal.svg").pixmap(64, 64));
  icon->setAlignment(Qt::AlignCenter);
  layout->addWidget(icon);
  for (const char* text : {"Vexal", "Version 2.72", "For Windows", "NT4.0/2000/95/98/Me/XP"}) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

void TAboutBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* grid1 = menu.addAction("Grid 1");
  QAction* grid2 = menu.addAction("Grid 2");
  grid1->setCheckable(true);
  grid2->setCheckable(true);
  grid2->setChecked(gridType_ == 1);
  grid1->setChecked(gridType_ != 1);
  QAction* cell = menu.addAction("CellShade");
  cell->setCheckable(true);
  cell->setChecked(celShade_);
  QAction* information = menu.addAction("Information");
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == information) {
    if (auto* main = qobject_cast<TMainForm*>(parentWidget())) main->showInformation();
  }
  if (chosen == grid1) gridType_ = 0;
  if (chosen == grid2) gridType_ = 1;
  if (chosen == cell) celShade_ = !celShade_;
}

}  // namespace vexal::app
