#include "app/recover_form.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vexal::app {

TRecoverForm::TRecoverForm(QWidget* parent, const std::vector<RecoveryEntry>& entries)
    : QDialog(parent) {
  setObjectName("RecoverForm");
  setWindowTitle("Recover Unsaved Work");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      "These documents were not saved when the program last ended. Recover opens the checked\n"
      "ones as modified documents; Discard deletes them; Later keeps them for the next start.",
      this));
  list_ = new QTreeWidget(this);
  list_->setObjectName("RecoverList");
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"Name", "Original Path", "Time"});
  for (const RecoveryEntry& entry : entries) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString::fromStdString(entry.name));
    item->setText(1, QString::fromStdString(entry.path));
    item->setText(2, QString::fromStdString(IsoTime(entry.written)));
    item->setToolTip(1, QString::fromStdString(entry.copy));
    item->setCheckState(0, Qt::Checked);
  }
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* recover = buttons->addButton("Recover", QDialogButtonBox::AcceptRole);
  QPushButton* discard = buttons->addButton("Discard", QDialogButtonBox::DestructiveRole);
  QPushButton* later = buttons->addButton("Later", QDialogButtonBox::RejectRole);
  recover->setObjectName("RecoverBtn");
  discard->setObjectName("DiscardBtn");
  later->setObjectName("LaterBtn");
  recover->setDefault(true);
  connect(recover, &QPushButton::clicked, this, [this] {
    action_ = RecoveryChoice::Action::kRecover;
    accept();
  });
  connect(discard, &QPushButton::clicked, this, [this] {
    action_ = RecoveryChoice::Action::kDiscard;
    accept();
  });
  connect(later, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(640, 280);
}

RecoveryChoice TRecoverForm::choose() {
  RecoveryChoice choice;
  action_ = RecoveryChoice::Action::kLater;
  if (exec() != QDialog::Accepted) return choice;
  choice.action = action_;
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    if (list_->topLevelItem(row)->checkState(0) == Qt::Checked) {
      choice.rows.push_back(static_cast<size_t>(row));
    }
  }
  return choice;
}

}  // namespace vexal::app
