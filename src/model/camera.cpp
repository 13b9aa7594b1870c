#include "model/camera.h"

#include <cmath>

namespace vexal {
namespace {

constexpr float kDegreesToRadians = 0.0174532924f;

float NonZero(float value) { return value == 0.0f ? 0.00001f : value; }

struct Trig {
  float cX, sX, cY, sY, t;
};

Trig ViewTrig(const Document& document) {
  const SCENE& scene = document.scene;
  const float ax = scene.angle.x * kDegreesToRadians;
  const float ay = scene.angle.y * kDegreesToRadians;
  return {document.sincos.cos(ax), document.sincos.sin(ax), document.sincos.cos(ay),
          document.sincos.sin(ay), std::tan(scene.fov * 0.5f * kDegreesToRadians)};
}

}  // namespace

VECTOR ProjectPoint(const Document& document, const VECTOR& point, bool useView) {
  const SCENE& scene = document.scene;
  const Trig g = ViewTrig(document);
  const VECTOR p = useView ? point - scene.target : point;
  float depth = (p.x * g.sY + p.z * g.cY) * g.cX + p.y * g.sX;
  float b = 1.0f;
  if (useView) {
    b = scene.perspective ? scene.zoom * (-g.t * (scene.distance / scene.zoom - depth))
                          : -g.t * scene.distance;
  }
  b = NonZero(b);
  float x = (g.cY * p.x - g.sY * p.z) / b;
  float y = (g.cX * p.y - g.sX * (g.sY * p.x + g.cY * p.z)) / b;
  if (useView) {
    const float scale = scene.zoom * scene.screen.z;
    x *= scale;
    y *= scale;
    depth *= scale;
    x += scene.screen.x;
    y += scene.screen.y;
    x = scene.screen.x - (x - scene.screen.x);
  }
  return {x, y, depth};
}

VECTOR UnprojectPoint(const Document& document, float screenX, float screenY, float depth,
                      bool useView) {
  const SCENE& scene = document.scene;
  const Trig g = ViewTrig(document);
  float x = screenX, y = screenY, d = depth, b = 1.0f;
  if (useView) {
    x = (scene.screen.x - screenX) / scene.zoom / scene.screen.z;
    y = (screenY - scene.screen.y) / scene.zoom / scene.screen.z;
    d = depth / scene.zoom / scene.screen.z;
    b = scene.perspective ? scene.zoom * (-g.t * (scene.distance / scene.zoom - d))
                          : -g.t * scene.distance;
  }
  b = NonZero(b);
  x *= b;
  y *= b;
  const float q = -g.sX * y + g.cX * d;
  VECTOR result(g.sY * q + g.cY * x, g.cX * y + g.sX * d, g.cY * q - g.sY * x);
  if (useView) result += scene.target;
  return result;
}

MATRIX ViewMatrix(const Document& document, bool full) {
  const SCENE& scene = document.scene;
  const MATRIX rotation = MATRIX::rotation(-scene.angle.x * kDegreesToRadians,
                                           scene.angle.y * kDegreesToRadians,
                                           scene.angle.z * kDegreesToRadians);
  if (!full) return rotation;
  const float d = scene.distance / scene.zoom;
  VECTOR eye = VECTOR(0, 0, d).transformed(rotation);
  const VECTOR up = VECTOR(0, 1, 0).transformed(rotation);
  eye += scene.target;
  const MATRIX view = MATRIX::lookAt(eye, scene.target, up);
  const float h = std::tan(0.2617993877991494f) * d;
  MATRIX projection = MATRIX::boxProjection(h, -h, -h, h, -1, 1);
  if (scene.perspective == 1) {
    const MATRIX perspective({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1 / d, 0, 0, -d, 0});
    projection = perspective * projection;
  }
  const MATRIX screen = MATRIX::scaling(scene.screen.z, scene.screen.z, 1) *
                        MATRIX::translation(scene.screen.x, scene.screen.y, 0);
  return view * projection * screen;
}

MATRIX InverseViewMatrix(const Document& document, bool full) {
  MATRIX m = ViewMatrix(document, full);
  m.invert();
  return m;
}

float PixelSize(const Document& document, float depth) {
  const SCENE& scene = document.scene;
  const float t = std::tan(scene.fov * 0.5f * kDegreesToRadians);
  const float z0 = ProjectPoint(document, scene.target, false).z;
  const float size = scene.perspective
                         ? -t * (scene.distance / scene.zoom - (depth - z0)) / scene.screen.z
                         : -t * scene.distance / scene.zoom / scene.screen.z;
  return NonZero(size);
}

void SetScreenSize(SCENE& scene, int clientWidth, int clientHeight) {
  scene.screen.x = static_cast<float>(clientWidth / 2);
  scene.screen.y = static_cast<float>(clientHeight / 2);
  scene.screen.z = static_cast<float>(clientHeight / 2);
}

}  // namespace vexal
