#include "tools/palette_panel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "model/edit_frame.h"
#include "model/maintenance.h"
#include "tools/selection_rules.h"
#include "tools/number_field.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

int Trunc(double value) { return static_cast<int>(value); }

constexpr int kShift = 1;
constexpr int kCtrl = 4;

}  // namespace

PixelRect PaletteCell(int column, int row, int width, int height) {
  const double w = width, h = height;
  return {Trunc(column * w / kPaletteColumns), Trunc(row * h / kPaletteRows),
          Trunc((column + 1) * w / kPaletteColumns - 1), Trunc((row + 1) * h / kPaletteRows)};
}

PixelRect PaletteSelectionFrame(int column, int width, int height) {
  const double w = width;
  return {Trunc(column * w / kPaletteColumns), 0, Trunc((column + 1) * w / kPaletteColumns - 1),
          Trunc(height - 1.0)};
}

int PaletteColumnAt(int x, int width) {
  if (width <= 0) return 0;
  const int column = Trunc(x / (width * 0.0625));
  return std::clamp(column, 0, kPaletteColumns - 1);
}

std::array<int, 3> RampColor(const MATERIAL& material, int at, int steps) {
  std::array<int, 3> color{};
  const double t = steps > 0 ? static_cast<double>(at) / steps : 0.0;
  for (int k = 0; k < 3; ++k) color[k] = Trunc(material.light[k] * (1.0 - t) + material.dark[k] * t);
  return color;
}

void PalettePress(PalettePanel& panel, Document& document, PaletteButton button, int modifiers,
                  int x, int width) {
  if (panel.skipNextPress) {
    panel.skipNextPress = false;
    return;
  }
  const int column = PaletteColumnAt(x, width);
  panel.button = button;
  panel.modifiers = modifiers;
  if (button == PaletteButton::kMiddle) return;
  if (button == PaletteButton::kLeft && (modifiers & kCtrl)) {
    RunMaterialSelection(document, column, false);
  } else if (button == PaletteButton::kLeft && (modifiers & kShift)) {
    RunMaterialSelection(document, column, true);
  } else {
    panel.column = column;
    document.scene.paletteIndex = column;
    document.notify().paletteChanged();
  }
}

bool PaletteRelease(PalettePanel& panel, Document& document, int x, int width) {
  if (panel.button != PaletteButton::kRight) return false;
  panel.button = PaletteButton::kLeft;
  const int other = PaletteColumnAt(x, width);
  const int selected = panel.column;
  if (other == selected) return false;
  Model& model = document.model;
  switch (panel.modifiers) {
    case 0:
      std::swap(model.materials[selected], model.materials[other]);
      break;
    case kShift:
      std::swap(model.materials[selected], model.materials[other]);
      for (int s = 1; s <= model.faceCount; ++s) {
        int32_t& material = model.faces[s].material;
        if (material == selected) {
          material = other;
        } else if (material == other) {
          material = selected;
        }
      }
      break;
    case kCtrl:
      model.materials[other] = model.materials[selected];
      break;
    default:
      break;
  }
  document.notify().paletteChanged();
  EditSteps steps;
  steps.refreshSelection = false;
  steps.normalFlags = kNormalsAngleSmoothed;
  EndEdit(document, steps);
  return true;
}

bool PaletteDoubleClick(PalettePanel& panel, PaletteButton button) {
  if (button != PaletteButton::kLeft) return false;
  panel.skipNextPress = true;
  return true;
}

namespace {

bool PaletteButtonOf(MouseButton button, PaletteButton& result) {
  switch (button) {
    case MouseButton::kLeft: result = PaletteButton::kLeft; return true;
    case MouseButton::kRight: result = PaletteButton::kRight; return true;
    case MouseButton::kMiddle: result = PaletteButton::kMiddle; return true;
    case MouseButton::kOther: return false;
  }
  return false;
}

}  // namespace

void PalettePointer::press(const PointerEvent& event) {
  PaletteButton button = PaletteButton::kLeft;
  if (!document_ || !PaletteButtonOf(event.button, button)) return;
  PalettePress(panel_, *document_, button, event.modifiers(), event.x, width_);
}

void PalettePointer::release(const PointerEvent& event) {
  if (!document_ || event.button != MouseButton::kRight) return;
  PaletteRelease(panel_, *document_, event.x, width_);
}

void PalettePointer::doubleClick(const PointerEvent& event) {
  PaletteButton button = PaletteButton::kLeft;
  if (!document_ || !PaletteButtonOf(event.button, button)) return;
  if (PaletteDoubleClick(panel_, button)) colorDialogWanted = true;
}

int NormalizedOpacity(std::string_view text) {
  return NormalizeIntField(text, IntFieldRule{0, 255, 255, true, true});
}

double NormalizedSmoothing(std::string_view text) {
  return NormalizeFloatField(text, kSmoothingAngleField);
}

namespace {

// The colour channels of dark become those of light halved (opacity kept).
template <size_t kLight, size_t kDark>
void HalveInto(const std::array<int32_t, kLight>& light, std::array<int32_t, kDark>& dark) {
  for (size_t k = 0; k < 3; ++k) dark[k] = light[k] >> 1;
}

}  // namespace

void SetDarkToHalfOfLight(MATERIAL& material) { HalveInto(material.light, material.dark); }

void SetDarkToHalfOfLight(MaterialEdit& edit) { HalveInto(edit.light, edit.dark); }

MaterialEdit EditOfMaterial(const MATERIAL& material) {
  MaterialEdit edit;
  edit.texture = std::string(TextOf(material.texture));
  edit.name = std::string(TextOf(material.name));
  edit.blend = material.blend != 0;
  edit.opacity = material.light[3];
  edit.smoothingAngle = material.smoothingAngle;
  for (int k = 0; k < 3; ++k) {
    edit.light[k] = material.light[k];
    edit.dark[k] = material.dark[k];
  }
  return edit;
}

bool ApplyMaterialEdit(Document& document, int material, const MaterialEdit& edit,
                       std::string* reason) {
  auto fail = [reason](const char* why) {
    if (reason) *reason = why;
    return false;
  };
  if (material < 0 || material >= kMaterialCount) return fail(Translate("no such palette entry"));
  if (edit.texture.size() > kMaxTexturePath) {
    return fail(Translate("the texture file name is longer than 254 characters"));
  }
  std::string name = edit.name;
  if (name.empty()) name = DefaultMaterialName(material);
  MATERIAL entry = document.model.materials[material];
  if (!SetText(entry.name, name)) return fail(Translate("the name is too long"));
  SetText(entry.texture, edit.texture);
  entry.blend = edit.blend ? 1 : 0;
  entry.smoothingAngle = static_cast<float>(edit.smoothingAngle);
  for (int k = 0; k < 3; ++k) {
    entry.light[k] = edit.light[k];
    entry.dark[k] = edit.dark[k];
  }
  entry.light[3] = entry.dark[3] = edit.opacity;
  // The frame finishes a half-drawn chain first: finishing it afterwards
  // could take the model back to the last step and the edit with it.
  EditSteps steps;
  steps.refreshSelection = false;
  steps.normalFlags = kNormalsAngleSmoothed;
  RunEdit(document, steps, [material, &entry](Document& target) {
    target.model.materials[material] = entry;
    target.notify().paletteChanged();
    return EditOutcome{};
  });
  return true;
}

}  // namespace vexal
