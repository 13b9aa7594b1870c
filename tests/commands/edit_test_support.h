// Shared by the tests of the model edits: a document ready for commands and
// the do -> undo -> redo check every edit must pass.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"

namespace vexal::testing {

// A document as a new window holds it, with the given model as the base
// of its undo history.
inline std::unique_ptr<Document> DocumentWith(const std::function<void(Model&)>& build) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  SetScreenSize(document->scene, 444, 317);
  if (build) build(document->model);
  RefreshSelection(*document);
  ResetUndo(*document);
  document->scene.modified = 0;
  return document;
}

// The records a user can see: positions, states, partners, topology,
// materials and UVs.
inline void ExpectSameRecords(const Model& actual, const Model& expected, const std::string& where) {
  ASSERT_EQ(actual.pointCount, expected.pointCount) << where;
  ASSERT_EQ(actual.lineCount, expected.lineCount) << where;
  ASSERT_EQ(actual.faceCount, expected.faceCount) << where;
  for (int p = 1; p <= actual.pointCount; ++p) {
    const VERT& a = actual.points[p];
    const VERT& e = expected.points[p];
    ASSERT_TRUE(a.position == e.position && a.state == e.state && a.mirror == e.mirror)
        << where << ": point " << p;
  }
  for (int l = 1; l <= actual.lineCount; ++l) {
    const LINE& a = actual.lines[l];
    const LINE& e = expected.lines[l];
    ASSERT_TRUE(a.a == e.a && a.b == e.b && a.state == e.state) << where << ": line " << l;
  }
  for (int s = 1; s <= actual.faceCount; ++s) {
    const FACE& a = actual.faces[s];
    const FACE& e = expected.faces[s];
    ASSERT_TRUE(a.corners == e.corners && a.lines == e.lines && a.material == e.material &&
                a.state == e.state && a.uv == e.uv)
        << where << ": surface " << s;
  }
}

// Runs the edit, checks the model is valid (line references included),
// then that Undo brings back the model before it and Redo the one after.
inline void ExpectUndoRedoIdentical(Document& document, const std::function<void()>& edit,
                                    const std::string& where) {
  auto before = std::make_unique<Model>(document.model);
  edit();
  std::string reason;
  EXPECT_TRUE(ValidateModel(document.model, &reason, true)) << where << ": " << reason;
  auto after = std::make_unique<Model>(document.model);
  StepUndo(document, -1);
  ExpectSameRecords(document.model, *before, where + " after undo");
  StepUndo(document, 1);
  ExpectSameRecords(document.model, *after, where + " after redo");
}

}  // namespace vexal::testing
