// The commands that change how surfaces and lines are connected, which
// way surfaces face, and which parts are shown. Each runs in the edit frame
// (finishing a half-drawn chain first) and records one undo step; a
// refusal changes nothing.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Splits every selected quad (and the mirror image of each) into two
// triangles along the flatter diagonal, or along the mirror of the
// diagonal its mirror image already has. Guide surfaces are left alone.
// Refused when the new lines or surfaces would pass 19999.
CommandResult TriangulateFaces(Document& document);

// Every line of a selected surface gets a point at its middle (its mirror
// line too) and the surfaces on them are cut, quads with all four edges cut
// into four around a centre. Nothing split records nothing; refused when
// the tables have no room.
CommandResult SubdivideFaces(Document& document);

// Edge Cut of the menu: the rings of the selected lines cut at their middle.
CommandResult EdgeCutSelection(Document& document);

// Merges pairs of selected triangles (and their mirror images) that share
// a line, face the same way, lie within 45 degrees of one plane, make a
// convex quad, have one material and agree in UV at the shared corners;
// the most even pairs first.
CommandResult QuadrangulateFaces(Document& document);

// Removes each selected point (or point whose partner is selected) that
// lies on exactly two lines and on no surface, joining its two neighbours
// by one line.
CommandResult DeleteChainPoints(Document& document);

// Dissolves the selected edge loop: its points go and each pair of
// surfaces across a loop line becomes one surface of their other corners.
CommandResult AttachLoop(Document& document);

// Reverses the winding of every selected surface.
CommandResult FlipSelectedFaces(Document& document);

// Gives each connected group of visible, non-guide surfaces the winding of
// its lowest-numbered surface.
CommandResult UniformNormals(Document& document);

// Mode 1 hides the selection; mode 0 hides everything else.
CommandResult HidePoints(Document& document, int mode);
// Shows hidden points (not templates), lines and surfaces.
CommandResult ShowHidden(Document& document);
// Hides points as templates (mode as HidePoints), which Show Hidden Parts
// leaves hidden; deselects everything.
CommandResult HideTemplate(Document& document, int mode);
// Shows the template points and the hidden lines and surfaces on them.
CommandResult ShowTemplates(Document& document);

// The per-surface parity UniformNormals computes (+1 keep, -1 flip), for
// tests that compare it with the plain description.
void UniformParity(const Model& model, std::vector<int8_t>& parity);

}  // namespace vexal
