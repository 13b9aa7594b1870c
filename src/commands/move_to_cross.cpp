// MoveToCross: the ends of two open chains move to the closest points of
// their end edges' lines; a line joins them when they do not meet.
#include "commands/edit_frame.h"
#include "commands/move_to_cross.h"
#include "commands/line_geometry.h"
#include "io/message_catalog.h"
#include "model/table_room.h"

namespace vexal {

CommandResult RunMoveToCross(Document& document) {
  EditSteps steps;
  steps.syncMirror = true;
  return RunEdit(document, steps, [](Document& target) {
    Model& model = target.model;
    ChainEnds ends;
    if (!FindChainEnds(model, ends)) {
      return CommandResult::Refused(Translate("select the two end points of two open chains"));
    }
    ClosestPoints closest;
    if (!ClosestPointsOfLines(model.points[ends.a].position, model.points[ends.aPrevious].position,
                              model.points[ends.b].position, model.points[ends.bPrevious].position,
                              closest)) {
      return CommandResult::Refused(Translate("the two end edges are parallel"));
    }
    // Exact comparison: ends that meet to the last bit need no line.
    const bool apart = !(closest.q1 == closest.q2);
    if (apart && !HasRoomFor(model, 0, 1, 0)) return CommandResult::Refused(TableFull());
    model.points[ends.a].position = closest.q1;
    model.points[ends.b].position = closest.q2;
    if (apart) SetLine(model, ++model.lineCount, ends.a, ends.b, kStateNormal);
    return CommandResult{};
  });
}

}  // namespace vexal
