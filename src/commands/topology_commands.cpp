// The menu items of the commands that change how surfaces and lines are
// connected and which way surfaces face.
#include "commands/attach_loop.h"
#include "commands/command_registration.h"
#include "commands/delete_chain_points.h"
#include "commands/edge_cut_selection.h"
#include "commands/flip_faces.h"
#include "commands/quadrangulate.h"
#include "commands/subdivide.h"
#include "commands/triangulate.h"
#include "commands/uniform_normals.h"

namespace vexal {

void AddTopologyCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(OnDocument("LoopSplitItem", EdgeCutSelection));
  commands.push_back(OnDocument("SubDivideItem", SubdivideFaces));
  commands.push_back(OnDocument("TriangleItem", TriangulateFaces));
  commands.push_back(OnDocument("QuadrangulateItem", QuadrangulateFaces));
  commands.push_back(OnDocument("DeleteLinePointItem", DeleteChainPoints));
  commands.push_back(OnDocument("LoopAttachItem", AttachLoop));
  commands.push_back(OnDocument("FaceFlipItem", FlipSelectedFaces));
  commands.push_back(OnDocument("FaceAlignItem", UniformNormals));
}

}  // namespace vexal
