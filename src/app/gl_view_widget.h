// The OpenGL form of a document window's drawing area: a QOpenGLWidget
// whose context the renderer's GLLib drives through the platform seam, the
// textures of the document, and the scratch buffers of the renderer.
#pragma once

#include <QOpenGLWidget>

#include "view/gl_context.h"
#include "view/gl_renderer.h"
#include "view/texture_loader.h"

namespace vexal::app {

class TChildForm;

class GLViewWidget : public QOpenGLWidget, public GLPlatformContext {
  Q_OBJECT
 public:
  explicit GLViewWidget(TChildForm* form);
  ~GLViewWidget() override;

  // True once the widget's context exists and GLLib holds it.
  bool ready() const { return gl_.valid != 0; }
  GLLib& gl() { return gl_; }
  DocumentTextures& textures() { return textures_; }
  // Reloads every material texture and background picture.
  void reloadAllTextures();
  void reloadMaterialTexture(int material);
  // Background picture slot 0..2, after its path changed.
  void reloadPictureTexture(int slot);
  void resetTextureFilters();

  // GLPlatformContext: the widget owns the context; swapping is Qt's.
  int create(std::string& reason) override;
  bool makeCurrent() override;
  void swapBuffers() override {}
  void doneCurrent() override;
  void destroy() override {}

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void contextLost();

  TChildForm* form_;
  GLLib gl_;
  DocumentTextures textures_;
  GLRenderBuffers buffers_;
  bool texturesPending_ = true;
};

// Whether this display can give OpenGL contexts at all.
bool OpenGLAvailable();

}  // namespace vexal::app
