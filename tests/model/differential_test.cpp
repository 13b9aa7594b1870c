// The maintenance operations use hashed pair tables and a hashed point
// merge; these tests hold them to the literal dense-table versions on many
// random models.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "model/maintenance.h"
#include "support/reference_maintenance.h"
#include "support/test_models.h"

namespace vexal {
namespace {

void ExpectSameModel(const Model& actual, const Model& expected, const std::string& where) {
  ASSERT_EQ(actual.pointCount, expected.pointCount) << where;
  ASSERT_EQ(actual.lineCount, expected.lineCount) << where;
  ASSERT_EQ(actual.faceCount, expected.faceCount) << where;
  for (int p = 1; p <= actual.pointCount; ++p) {
    const VERT& a = actual.points[p];
    const VERT& e = expected.points[p];
    ASSERT_TRUE(a.position == e.position && a.mirror == e.mirror && a.state == e.state &&
                a.flags == e.flags)
        << where << " point " << p;
  }
  for (int l = 1; l <= actual.lineCount; ++l) {
    const LINE& a = actual.lines[l];
    const LINE& e = expected.lines[l];
    ASSERT_TRUE(a.a == e.a && a.b == e.b && a.state == e.state) << where << " line " << l;
  }
  for (int s = 1; s <= actual.faceCount; ++s) {
    const FACE& a = actual.faces[s];
    const FACE& e = expected.faces[s];
    ASSERT_EQ(a.corners, e.corners) << where << " surface " << s;
    ASSERT_EQ(a.lines, e.lines) << where << " surface " << s;
    ASSERT_EQ(a.uv, e.uv) << where << " surface " << s;
    ASSERT_EQ(a.material, e.material) << where << " surface " << s;
    ASSERT_EQ(a.state, e.state) << where << " surface " << s;
  }
}

// Copies only the live records: a whole Model is 7 MB, too much to copy
// thousands of times.
void CopyLive(const Model& from, Model& to) {
  to.pointCount = from.pointCount;
  to.lineCount = from.lineCount;
  to.faceCount = from.faceCount;
  std::copy_n(from.points.begin(), from.pointCount + 1, to.points.begin());
  std::copy_n(from.lines.begin(), from.lineCount + 1, to.lines.begin());
  std::copy_n(from.faces.begin(), from.faceCount + 1, to.faces.begin());
  to.materials = from.materials;
}

TEST(MaintenanceDifferential, CompactModelMatchesTheLiteralVersion) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> size(1, 120);
  auto model = std::make_unique<Model>();
  auto fast = std::make_unique<Model>();
  auto slow = std::make_unique<Model>();
  for (int trial = 0; trial < 300; ++trial) {
    testing::RandomModelOptions options;
    options.points = size(random);
    options.lines = trial % 3 == 0 ? 0 : size(random);
    options.faces = size(random);
    testing::RandomModel(*model, random, options);
    for (int flags : {0, 1, 2, 3, 5, 7}) {
      CopyLive(*model, *fast);
      CopyLive(*model, *slow);
      const int fastResult = CompactModel(*fast, flags);
      const int slowResult = reference::CompactModel(*slow, flags);
      const std::string where = "trial " + std::to_string(trial) + " flags " + std::to_string(flags);
      ASSERT_EQ(fastResult, slowResult) << where;
      ExpectSameModel(*fast, *slow, where);
    }
  }
}

TEST(MaintenanceDifferential, RelinkAndDuplicateMarkingMatchTheLiteralVersion) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> size(1, 150);
  Model fast;
  Model slow;
  for (int trial = 0; trial < 300; ++trial) {
    testing::RandomModelOptions options;
    options.points = size(random);
    options.lines = size(random);
    options.faces = size(random);
    testing::RandomModel(fast, random, options);
    CopyLive(fast, slow);
    const std::string where = "trial " + std::to_string(trial);
    RelinkFaces(fast);
    reference::RelinkFaces(slow);
    ExpectSameModel(fast, slow, where + " relink");
    MarkDuplicateLines(fast);
    reference::MarkDuplicateLines(slow);
    ExpectSameModel(fast, slow, where + " duplicates");
    // Marking twice forwards nothing new.
    MarkDuplicateLines(fast);
    reference::MarkDuplicateLines(slow);
    ExpectSameModel(fast, slow, where + " duplicates again");
  }
}

TEST(MaintenanceDifferential, PurgeMarkedMatchesTheLiteralVersion) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> size(1, 150);
  Model fast;
  Model slow;
  for (int trial = 0; trial < 300; ++trial) {
    testing::RandomModelOptions options;
    options.points = size(random);
    options.lines = size(random);
    options.faces = size(random);
    options.markSomeForRemoval = true;
    testing::RandomModel(fast, random, options);
    RelinkFaces(fast);
    MarkDuplicateLines(fast);
    CopyLive(fast, slow);
    PurgeMarked(fast);
    reference::PurgeMarked(slow);
    ExpectSameModel(fast, slow, "trial " + std::to_string(trial));
  }
}

TEST(MaintenanceDifferential, ImportSizedMergeMatchesTheLiteralVersion) {
  // A 40 x 50 quad torus given as a soup of 8,000 corners, with a few exact
  // duplicates of whole quads: the importer's case at a size the literal
  // version still handles quickly.
  auto fast = std::make_unique<Model>();
  testing::QuadTorusSoup(*fast, 40, 50);
  for (int extra = 0; extra < 5; ++extra) {
    const int s = ++fast->faceCount;
    fast->faces[s] = fast->faces[1 + extra * 7];
  }
  auto slow = std::make_unique<Model>(*fast);
  ASSERT_EQ(CompactModel(*fast, kCompactMerge | kCompactRebuildLines), 1);
  ASSERT_EQ(reference::CompactModel(*slow, kCompactMerge | kCompactRebuildLines), 1);
  EXPECT_EQ(fast->pointCount, 2000);
  EXPECT_EQ(fast->lineCount, 4000);
  ExpectSameModel(*fast, *slow, "torus soup");
}

}  // namespace
}  // namespace vexal
