// SCENE: the view state of one document window (camera, projection, display
// switches, selection summary and background picture placement).
#pragma once

#include <cstdint>
#include <string>

#include "math/vector.h"

namespace vexal {

struct SCENE {
  VECTOR screen;  // half client width, half height, half height
  VECTOR handle;  // transform handle: the selection pivot
  VECTOR target;
  VECTOR angle;  // degrees: x elevation, y azimuth, z roll
  VECTOR scratch;
  float zoom = 1.0f;
  float fov = 30.0f;
  float distance = 8.0f;
  int32_t viewMode = 2;  // 0 wireframe, 1 faces, 2 both
  std::string fileName;
  int32_t reserved1 = 0;
  int32_t doubleSided = 1;
  int32_t modified = 0;
  int32_t useGL = 1;
  int32_t perspectiveDefault = 1;
  int32_t perspective = 1;
  int32_t paletteIndex = 0;
  int32_t selectedCount = 0;
  int32_t mirrorSelection = 0;  // 2 x (a partner selected) + (a partner not selected)
  int32_t selectionExtra1 = 0;
  int32_t selectionExtra2 = 0;
  int32_t showHandle = 1;
  int32_t smooth = 0;
  int32_t showHiddenEdges = 1;
  int32_t showDummy = 1;
  int32_t showGrid = 1;
  int32_t reserved2 = 0;
  int32_t showTexture = 1;
  int32_t linearTexture = 0;
  int32_t linearBackPicture = 0;
  int32_t showLight = 1;
  int32_t alphaMode = 0;  // 0 opaque, 1 cut-out, 2 blended
  int32_t showBackPicture = 1;
  int32_t pivotMode = 0;  // 0 mean of the selection, 1 middle of its box
  int32_t reserved3 = 0;
  int32_t cellEdge = 0;
  int32_t showReflection = 1;
  float pictureScale = 1.0f;
  float pictureDepth = 2.0f;
  VECTOR pictureOffset;
};

}  // namespace vexal
