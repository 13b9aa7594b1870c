#include <gtest/gtest.h>

#include <vector>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "view/image_viewer.h"
#include "model/camera.h"
#include "view/software_renderer.h"

namespace vexal {
namespace {

// Records what the renderer draws, with the pen colour of each line.
class RecordingCanvas : public Canvas {
 public:
  struct Line {
    int x0, y0, x1, y1;
    uint32_t color;
    PenMode mode;
  };
  struct Fill {
    int left, top, right, bottom;
    uint32_t color;
  };
  int width() const override { return 400; }
  int height() const override { return 300; }
  void setPen(uint32_t color, int, PenMode mode) override {
    pen = color;
    penMode = mode;
  }
  void fillRect(int l, int t, int r, int b, uint32_t color) override {
    fills.push_back({l, t, r, b, color});
  }
  void frameRect(int, int, int, int, uint32_t) override { ++frames; }
  void line(int x0, int y0, int x1, int y1) override {
    lines.push_back({x0, y0, x1, y1, pen, penMode});
  }
  int countLines(uint32_t color) const {
    int n = 0;
    for (const Line& l : lines) n += l.color == color;
    return n;
  }
  uint32_t pen = 0;
  PenMode penMode = PenMode::kCopy;
  std::vector<Line> lines;
  std::vector<Fill> fills;
  int frames = 0;
};

std::unique_ptr<Document> OpenWindow(int width = 400, int height = 300) {
  auto document = std::make_unique<Document>();
  SetScreenSize(document->scene, width, height);
  return document;
}

TEST(Projection, TargetLandsOnTheCentreAndUnprojectsBack) {
  auto document = OpenWindow();
  SCENE& scene = document->scene;
  scene.target = VECTOR(1, 2, 3);
  scene.angle = VECTOR(20, 35, 0);
  for (int perspective : {0, 1}) {
    scene.perspective = perspective;
    const VECTOR centre = ProjectPoint(*document, scene.target, true);
    EXPECT_FLOAT_EQ(centre.x, 200.0f);
    EXPECT_FLOAT_EQ(centre.y, 150.0f);
    const VECTOR p(1.5f, -0.5f, 2.0f);
    const VECTOR s = ProjectPoint(*document, p, true);
    const VECTOR back = UnprojectPoint(*document, s.x, s.y, s.z, true);
    EXPECT_NEAR(back.x, p.x, 1e-4f);
    EXPECT_NEAR(back.y, p.y, 1e-4f);
    EXPECT_NEAR(back.z, p.z, 1e-4f);
    // The matrix projection agrees with the trigonometric one on pixels
    // (the table's 4096 steps per turn allow a little difference).
    const VECTOR m = p.transformed(ViewMatrix(*document, true));
    EXPECT_NEAR(m.x, s.x, 0.5f);
    EXPECT_NEAR(m.y, s.y, 0.5f);
  }
}

TEST(Projection, DefaultsShowAboutTwoUnitsInTheHalfHeight) {
  auto document = OpenWindow();
  document->scene.perspective = 0;
  // Half height 150 px shows tan(15 deg) x 8 = 2.1436 units.
  const VECTOR top = ProjectPoint(*document, VECTOR(0, 2.1436f, 0), true);
  EXPECT_NEAR(top.y, 0.0f, 0.05f);
  // The negative scale flips both axes; mirroring x back makes +x go right
  // and +y up on the screen.
  EXPECT_GT(ProjectPoint(*document, VECTOR(1, 0, 0), true).x, 200.0f);
  EXPECT_LT(ProjectPoint(*document, VECTOR(0, 1, 0), true).y, 150.0f);
  EXPECT_LT(PixelSize(*document, 0.0f), 0.0f);
  EXPECT_NEAR(PixelSize(*document, 0.0f), -2.1436f / 150.0f, 1e-4f);
}

TEST(Projection, ScreenSizeTakesIntegerHalves) {
  SCENE scene;
  SetScreenSize(scene, 301, 201);
  EXPECT_EQ(scene.screen, VECTOR(150, 100, 100));
}

TEST(SoftwareRenderer, FacesModeShowsOnlyBackgroundAndCube) {
  auto document = OpenWindow();
  testing::UnitQuad(document->model);
  document->scene.viewMode = 1;
  ViewColors colors;
  RecordingCanvas canvas;
  RenderSoftware(*document, colors, canvas);
  ASSERT_EQ(canvas.fills.size(), 1u);
  EXPECT_EQ(canvas.fills[0].color, colors.background);
  EXPECT_EQ(canvas.lines.size(), 12u);
  EXPECT_EQ(canvas.countLines(0x80FF80), 8);  // (128, 255, 128)
  EXPECT_EQ(canvas.countLines(0x8080FF), 4);  // (255, 128, 128)

  colors.gridType = 1;
  RecordingCanvas grid;
  RenderSoftware(*document, colors, grid);
  // 24 grey pairs, two black half-lines and three axes.
  EXPECT_EQ(grid.lines.size(), 24u * 2 + 2 + 3);
  EXPECT_EQ(grid.countLines(0xFF), 1);
}

TEST(SoftwareRenderer, StateColoursHiddenEdgesAndSelectedSurfaces) {
  auto document = OpenWindow();
  testing::UnitQuad(document->model);
  Model& model = document->model;
  document->scene.showGrid = 0;
  model.lines[1].state = kStateHidden;
  model.points[4].state = kStateHidden;
  ViewColors colors;
  colors.normal = 0x010101;
  {
    document->scene.showHiddenEdges = 0;
    RecordingCanvas canvas;
    RenderSoftware(*document, colors, canvas);
    EXPECT_EQ(canvas.fills.size(), 1u + 3);  // background and three visible points
    EXPECT_EQ(canvas.lines.size(), 3u);
    EXPECT_EQ(canvas.countLines(colors.hidden), 0);
  }
  {
    document->scene.showHiddenEdges = 1;
    RecordingCanvas canvas;
    RenderSoftware(*document, colors, canvas);
    EXPECT_EQ(canvas.countLines(colors.hidden), 1);
  }
  {
    // Edges of a selected surface are drawn selected, even a hidden one
    // (hidden-edge display on).
    model.faces[1].state = kStateSelected;
    RecordingCanvas canvas;
    RenderSoftware(*document, colors, canvas);
    EXPECT_EQ(canvas.countLines(colors.selected), 4);
    document->scene.showHiddenEdges = 0;
    RecordingCanvas without;
    RenderSoftware(*document, colors, without);
    EXPECT_EQ(without.countLines(colors.selected), 3);
  }
}

TEST(SoftwareRenderer, RubberBandOfTheMirrorToolOnThePlaneIsDrawnOnce) {
  auto document = OpenWindow();
  Model& model = document->model;
  SetPoint(model, 1, 0, 1, 0, 0, 1);
  model.pointCount = 1;
  SetLine(model, 1, 1, 1, 0);
  SetLine(model, 2, 1, 1, 0);
  model.lineCount = 2;
  MODE& mode = document->mode;
  mode.tool = kToolDPoint;
  mode.state = 1;
  mode.rubberX = mode.mirrorRubberX = 200;
  mode.rubberY = mode.mirrorRubberY = 40;
  document->scene.showGrid = 0;
  RecordingCanvas canvas;
  RedrawSoftware(*document, ViewColors(), canvas);
  EXPECT_EQ(model.lineCount, 2);  // restored after the scene
  ASSERT_EQ(canvas.lines.size(), 1u);
  EXPECT_EQ(canvas.lines[0].mode, PenMode::kInvert);
  EXPECT_EQ(canvas.lines[0].x1, 200);

  mode.mirrorRubberX = 160;
  RecordingCanvas two;
  RedrawSoftware(*document, ViewColors(), two);
  EXPECT_EQ(two.lines.size(), 2u);
}

TEST(SoftwareRenderer, HandleOnlyForTransformToolsWithASelection) {
  auto document = OpenWindow();
  testing::UnitQuad(document->model);
  document->model.points[1].state = kStateSelected;
  RefreshSelection(*document);
  RecordingCanvas idle;
  DrawHandleAxes(*document, idle);
  EXPECT_TRUE(idle.lines.empty());
  document->mode.tool = kToolRotate;
  RecordingCanvas canvas;
  DrawHandleAxes(*document, canvas);
  EXPECT_EQ(canvas.lines.size(), 3u);
  EXPECT_EQ(canvas.frames, 1);
}

}  // namespace
}  // namespace vexal


namespace vexal {
namespace {

TEST(ImageViewer, ClientSizesCaptionsAndAlpha) {
  EXPECT_EQ(ViewerClientSize(ViewerDisplayedSize(100, 50, kViewerDefaultLevel)).width, 144);
  EXPECT_EQ(ViewerClientSize(ViewerDisplayedSize(100, 50, kViewerDefaultLevel)).height, 80);
  const ViewerSize big = ViewerClientSize(ViewerDisplayedSize(2000, 1000, kViewerDefaultLevel));
  EXPECT_EQ(big.width, 784);
  EXPECT_EQ(big.height, 528);
  EXPECT_EQ(ViewerClientSize({300, 200}).width, 316);
  EXPECT_EQ(ViewerDisplayedSize(101, 3, 2).width, 75);  // trunc(75.75)

  NImage rgba;
  ASSERT_TRUE(rgba.Allocate(2, 1, 4));
  rgba.pixels = {1, 2, 3, 40, 5, 6, 7, 80};
  EXPECT_EQ(ViewerCaption("/a/b.tga", rgba), "/a/b.tga [ 2x1 ] (32 bit)");
  EXPECT_EQ(ViewerAlphaPlane(rgba), (std::vector<uint8_t>{40, 80}));
  EXPECT_EQ(ViewerColorPlane(rgba), (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));

  NImage indexed;
  ASSERT_TRUE(indexed.Allocate(2, 1, 1));
  ASSERT_TRUE(indexed.AllocatePalette(2, 4));
  indexed.palette = {10, 20, 30, 0, 40, 50, 60, 255};
  indexed.pixels = {1, 0};
  EXPECT_EQ(ViewerCaption("p.png", indexed), "p.png [ 2x1 ] (8 bit)");
  EXPECT_EQ(ViewerAlphaPlane(indexed), (std::vector<uint8_t>{255, 0}));
  EXPECT_EQ(ViewerColorPlane(indexed), (std::vector<uint8_t>{40, 50, 60, 10, 20, 30}));

  NImage rgb;
  ASSERT_TRUE(rgb.Allocate(1, 1, 3));
  EXPECT_TRUE(ViewerAlphaPlane(rgb).empty());
  EXPECT_EQ(ViewerCaption("x.bmp", rgb), "x.bmp [ 1x1 ] (24 bit)");
}

}  // namespace
}  // namespace vexal
