// The maintenance operations use hashed pair tables and a hashed point
// merge; these tests hold them to the literal dense-table versions on many
// random models.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "model/maintenance.h"
#include "support/model_compare.h"
#include "support/reference_maintenance.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::CopyLive;
using testing::ExpectSameModel;

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
