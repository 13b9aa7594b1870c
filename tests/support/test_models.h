// Named builders of test models, shared by the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <random>

#include "model/model.h"

namespace vexal::testing {

// One quad (points 1..4 counter-clockwise in z = 0, lines linked):
//   4 --- 3
//   |     |
//   1 --- 2
void UnitQuad(Model& model);

// A closed cube of six quads on eight shared points, lines rebuilt (twelve).
void ClosedCube(Model& model);

// Two points mirrored across x = 0 joined by a line:  1 (-1,0,0) --- 2 (1,0,0)
void MirroredPair(Model& model);

// A closed torus of rows x columns quads on rows x columns shared points
// (2 x rows x columns lines). 99 x 101 gives the largest closed quad model:
// 9,999 points, 19,998 lines, 9,999 quads.
void QuadTorus(Model& model, int rows, int columns);

// The same torus as the soup an importer produces: every quad has its own
// four points and no lines exist yet (CompactModel(3) welds it).
void QuadTorusSoup(Model& model, int rows, int columns);

// A closed torus of 2 x rows x columns triangles.
void TriangleTorus(Model& model, int rows, int columns);

// A flat grid of columns x rows unit quads in z = 0 from (0, 0), points
// numbered along x first ((columns + 1) per row), lines rebuilt and linked.
//   row 1:  c+2 -- c+3 -- ...
//            |  s1+c |
//   row 0:   1 ---- 2 ---- 3 ...
void QuadGrid(Model& model, int columns, int rows);

// Every table at the 19,999 limit: a 200-wide sheet of points over about
// 4 x 2 units around the origin, a line from each point to the next and two
// triangles on each grid cell.
void FullSheet(Model& model);

struct RandomModelOptions {
  int points = 40;
  int lines = 60;
  int faces = 30;
  bool markSomeForRemoval = false;  // states -1 on points, lines, surfaces
  bool allowDegenerate = true;      // faces with repeated corners
};

// A random but valid model: coordinates drawn from a few values (including
// -0 and +0 and neighbouring floats) so that coincident points, duplicate
// lines in both directions and degenerate surfaces are common.
void RandomModel(Model& model, std::mt19937& random, const RandomModelOptions& options);

}  // namespace vexal::testing
