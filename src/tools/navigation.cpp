#include "tools/navigation.h"

#include <algorithm>
#include <cmath>

#include "math/matrix.h"
#include "model/camera.h"
#include "model/model.h"

namespace vexal {

void RotateViewDrag(Document& document, int x, int y) {
  SCENE& scene = document.scene;
  MODE& mode = document.mode;
  scene.angle.x -= static_cast<float>(mode.lastY - y);
  scene.angle.y += static_cast<float>(mode.lastX - x);
  mode.lastX = x;
  mode.lastY = y;
  Redraw(document);
}

float SnapToAxis(float degrees) {
  if (degrees >= 0) return 90.0f * std::trunc((45.0f + degrees) / 90.0f);
  return -(90.0f * std::trunc((45.0f - degrees) / 90.0f));
}

void RotateViewRelease(Document& document, Workspace& workspace, int x, int y) {
  MODE& mode = document.mode;
  mode.state = 0;
  if (x == mode.startX && y == mode.startY) {
    document.scene.angle.x = SnapToAxis(document.scene.angle.x);
    document.scene.angle.y = SnapToAxis(document.scene.angle.y);
    FlatView(document, workspace, FlatViewStep::kEnd);
  }
  Redraw(document);
}

void FlatView(Document& document, Workspace& workspace, FlatViewStep step) {
  SCENE& scene = document.scene;
  if (step == FlatViewStep::kRestore) {
    if (workspace.flatViewMemory != scene.perspective) {
      scene.perspective = workspace.flatViewMemory;
      document.notify().projectionChanged();
      Redraw(document);
    }
    return;
  }
  if (scene.perspectiveDefault != 1) return;
  workspace.flatViewMemory = scene.perspective;
  const auto onAxis = [](float degrees) {
    return static_cast<int64_t>(std::trunc(degrees)) % 90 == 0;
  };
  const bool flat = step == FlatViewStep::kEnd && workspace.settings.UseFlatView != 0 &&
                    (onAxis(scene.angle.x) || onAxis(scene.angle.y));
  scene.perspective = flat ? 0 : 1;
  if (scene.perspective != workspace.flatViewMemory) {
    document.notify().projectionChanged();
    Redraw(document);
  }
}

void PanDrag(Document& document, int x, int y) {
  const MODE& mode = document.mode;
  // Back at the start the target is the saved one, not its round trip
  // through the camera rotation (which is off by float rounding).
  if (x == mode.startX && y == mode.startY) {
    document.scene.target = mode.backup;
    Redraw(document);
    return;
  }
  VECTOR r = ProjectPoint(document, mode.backup, false);
  const float pixel = PixelSize(document, r.z);
  r.x -= static_cast<float>(mode.startX - x) * pixel;
  r.y += static_cast<float>(mode.startY - y) * pixel;
  document.scene.target = UnprojectPoint(document, r.x, r.y, r.z, false);
  Redraw(document);
}

void ZoomDrag(Document& document, int y) {
  const MODE& mode = document.mode;
  document.scene.zoom = mode.backup.x * std::exp(0.01f * static_cast<float>(mode.startY - y));
  Redraw(document);
}

void ZoomToRegion(Document& document, int x, int y) {
  SCENE& scene = document.scene;
  MODE& mode = document.mode;
  mode.state = 0;
  VECTOR r = ProjectPoint(document, scene.target, false);
  const float pixel = PixelSize(document, r.z);
  const int mx = (mode.startX + x) / 2;
  const int my = (mode.startY + y) / 2;
  r.x += (scene.screen.x - static_cast<float>(mx)) * pixel;
  r.y -= (scene.screen.y - static_cast<float>(my)) * pixel;
  scene.target = UnprojectPoint(document, r.x, r.y, r.z, false);
  const float w = static_cast<float>(std::abs(mode.startX - x));
  const float h = static_cast<float>(std::abs(mode.startY - y));
  if (w != 0 || h != 0) {
    const float f = scene.screen.x * h <= scene.screen.y * w ? 2 * scene.screen.x / w
                                                              : 2 * scene.screen.y / h;
    if (mode.startX - x < 0) {
      scene.zoom *= f;
    } else {
      scene.zoom /= f;
    }
  }
  Redraw(document);
}

void PictureMoveDrag(Document& document, int x, int y) {
  const MODE& mode = document.mode;
  const MATRIX m = ViewMatrix(document, true) *
                   MATRIX::translation(static_cast<float>(x - mode.startX),
                                       static_cast<float>(y - mode.startY), 0) *
                   InverseViewMatrix(document, true);
  document.scene.pictureOffset = mode.backup.transformed(m);
  Redraw(document);
}

void PictureScaleDrag(Document& document, int y) {
  const MODE& mode = document.mode;
  document.scene.pictureScale =
      mode.backup.x * std::exp(0.01f * static_cast<float>(mode.startY - y));
  Redraw(document);
}

void RotateViewBy(Document& document, Workspace& workspace, float a, float b) {
  document.scene.angle.x -= b;
  document.scene.angle.y -= a;
  FlatView(document, workspace, FlatViewStep::kStart);
  Redraw(document);
}

void ZoomIn(Document& document) {
  document.scene.zoom *= 1.5f;
  Redraw(document);
}

void ZoomOut(Document& document) {
  document.scene.zoom *= 2.0f / 3.0f;
  Redraw(document);
}

void ZoomToFit(Document& document, bool selectionOnly) {
  const Model& model = document.model;
  SCENE& scene = document.scene;
  if (model.pointCount == 0) {
    scene.zoom = 1.0f;
    scene.target = VECTOR();
    Redraw(document);
    return;
  }
  // Which points count: the selection; else the visible points; else all.
  enum class Counted { kAll, kSelected, kVisible } counted = Counted::kAll;
  if (selectionOnly) {
    if (scene.selectedCount != 0) {
      counted = Counted::kSelected;
    } else {
      for (int p = 1; p <= model.pointCount; ++p) {
        if (model.points[p].state != kStateHidden) {
          counted = Counted::kVisible;
          break;
        }
      }
    }
  }
  const auto counts = [&](const VERT& point) {
    switch (counted) {
      case Counted::kSelected: return point.selectionClass == 1 || point.selectionClass == 2;
      case Counted::kVisible: return point.state != kStateHidden;
      case Counted::kAll: return true;
    }
    return true;
  };

  VECTOR low, high;
  bool any = false;
  for (int p = 1; p <= model.pointCount; ++p) {
    const VERT& point = model.points[p];
    if (!counts(point)) continue;
    const VECTOR& q = point.position;
    if (!any) {
      low = high = q;
      any = true;
      continue;
    }
    low = VECTOR(std::min(low.x, q.x), std::min(low.y, q.y), std::min(low.z, q.z));
    high = VECTOR(std::max(high.x, q.x), std::max(high.y, q.y), std::max(high.z, q.z));
  }
  if (!any) {
    // A selected count with no point of class 1 or 2 cannot come out of
    // RefreshSelection; keep the view rather than fit nothing.
    Redraw(document);
    return;
  }
  scene.target = (low + high) * 0.5f;

  const float savedZoom = scene.zoom;
  scene.zoom = 0.01f;
  float minX = 0, maxX = 0, minY = 0, maxY = 0;
  bool first = true;
  for (int p = 1; p <= model.pointCount; ++p) {
    const VERT& point = model.points[p];
    if (!counts(point)) continue;
    const VECTOR s = ProjectPoint(document, point.position, true);
    if (first) {
      minX = maxX = s.x;
      minY = maxY = s.y;
      first = false;
      continue;
    }
    minX = std::min(minX, s.x);
    maxX = std::max(maxX, s.x);
    minY = std::min(minY, s.y);
    maxY = std::max(maxY, s.y);
  }
  float dx = maxX - minX;
  float dy = maxY - minY;
  if (dx < 0.00001f) dx = 0;
  if (dy < 0.00001f) dy = 0;
  if (dx != 0 || dy != 0) {
    scene.zoom = dx * scene.screen.y >= dy * scene.screen.x
                     ? 0.01f * 1.25f * scene.screen.x / dx
                     : 0.01f * 1.25f * scene.screen.y / dy;
  } else {
    scene.zoom = savedZoom;
  }
  Redraw(document);
}

void WheelZoom(Document& document, const Settings& settings, int delta) {
  if (settings.UseMouseWheel == 0) return;
  int32_t& remainder = document.wheelRemainder;
  // A change of direction drops what the other direction had gathered.
  if ((remainder > 0 && delta < 0) || (remainder < 0 && delta > 0)) remainder = 0;
  remainder += delta;
  bool changed = false;
  while (remainder >= 120) {
    document.scene.zoom *= 1.5f;
    remainder -= 120;
    changed = true;
  }
  while (remainder <= -120) {
    document.scene.zoom /= 1.5f;
    remainder += 120;
    changed = true;
  }
  if (changed) Redraw(document);
}

}  // namespace vexal
