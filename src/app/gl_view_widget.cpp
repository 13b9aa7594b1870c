#include "app/gl_view_widget.h"

#include <GL/gl.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include "app/child_form.h"
#include "app/main_form.h"
#include "io/message_catalog.h"
#include "model/camera.h"

namespace vexal::app {

bool OpenGLAvailable() {
  static const bool available = [] {
    QOpenGLContext context;
    if (!context.create()) return false;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    const bool current = context.makeCurrent(&surface);
    if (current) context.doneCurrent();
    return current;
  }();
  return available;
}

GLViewWidget::GLViewWidget(TChildForm* form) : QOpenGLWidget(form), form_(form) {
  setMinimumSize(16, 16);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

GLViewWidget::~GLViewWidget() {
  // The base class destroys the context after this object is gone: its
  // aboutToBeDestroyed must not reach contextLost any more.
  if (QOpenGLContext* own = context()) disconnect(own, nullptr, this, nullptr);
  if (gl_.valid) DeleteTextureNames(gl_, textures_);
  gl_.Release();
}

int GLViewWidget::create(std::string& reason) {
  if (!context() || !context()->isValid()) {
    reason = Translate("no OpenGL context for the window");
    return 2;
  }
  return 0;
}

bool GLViewWidget::makeCurrent() {
  QOpenGLWidget::makeCurrent();
  return context() != nullptr && QOpenGLContext::currentContext() == context();
}

void GLViewWidget::doneCurrent() { QOpenGLWidget::doneCurrent(); }

void GLViewWidget::initializeGL() {
  // A re-created context (the widget moved to another top-level window)
  // starts without our textures: forget the old names and load again.
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLViewWidget::contextLost,
          Qt::UniqueConnection);
  ForgetTextureNames(textures_);
  gl_.Create(*this);
  texturesPending_ = true;
}

void GLViewWidget::contextLost() {
  ForgetTextureNames(textures_);
  gl_.valid = 0;
  texturesPending_ = true;
}

void GLViewWidget::resizeGL(int width, int height) {
  SetScreenSize(form_->document().scene, width, height);
}

void GLViewWidget::paintGL() {
  if (!gl_.valid) return;
  Document& document = form_->document();
  if (texturesPending_) {
    texturesPending_ = false;
    LoadAllTextures(document, gl_, textures_);
    QOpenGLWidget::makeCurrent();
  }
  const qreal ratio = devicePixelRatioF();
  const int w = static_cast<int>(width() * ratio);
  const int h = static_cast<int>(height() * ratio);
  gl_.SetProjection(w, h, document.scene.perspective != 0);
  glEnable(GL_DEPTH_TEST);
  const GLViewSettings settings =
      GLViewSettingsFrom(form_->mainForm()->settings(), form_->mainForm()->celShade());
  DrawFrameGL(document, textures_, settings, buffers_);
  // The drawing tools' rubber band and the other tools' rubber figures.
  std::vector<RubberLine> rubber = RubberBandLines(document);
  rubber.insert(rubber.end(), document.rubber.begin(), document.rubber.end());
  const qreal scale = devicePixelRatioF();
  if (scale != 1.0) {
    for (RubberLine& line : rubber) {
      line = {static_cast<int>(line.x0 * scale), static_cast<int>(line.y0 * scale),
              static_cast<int>(line.x1 * scale), static_cast<int>(line.y1 * scale)};
    }
  }
  DrawRubberLinesGL(rubber, w, h);
}

void GLViewWidget::reloadAllTextures() {
  if (!gl_.valid) {
    texturesPending_ = true;
    return;
  }
  LoadAllTextures(form_->document(), gl_, textures_);
  update();
}

void GLViewWidget::reloadMaterialTexture(int material) {
  if (!gl_.valid) {
    texturesPending_ = true;
    return;
  }
  LoadMaterialTexture(form_->document(), gl_, textures_, material);
  update();
}

void GLViewWidget::reloadPictureTexture(int slot) {
  if (!gl_.valid) {
    texturesPending_ = true;
    return;
  }
  LoadPictureTexture(form_->document(), gl_, textures_, slot);
  update();
}

void GLViewWidget::resetTextureFilters() {
  if (!gl_.valid) return;
  SetMaterialTextureFilters(gl_, textures_, form_->document().scene.linearTexture != 0);
  SetPictureTextureFilters(gl_, textures_, form_->document().scene.linearBackPicture != 0);
  update();
}

void GLViewWidget::wheelEvent(QWheelEvent* event) { form_->viewWheel(event); }

void GLViewWidget::mousePressEvent(QMouseEvent* event) { form_->viewPress(event); }
void GLViewWidget::mouseMoveEvent(QMouseEvent* event) { form_->viewMove(event); }
void GLViewWidget::mouseReleaseEvent(QMouseEvent* event) { form_->viewRelease(event); }
void GLViewWidget::mouseDoubleClickEvent(QMouseEvent* event) { form_->viewDoubleClick(event); }

}  // namespace vexal::app
