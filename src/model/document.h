// The core of one document window: its model, view state, tool state and
// undo ring, and the seam through which it tells the user interface what
// changed. Everything a document does is testable without a display.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "math/sincos.h"
#include "model/mode.h"
#include "model/model.h"
#include "model/model_snapshot.h"
#include "model/scene.h"

namespace vexal {

// Notifications from the core to whatever shows the document. The default
// implementations do nothing, so a headless caller can ignore them all.
class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // The enablement of the selection-dependent menu items may have changed.
  virtual void selectionMenusChanged() {}
  // Simple status bar text (selection count and the like).
  virtual void statusTextChanged(std::string_view /*text*/) {}
  virtual void undoButtonsChanged(bool /*canUndo*/, bool /*canRedo*/) {}
  // The texture file of a palette entry differs from before: reload it.
  virtual void textureChanged(int /*material*/) {}
  // The document's count line (" P:   8 L:   8 S:   4").
  virtual void countLineChanged(std::string_view /*text*/) {}
  virtual void pivotFieldsChanged() {}
  virtual void paletteChanged() {}
  // Draw the whole view again (the rubber figures are gone after it).
  virtual void redrawRequested() {}
  // The rubber figures changed without a redraw: draw them over the view.
  virtual void overlayChanged() {}
  // The projection switched (perspective on or off): the view re-derives
  // its size-dependent state as after a resize, then redraws.
  virtual void projectionChanged() { redrawRequested(); }
  // The texture filters of the view switches changed: apply them.
  virtual void textureFiltersChanged() {}
  // SCENE.useGL changed: show the other renderer.
  virtual void rendererChanged() { redrawRequested(); }
  // The window should keep receiving the pointer while a button is down.
  virtual void captureMouse(bool /*capture*/) {}
  // The pointer over the view: the cross over something a transform tool
  // can grab, otherwise the arrow.
  virtual void pointerShapeChanged(bool /*cross*/) {}
};

// One line of a rubber figure in window pixels. Rubber figures are drawn
// with an inverting pen, so the same line drawn twice leaves nothing.
struct RubberLine {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool operator==(const RubberLine&) const = default;
};

// The ring of a document: ten slots unless the settings ask for another
// size (UndoDepth, kMinUndoSlots..kMaxUndoSlots); a ring of n slots keeps
// n - 1 steps back.
inline constexpr int kUndoSlots = 10;
inline constexpr int kMinUndoSlots = 2;
inline constexpr int kMaxUndoSlots = 1000;

// A requested ring size brought into kMinUndoSlots..kMaxUndoSlots.
int UndoSlotsWithin(int requested);

// Whatever a tool made at a press and keeps until its release or cancel
// (its drag tracker, a lasso's vertices). The document holds it for the
// tool between events without knowing what it is.
class ToolDrag {
 public:
  virtual ~ToolDrag() = default;
};

struct UndoRing {
  // The slots are made empty; a slot's record copies are allocated by its
  // first push, so an unused deep ring costs only the palette copies.
  explicit UndoRing(int slotCount = kUndoSlots)
      : snapshots(static_cast<size_t>(UndoSlotsWithin(slotCount))) {}
  int32_t slotCount() const { return static_cast<int32_t>(snapshots.size()); }
  // Bytes held by the slots' record copies and palettes.
  size_t memoryBytes() const;

  std::vector<ModelSnapshot> snapshots;
  int32_t current = 0;
  int32_t undoDepth = 0;
  int32_t redoDepth = 0;
};

struct Document {
  Model model;
  SCENE scene;
  MODE mode;
  UndoRing undo;
  SINCOS sincos;
  // Copied from the settings ("Main" UseAngleSmooth) by whoever owns them.
  bool useAngleSmooth = true;
  DocumentObserver* observer = nullptr;
  // The rubber figures on the window since the last redraw.
  std::vector<RubberLine> rubber;
  // The drag of the press in progress, if the tool made one.
  std::unique_ptr<ToolDrag> toolDrag;
  // Set by a double click so that the press delivered with it is ignored.
  int32_t skipNextPress = 0;
  // Wheel units not yet turned into a zoom step.
  int32_t wheelRemainder = 0;
  // Counts the pushes and steps of the history: a changed value means the
  // model may differ from what was last written as its recovery copy.
  uint64_t revision = 0;

  DocumentObserver& notify();
};

// Redraws the whole view, which wipes the rubber figures.
void Redraw(Document& document);

// Clears the model, the undo ring, SCENE and MODE (as a new window does).
// The ring gets undoSlots slots (brought into kMinUndoSlots..kMaxUndoSlots).
void InitializeDocument(Document& document, int undoSlots = kUndoSlots);

// Selection classes, line and surface states raised from the points, the
// selected count, mirror-selection code and pivot; then RefreshNormals(9),
// the menu state and the status text.
void RefreshSelection(Document& document);

// RefreshNormals honouring the document's UseAngleSmooth setting.
void RefreshNormals(Document& document, int flags);

// Records the model in the ring: step 1 after an edit, 0 to overwrite the
// current slot. Marks the document modified.
void PushUndo(Document& document, int step);
// Replaces the model from a slot: -1 Undo, +1 Redo, 0 revert to the current.
void StepUndo(Document& document, int step);
void UpdateUndoButtons(Document& document);
// Makes the current model the base of the history (after New and Open).
void ResetUndo(Document& document);
// Ends a half-drawn line chain before another action.
void FinishPendingDraw(Document& document);

// " P:%4d L:%4d S:%4d" (or " P%5d" ... above 9999); S counts triangles of
// non-guide surfaces, a quad counting two.
std::string CountLineText(const Model& model);

}  // namespace vexal
