// The welds use a grid, hashes and sorted runs; these tests hold them to
// the literal all-pairs versions on many random models: the same
// survivors, numbering, partners, positions and tie-breaks.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "commands/mirror.h"
#include "model/weld.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/model_compare.h"
#include "support/reference_mirror.h"
#include "support/reference_weld.h"
#include "support/test_models.h"

namespace vexal {
namespace {

class WeldDifferential : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    fast = std::make_unique<Model>();
    slow = std::make_unique<Model>();
  }

  // A random model with linked surfaces and some positions nudged off the
  // shared values, selected as RefreshSelection leaves it.
  void MakeModel(std::mt19937& random, int trial) {
    std::uniform_int_distribution<int> size(1, 90);
    testing::RandomModelOptions options;
    const bool dense = trial % 4 == 3;  // few points, many surfaces: long runs of equal keys
    options.points = dense ? 4 + trial % 9 : size(random);
    options.lines = trial % 5 == 0 ? 0 : size(random);
    options.faces = dense ? 120 + trial % 200 : size(random);
    options.allowDegenerate = trial % 2 == 0 || options.points < 4;  // four distinct corners need four points
    Model& model = document->model;
    testing::RandomModel(model, random, options);
    std::uniform_real_distribution<float> nudge(-0.08f, 0.08f);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int p = 1; p <= model.pointCount; ++p) {
      if (trial % 3 == 1 && percent(random) < 40) model.points[p].position.x += nudge(random);
      if (trial % 3 == 1 && percent(random) < 40) model.points[p].position.y += nudge(random);
    }
    // Most points gathered on one spot: long runs of equal position keys.
    if (trial % 7 == 5) {
      for (int p = 1; p <= model.pointCount; ++p) {
        if (percent(random) < 70) model.points[p].position = VECTOR(0.5f, -0.25f, 0.125f);
      }
    }
    // Every surface edge gets a line, as in any model the program holds.
    ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
    RefreshSelection(*document);
    selection = {document->scene.selectedCount, document->scene.mirrorSelection,
                 document->scene.handle};
    testing::CopyLive(model, *fast);
    testing::CopyLive(model, *slow);
  }

  void Compare(const MaybeRefusal& fastOutcome, const MaybeRefusal& slowOutcome,
               const std::string& where) {
    ASSERT_EQ(fastOutcome, slowOutcome) << where;
    testing::ExpectSameModel(*fast, *slow, where);
    if (!fastOutcome) {
      std::string reason;
      ASSERT_TRUE(ValidateModel(*fast, &reason)) << where << ": " << reason;
    }
  }

  std::unique_ptr<Document> document;
  std::unique_ptr<Model> fast;
  std::unique_ptr<Model> slow;
  WeldSelection selection;
};

TEST_F(WeldDifferential, AttachSameMatchesTheLiteralVersion) {
  std::mt19937 random(1307);
  for (int trial = 0; trial < 400; ++trial) {
    MakeModel(random, trial);
    if (HasFatalFailure()) return;
    const MaybeRefusal f = AttachSame(*fast, selection);
    const MaybeRefusal s = reference::AttachSame(*slow, selection);
    Compare(f, s, "trial " + std::to_string(trial));
    if (HasFatalFailure()) return;
  }
}

TEST_F(WeldDifferential, AttachApproximateMatchesTheLiteralVersionAtManyRadii) {
  std::mt19937 random(2026);
  // Zooms giving radii from none at all to the whole model (r^2 infinite).
  const float zooms[] = {1.0f, 0.2f, 0.1f, 2.0f, 0.05f, 1e30f, 1e-30f, 0.0f, -0.5f};
  for (int trial = 0; trial < 300; ++trial) {
    MakeModel(random, trial);
    if (HasFatalFailure()) return;
    for (float zoom : zooms) {
      const float radius = static_cast<float>(0.1 / static_cast<double>(zoom));
      testing::CopyLive(document->model, *fast);
      testing::CopyLive(document->model, *slow);
      const MaybeRefusal f = AttachApproximate(*fast, selection, radius);
      const MaybeRefusal s = reference::AttachApproximate(*slow, selection, radius);
      Compare(f, s, "trial " + std::to_string(trial) + " zoom " + std::to_string(zoom));
      if (HasFatalFailure()) return;
    }
  }
}

TEST_F(WeldDifferential, AttachSingleMatchesTheLiteralVersion) {
  std::mt19937 random(77);
  for (int trial = 0; trial < 300; ++trial) {
    MakeModel(random, trial);
    if (HasFatalFailure()) return;
    const MaybeRefusal f = AttachSingle(*fast, selection);
    const MaybeRefusal s = reference::AttachSingle(*slow, selection);
    Compare(f, s, "trial " + std::to_string(trial));
    if (HasFatalFailure()) return;
  }
}

// The clean-up alone on models whose points were merged at random, so that
// degenerate lines, folded quads and duplicate surfaces are common.
TEST_F(WeldDifferential, WeldCleanupMatchesTheLiteralVersion) {
  std::mt19937 random(99);
  for (int trial = 0; trial < 400; ++trial) {
    MakeModel(random, trial);
    if (HasFatalFailure()) return;
    std::uniform_int_distribution<int> pick(1, fast->pointCount);
    std::vector<int32_t> map(static_cast<size_t>(fast->pointCount) + 1);
    for (int p = 1; p <= fast->pointCount; ++p) map[p] = trial % 2 ? pick(random) : p;
    for (Model* model : {fast.get(), slow.get()}) {
      for (int l = 1; l <= model->lineCount; ++l) {
        model->lines[l].a = map[model->lines[l].a];
        model->lines[l].b = map[model->lines[l].b];
      }
      for (int s = 1; s <= model->faceCount; ++s) {
        for (int32_t& c : model->faces[s].corners) c = map[c];
      }
    }
    const bool f = WeldCleanup(*fast);
    const bool s = reference::WeldCleanup(*slow);
    ASSERT_EQ(f, s) << trial;
    testing::ExpectSameModel(*fast, *slow, "trial " + std::to_string(trial));
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

// MirrorSelection finds existing mirror lines and surfaces through hashes;
// the literal version scans for each one.
TEST_F(WeldDifferential, MirrorSelectionMatchesTheLiteralVersion) {
  std::mt19937 random(4242);
  for (int trial = 0; trial < 400; ++trial) {
    MakeModel(random, trial);
    if (HasFatalFailure()) return;
    const bool f = MirrorSelection(*fast);
    const bool s = reference::MirrorSelection(*slow);
    ASSERT_EQ(f, s) << trial;
    testing::ExpectSameModel(*fast, *slow, "trial " + std::to_string(trial));
    if (HasFatalFailure()) return;
    std::string reason;
    // A degenerate quad (two equal neighbouring corners, which random
    // models allow) turns into a malformed triangle when wound the other
    // way; only models of proper surfaces must stay valid.
    const bool proper = trial % 2 == 1 && document->model.pointCount >= 4;
    if (proper) {
      ASSERT_TRUE(ValidateModel(*fast, &reason)) << trial << ": " << reason;
    }
  }
}

}  // namespace
}  // namespace vexal
