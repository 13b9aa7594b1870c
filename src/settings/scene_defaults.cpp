#include "model/scene.h"
#include "settings/settings.h"

namespace vexal {
namespace {

// The switches are toggled by the View menu; a hand-edited 2 or -1 would
// make a toggle leave the 0/1 range, so any non-zero value counts as on.
int32_t Switch(int value) {
  return value != 0 ? 1 : 0;
}

}  // namespace

void ApplySceneDefaults(const Settings& settings, SCENE& scene) {
  scene.doubleSided = Switch(settings.VisibleDoubleSide);
  scene.useGL = Switch(settings.UseOpenGL);
  scene.perspectiveDefault = Switch(settings.Perspective);
  scene.perspective = Switch(settings.Perspective);
  scene.showHandle = Switch(settings.VisibleHandle);
  scene.smooth = Switch(settings.VisibleSmooth);
  scene.showHiddenEdges = Switch(settings.VisibleHideLine);
  scene.showDummy = Switch(settings.VisibleDummy);
  scene.showGrid = Switch(settings.VisibleGrid);
  scene.showTexture = Switch(settings.VisibleTexture);
  scene.linearTexture = Switch(settings.LinearTexture);
  scene.linearBackPicture = Switch(settings.LinearBackPicture);
  scene.showLight = Switch(settings.VisibleLight);
  // 0 opaque; otherwise 1 cut-out, or 2 blended when semi-transparency is on.
  scene.alphaMode = settings.VisibleTransparence == 0 ? 0 : 1 + Switch(settings.VisibleTranslucent);
  scene.showBackPicture = Switch(settings.VisibleBackPicture);
  scene.cellEdge = Switch(settings.VisibleCellEdge);
  scene.showReflection = Switch(settings.VisibleReflection);
}

}  // namespace vexal
