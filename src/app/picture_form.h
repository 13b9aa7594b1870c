// TPictureForm "Insert Background Image": the active document's three
// background pictures (path, "Flip Side Image", "Flip Image") and the shared
// scale and depth. OK stores them and reloads the slots whose path was
// edited.
#pragma once

#include <QDialog>
#include <array>

#include "commands/background_pictures.h"

class QCheckBox;
class QLineEdit;

namespace vexal::app {

class NumberEdit;
class TMainForm;

class TPictureForm : public QDialog {
  Q_OBJECT
 public:
  explicit TPictureForm(TMainForm* main);
  // Fills the window from the active document (or the defaults) and runs it.
  void run();

 private:
  void fill(const PictureValues& values);
  PictureValues values() const;
  void accept() override;

  TMainForm* main_;
  std::array<QLineEdit*, kPictureSlots> paths_{};
  std::array<QCheckBox*, kPictureSlots> flipSides_{};
  std::array<QCheckBox*, kPictureSlots> flips_{};
  std::array<bool, kPictureSlots> edited_{};
  NumberEdit* scale_;
  NumberEdit* depth_;
};

}  // namespace vexal::app
