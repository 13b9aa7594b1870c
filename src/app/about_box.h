// TAboutBox, with its hidden context menu: "Grid 1" / "Grid 2" choose the
// grid type, "CellShade" toggles the cel-shade switch.
#pragma once

#include <QDialog>

namespace vexal::app {

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  TAboutBox(QWidget* parent, int gridType, int cellShade);
  int gridType() const { return gridType_; }
  int cellShade() const { return cellShade_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int gridType_;
  int cellShade_;
};

}  // namespace vexal::app
