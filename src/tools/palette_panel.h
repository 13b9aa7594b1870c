// The palette window and the colour dialog without their windows: where the
// sixteen ramps are drawn, what a press and a right-drag in the window do to
// the document, and the rules of the colour dialog's fields and buttons.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/document.h"
#include "tools/pointer_target.h"

namespace vexal {

inline constexpr int kPaletteColumns = 16;
inline constexpr int kPaletteRows = 16;

// A rectangle in image pixels, corners included.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// The cell of column c, row r in an image of width x height.
PixelRect PaletteCell(int column, int row, int width, int height);
// The white frame around the selected column; the black one is this shrunk
// by one pixel on every side.
PixelRect PaletteSelectionFrame(int column, int width, int height);
// The column under x.
int PaletteColumnAt(int x, int width);
// light x (1 - at/steps) + dark x (at/steps) per channel, truncated: row r of
// a column's ramp with steps 16, pixel column i of the dialog's preview
// with steps = its width.
std::array<int, 3> RampColor(const MATERIAL& material, int at, int steps);

enum class PaletteButton { kLeft, kRight, kMiddle };

// The palette window's own state.
struct PalettePanel {
  int column = 0;  // the selected column
  PaletteButton button = PaletteButton::kLeft;
  int modifiers = 0;  // 1 Shift + 2 Alt + 4 Ctrl of the last press
  bool skipNextPress = false;
};

// A press at x: Ctrl+left selects the surfaces of that material, Shift+left
// adds them to the selection (one undo step each); any other left or right
// press makes the column the current palette entry. A middle press, or the
// press that comes with a double click, does nothing.
void PalettePress(PalettePanel& panel, Document& document, PaletteButton button, int modifiers,
                  int x, int width);
// The release of a right press over another column: plain swaps the two
// entries, Shift swaps them and the surfaces' materials (the model looks
// the same), Ctrl copies the selected entry onto it. Returns true when it
// recorded an undo step.
bool PaletteRelease(PalettePanel& panel, Document& document, int x, int width);
// A left double click: the press that comes with it is ignored and the
// result is true, for the caller to open the colour dialog for
// panel.column. Any other button: false, and its press is an ordinary one.
bool PaletteDoubleClick(PalettePanel& panel, PaletteButton button);

// The palette window's handlers, for DeliverPointer, over an image `width`
// pixels wide. A null document ignores everything. After a left double
// click colorDialogWanted is set; the window opens the dialog.
class PalettePointer final : public PointerTarget {
 public:
  PalettePointer(PalettePanel& panel, Document* document, int width)
      : panel_(panel), document_(document), width_(width) {}
  void press(const PointerEvent& event) override;
  void move(const PointerEvent&) override {}
  void release(const PointerEvent& event) override;
  void doubleClick(const PointerEvent& event) override;

  bool colorDialogWanted = false;

 private:
  PalettePanel& panel_;
  Document* document_;
  int width_;
};

// The colour dialog's fields.
int NormalizedOpacity(std::string_view text);      // 0..255, 255 when no number
double NormalizedSmoothing(std::string_view text);  // 0..180, 59.5 when no number
// "Set to half of the light": the dark colour becomes the light one halved.
void SetDarkToHalfOfLight(MATERIAL& material);
// The longest texture path the dialog stores.
inline constexpr size_t kMaxTexturePath = 254;

struct MaterialEdit {
  std::string texture;
  std::string name;  // empty: "mat_%02d" with the entry's index
  bool blend = false;
  int opacity = 255;
  double smoothingAngle = 59.5;
  std::array<int32_t, 3> light{};
  std::array<int32_t, 3> dark{};
};
void SetDarkToHalfOfLight(MaterialEdit& edit);
// The dialog's fields of one entry.
MaterialEdit EditOfMaterial(const MATERIAL& material);
// OK: the edit written into the document's entry (opacity into both
// colours), then one undo step. False with a reason, changing nothing, when
// the texture path is longer than kMaxTexturePath or the name does not fit.
bool ApplyMaterialEdit(Document& document, int material, const MaterialEdit& edit,
                       std::string* reason);

}  // namespace vexal
