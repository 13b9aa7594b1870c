// TKeyboardForm "Shortcut Keys Settings": the editable menu items as a tree,
// the 84 keys, the Shift/Ctrl/Alt boxes, the three labels, Set, Release,
// OK and Cancel. The editing rules live in the core's ShortcutEditor.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "app/user_interface.h"
#include "commands/shortcut_editor.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace vexal::app {

class TKeyboardForm : public QDialog {
  Q_OBJECT
 public:
  // Questions and warnings go through ui.
  TKeyboardForm(QWidget* parent, UserInterface& ui);
  // Shows the dialog for these shortcuts; on OK they are updated and true
  // is returned.
  bool edit(std::vector<ShortcutEntry>& shortcuts);

 private:
  void buildTree();
  int selectedNode() const;
  ShortcutValue composed() const;
  void refreshLabels();

  UserInterface& ui_;
  std::unique_ptr<ShortcutEditor> editor_;
  QTreeWidget* tree_;
  QListWidget* keys_;
  QCheckBox* shift_;
  QCheckBox* ctrl_;
  QCheckBox* alt_;
  QCheckBox* confirm_;
  QLabel* current_;
  QLabel* changed_;
  QLabel* assigned_;
  std::vector<QTreeWidgetItem*> items_;
};

}  // namespace vexal::app
