#include "app/locate_form.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include "app/child_form.h"
#include "app/main_form.h"
#include "tools/locate_pad.h"

namespace vexal::app {

TLocateForm::TLocateForm(TMainForm* main)
    : QWidget(main, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                        Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setObjectName("LocateForm");
  setWindowTitle("Angle Palette");
  setToolTip(
      "Steers the active view:\n"
      "Left drag: rotate (a click without moving turns it to the nearest axis view)\n"
      "Middle drag: pan\n"
      "Right drag: zoom (a right click during a rotation cancels it)\n"
      "Mouse wheel: zoom");
  setGeometry(726, 100, 200, 128);
}

vexal::Document* TLocateForm::activeDocument() const {
  TChildForm* form = main_->activeDocument();
  return form ? &form->document() : nullptr;
}

void TLocateForm::mousePressEvent(QMouseEvent* event) {
  event->accept();
  LocatePress(activeDocument(), main_->workspace(), PointerEventFrom(*event));
}

void TLocateForm::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  LocateMove(activeDocument(), main_->workspace(), PointerEventFrom(*event));
}

void TLocateForm::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  LocateRelease(activeDocument(), main_->workspace(), PointerEventFrom(*event));
}

void TLocateForm::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  LocateDoubleClick(activeDocument(), main_->workspace());
  // The press delivered with the double click is the one the view skips.
  LocatePress(activeDocument(), main_->workspace(), PointerEventFrom(*event));
}

void TLocateForm::wheelEvent(QWheelEvent* event) {
  event->accept();
  LocateWheel(activeDocument(), main_->workspace(), event->angleDelta().y());
}

}  // namespace vexal::app
