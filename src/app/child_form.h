// TChildForm: one document window. It owns the core Document (model, undo
// ring, view and tool state) and its file state, draws the view with the
// software renderer, and turns window events into calls on the core.
#pragma once

#include <QImage>
#include <QWidget>

#include "formats/document_io.h"
#include "formats/recovery.h"
#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/pointer_target.h"

class QLineEdit;
class QStackedLayout;

namespace vexal::app {

class GLViewWidget;
class TMainForm;

// The drawing area of a document window.
class ViewWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ViewWidget(class TChildForm* form);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TChildForm* form_;
};

// A Qt mouse event as the core's pointer event, in the widget's pixels.
PointerEvent PointerEventFrom(const QMouseEvent& event);

class TChildForm : public QWidget, public DocumentObserver, public DocumentPlatform {
  Q_OBJECT
 public:
  explicit TChildForm(TMainForm* main);

  Document& document() { return document_; }
  DocumentFile& file() { return file_; }
  // The document's caption, without the modified mark.
  const QString caption() const;
  // Shows the document's modified state as the desktop's modified mark.
  void syncModifiedMark();

  // File > New with the given untitled name.
  void newDocument(const QString& caption);
  // Loads path through the open dispatcher; false when it failed (the
  // window then closes itself).
  bool openFile(const QString& path, int filterIndex);
  bool save();
  bool saveAs();
  // Opens a recovery copy left by an ended run as the document it copies
  // (its path and caption, modified); false when it failed (the window
  // then closes itself).
  bool recoverFile(const RecoveryEntry& entry);
  // The document's number among this run's recovery copies.
  int32_t recoveryNumber() const { return recoveryNumber_; }
  // The warnings of the last open or save in the status bar.
  void showFileWarnings();
  bool modified() const { return document_.scene.modified != 0; }

  // Draws the view now (the off-screen image) and schedules the repaint.
  void redraw();
  // Renders the current view into an image of the view's size.
  QImage renderImage();
  // The pixel size of the drawing area.
  QSize viewSize() const;
  TMainForm* mainForm() const { return main_; }

  // Switches between the OpenGL and the software view (SCENE.useGL).
  void setUseGL(bool on);
  bool openGLAvailable() const { return glView_ != nullptr; }
  GLViewWidget* glView() const { return glView_; }
  // After a View switch that changes texture filtering.
  void resetTextureFilters();

  // Mouse events of either view, handed to the document's tool as they
  // come; the core puts a double click in the order the tools expect.
  void viewWheel(QWheelEvent* event);
  void viewPress(QMouseEvent* event);
  void viewMove(QMouseEvent* event);
  void viewRelease(QMouseEvent* event);
  void viewDoubleClick(QMouseEvent* event);

  // DocumentObserver
  void selectionMenusChanged() override;
  void statusTextChanged(std::string_view text) override;
  void undoButtonsChanged(bool canUndo, bool canRedo) override;
  void countLineChanged(std::string_view text) override;
  void redrawRequested() override { redraw(); }
  void overlayChanged() override;
  void projectionChanged() override;
  void textureFiltersChanged() override { resetTextureFilters(); }
  void rendererChanged() override { setUseGL(document_.scene.useGL != 0); }
  void textureChanged(int material) override;
  void paletteChanged() override;
  void pointerShapeChanged(bool cross) override;
  void pivotFieldsChanged() override;

  // DocumentPlatform
  bool runSaveDialog(std::string& fileName, int& typeIndex) override;
  void showWarning(std::string_view text, std::string_view caption) override;
  void setBusyCursor(bool busy) override;
  void setStatusText(std::string_view text) override;
  void setCaption(std::string_view caption) override;
  void addToHistory(const std::string& path) override;
  uint32_t tickCount() override;
  void closeDocumentWindow() override;
  void documentOpened() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class ViewWidget;
  void setTitle(const QString& caption);
  DocumentIo io();
  void viewPointer(PointerAction action, QMouseEvent* event);

  TMainForm* main_;
  Document document_;
  DocumentFile file_;
  ViewWidget* view_;
  GLViewWidget* glView_ = nullptr;
  QStackedLayout* views_;
  QLineEdit* countLine_;
  QImage frame_;
  bool closing_ = false;
  int32_t recoveryNumber_;
};

}  // namespace vexal::app
