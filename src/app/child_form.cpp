#include "app/child_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/gl_view_widget.h"
#include "app/main_form.h"
#include "app/qt_canvas.h"
#include "commands/close_sequence.h"
#include "commands/session.h"
#include "model/maintenance.h"
#include "settings/prepare_document.h"
#include "settings/settings.h"
#include "model/camera.h"
#include "tools/navigation.h"
#include "tools/tool_dispatch.h"
#include "view/gl_renderer.h"
#include "view/software_renderer.h"
#include "io/message_catalog.h"

namespace vexal::app {

ViewWidget::ViewWidget(TChildForm* form) : QWidget(form), form_(form) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(16, 16);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void ViewWidget::paintEvent(QPaintEvent*) {
  if (form_->frame_.size() != size()) form_->frame_ = form_->renderImage();
  QPainter painter(this);
  const std::vector<RubberLine>& rubber = form_->document_.rubber;
  if (rubber.empty()) {
    painter.drawImage(0, 0, form_->frame_);
    return;
  }
  // The rubber figures go over a copy, so taking one off needs no redraw.
  QImage image = form_->frame_;
  {
    QtCanvas canvas(image);
    DrawRubberLines(rubber, canvas);
  }
  painter.drawImage(0, 0, image);
}

void ViewWidget::resizeEvent(QResizeEvent*) {
  SetScreenSize(form_->document_.scene, width(), height());
  form_->redraw();
}

void ViewWidget::wheelEvent(QWheelEvent* event) { form_->viewWheel(event); }

void ViewWidget::mousePressEvent(QMouseEvent* event) { form_->viewPress(event); }
void ViewWidget::mouseMoveEvent(QMouseEvent* event) { form_->viewMove(event); }
void ViewWidget::mouseReleaseEvent(QMouseEvent* event) { form_->viewRelease(event); }
void ViewWidget::mouseDoubleClickEvent(QMouseEvent* event) { form_->viewDoubleClick(event); }

PointerEvent PointerEventFrom(const QMouseEvent& event) {
  PointerEvent pointer;
  switch (event.button()) {
    case Qt::LeftButton: pointer.button = MouseButton::kLeft; break;
    case Qt::RightButton: pointer.button = MouseButton::kRight; break;
    case Qt::MiddleButton: pointer.button = MouseButton::kMiddle; break;
    default: pointer.button = MouseButton::kOther; break;
  }
  const Qt::KeyboardModifiers keys = event.modifiers();
  const Qt::MouseButtons held = event.buttons();
  pointer.shift = (keys & Qt::ShiftModifier ? kShiftKey : 0) | (keys & Qt::AltModifier ? kAltKey : 0) |
                  (keys & Qt::ControlModifier ? kCtrlKey : 0) |
                  (held & Qt::LeftButton ? kLeftHeld : 0) | (held & Qt::RightButton ? kRightHeld : 0) |
                  (held & Qt::MiddleButton ? kMiddleHeld : 0);
  // Positions truncate toward zero, in the drawing area's own pixels.
  pointer.x = static_cast<int>(event.position().x());
  pointer.y = static_cast<int>(event.position().y());
  return pointer;
}

void TChildForm::viewWheel(QWheelEvent* event) {
  event->accept();
  WheelZoom(document_, main_->settings(), event->angleDelta().y());
}

void TChildForm::viewPointer(PointerAction action, QMouseEvent* event) {
  event->accept();
  DocumentPointer target(document_, main_->workspace());
  DeliverPointer(target, action, PointerEventFrom(*event));
  if (action != PointerAction::kMove) main_->refreshMenuState();
}

void TChildForm::viewPress(QMouseEvent* event) { viewPointer(PointerAction::kPress, event); }
void TChildForm::viewMove(QMouseEvent* event) { viewPointer(PointerAction::kMove, event); }
void TChildForm::viewRelease(QMouseEvent* event) { viewPointer(PointerAction::kRelease, event); }
void TChildForm::viewDoubleClick(QMouseEvent* event) {
  viewPointer(PointerAction::kDoublePress, event);
}

void TChildForm::overlayChanged() {
  if (document_.scene.useGL && glView_) {
    glView_->update();
  } else {
    view_->update();
  }
}

void TChildForm::projectionChanged() {
  const QSize size = viewSize();
  SetScreenSize(document_.scene, size.width(), size.height());
  redraw();
}

TChildForm::TChildForm(TMainForm* main) : main_(main) {
  static int32_t documentsMade = 0;
  recoveryNumber_ = ++documentsMade;
  setAttribute(Qt::WA_DeleteOnClose);
  PrepareDocument(document_, main->settings());
  document_.observer = this;
  view_ = new ViewWidget(this);
  countLine_ = new QLineEdit(this);
  countLine_->setReadOnly(true);
  countLine_->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(countLine_);
  views_ = new QStackedLayout;
  views_->addWidget(view_);
  layout->addLayout(views_, 1);
  // Without OpenGL on this display the window draws in software only.
  if (OpenGLAvailable()) {
    glView_ = new GLViewWidget(this);
    views_->addWidget(glView_);
  }
  setUseGL(document_.scene.useGL != 0);
  setTitle("Loading...");
  resize(444, 317);
}

const QString TChildForm::caption() const {
  QString title = windowTitle();
  if (title.endsWith(QLatin1String("[*]"))) title.chop(3);
  return title;
}

void TChildForm::setTitle(const QString& caption) {
  // "[*]" is where the desktop shows the modified mark: in this window's
  // caption, and in the frame's title while this window is maximised.
  setWindowTitle(caption + QLatin1String("[*]"));
  syncModifiedMark();
}

void TChildForm::syncModifiedMark() { setWindowModified(document_.scene.modified != 0); }

DocumentIo TChildForm::io() { return DocumentIo{main_->settings(), *this}; }

void TChildForm::newDocument(int number) {
  NewUntitledDocument(document_, file_, number, main_->settings());
  setTitle(QString::fromStdString(file_.caption));
  countLineChanged(CountLineText(document_.model));
  main_->refreshMenuState();
  redraw();
}

bool TChildForm::openFile(const QString& path, int filterIndex) {
  const int ok = OpenDocumentFile(document_, file_, path.toStdString(), filterIndex, io());
  if (ok) {
    countLineChanged(CountLineText(document_.model));
    showFileWarnings();
    redraw();
  }
  return ok != 0;
}

bool TChildForm::recoverFile(const RecoveryEntry& entry) {
  const int ok = OpenRecoveryCopy(document_, file_, entry, io());
  if (ok) {
    countLineChanged(CountLineText(document_.model));
    showFileWarnings();
    redraw();
  }
  return ok != 0;
}

bool TChildForm::save() {
  const int ok = SaveDocumentFile(document_, file_, io());
  if (ok) showFileWarnings();
  // A clean save makes the recovery copy pointless.
  if (ok && !modified()) main_->forgetRecoveryCopy(this);
  main_->refreshMenuState();
  return ok != 0;
}

bool TChildForm::saveAs() {
  const int ok = SaveDocumentAs(document_, file_, io());
  if (ok) showFileWarnings();
  if (ok && !modified()) main_->forgetRecoveryCopy(this);
  main_->refreshMenuState();
  return ok != 0;
}

void TChildForm::showFileWarnings() {
  // What a reader skipped or a writer had to shorten goes to the status bar.
  const std::string text = FileWarningsText(file_);
  if (!text.empty()) statusTextChanged(text);
}

QSize TChildForm::viewSize() const { return views_->currentWidget()->size(); }

void TChildForm::setUseGL(bool on) {
  document_.scene.useGL = on && glView_ ? 1 : 0;
  views_->setCurrentWidget(document_.scene.useGL ? static_cast<QWidget*>(glView_) : view_);
  const QSize size = viewSize();
  SetScreenSize(document_.scene, size.width(), size.height());
  redraw();
}

void TChildForm::resetTextureFilters() {
  if (glView_) glView_->resetTextureFilters();
}

void TChildForm::textureChanged(int material) {
  if (glView_) glView_->reloadMaterialTexture(material);
}

void TChildForm::pointerShapeChanged(bool cross) {
  const Qt::CursorShape shape = cross ? Qt::CrossCursor : Qt::ArrowCursor;
  view_->setCursor(shape);
  if (glView_) glView_->setCursor(shape);
}

void TChildForm::paletteChanged() {
  // Undo restores whole palette entries, run-time texture state included;
  // put back what the window's textures really hold.
  if (glView_) SyncMaterialTextureState(document_, glView_->textures());
  main_->refreshMenuState();
}

void TChildForm::pivotFieldsChanged() {
  // The numeric window shows the active document's pivot only.
  if (main_->activeDocument() == this) main_->refreshPivotFields();
}

QImage TChildForm::renderImage() {
  QImage image(view_->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  {
    QtCanvas canvas(image);
    RedrawSoftware(document_, ViewColorsFrom(main_->settings()), canvas);
  }
  return image;
}

void TChildForm::redraw() {
  document_.rubber.clear();
  if (document_.scene.useGL && glView_) {
    glView_->update();
    return;
  }
  frame_ = renderImage();
  view_->update();
}

void TChildForm::selectionMenusChanged() { main_->refreshMenuState(); }

void TChildForm::statusTextChanged(std::string_view text) {
  main_->showStatus(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TChildForm::undoButtonsChanged(bool, bool) { main_->refreshMenuState(); }

void TChildForm::countLineChanged(std::string_view text) {
  countLine_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool TChildForm::runSaveDialog(std::string& fileName, int& typeIndex) {
  QString name = QString::fromStdString(fileName);
  int index = typeIndex;
  if (!main_->ui().saveFileName(this, TMainForm::SaveFilter(), name, index)) return false;
  fileName = name.toStdString();
  typeIndex = index;
  main_->ui().setLastFolder(QFileInfo(name).absolutePath());
  return true;
}

void TChildForm::showWarning(std::string_view text, std::string_view caption) {
  main_->ui().warning(this, QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TChildForm::setBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void TChildForm::setStatusText(std::string_view text) { statusTextChanged(text); }

void TChildForm::setCaption(std::string_view caption) {
  setTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

void TChildForm::addToHistory(const std::string& path) { main_->addToHistory(path); }

uint32_t TChildForm::tickCount() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return static_cast<uint32_t>(clock.elapsed());
}

void TChildForm::closeDocumentWindow() {
  // The window goes without asking: nothing was loaded into it.
  closing_ = true;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    sub->close();
  } else {
    close();
  }
}

void TChildForm::documentOpened() {
  if (glView_) glView_->reloadAllTextures();
  main_->refreshMenuState();
}

void TChildForm::closeEvent(QCloseEvent* event) {
  const auto ask = [this](const std::string& text) {
    const QString title = QString::fromUtf8(kSavePromptCaption.data(),
                                            static_cast<qsizetype>(kSavePromptCaption.size()));
    switch (main_->ui().askYesNoCancel(this, title, QString::fromStdString(text))) {
      case QMessageBox::Yes: return SaveAnswer::kYes;
      case QMessageBox::No: return SaveAnswer::kNo;
      default: return SaveAnswer::kCancel;
    }
  };
  if (ConfirmDocumentClose(closing_, caption().toStdString(), [this] { return modified(); }, ask,
                           [this] { save(); })) {
    main_->forgetRecoveryCopy(this);
    event->accept();
  } else {
    main_->setCloseCancelled();
    event->ignore();
  }
}

}  // namespace vexal::app
