// The modal questions the main window asks the user. The application asks
// with message boxes and file dialogs; tests answer programmatically.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vexal::app {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Yes, No or Cancel.
  virtual QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& title,
                                                     const QString& text) = 0;
  virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
  // The Open dialog; empty when cancelled. filterIndex is 1-based.
  virtual QString openFileName(QWidget* parent, const QString& filter, int& filterIndex) = 0;
  // The Save dialog on name and 1-based type index; false when cancelled.
  virtual bool saveFileName(QWidget* parent, const QString& filter, QString& name,
                            int& typeIndex) = 0;

  // The folder of the file last chosen in the Open or Save As dialog, where
  // both dialogs start; kept in the settings file between runs.
  const QString& lastFolder() const { return lastFolder_; }
  void setLastFolder(const QString& folder) { lastFolder_ = folder; }

 protected:
  QString lastFolder_;
};

// Real dialogs.
class DialogUserInterface : public UserInterface {
 public:
  QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const QString& title,
                                             const QString& text) override;
  void warning(QWidget* parent, const QString& title, const QString& text) override;
  void information(QWidget* parent, const QString& title, const QString& text) override;
  QString openFileName(QWidget* parent, const QString& filter, int& filterIndex) override;
  bool saveFileName(QWidget* parent, const QString& filter, QString& name,
                    int& typeIndex) override;
};

}  // namespace vexal::app
