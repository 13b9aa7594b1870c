// TFormatForm "Format 3D object Settings": one tab per format with its
// import and export scale and the format's options; OK stores them in the
// settings.
#pragma once

#include <QDialog>
#include <vector>

#include "settings/settings.h"

class QCheckBox;
class QLineEdit;

namespace vexal::app {

class NumberEdit;

class TFormatForm : public QDialog {
  Q_OBJECT
 public:
  explicit TFormatForm(QWidget* parent);
  // Fills the fields from settings and runs the dialog; on OK stores them.
  bool edit(Settings& settings);

 private:
  struct ScaleField {
    float Settings::*field;
    NumberEdit* edit;
  };
  std::vector<ScaleField> scales_;
  QCheckBox* dxfRotateImport_;
  QCheckBox* dxfRotateExport_;
  QCheckBox* objMaterial_;
  QCheckBox* objGroup_;
  NumberEdit* mxWidth_;
  NumberEdit* mxHeight_;
  QLineEdit* mxExtension_;
};

}  // namespace vexal::app
