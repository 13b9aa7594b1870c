#include "app/user_interface.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QFileInfo>

#include "app/recover_form.h"

namespace vexal::app {
namespace {

// "Name (*.ext)|*.ext|..." as the Windows filter strings give it, to the
// Qt list of "Name (*.ext)" entries.
QStringList QtFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString name = parts[i];
    if (!name.contains('(')) name += " (" + patterns + ")";
    filters << name;
  }
  return filters;
}

}  // namespace

QMessageBox::StandardButton DialogUserInterface::askYesNoCancel(QWidget* parent,
                                                                 const QString& title,
                                                                 const QString& text) {
  QMessageBox box(QMessageBox::Warning, title, text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void DialogUserInterface::warning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

void DialogUserInterface::information(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::information(parent, title, text);
}

QString DialogUserInterface::openFileName(QWidget* parent, const QString& filter, int& filterIndex) {
  QFileDialog dialog(parent, "Open");
  const QStringList filters = QtFilters(filter);
  dialog.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!lastFolder_.isEmpty()) dialog.setDirectory(lastFolder_);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return dialog.selectedFiles().front();
}

bool DialogUserInterface::saveFileName(QWidget* parent, const QString& filter, QString& name,
                                       int& typeIndex) {
  QFileDialog dialog(parent, "Save As");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QStringList filters = QtFilters(filter);
  dialog.setNameFilters(filters);
  // The chosen type's extension goes on a name typed without one before
  // the dialog asks whether to replace an existing file, so it asks about
  // the file that will be written.
  const auto followType = [&dialog](const QString& chosen) {
    const qsizetype star = chosen.indexOf("(*.");
    const qsizetype end = chosen.indexOf(QRegularExpression("[ ;)]"), star + 3);
    dialog.setDefaultSuffix(star < 0 || end < 0 ? QString() : chosen.mid(star + 3, end - star - 3));
  };
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followType);
  if (typeIndex >= 1 && typeIndex <= filters.size()) dialog.selectNameFilter(filters[typeIndex - 1]);
  followType(dialog.selectedNameFilter());
  // An untitled document's bare name goes into the last folder.
  if (!lastFolder_.isEmpty() && QFileInfo(name).isRelative()) dialog.setDirectory(lastFolder_);
  dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  typeIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  name = dialog.selectedFiles().front();
  return true;
}

RecoveryChoice DialogUserInterface::chooseRecovery(QWidget* parent,
                                                   const std::vector<RecoveryEntry>& entries) {
  TRecoverForm form(parent, entries);
  return form.choose();
}

}  // namespace vexal::app
