// A tube of quads around every chain of selected lines. Chains are walked
// open ones first (each from its lower-numbered end, in point order), then
// closed loops (each from its lowest unused point towards its first
// neighbour in line order); a point with more than two selected lines keeps
// the first two, and a walk ends at a point an earlier walk used. Every
// chain point gets a ring of `segments` points perpendicular to the chain;
// the ring's reference direction is carried from point to point by the bend
// (parallel transport), so the tube does not twist. Rings are joined by
// quads facing outwards with UVs (i/N, 0) .. (i/N, 1); loops close on their
// first ring. The new records are selected, the chain itself is deselected
// and stays inside the tube.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal {

struct PipeParameters {
  int segments = 6;       // points around the tube, 3..96
  float radius = 0.125f;  // > 0
  float offset = 0.0f;    // degrees added to every ring angle
};

// The pipe values of the settings (PipeSegment, PipeRadius, PipeOffset),
// brought into range by the pipe window's field rules.
PipeParameters PipeParametersFrom(const Settings& settings);

// Nothing selected: kRefused, nothing changes and no undo step. Selected
// points without a selected line: everything is deselected and one undo
// step recorded. A tube that would take a table past 19,999 records is
// refused before any change.
CommandResult MakePipe(Document& document, const PipeParameters& parameters);

}  // namespace vexal
