#include "app/palette_form.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/child_form.h"
#include "app/color_form.h"
#include "app/main_form.h"

namespace vexal::app {
namespace {

QRect RectOf(const PixelRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)); }

}  // namespace

TPaletteForm::TPaletteForm(TMainForm* main)
    : QWidget(main, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                        Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main) {
  setObjectName("PaletteForm");
  setWindowTitle("Color Palette");
  setToolTip(
      "Click: make this the current material\n"
      "Ctrl+click: select the surfaces of this material\n"
      "Shift+click: add them to the selection\n"
      "Double-click: change the colour\n"
      "Right-drag onto another colour: swap the two colours\n"
      "Shift+right-drag: swap them in the palette only (the surfaces keep their look)\n"
      "Ctrl+right-drag: copy the colour onto the other one");
  setGeometry(726, 260, 200, 96);
}

vexal::Document* TPaletteForm::activeDocument() const {
  TChildForm* form = main_->activeDocument();
  return form ? &form->document() : nullptr;
}

void TPaletteForm::refresh() {
  if (const vexal::Document* document = activeDocument()) {
    panel_.column = document->scene.paletteIndex;
  }
  update();
}

void TPaletteForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const vexal::Document* document = activeDocument();
  if (!document) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  const int w = width(), h = height();
  for (int column = 0; column < kPaletteColumns; ++column) {
    const MATERIAL& material = document->model.materials[column];
    for (int row = 0; row < kPaletteRows; ++row) {
      const std::array<int, 3> c = RampColor(material, row, kPaletteRows);
      const QColor color(c[0], c[1], c[2]);
      const QRect cell = RectOf(PaletteCell(column, row, w, h));
      if (column == kGuideMaterial) {
        painter.fillRect(cell, Qt::white);
        painter.fillRect(cell, QBrush(color, Qt::HorPattern));
      } else {
        painter.fillRect(cell, color);
      }
    }
  }
  const QRect frame = RectOf(PaletteSelectionFrame(panel_.column, w, h));
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Qt::white);
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(Qt::black);
  painter.drawRect(frame.adjusted(1, 1, -2, -2));
}

void TPaletteForm::forward(PointerAction action, QMouseEvent* event) {
  event->accept();
  vexal::Document* document = activeDocument();
  PalettePointer target(panel_, document, width());
  DeliverPointer(target, action, PointerEventFrom(*event));
  if (target.colorDialogWanted && document) {
    TColorForm dialog(this, main_, *document, panel_.column);
    dialog.exec();
  }
  main_->refreshMenuState();
  update();
}

void TPaletteForm::mousePressEvent(QMouseEvent* event) { forward(PointerAction::kPress, event); }
void TPaletteForm::mouseReleaseEvent(QMouseEvent* event) {
  forward(PointerAction::kRelease, event);
}
void TPaletteForm::mouseDoubleClickEvent(QMouseEvent* event) {
  forward(PointerAction::kDoublePress, event);
}

}  // namespace vexal::app
