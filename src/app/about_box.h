// TAboutBox, with its hidden context menu: "Grid 1" / "Grid 2" choose the
// grid type, "CellShade" toggles the cel-shade switch.
#pragma once

#include <QDialog>

namespace vexal::app {

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  TAboutBox(QWidget* parent, int gridType, bool celShade);
  int gridType() const { return gridType_; }
  bool celShade() const { return celShade_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int gridType_;
  bool celShade_;
};

}  // namespace vexal::app
