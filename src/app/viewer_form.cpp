#include "app/viewer_form.h"

#include <QAction>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "images/loaders.h"
#include "view/image_viewer.h"

namespace vexal::app {

TViewerForm::TViewerForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("ViewerForm");
  setWindowTitle("ViewerForm");
  resize(611, 429);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* menuBar = new QMenuBar(this);
  layout->setMenuBar(menuBar);
  QMenu* file = menuBar->addMenu("File");
  QAction* close = file->addAction("Close");
  close->setShortcut(Qt::Key_Escape);
  connect(close, &QAction::triggered, this, &QWidget::close);
  QMenu* view = menuBar->addMenu("View");
  rgbAction_ = view->addAction("RGB");
  rgbAction_->setShortcut(Qt::Key_R);
  rgbAction_->setCheckable(true);
  connect(rgbAction_, &QAction::triggered, this, &TViewerForm::showColor);
  alphaAction_ = view->addAction("Alpha");
  alphaAction_->setShortcut(Qt::Key_A);
  alphaAction_->setCheckable(true);
  connect(alphaAction_, &QAction::triggered, this, &TViewerForm::showAlpha);
  QAction* growAction = view->addAction("Grow");
  growAction->setShortcut(QKeySequence(Qt::Key_Plus | Qt::KeypadModifier));
  connect(growAction, &QAction::triggered, this, &TViewerForm::grow);
  QAction* shrinkAction = view->addAction("Shrink");
  shrinkAction->setShortcut(QKeySequence(Qt::Key_Minus | Qt::KeypadModifier));
  connect(shrinkAction, &QAction::triggered, this, &TViewerForm::shrink);
  QAction* separator = view->addSeparator();
  QAction* paletteAction = view->addAction("Show Palette");
  paletteAction->setShortcut(Qt::Key_P);
  // Grow and Shrink work from the keyboard but are not listed; the palette
  // item and its separator exist but stay out of sight.
  for (QAction* hidden : {growAction, shrinkAction, separator, paletteAction}) {
    hidden->setVisible(false);
    addAction(hidden);
  }

  scroll_ = new QScrollArea(this);
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setWidgetResizable(false);
  view_ = new QLabel;
  view_->setScaledContents(true);
  scroll_->setWidget(view_);
  scroll_->viewport()->installEventFilter(this);
  view_->installEventFilter(this);
  unsupported_ = new QLabel("This file is not supported", this);
  unsupported_->setAlignment(Qt::AlignCenter);
  unsupported_->hide();
  layout->addWidget(scroll_);
  layout->addWidget(unsupported_);
}

bool TViewerForm::showImageFile(const QString& path) {
  width_ = height_ = 0;
  level_ = kViewerDefaultLevel;
  NImage image;
  if (LoadImage(path.toStdString(), image, 0) == 0 || image.empty()) {
    scroll_->hide();
    unsupported_->show();
    setWindowTitle(path);
    rgbAction_->setEnabled(false);
    alphaAction_->setEnabled(false);
    return false;
  }
  width_ = image.width;
  height_ = image.height;
  setWindowTitle(QString::fromStdString(ViewerCaption(path.toStdString(), image)));
  const std::vector<uint8_t> rgb = ViewerColorPlane(image);
  color_ = QImage(width_, height_, QImage::Format_RGB888);
  for (int y = 0; y < height_; ++y) {
    std::memcpy(color_.scanLine(y), rgb.data() + static_cast<size_t>(y) * width_ * 3,
                static_cast<size_t>(width_) * 3);
  }
  const std::vector<uint8_t> alpha = ViewerAlphaPlane(image);
  alpha_ = QImage();
  if (!alpha.empty()) {
    alpha_ = QImage(width_, height_, QImage::Format_Grayscale8);
    for (int y = 0; y < height_; ++y) {
      std::memcpy(alpha_.scanLine(y), alpha.data() + static_cast<size_t>(y) * width_,
                  static_cast<size_t>(width_));
    }
  }
  unsupported_->hide();
  scroll_->show();
  rgbAction_->setEnabled(true);
  alphaAction_->setEnabled(hasAlpha());
  showColor();
  layoutAtLevel(level_);
  return true;
}

void TViewerForm::showColor() {
  if (color_.isNull()) return;
  showingAlpha_ = false;
  view_->setPixmap(QPixmap::fromImage(color_));
  rgbAction_->setChecked(true);
  alphaAction_->setChecked(false);
}

void TViewerForm::showAlpha() {
  if (alpha_.isNull()) return;
  showingAlpha_ = true;
  view_->setPixmap(QPixmap::fromImage(alpha_));
  rgbAction_->setChecked(false);
  alphaAction_->setChecked(true);
}

void TViewerForm::grow() {
  if (level_ >= kViewerLevels - 1 || width_ == 0) return;
  ++level_;
  layoutAtLevel(level_ - 1);
}

void TViewerForm::shrink() {
  if (level_ <= 0 || width_ == 0) return;
  --level_;
  layoutAtLevel(level_ + 1);
}

void TViewerForm::layoutAtLevel(int oldLevel) {
  const ViewerSize displayed = ViewerDisplayedSize(width_, height_, level_);
  const ViewerSize client = ViewerClientSize(displayed);
  clientSize_ = QSize(client.width, client.height);
  // Keep the centre of the visible area where it was.
  QScrollBar* h = scroll_->horizontalScrollBar();
  QScrollBar* v = scroll_->verticalScrollBar();
  const double ratio = ViewerZoomFactor(level_) / ViewerZoomFactor(oldLevel);
  const int oldCenterX = h->value() + scroll_->viewport()->width() / 2;
  const int oldCenterY = v->value() + scroll_->viewport()->height() / 2;
  view_->resize(displayed.width, displayed.height);
  const int menuHeight = layout()->menuBar() ? layout()->menuBar()->sizeHint().height() : 0;
  resize(client.width, client.height + menuHeight);
  if (oldLevel != level_) {
    h->setValue(static_cast<int>(oldCenterX * ratio - scroll_->viewport()->width() / 2.0));
    v->setValue(static_cast<int>(oldCenterY * ratio - scroll_->viewport()->height() / 2.0));
  } else {
    h->setValue(0);
    v->setValue(0);
  }
}

void TViewerForm::wheelEvent(QWheelEvent* event) {
  if (event->angleDelta().y() > 0) {
    grow();
  } else if (event->angleDelta().y() < 0) {
    shrink();
  }
  event->accept();
}

void TViewerForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    lastDrag_ = event->globalPosition().toPoint();
  } else if (event->button() == Qt::RightButton && hasAlpha()) {
    if (showingAlpha_) {
      showColor();
    } else {
      showAlpha();
    }
  }
}

void TViewerForm::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPoint now = event->globalPosition().toPoint();
  const QPoint delta = lastDrag_ - now;
  scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->value() + delta.x());
  scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->value() + delta.y());
  lastDrag_ = now;
}

void TViewerForm::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void TViewerForm::mouseDoubleClickEvent(QMouseEvent*) { close(); }

bool TViewerForm::eventFilter(QObject* watched, QEvent* event) {
  // Mouse events on the picture and its viewport drive the same gestures.
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      mousePressEvent(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseMove:
      mouseMoveEvent(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseButtonRelease:
      mouseReleaseEvent(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseButtonDblClick:
      mouseDoubleClickEvent(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::Wheel:
      wheelEvent(static_cast<QWheelEvent*>(event));
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

}  // namespace vexal::app
