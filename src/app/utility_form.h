// TUtilityForm "Utility": the five rewrites of the active document's
// materials, each behind its check box; the boxes keep their state between
// openings.
#pragma once

#include <QDialog>

#include "commands/material_utility.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vexal::app {

class NumberEdit;
class TMainForm;

class TUtilityForm : public QDialog {
  Q_OBJECT
 public:
  explicit TUtilityForm(TMainForm* main);
  void run();
  MaterialRewrites rewrites() const;

 private:
  void refreshEnabled();
  void accept() override;

  TMainForm* main_;
  QCheckBox* folderBox_;
  QLineEdit* folder_;
  QPushButton* browse_;
  QCheckBox* nameBox_;
  QCheckBox* textureBox_;
  QCheckBox* extensionBox_;
  QLineEdit* extension_;
  QCheckBox* angleBox_;
  NumberEdit* angle_;
};

}  // namespace vexal::app
