// A document window of 400 x 300 pixels for the tool tests, in an
// orthographic front view (about 70 pixels a unit, +x right, +y up), with
// gesture helpers and the pixel of a model point.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/camera.h"
#include "model/document.h"
#include "model/validate.h"
#include "support/model_compare.h"
#include "tools/picking.h"
#include "tools/pointer_target.h"
#include "tools/tool_dispatch.h"

namespace vexal::testing {

struct RecordingObserver : DocumentObserver {
  std::string status;
  int redraws = 0;
  void statusTextChanged(std::string_view text) override { status = text; }
  void redrawRequested() override { ++redraws; }
};

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    document->observer = &observer;
    SetScreenSize(document->scene, 400, 300);
    document->scene.perspective = 0;
    document->scene.perspectiveDefault = 0;
  }

  // Makes the current model the base of the history.
  void Base() {
    RefreshSelection(*document);
    ResetUndo(*document);
  }

  void press(MouseButton button, int modifiers, int x, int y) {
    MousePress(*document, workspace, {button, modifiers, x, y});
  }
  void move(int x, int y, int modifiers = 0) {
    MouseMove(*document, workspace, {MouseButton::kLeft, modifiers, x, y});
  }
  void release(MouseButton button, int x, int y) {
    MouseRelease(*document, workspace, {button, 0, x, y});
  }
  // Qt's double click: it stands in for the second press.
  void doubleClick(MouseButton button, int x, int y, int modifiers = 0) {
    DocumentPointer target(*document, workspace);
    DeliverPointer(target, PointerAction::kDoublePress, {button, modifiers, x, y});
  }
  void click(int x, int y, int modifiers = 0) {
    press(MouseButton::kLeft, modifiers, x, y);
    release(MouseButton::kLeft, x, y);
  }
  void drag(int modifiers, int x0, int y0, int x1, int y1) {
    press(MouseButton::kLeft, modifiers, x0, y0);
    move((x0 + x1) / 2, (y0 + y1) / 2, modifiers);
    move(x1, y1, modifiers);
    release(MouseButton::kLeft, x1, y1);
  }

  // The pixel of a model position, truncated as the tools truncate.
  struct Pixel {
    int x;
    int y;
  };
  Pixel pixel(const VECTOR& position) const {
    const VECTOR s = ProjectPoint(*document, position, true);
    // Kept in range for points far off screen or behind the eye.
    return {ScreenInt(s.x), ScreenInt(s.y)};
  }
  Pixel pixelOf(int point) const { return pixel(model().points[point].position); }
  void clickPoint(int point, int modifiers = 0) {
    const Pixel p = pixelOf(point);
    click(p.x, p.y, modifiers);
  }
  void clickAt(const VECTOR& position, int modifiers = 0) {
    const Pixel p = pixel(position);
    click(p.x, p.y, modifiers);
  }

  Model& model() { return document->model; }
  const Model& model() const { return document->model; }
  MODE& mode() { return document->mode; }

  void expectValid() {
    std::string reason;
    EXPECT_TRUE(ValidateModel(model(), &reason)) << reason;
  }

  RecordingObserver observer;
  Workspace workspace;
  std::unique_ptr<Document> document;
};

// The live records of two models are the same, field by field.
inline void ExpectSameModel(const Model& a, const Model& b) { ExpectSameModel(a, b, "model"); }

}  // namespace vexal::testing
