// Inserting points into lines and cutting the surfaces around them: the
// knife, a Shift+Alt click on a line, and the edge cut and subdivision
// commands all register splits here, apply them and rebuild the surfaces
// the new points lie on. LineParameterAt turns a pointer position into a
// place on a line.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/document.h"

namespace vexal {

// Mirror modes of RegisterEdgeSplit.
enum SplitMirror : int {
  kSplitMirrored = 0,    // also split the mirror line, when there is one
  kSplitMirrorHalf = 1,  // the mirror half of a pair just registered
  kSplitPlain = 2,       // no mirror
};

struct EdgeSplitSlot {
  float t = 0;     // fraction from the line's first point to its second
  int32_t id = 0;  // 0: slot unused
};

// The splits between BeginEdgeSplits and RebuildSplitFaces. Split id k
// becomes point pointCount0 + k and line lineCount0 + k.
struct EdgeSplits {
  int32_t pointCount0 = 0;
  int32_t lineCount0 = 0;
  int32_t count = 0;
  // Per line of the model at the start: two slots, and the ends the line
  // had when it was first split.
  std::vector<std::array<EdgeSplitSlot, 2>> places;
  std::vector<std::array<int32_t, 2>> ends;
  // Per id (index 0 unused): its mirror split (0 none, its own id on the
  // mirror plane) and its line.
  std::vector<int32_t> mirror;
  std::vector<int32_t> line;
};

void BeginEdgeSplits(const Model& model, EdgeSplits& splits);

// Registers a split of `line` at fraction t. A split closer than 0.02 to
// the line's first one is a duplicate and is dropped, as is a third split
// of one line. Mirrored mode also splits the line joining the partners of
// the ends (at the same place along it); a line that is its own mirror gets
// the mirrored split at 1 - t, or, at its middle, one split that is its own
// partner. Returns 0 when a mirrored split found no mirror line, else 1.
int RegisterEdgeSplit(const Model& model, EdgeSplits& splits, int line, float t, int mirrorMode);

// How much the splits will add: points, lines and surfaces, including the
// surfaces RebuildSplitFaces cuts.
struct SplitGrowth {
  int points = 0;
  int lines = 0;
  int faces = 0;
};
SplitGrowth PlanSplitGrowth(const Model& model, const EdgeSplits& splits, bool withCentres);

// Appends the new points (on their lines, with the lines' states and their
// mirror partners) and the new line pieces.
void ApplyEdgeSplits(Model& model, EdgeSplits& splits);

// Cuts every surface that existed before the splits and has between one
// and four new points on its edges by the case tables; with centres, a quad
// with one new point on each edge gets a centre point and four quads.
// Line references of the cut surfaces are left 0 for RelinkFaces.
void RebuildSplitFaces(Model& model, const EdgeSplits& splits, bool withCentres);

// The fraction from the line's first point to its second under the pointer
// (x, y), refined in perspective; -1 when the pointer's foot lies beyond
// the line's ends; 0.5 for a line seen end on.
float LineParameterAt(const Document& document, int line, int x, int y);

// Inserts one point into `line` at the pointer. Mode 0 and 1 plain; mode 2
// also splits the mirror line or, when there is none, adds a mirror partner
// of the new point. Returns the new point (the old point count + 1), or 0
// when the tables have no room (nothing is changed then).
int SplitLineAt(Document& document, int line, int x, int y, int mode);

}  // namespace vexal
