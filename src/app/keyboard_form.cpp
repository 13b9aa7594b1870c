#include "app/keyboard_form.h"

#include <algorithm>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vexal::app {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TKeyboardForm::TKeyboardForm(QWidget* parent, UserInterface& ui) : QDialog(parent), ui_(ui) {
  setObjectName("KeyboardForm");
  setWindowTitle("Shortcut Keys Settings");
  auto* layout = new QHBoxLayout(this);
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  layout->addWidget(tree_, 2);
  auto* side = new QVBoxLayout;
  keys_ = new QListWidget(this);
  for (const KeyName& key : ShortcutKeyTable()) {
    keys_->addItem(QString::fromUtf8(key.name.data(), static_cast<qsizetype>(key.name.size())));
  }
  keys_->setCurrentRow(0);
  side->addWidget(keys_, 1);
  auto* modifiers = new QHBoxLayout;
  shift_ = new QCheckBox("Shift", this);
  ctrl_ = new QCheckBox("Ctrl", this);
  alt_ = new QCheckBox("Alt", this);
  modifiers->addWidget(shift_);
  modifiers->addWidget(ctrl_);
  modifiers->addWidget(alt_);
  side->addLayout(modifiers);
  auto* labels = new QFormLayout;
  current_ = new QLabel(this);
  changed_ = new QLabel(this);
  assigned_ = new QLabel(this);
  labels->addRow("Current shortcut", current_);
  labels->addRow("Shortcut changed", changed_);
  labels->addRow("A command is assigned", assigned_);
  side->addLayout(labels);
  confirm_ = new QCheckBox("Display data overwrite confirmation", this);
  confirm_->setChecked(true);
  side->addWidget(confirm_);
  auto* setRelease = new QHBoxLayout;
  auto* set = new QPushButton("Set", this);
  auto* release = new QPushButton("Release", this);
  setRelease->addWidget(set);
  setRelease->addWidget(release);
  side->addLayout(setRelease);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  side->addWidget(buttons);
  layout->addLayout(side, 1);

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { refreshLabels(); });
  connect(keys_, &QListWidget::currentRowChanged, this, [this] { refreshLabels(); });
  for (QCheckBox* box : {shift_, ctrl_, alt_}) {
    connect(box, &QCheckBox::toggled, this, [this] { refreshLabels(); });
  }
  connect(set, &QPushButton::clicked, this, [this] {
    const int node = selectedNode();
    if (node < 0 || !editor_) return;
    std::function<bool(const std::string&)> ask;
    if (confirm_->isChecked()) {
      ask = [this](const std::string& caption) {
        return ui_.askYesNo(this, "Vexal", FromUtf8(ShortcutEditor::OverwriteQuestion(caption)));
      };
    }
    std::string message;
    if (editor_->set(node, composed(), ask, &message) == SetShortcutOutcome::kReserved) {
      ui_.warning(this, "Vexal", FromUtf8(message));
    }
    refreshLabels();
  });
  connect(release, &QPushButton::clicked, this, [this] {
    const int node = selectedNode();
    if (node < 0 || !editor_ || !editor_->nodes()[static_cast<size_t>(node)].leaf) return;
    editor_->release(node);
    refreshLabels();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(640, 480);
}

bool TKeyboardForm::edit(std::vector<ShortcutEntry>& shortcuts) {
  editor_ = std::make_unique<ShortcutEditor>(shortcuts);
  buildTree();
  if (exec() != QDialog::Accepted) return false;
  editor_->apply(shortcuts);
  return true;
}

void TKeyboardForm::buildTree() {
  tree_->clear();
  items_.assign(editor_->nodes().size(), nullptr);
  QTreeWidgetItem* menu = nullptr;
  for (size_t i = 0; i < editor_->nodes().size(); ++i) {
    const ShortcutNode& node = editor_->nodes()[i];
    auto* item = node.depth == 0 || !menu ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(menu);
    if (node.depth == 0) menu = item;
    item->setText(0, FromUtf8(node.caption));
    item->setData(0, Qt::UserRole, static_cast<int>(i));
    items_[i] = item;
  }
  tree_->expandAll();
  if (tree_->topLevelItemCount() > 0) {
    tree_->setCurrentItem(tree_->topLevelItem(0));
    if (tree_->topLevelItem(0)->childCount() > 0) tree_->scrollToItem(tree_->topLevelItem(0)->child(0));
  }
  refreshLabels();
}

int TKeyboardForm::selectedNode() const {
  const QTreeWidgetItem* item = tree_->currentItem();
  return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

ShortcutValue TKeyboardForm::composed() const {
  const int row = std::max(0, keys_->currentRow());
  return ShortcutEditor::Compose(shift_->isChecked(), ctrl_->isChecked(), alt_->isChecked(),
                                 ShortcutKeyTable()[static_cast<size_t>(row)].code);
}

void TKeyboardForm::refreshLabels() {
  const int node = selectedNode();
  if (node < 0 || !editor_) return;
  current_->setText(FromUtf8(editor_->currentText(node)));
  changed_->setText(FromUtf8(ShortcutText(composed())));
  assigned_->setText(FromUtf8(editor_->assignedCaption(node, composed())));
}

}  // namespace vexal::app
