// TPaletteForm: the colour palette window. It paints the active document's
// sixteen ramps and hands its presses to the core's palette panel; a double
// click opens the colour dialog for the selected column.
#pragma once

#include <QWidget>

#include "tools/palette_panel.h"

namespace vexal::app {

class TMainForm;

class TPaletteForm : public QWidget {
  Q_OBJECT
 public:
  explicit TPaletteForm(TMainForm* main);
  // Shows the active document's palette and current entry again.
  void refresh();
  const PalettePanel& panel() const { return panel_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  vexal::Document* activeDocument() const;
  void forward(PointerAction action, QMouseEvent* event);

  TMainForm* main_;
  PalettePanel panel_;
};

}  // namespace vexal::app
