// TViewerForm: a stay-on-top window that shows one image file, its colour
// channels or its alpha channel as grey, at nine zoom levels.
#pragma once

#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QWidget>

class QAction;

namespace vexal::app {

class TViewerForm : public QWidget {
  Q_OBJECT
 public:
  explicit TViewerForm(QWidget* parent);
  // Loads and shows path; false (with "This file is not supported" shown)
  // when it is not an image.
  bool showImageFile(const QString& path);

  int level() const { return level_; }
  void grow();
  void shrink();
  bool showingAlpha() const { return showingAlpha_; }
  bool hasAlpha() const { return !alpha_.isNull(); }
  void showColor();
  void showAlpha();
  QSize clientSize() const { return clientSize_; }

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void layoutAtLevel(int oldLevel);

  QScrollArea* scroll_;
  QLabel* view_;
  QLabel* unsupported_;
  QAction* rgbAction_;
  QAction* alphaAction_;
  QImage color_;
  QImage alpha_;
  int width_ = 0;
  int height_ = 0;
  int level_ = 3;
  bool showingAlpha_ = false;
  bool dragging_ = false;
  QPoint lastDrag_;
  QSize clientSize_;
};

}  // namespace vexal::app
