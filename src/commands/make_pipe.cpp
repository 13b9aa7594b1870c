#include "commands/make_pipe.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "commands/edit_frame.h"
#include "commands/ring_mesh.h"
#include "model/table_room.h"
#include "commands/tool_window_fields.h"
#include "io/message_catalog.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "tools/number_field.h"

namespace vexal {
namespace {

struct Chain {
  std::vector<int> points;
  bool closed = false;
};

// The selected lines as at most two neighbours per point, and the walks
// over them in the order the tube is built.
class ChainWalker {
 public:
  explicit ChainWalker(const Model& model)
      : count_(static_cast<size_t>(model.pointCount) + 1, 0),
        first_(count_.size(), 0),
        second_(count_.size(), 0),
        used_(count_.size(), 0) {
    for (int l = 1; l <= model.lineCount; ++l) {
      const LINE& line = model.lines[l];
      if (line.state != kStateSelected || line.a == line.b) continue;
      link(line.a, line.b);
      link(line.b, line.a);
    }
  }

  std::vector<Chain> walkAll() {
    std::vector<Chain> chains;
    const int points = static_cast<int>(count_.size()) - 1;
    for (int p = 1; p <= points; ++p) {
      if (count_[p] == 1 && !used_[p]) chains.push_back(walkOpen(p));
    }
    for (int p = 1; p <= points; ++p) {
      if (count_[p] == 2 && !used_[p]) chains.push_back(walkLoop(p));
    }
    return chains;
  }

 private:
  void link(int point, int neighbour) {
    ++count_[point];
    if (first_[point] == 0) {
      first_[point] = neighbour;
    } else if (second_[point] == 0) {
      second_[point] = neighbour;
    }
  }

  int nextOf(int point, int previous) const {
    if (first_[point] != 0 && first_[point] != previous) return first_[point];
    if (second_[point] != 0 && second_[point] != previous) return second_[point];
    return 0;
  }

  // Follows the chain from `current` (reached from `previous`) until it
  // ends, appending to points. A point some walk already used ends the
  // walk and is its last point (unless it is `closing`, the loop's start).
  // Returns true when the walk came back to `closing`.
  bool follow(std::vector<int>& points, int previous, int current, int closing) {
    for (;;) {
      const int next = nextOf(current, previous);
      if (next == 0) return false;
      if (used_[next]) {
        if (next == closing) return true;
        points.push_back(next);
        return false;
      }
      used_[next] = 1;
      points.push_back(next);
      previous = current;
      current = next;
    }
  }

  Chain walkOpen(int start) {
    Chain chain;
    used_[start] = 1;
    chain.points.push_back(start);
    follow(chain.points, 0, start, 0);
    return chain;
  }

  Chain walkLoop(int start) {
    Chain chain;
    used_[start] = 1;
    chain.points.push_back(start);
    chain.closed = follow(chain.points, 0, start, start);
    if (!chain.closed && chain.points.size() > 1) {
      // The loop ran into an earlier walk: the part behind the start is
      // still unbuilt, so walk it the other way and put it in front.
      std::vector<int> behind;
      follow(behind, chain.points[1], start, 0);
      std::reverse(behind.begin(), behind.end());
      chain.points.insert(chain.points.begin(), behind.begin(), behind.end());
    }
    return chain;
  }

  std::vector<int> count_;
  std::vector<int> first_;
  std::vector<int> second_;
  std::vector<uint8_t> used_;
};

// Any unit vector perpendicular to the unit vector t.
VECTOR Perpendicular(const VECTOR& t) {
  const float ax = std::fabs(t.x), ay = std::fabs(t.y), az = std::fabs(t.z);
  VECTOR axis = ax <= ay && ax <= az ? VECTOR(1, 0, 0) : (ay <= az ? VECTOR(0, 1, 0) : VECTOR(0, 0, 1));
  VECTOR n = axis - t * axis.dot(t);
  n.normalize();
  return n;
}

VECTOR PerpendicularPart(const VECTOR& v, const VECTOR& t) {
  VECTOR n = v - t * v.dot(t);
  n.normalize();
  return n.length() > 0.5f ? n : Perpendicular(t);
}

std::vector<VECTOR> Tangents(const Model& model, const Chain& chain) {
  const size_t m = chain.points.size();
  std::vector<VECTOR> tangents(m);
  auto position = [&](size_t i) { return model.points[chain.points[i]].position; };
  for (size_t i = 0; i < m; ++i) {
    VECTOR in, out;
    if (i > 0 || chain.closed) in = (position(i) - position(i > 0 ? i - 1 : m - 1)).normalized();
    if (i + 1 < m || chain.closed) out = (position(i + 1 < m ? i + 1 : 0) - position(i)).normalized();
    VECTOR t = in + out;
    // A chain that turns straight back has no mean direction there.
    t = t.length() > 1e-3f ? t.normalized() : (out.length() > 0 ? out : in);
    tangents[i] = t;
  }
  // Coincident points give no direction: take a neighbour's.
  for (size_t i = 1; i < m; ++i) {
    if (tangents[i].length() == 0) tangents[i] = tangents[i - 1];
  }
  for (size_t i = m - 1; i > 0; --i) {
    if (tangents[i - 1].length() == 0) tangents[i - 1] = tangents[i];
  }
  for (VECTOR& t : tangents) {
    if (t.length() == 0) t = VECTOR(0, 0, 1);
  }
  return tangents;
}

// The reference direction of every ring: from the first bend's plane,
// carried along by each bend's rotation and kept perpendicular to the
// tangent.
std::vector<VECTOR> Normals(const std::vector<VECTOR>& tangents) {
  const size_t m = tangents.size();
  VECTOR start = Perpendicular(tangents[0]);
  for (size_t i = 1; i < m; ++i) {
    const float c = tangents[i - 1].dot(tangents[i]);
    if (c > -0.999f && c < 0.999f) {
      start = PerpendicularPart(tangents[i - 1].cross(tangents[i]), tangents[0]);
      break;
    }
  }
  std::vector<VECTOR> normals(m);
  normals[0] = start;
  for (size_t i = 1; i < m; ++i) {
    const VECTOR& a = tangents[i - 1];
    const VECTOR& b = tangents[i];
    VECTOR n = normals[i - 1];
    const float c = std::clamp(a.dot(b), -1.0f, 1.0f);
    if (c < -0.999f) {
      n = -n;
    } else if (c < 0.999f) {
      const VECTOR axis = a.cross(b).normalized();
      const float s = std::sqrt(std::max(0.0f, 1.0f - c * c));
      n = n * c + axis.cross(n) * s + axis * (axis.dot(n) * (1.0f - c));
    }
    normals[i] = PerpendicularPart(n, b);
  }
  return normals;
}

void BuildTube(Document& document, const Chain& chain, const PipeParameters& parameters) {
  Model& model = document.model;
  const int n = parameters.segments;
  const int material = document.scene.paletteIndex;
  const std::vector<VECTOR> tangents = Tangents(model, chain);
  const std::vector<VECTOR> normals = Normals(tangents);
  std::vector<float> cosines(static_cast<size_t>(n)), sines(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const float degrees = static_cast<float>(i) * 360.0f / static_cast<float>(n) + parameters.offset;
    const float radians = degrees * 0.017453292f;
    cosines[static_cast<size_t>(i)] = document.sincos.cos(radians);
    sines[static_cast<size_t>(i)] = document.sincos.sin(radians);
  }
  auto addLine = [&](int a, int b) { SetLine(model, ++model.lineCount, a, b, kStateSelected); };
  auto addQuads = [&](int previousRing, int previousRingLine, int ring, int ringLine, int joins) {
    for (int i = 0; i < n; ++i) {
      const int j = (i + 1) % n;
      const int surface = ++model.faceCount;
      model.faces[surface] = FACE{};
      SetFace(model, surface, previousRing + i, previousRing + j, ring + j, ring + i, material,
              kStateSelected);
      SetFaceLines(model, surface, previousRingLine + i, joins + j, -(ringLine + i), -(joins + i));
      const float u0 = static_cast<float>(i) / static_cast<float>(n);
      const float u1 = static_cast<float>(i + 1) / static_cast<float>(n);
      SetFaceUV(model, surface, {u0, 0}, {u1, 0}, {u1, 1}, {u0, 1});
    }
  };
  auto joinRings = [&](int previousRing, int ring) {
    const int joins = model.lineCount + 1;
    for (int i = 0; i < n; ++i) addLine(previousRing + i, ring + i);
    return joins;
  };

  int firstRing = 0, firstRingLine = 0, previousRing = 0, previousRingLine = 0;
  for (size_t c = 0; c < chain.points.size(); ++c) {
    const VECTOR centre = model.points[chain.points[c]].position;
    const VECTOR& t = tangents[c];
    const VECTOR& normal = normals[c];
    const VECTOR side = t.cross(normal);  // a quarter turn about t, right-handed
    const int ring = model.pointCount + 1;
    for (int i = 0; i < n; ++i) {
      const size_t k = static_cast<size_t>(i);
      AppendSelectedPoint(model, centre + (normal * cosines[k] + side * sines[k]) * parameters.radius);
    }
    int joins = 0;
    if (c > 0) joins = joinRings(previousRing, ring);
    const int ringLine = model.lineCount + 1;
    for (int i = 0; i < n; ++i) addLine(ring + i, ring + (i + 1) % n);
    if (c > 0) addQuads(previousRing, previousRingLine, ring, ringLine, joins);
    if (c == 0) {
      firstRing = ring;
      firstRingLine = ringLine;
    }
    previousRing = ring;
    previousRingLine = ringLine;
  }
  if (chain.closed) {
    const int joins = joinRings(previousRing, firstRing);
    addQuads(previousRing, previousRingLine, firstRing, firstRingLine, joins);
  }
}

}  // namespace

PipeParameters PipeParametersFrom(const Settings& settings) {
  // The settings file may hold anything; the window would show these.
  return PipeFieldValues({settings.PipeSegment, settings.PipeRadius, settings.PipeOffset});
}

CommandResult MakePipe(Document& document, const PipeParameters& parameters) {
  if (parameters.segments < 3 || !(parameters.radius > 0)) {
    return CommandResult::Refused(Translate("a pipe needs at least 3 segments and a radius above 0"));
  }
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& doc) {
    if (doc.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    Model& model = doc.model;
    std::vector<Chain> chains = ChainWalker(model).walkAll();
    long long points = 0, lines = 0, surfaces = 0;
    const long long n = parameters.segments;
    for (const Chain& chain : chains) {
      if (chain.points.size() < 2) continue;
      const long long m = static_cast<long long>(chain.points.size());
      const long long segments = chain.closed ? m : m - 1;
      points += n * m;
      lines += n * m + n * segments;
      surfaces += n * segments;
    }
    if (MaybeRefusal full = CheckRoom(model, points, lines, surfaces))
      return CommandResult::Refused(*full);
    DeselectAll(model);
    for (const Chain& chain : chains) {
      if (chain.points.size() > 1) BuildTube(doc, chain, parameters);
    }
    return CommandResult{};
  });
}

}  // namespace vexal
