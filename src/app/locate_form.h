// TLocateForm "Angle Palette": a small stay-on-top pad whose drags rotate,
// pan and zoom the active document's view. It draws nothing; the core
// translates its mouse events into the document's own gestures.
#pragma once

#include <QWidget>

#include "model/document.h"
#include "tools/pointer_target.h"

namespace vexal::app {

class TMainForm;

class TLocateForm : public QWidget {
  Q_OBJECT
 public:
  explicit TLocateForm(TMainForm* main);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  vexal::Document* activeDocument() const;
  void forward(PointerAction action, QMouseEvent* event);

  TMainForm* main_;
};

}  // namespace vexal::app
