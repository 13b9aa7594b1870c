// TShortCutForm: a page of the mouse gestures and of the keys as they are
// bound when it opens.
#pragma once

#include <QDialog>
#include <vector>

#include "commands/command_table.h"

namespace vexal::app {

class TShortCutForm : public QDialog {
  Q_OBJECT
 public:
  TShortCutForm(QWidget* parent, const std::vector<ShortcutEntry>& shortcuts);
  static QString PageText(const std::vector<ShortcutEntry>& shortcuts);
};

}  // namespace vexal::app
