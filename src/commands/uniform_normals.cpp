#include <vector>

#include "commands/edit_frame.h"
#include "commands/uniform_normals.h"
#include "model/maintenance.h"

namespace vexal {

// Surfaces are visited from the last to the first; each joins the groups
// of the higher-numbered surfaces that share a line with it, turning a
// whole group over when it runs the shared line the same way. A group is a
// set with a lazy turn-over sign, so joining costs the smaller set's size
// instead of a scan of every surface.
void UniformParity(const Model& model, std::vector<int8_t>& parity) {
  const int faces = model.faceCount;
  std::vector<int32_t> owner(static_cast<size_t>(model.lineCount) + 1, 0);
  std::vector<int32_t> setOf(static_cast<size_t>(faces) + 1, 0);
  std::vector<int8_t> own(static_cast<size_t>(faces) + 1, 1);
  std::vector<int8_t> setSign(static_cast<size_t>(faces) + 1, 1);
  std::vector<std::vector<int32_t>> members(static_cast<size_t>(faces) + 1);
  auto parityOf = [&](int32_t s) { return static_cast<int>(own[s] * setSign[setOf[s]]); };

  for (int s = faces; s >= 1; --s) {
    setOf[s] = s;
    members[s] = {s};
    const FACE& face = model.faces[s];
    if (face.state == kStateHidden || face.material == kGuideMaterial) continue;
    const int corners = CornerCount(face);
    for (int j = 0; j < corners; ++j) {
      const int32_t r = face.lines[j];
      // An edge without a line joins nothing.
      if (r == 0) continue;
      const int32_t line = r < 0 ? -r : r;
      const int32_t d = owner[line];
      if (d == 0) {
        owner[line] = r > 0 ? s : -s;
        continue;
      }
      const int32_t other = d < 0 ? -d : d;
      const int e = parityOf(other);
      // Both run the line the same way, once the owner's own turn is
      // counted: the owner's group turns over.
      const bool turn = (d > 0) == (r > 0) ? e > 0 : e < 0;
      const int32_t mine = setOf[s];
      const int32_t theirs = setOf[other];
      if (theirs == mine) {
        // Every member but s itself turns.
        if (turn) {
          setSign[mine] = static_cast<int8_t>(-setSign[mine]);
          own[s] = static_cast<int8_t>(-own[s]);
        }
        continue;
      }
      if (turn) setSign[theirs] = static_cast<int8_t>(-setSign[theirs]);
      // Move the smaller set into the larger, keeping every member's parity.
      int32_t from = mine, into = theirs;
      if (members[from].size() > members[into].size()) std::swap(from, into);
      for (int32_t k : members[from]) {
        own[k] = static_cast<int8_t>(own[k] * setSign[from] * setSign[into]);
        setOf[k] = into;
      }
      members[into].insert(members[into].end(), members[from].begin(), members[from].end());
      members[from].clear();
      members[from].shrink_to_fit();
    }
  }
  parity.assign(static_cast<size_t>(faces) + 1, 1);
  for (int s = 1; s <= faces; ++s) parity[s] = static_cast<int8_t>(parityOf(s));
}

CommandResult UniformNormals(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    std::vector<int8_t> parity;
    UniformParity(model, parity);
    for (int s = 1; s <= model.faceCount; ++s) {
      if (parity[s] < 0) FlipFace(model, s);
    }
    return CommandResult{};
  });
}

}  // namespace vexal
