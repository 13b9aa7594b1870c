// TRecoverForm: the "Recover Unsaved Work" window shown at start when ended
// runs left recovery copies. One row per copy (name, original path, time),
// each with a check box; Recover, Discard or Later.
#pragma once

#include <vector>

#include <QDialog>

#include "app/user_interface.h"
#include "formats/recovery.h"

class QTreeWidget;

namespace vexal::app {

class TRecoverForm : public QDialog {
  Q_OBJECT
 public:
  TRecoverForm(QWidget* parent, const std::vector<RecoveryEntry>& entries);
  // Runs the window; the checked rows and the button pressed (closing the
  // window is Later).
  RecoveryChoice choose();

 private:
  QTreeWidget* list_;
  RecoveryChoice::Action action_ = RecoveryChoice::Action::kLater;
};

}  // namespace vexal::app
