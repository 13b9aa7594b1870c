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

void TLocateForm::forward(PointerAction action, QMouseEvent* event) {
  event->accept();
  LocatePointer target(activeDocument(), main_->workspace());
  DeliverPointer(target, action, PointerEventFrom(*event));
}

void TLocateForm::mousePressEvent(QMouseEvent* event) { forward(PointerAction::kPress, event); }
void TLocateForm::mouseMoveEvent(QMouseEvent* event) { forward(PointerAction::kMove, event); }
void TLocateForm::mouseReleaseEvent(QMouseEvent* event) { forward(PointerAction::kRelease, event); }
void TLocateForm::mouseDoubleClickEvent(QMouseEvent* event) {
  forward(PointerAction::kDoublePress, event);
}

void TLocateForm::wheelEvent(QWheelEvent* event) {
  event->accept();
  LocateWheel(activeDocument(), main_->workspace(), event->angleDelta().y());
}

}  // namespace vexal::app
