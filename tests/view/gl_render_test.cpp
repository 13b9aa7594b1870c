// Pictures drawn by the OpenGL renderer off-screen (EGL, no display needed),
// probed pixel by pixel. Skipped with the reason when no context can be had
// (a failure under VEXAL_REQUIRE_GL=1, as CI runs them).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "images/png_writer.h"
#include "io/file_bytes.h"
#include "model/maintenance.h"
#include "support/gl_required.h"
#include "support/test_models.h"
#include "view/gl_offscreen.h"
#include "model/camera.h"

namespace vexal {
namespace {

constexpr int kSize = 200;

// One view shared by the whole program: creating llvmpipe contexts is slow.
OffscreenGLView* SharedView(std::string& reason) {
  static std::unique_ptr<OffscreenGLView> view;
  static std::string failure;
  static bool tried = false;
  if (!tried) {
    tried = true;
    auto candidate = std::make_unique<OffscreenGLView>(kSize, kSize);
    if (candidate->open(failure)) view = std::move(candidate);
  }
  reason = failure;
  return view.get();
}

#define REQUIRE_VIEW(view)                                                     \
  std::string skipReason;                                                      \
  OffscreenGLView* view = SharedView(skipReason);                              \
  if (view == nullptr) VEXAL_SKIP_WITHOUT_GL(skipReason);                      \
  view->resize(kSize, kSize)

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb PixelAt(const NImage& image, int x, int y) {
  const uint8_t* p = image.row(y) + static_cast<size_t>(x) * 3;
  return {p[0], p[1], p[2]};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

const Rgb kBackground{161, 161, 161};

// An empty document with a plain view: faces only, no grid, unlit, looking
// down -z at the origin from the default distance.
std::unique_ptr<Document> PlainScene(bool perspective = false) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  SCENE& scene = document->scene;
  SetScreenSize(scene, kSize, kSize);
  scene.showGrid = 0;
  scene.viewMode = 1;
  scene.showLight = 0;
  scene.doubleSided = 0;
  scene.perspective = scene.perspectiveDefault = perspective ? 1 : 0;
  return document;
}

// A square in the plane z = depth, corners counter-clockwise seen from +z
// (so it faces the default camera), UVs 0..1:
//   4 --- 3
//   |     |
//   1 --- 2
// Returns the surface number.
int AddSquare(Model& model, float left, float bottom, float side, float depth, int material) {
  const int first = model.pointCount + 1;
  SetPoint(model, first, left, bottom, depth, 0, 0);
  SetPoint(model, first + 1, left + side, bottom, depth, 0, 0);
  SetPoint(model, first + 2, left + side, bottom + side, depth, 0, 0);
  SetPoint(model, first + 3, left, bottom + side, depth, 0, 0);
  model.pointCount += 4;
  const int surface = ++model.faceCount;
  SetFace(model, surface, first, first + 1, first + 2, first + 3, material, 0);
  SetFaceUV(model, surface, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  return surface;
}

void Refresh(Document& document) { RefreshNormals(document.model, 1 | 2, true); }

NImage Render(OffscreenGLView& view, Document& document, const GLViewSettings& settings = {},
              GLDrawPath path = GLDrawPath::kBatched) {
  NImage image;
  EXPECT_TRUE(view.render(document, settings, image, path));
  return image;
}

// The window pixel of a model point, as the tools see it.
void PixelOf(const Document& document, const VECTOR& point, int& x, int& y) {
  const VECTOR p = point.transformed(ViewMatrix(document, true));
  x = static_cast<int>(p.x);
  y = static_cast<int>(p.y);
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "vexal_gl_" + std::to_string(::getpid()) + "_" + name;
}

// Writes a width x height RGBA PNG filled by `fill(x, y, pixel)`.
template <typename Fill>
std::string WritePng(const std::string& name, int width, int height, int channels, Fill fill) {
  NImage image;
  EXPECT_TRUE(image.Allocate(width, height, channels));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) fill(x, y, image.row(y) + static_cast<size_t>(x) * channels);
  }
  std::string png, reason;
  EXPECT_TRUE(EncodePng(image, png, &reason)) << reason;
  const std::string path = TempPath(name);
  EXPECT_TRUE(WriteFileAtomically(path, png, &reason)) << reason;
  return path;
}

TEST(GLLib, FramesNeedAValidContextAndProjectionNeedsAHeight) {
  GLLib unused;
  EXPECT_FALSE(unused.Begin());
  unused.End();  // harmless without a context

  // A platform that refuses shows up in `error` and leaves the holder invalid.
  class Refusing : public GLPlatformContext {
   public:
    explicit Refusing(int code) : code_(code) {}
    int create(std::string& reason) override {
      reason = "refused";
      return code_;
    }
    bool makeCurrent() override { return false; }
    void swapBuffers() override {}
    void doneCurrent() override {}
    void destroy() override {}

   private:
    int code_;
  };
  for (int code : {GLLib::kNoPixelFormat, GLLib::kSetPixelFormatFailed}) {
    Refusing platform(code);
    GLLib gl;
    EXPECT_FALSE(gl.Create(platform));
    EXPECT_EQ(gl.valid, 0);
    EXPECT_EQ(gl.error, code);
    EXPECT_EQ(gl.reason, "refused");
    EXPECT_FALSE(gl.Begin());
  }
  // A context that exists but cannot be made current skips the frame.
  Refusing unreliable(0);
  GLLib flaky;
  EXPECT_TRUE(flaky.Create(unreliable));
  EXPECT_FALSE(flaky.Begin());
  EXPECT_EQ(flaky.error, GLLib::kMakeCurrentFailed);

  REQUIRE_VIEW(view);
  GLLib& gl = view->gl();
  ASSERT_TRUE(gl.Begin());
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint viewport[4] = {};
  gl.SetProjection(120, 80, true);
  gl.SetProjection(50, 0, true);  // ignored: no height
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 120);
  EXPECT_EQ(viewport[3], 80);
  // The perspective frustum of 30 degrees: cot(15 deg) on the y axis.
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[5], 1.0 / std::tan(15.0 * 3.14159265358979 / 180.0), 1e-5);
  EXPECT_NEAR(projection[0], projection[5] * 80.0 / 120.0, 1e-5);
  gl.SetProjection(120, 80, false);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[5], 1.0 / (std::tan(0.2617993878) * 8.0), 1e-5);
  // A window with no width yet: no infinite or undefined matrix, no error.
  for (bool perspective : {true, false}) {
    gl.SetProjection(0, 80, perspective);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (GLfloat value : projection) EXPECT_TRUE(std::isfinite(value)) << perspective;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << perspective;
  }
  gl.End();
}

TEST(GLRender, UnlitSurfacesShowTheirLightColourExactly) {
  REQUIRE_VIEW(view);
  for (bool perspective : {false, true}) {
    auto document = PlainScene(perspective);
    AddSquare(document->model, -1, -1, 2, 0, 3);
    Refresh(*document);
    const NImage image = Render(*view, *document);
    EXPECT_EQ(PixelAt(image, kSize / 2, kSize / 2), (Rgb{255, 174, 174})) << perspective;
    EXPECT_EQ(PixelAt(image, 2, 2), kBackground);

    // Lit, the same square facing the camera is a blend of dark and light.
    document->scene.showLight = 1;
    const Rgb lit = PixelAt(Render(*view, *document), kSize / 2, kSize / 2);
    EXPECT_NE(lit, (Rgb{255, 174, 174}));
    EXPECT_GT(lit.r, 127);
  }
}

TEST(GLRender, PointsLandWhereTheViewMatrixPutsThem) {
  REQUIRE_VIEW(view);
  for (int perspective = 0; perspective <= 1; ++perspective) {
    auto document = PlainScene(perspective == 1);
    SCENE& scene = document->scene;
    scene.viewMode = 0;
    scene.angle = VECTOR(25, -40, 0);
    scene.zoom = 1.3f;
    scene.target = VECTOR(0.2f, -0.1f, 0.3f);
    Model& model = document->model;
    SetPoint(model, 1, 0.7f, 0.4f, -0.5f, 0, 0);
    SetPoint(model, 2, -0.6f, -0.5f, 0.2f, 1, 0);
    model.pointCount = 2;
    const NImage image = Render(*view, *document);
    const Rgb expected[2] = {{0, 0, 0}, {255, 0, 0}};
    for (int p = 1; p <= 2; ++p) {
      int x = 0, y = 0;
      PixelOf(*document, model.points[p].position, x, y);
      ASSERT_GT(x, 2);
      ASSERT_GT(y, 2);
      ASSERT_LT(x, kSize - 3);
      ASSERT_LT(y, kSize - 3);
      // A 4-pixel point covers the pixel diagonally next to its centre.
      int hits = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) hits += PixelAt(image, x + dx, y + dy) == expected[p - 1];
      }
      EXPECT_GE(hits, 4) << "point " << p << " perspective " << perspective;
    }
  }
}

TEST(GLRender, FacesTurnedAwayAreDrawnOnlyWithBackfaces) {
  REQUIRE_VIEW(view);
  for (bool perspective : {false, true}) {
    auto document = PlainScene(perspective);
    const int surface = AddSquare(document->model, -1, -1, 2, 0, 3);
    FlipFace(document->model, surface);
    Refresh(*document);
    EXPECT_EQ(PixelAt(Render(*view, *document), kSize / 2, kSize / 2), kBackground)
        << perspective;
    document->scene.doubleSided = 1;
    EXPECT_EQ(PixelAt(Render(*view, *document), kSize / 2, kSize / 2), (Rgb{255, 174, 174}))
        << perspective;
  }
}

TEST(GLRender, GuideSurfacesAreStippledAndFollowShowDummy) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  const int surface = AddSquare(document->model, -1, -1, 2, 0, kGuideMaterial);
  FlipFace(document->model, surface);  // guides are drawn from both sides
  Refresh(*document);
  document->scene.showDummy = 0;
  NImage image = Render(*view, *document);
  EXPECT_EQ(PixelAt(image, kSize / 2, kSize / 2), kBackground);

  document->scene.showDummy = 1;
  image = Render(*view, *document);
  const Rgb guide{233, 233, 233};
  int covered = 0, alternations = 0;
  for (int x = kSize / 2 - 10; x < kSize / 2 + 10; ++x) {
    const Rgb here = PixelAt(image, x, kSize / 2);
    const Rgb next = PixelAt(image, x + 1, kSize / 2);
    const Rgb below = PixelAt(image, x, kSize / 2 + 1);
    EXPECT_TRUE(here == guide || here == kBackground) << here;
    covered += here == guide;
    alternations += (here == guide) != (next == guide);
    EXPECT_NE(here == guide, below == guide);  // a checkerboard, not stripes
  }
  EXPECT_EQ(covered, 10);
  EXPECT_EQ(alternations, 20);
}

TEST(GLRender, CutOutAlphaDropsTexelsAtOrBelowAnEighth) {
  REQUIRE_VIEW(view);
  // Left half alpha 31 (0.12), right half 33 (0.13); white everywhere.
  const std::string path = WritePng("cutout.png", 16, 16, 4, [](int x, int, uint8_t* p) {
    p[0] = p[1] = p[2] = 255;
    p[3] = x < 8 ? 31 : 33;
  });
  auto document = PlainScene();
  AddSquare(document->model, -1, -1, 2, 0, 0);
  ASSERT_TRUE(SetText(document->model.materials[0].texture, path));
  Refresh(*document);
  ASSERT_TRUE(LoadMaterialTexture(*document, view->gl(), view->textures(), 0));
  int leftX = 0, rightX = 0, y = 0;
  PixelOf(*document, VECTOR(-0.5f, 0, 0), leftX, y);
  PixelOf(*document, VECTOR(0.5f, 0, 0), rightX, y);

  document->scene.alphaMode = 1;
  NImage image = Render(*view, *document);
  EXPECT_EQ(PixelAt(image, leftX, y), kBackground);
  EXPECT_EQ(PixelAt(image, rightX, y), (Rgb{255, 255, 255}));

  document->scene.alphaMode = 0;
  image = Render(*view, *document);
  EXPECT_EQ(PixelAt(image, leftX, y), (Rgb{255, 255, 255}));
}

TEST(GLRender, BlendedAlphaDrawsHalfTransparentBackToFront) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  Model& model = document->model;
  // Surface 1 near the eye, surface 2 behind it: table order would let the
  // near one hide the far one through the depth test.
  AddSquare(model, -1, -1, 2, 0.5f, 3);
  AddSquare(model, -0.5f, -0.5f, 2, -0.5f, 2);
  SetMaterialColors(model, 3, 255, 0, 0, 128, 255, 0, 0, 128);
  SetMaterialColors(model, 2, 0, 0, 255, 255, 0, 0, 255, 255);
  Refresh(*document);
  document->scene.alphaMode = 2;
  const NImage image = Render(*view, *document);

  int x = 0, y = 0;
  PixelOf(*document, VECTOR(-0.8f, -0.8f, 0.5f), x, y);  // the near square alone
  const float a = 128.0f / 255.0f;
  const Rgb halfRed{static_cast<int>(std::lround(255 * a + 161 * (1 - a))),
                    static_cast<int>(std::lround(161 * (1 - a))),
                    static_cast<int>(std::lround(161 * (1 - a)))};
  EXPECT_TRUE(Near(PixelAt(image, x, y), halfRed, 1)) << PixelAt(image, x, y);

  PixelOf(*document, VECTOR(0.2f, 0.2f, 0.5f), x, y);  // both squares
  const Rgb overBlue{static_cast<int>(std::lround(255 * a)), 0,
                     static_cast<int>(std::lround(255 * (1 - a)))};
  EXPECT_TRUE(Near(PixelAt(image, x, y), overBlue, 1)) << PixelAt(image, x, y);

  // Opaque mode draws the alpha-128 material solid.
  document->scene.alphaMode = 0;
  EXPECT_EQ(PixelAt(Render(*view, *document), x, y), (Rgb{255, 0, 0}));
}

TEST(GLRender, BoundaryBetweenMaterialsIsOutlined) {
  REQUIRE_VIEW(view);
  auto document = PlainScene();
  Model& model = document->model;
  // Two coplanar squares sharing the edge x = 0.
  AddSquare(model, -1, -1, 1, 0, 3);
  AddSquare(model, 0, -1, 1, 0, 3);
  ASSERT_EQ(CompactModel(model, kCompactMerge | kCompactRebuildLines), 1);
  Refresh(*document);
  GLViewSettings settings;
  settings.CellEdgeNormal = settings.CellEdgeBorder = settings.CellEdgeSmooth = 0;
  settings.CellEdgeBoundary = 1;
  settings.CellEdgeBoundaryWidth = 3;
  document->scene.cellEdge = 1;
  int x = 0, y = 0;
  PixelOf(*document, VECTOR(0, -0.5f, 0), x, y);

  auto darkAround = [&](const NImage& image) {
    int dark = 0;
    for (int dx = -2; dx <= 2; ++dx) dark += PixelAt(image, x + dx, y) == (Rgb{0, 0, 0});
    return dark;
  };
  EXPECT_EQ(darkAround(Render(*view, *document, settings)), 0);  // one material
  model.faces[2].material = 4;
  EXPECT_GE(darkAround(Render(*view, *document, settings)), 2);
  settings.CellEdgeBoundary = 0;
  settings.CellEdgeBorder = 1;  // outlines on, but not this class
  EXPECT_EQ(darkAround(Render(*view, *document, settings)), 0);
}

TEST(GLRender, CreasesSharperThanTheSmoothingAngleAreOutlined) {
  REQUIRE_VIEW(view);
  auto document = PlainScene();
  Model& model = document->model;
  // A roof: two squares meeting at the ridge x = 0 at 53 degrees.
  SetPoint(model, 1, -1, -1, 0, 0, 0);
  SetPoint(model, 2, 0, -1, 0.5f, 0, 0);
  SetPoint(model, 3, 0, 1, 0.5f, 0, 0);
  SetPoint(model, 4, -1, 1, 0, 0, 0);
  SetPoint(model, 5, 1, -1, 0, 0, 0);
  SetPoint(model, 6, 1, 1, 0, 0, 0);
  model.pointCount = 6;
  SetFace(model, 1, 1, 2, 3, 4, 3, 0);
  SetFace(model, 2, 2, 5, 6, 3, 3, 0);
  model.faceCount = 2;
  ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
  Refresh(*document);
  GLViewSettings settings;
  settings.CellEdgeNormal = settings.CellEdgeBorder = settings.CellEdgeBoundary = 0;
  settings.CellEdgeSmooth = 1;
  settings.CellEdgeSmoothWidth = 3;
  document->scene.cellEdge = 1;
  int x = 0, y = 0;
  PixelOf(*document, VECTOR(0, 0.3f, 0.5f), x, y);
  auto darkAround = [&] {
    const NImage image = Render(*view, *document, settings);
    int dark = 0;
    for (int dx = -2; dx <= 2; ++dx) dark += PixelAt(image, x + dx, y) == (Rgb{0, 0, 0});
    return dark;
  };
  model.materials[3].smoothingAngle = 59.5f;  // smoothed across the ridge
  EXPECT_EQ(darkAround(), 0);
  model.materials[3].smoothingAngle = 30.0f;
  EXPECT_GE(darkAround(), 2);
  model.faces[2].material = kGuideMaterial;  // guides make no outlines
  EXPECT_EQ(darkAround(), 0);
}

TEST(GLRender, EachBackgroundPictureLiesOnItsOwnPlane) {
  REQUIRE_VIEW(view);
  const std::string red = WritePng("red.png", 40, 40, 3, [](int, int, uint8_t* p) {
    p[0] = 255;
    p[1] = p[2] = 0;
  });
  // The camera angles that look along each axis from either side.
  const VECTOR sides[3][2] = {{{0, 90, 0}, {0, -90, 0}},
                              {{90, 0, 0}, {-90, 0, 0}},
                              {{0, 0, 0}, {0, 180, 0}}};
  for (int slot = 0; slot < kPictureSlots; ++slot) {
    for (int flipSide = 0; flipSide <= 1; ++flipSide) {
      auto document = PlainScene();
      document->scene.pictureDepth = 2;
      BPICTURE& picture = document->model.pictures[slot];
      ASSERT_TRUE(SetText(picture.path, red));
      picture.flipSide = flipSide;
      ASSERT_TRUE(LoadPictureTexture(*document, view->gl(), view->textures(), slot));
      EXPECT_EQ(picture.width, 40);
      int filled[2] = {0, 0};
      for (int side = 0; side < 2; ++side) {
        document->scene.angle = sides[slot][side];
        const NImage image = Render(*view, *document);
        filled[side] = PixelAt(image, kSize / 2, kSize / 2) == (Rgb{255, 0, 0});
        // 40 pixels x 0.01 is the half side: 0.8 units square on the axis.
        int x = 0, y = 0;
        VECTOR offCentre(0.5f, 0.5f, 0.5f);
        PixelOf(*document, offCentre, x, y);
        if (x >= 0 && y >= 0 && x < kSize && y < kSize) {
          EXPECT_EQ(PixelAt(image, x, y), kBackground) << slot << " " << side;
        }
      }
      // Filled only when seen across the origin from the positive side of
      // its axis; flip side moves it to the positive side, facing back.
      EXPECT_EQ(filled[0], 1 - flipSide) << "slot " << slot << " flip side " << flipSide;
      EXPECT_EQ(filled[1], flipSide) << "slot " << slot << " flip side " << flipSide;
      document->scene.showBackPicture = 0;
      document->scene.angle = sides[slot][filled[0] ? 0 : 1];
      EXPECT_EQ(PixelAt(Render(*view, *document), kSize / 2, kSize / 2), kBackground);
    }
  }
}

TEST(GLTexture, UploadSizesArePowersOfTwoFromEightTo512) {
  REQUIRE_VIEW(view);
  const struct {
    int width, height, textureWidth, textureHeight;
  } cases[] = {{300, 100, 256, 128}, {600, 5, 512, 8}, {11, 12, 8, 16}, {362, 363, 256, 512}};
  for (const auto& c : cases) {
    const std::string path = WritePng("size.png", c.width, c.height, 3,
                                      [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = x & 255; });
    auto document = PlainScene();
    ASSERT_TRUE(SetText(document->model.materials[5].texture, path));
    ASSERT_TRUE(LoadMaterialTexture(*document, view->gl(), view->textures(), 5));
    const MATERIAL& material = document->model.materials[5];
    EXPECT_EQ(material.textureLoaded, 1);
    EXPECT_EQ(material.textureWidth, c.width);  // the image, not the texture
    EXPECT_EQ(material.textureHeight, c.height);
    ASSERT_TRUE(view->gl().Begin());
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, view->textures().material[5]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glBindTexture(GL_TEXTURE_2D, 0);
    view->gl().End();
    EXPECT_EQ(width, c.textureWidth) << c.width << "x" << c.height;
    EXPECT_EQ(height, c.textureHeight) << c.width << "x" << c.height;
  }

  // A file that cannot be read leaves the material untextured.
  auto document = PlainScene();
  ASSERT_TRUE(SetText(document->model.materials[5].texture, TempPath("missing.png")));
  EXPECT_FALSE(LoadMaterialTexture(*document, view->gl(), view->textures(), 5));
  EXPECT_EQ(document->model.materials[5].textureLoaded, 0);
  EXPECT_EQ(document->model.materials[5].textureWidth, 0);
}

// Loads take the filter of the view's switch; SetTextureFilter changes both
// the minifying and the magnifying filter of one texture.
TEST(GLTexture, FiltersFollowTheLinearSwitches) {
  REQUIRE_VIEW(view);
  const std::string path = WritePng("filter.png", 16, 16, 3, [](int, int, uint8_t* p) { p[1] = 7; });
  auto document = PlainScene();
  ASSERT_TRUE(SetText(document->model.materials[6].texture, path));
  ASSERT_TRUE(SetText(document->model.pictures[1].path, path));
  auto filters = [&](unsigned name) {
    GLint minFilter = 0, magFilter = 0;
    EXPECT_TRUE(view->gl().Begin());
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
    view->gl().End();
    return std::pair<GLint, GLint>(minFilter, magFilter);
  };
  const std::pair<GLint, GLint> nearest(GL_NEAREST, GL_NEAREST), linear(GL_LINEAR, GL_LINEAR);
  document->scene.linearTexture = 1;
  document->scene.linearBackPicture = 0;
  ASSERT_TRUE(LoadMaterialTexture(*document, view->gl(), view->textures(), 6));
  ASSERT_TRUE(LoadPictureTexture(*document, view->gl(), view->textures(), 1));
  EXPECT_EQ(filters(view->textures().material[6]), linear);
  EXPECT_EQ(filters(view->textures().picture[1]), nearest);
  SetMaterialTextureFilters(view->gl(), view->textures(), false);
  SetPictureTextureFilters(view->gl(), view->textures(), true);
  EXPECT_EQ(filters(view->textures().material[6]), nearest);
  EXPECT_EQ(filters(view->textures().picture[1]), linear);
}

TEST(GLTexture, StoredNamesAreFoundBesideTheDocument) {
  REQUIRE_VIEW(view);
  const std::string path = WritePng("beside.png", 24, 12, 3, [](int, int, uint8_t* p) { p[0] = 9; });
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  const std::string name = path.substr(folder.size());
  auto document = PlainScene();
  document->scene.fileName = folder + "robot.vxl";
  const std::string stored[] = {name, "C:\\models\\" + name, ".\\" + name};
  for (const std::string& text : stored) {
    ASSERT_TRUE(SetText(document->model.materials[1].texture, text));
    EXPECT_TRUE(LoadMaterialTexture(*document, view->gl(), view->textures(), 1)) << text;
    EXPECT_EQ(document->model.materials[1].textureWidth, 24) << text;
  }
  ASSERT_TRUE(SetText(document->model.pictures[2].path, "Z:\\" + name));
  EXPECT_TRUE(LoadPictureTexture(*document, view->gl(), view->textures(), 2));
}

TEST(GLTexture, GreyTexturesModulateAndBlendedOnesTakeTheMaterialColour) {
  REQUIRE_VIEW(view);
  const std::string grey = WritePng("grey.png", 8, 8, 1, [](int, int, uint8_t* p) { p[0] = 200; });
  auto document = PlainScene();
  AddSquare(document->model, -1, -1, 2, 0, 3);
  ASSERT_TRUE(SetText(document->model.materials[3].texture, grey));
  Refresh(*document);
  ASSERT_TRUE(LoadMaterialTexture(*document, view->gl(), view->textures(), 3));
  // Unlit, unblended: texel x grey 1.0.
  EXPECT_TRUE(Near(PixelAt(Render(*view, *document), kSize / 2, kSize / 2), (Rgb{200, 200, 200}), 1));
  // Blended: texel x light colour (255, 174, 174).
  document->model.materials[3].blend = 1;
  EXPECT_TRUE(Near(PixelAt(Render(*view, *document), kSize / 2, kSize / 2),
                   (Rgb{200, 200 * 174 / 255, 200 * 174 / 255}), 1));
  // Textures off: the plain colour.
  document->scene.showTexture = 0;
  EXPECT_EQ(PixelAt(Render(*view, *document), kSize / 2, kSize / 2), (Rgb{255, 174, 174}));
}

TEST(GLTexture, UndoReloadsATextureWhoseNameChanged) {
  REQUIRE_VIEW(view);
  const std::string small = WritePng("small.png", 20, 10, 3, [](int, int, uint8_t* p) { p[0] = 1; });
  const std::string large = WritePng("large.png", 70, 30, 3, [](int, int, uint8_t* p) { p[0] = 2; });
  auto document = PlainScene();
  TextureReloader reloader(*document, view->gl(), view->textures());
  document->observer = &reloader;
  MATERIAL& material = document->model.materials[2];
  ASSERT_TRUE(SetText(material.texture, small));
  LoadMaterialTexture(*document, view->gl(), view->textures(), 2);
  ResetUndo(*document);
  ASSERT_TRUE(SetText(document->model.materials[2].texture, large));
  LoadMaterialTexture(*document, view->gl(), view->textures(), 2);
  PushUndo(*document, 1);
  EXPECT_EQ(document->model.materials[2].textureWidth, 70);
  StepUndo(*document, -1);
  EXPECT_EQ(TextOf(document->model.materials[2].texture), small);
  EXPECT_EQ(document->model.materials[2].textureWidth, 20);
  StepUndo(*document, 1);
  EXPECT_EQ(document->model.materials[2].textureWidth, 70);
  document->observer = nullptr;
}

TEST(GLTexture, UndoToASnapshotTakenBeforeLoadingKeepsTheTexture) {
  REQUIRE_VIEW(view);
  const std::string path = WritePng("kept.png", 16, 16, 3, [](int, int, uint8_t* p) {
    p[0] = 200;
    p[1] = 50;
    p[2] = 100;
  });
  auto document = PlainScene();
  AddSquare(document->model, -1, -1, 2, 0, 4);
  ASSERT_TRUE(SetText(document->model.materials[4].texture, path));
  Refresh(*document);
  // As after opening a file: the base snapshot first, then the textures.
  ResetUndo(*document);
  TextureReloader reloader(*document, view->gl(), view->textures());
  document->observer = &reloader;
  view->loadTextures(*document);
  document->model.points[1].position.x -= 0.5f;
  Refresh(*document);
  PushUndo(*document, 1);
  StepUndo(*document, -1);
  EXPECT_EQ(document->model.materials[4].textureLoaded, 1);
  EXPECT_EQ(document->model.materials[4].textureWidth, 16);
  // Still drawn as a grey-modulated texture, not as a tinted one.
  EXPECT_EQ(PixelAt(Render(*view, *document), kSize / 2, kSize / 2), (Rgb{200, 50, 100}));
  document->observer = nullptr;
}

TEST(GLRender, HandleOverlayShowsOnlyForTransformToolsWithASelection) {
  REQUIRE_VIEW(view);
  auto document = PlainScene();
  SCENE& scene = document->scene;
  scene.handle = VECTOR(0.2f, 0.1f, 0);
  scene.selectedCount = 1;
  const VECTOR p = ProjectPoint(*document, scene.handle, true);
  auto yellowNear = [&](const NImage& image) {
    int yellow = 0;
    for (int dy = -12; dy <= 12; ++dy) {
      for (int dx = -12; dx <= 12; ++dx) {
        yellow += PixelAt(image, static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy) ==
                  (Rgb{255, 255, 0});
      }
    }
    return yellow;
  };
  document->mode.tool = kToolSelect;
  EXPECT_EQ(yellowNear(Render(*view, *document)), 0);
  document->mode.tool = kToolMove;
  const NImage image = Render(*view, *document);
  EXPECT_GE(yellowNear(image), 60);  // a 20-pixel square outline
  // The red X axis runs where the software overlay draws it, 80 pixels.
  const float length = PixelSize(*document, ProjectPoint(*document, scene.handle, false).z) * 80;
  const VECTOR end = ProjectPoint(*document, scene.handle - VECTOR(length, 0, 0), true);
  EXPECT_NEAR(std::hypot(end.x - p.x, end.y - p.y), 80.0, 1.0);
  for (float t = 0.3f; t < 0.95f; t += 0.1f) {
    const int x = static_cast<int>(p.x + (end.x - p.x) * t);
    const int y = static_cast<int>(p.y + (end.y - p.y) * t);
    int red = 0;
    for (int dy = -1; dy <= 1; ++dy) red += PixelAt(image, x, y + dy) == (Rgb{255, 0, 0});
    EXPECT_GE(red, 1) << "at " << t;
  }
  scene.showHandle = 0;
  EXPECT_EQ(yellowNear(Render(*view, *document)), 0);
}

TEST(GLRender, RestoresTheStateItChanges) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  document->scene.alphaMode = 2;
  document->scene.cellEdge = 1;
  document->scene.viewMode = 2;
  testing::ClosedCube(document->model);
  Refresh(*document);
  GLRenderBuffers buffers;
  ASSERT_TRUE(view->gl().Begin());
  glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
  glEnable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glLineWidth(3.0f);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  RenderGL(*document, view->textures(), GLViewSettings{}, buffers);
  GLfloat clear[4], width = 0, modelview[16];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glGetFloatv(GL_LINE_WIDTH, &width);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  EXPECT_FLOAT_EQ(clear[1], 0.5f);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FLOAT_EQ(width, 3.0f);
  EXPECT_FLOAT_EQ(modelview[14], 3.0f);
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glDisable(GL_CULL_FACE);
  glLineWidth(1.0f);
  glLoadIdentity();
  view->gl().End();
}

// Closed solids seen from anywhere: each face's own colour (unlit), so a
// wrong facing test would show the far faces instead of the near ones.
TEST(GLRender, FacingTestsAgreeWithTheDepthTestFromEveryAngle) {
  REQUIRE_VIEW(view);
  std::mt19937 random(8);
  std::uniform_real_distribution<float> angle(-180.0f, 180.0f);
  for (int perspective = 0; perspective <= 1; ++perspective) {
    auto document = PlainScene(perspective == 1);
    testing::ClosedCube(document->model);
    for (int s = 1; s <= 6; ++s) {
      document->model.faces[s].material = s;
      SetMaterialColors(document->model, s, 40 * s, 255 - 30 * s, 100, 255, 0, 0, 0, 255);
    }
    Refresh(*document);
    for (int trial = 0; trial < 6; ++trial) {
      document->scene.angle = VECTOR(angle(random), angle(random), 0);
      document->scene.doubleSided = 0;
      const NImage culled = Render(*view, *document);
      document->scene.doubleSided = 1;
      const NImage both = Render(*view, *document);
      int different = 0;
      for (size_t i = 0; i < both.pixels.size(); ++i) different += culled.pixels[i] != both.pixels[i];
      EXPECT_LE(different, 30) << "perspective " << perspective << " angles "
                               << document->scene.angle.x << ", " << document->scene.angle.y;
    }
  }
}

// The light is fixed to the view: from the upper left, in front. Each face
// of a cube turned by the camera gets the brightness its normal has in the
// camera frame (OpenGL's own rotation of the base camera).
TEST(GLRender, LightComesFromTheUpperLeftFrontOfTheView) {
  REQUIRE_VIEW(view);
  auto document = PlainScene();
  testing::ClosedCube(document->model);
  for (int s = 1; s <= 6; ++s) document->model.faces[s].material = 3;
  SetMaterialColors(document->model, 3, 255, 255, 255, 255, 0, 0, 0, 255);
  Refresh(*document);
  SCENE& scene = document->scene;
  scene.showLight = 1;
  scene.showReflection = 0;
  scene.zoom = 0.5f;
  for (const VECTOR& a : {VECTOR(30, 40, 0), VECTOR(-50, 120, 0), VECTOR(70, -20, 0)}) {
    scene.angle = a;
    const NImage image = Render(*view, *document);
    const float ax = a.x * 3.14159265f / 180, ay = -a.y * 3.14159265f / 180;
    for (int s = 1; s <= 6; ++s) {
      const FACE& face = document->model.faces[s];
      VECTOR n = face.normal.normalized();
      // Ry(ay) then Rx(ax), as glRotatef composes them on a column vector.
      VECTOR r(n.x * std::cos(ay) + n.z * std::sin(ay), n.y, -n.x * std::sin(ay) + n.z * std::cos(ay));
      VECTOR e(r.x, r.y * std::cos(ax) - r.z * std::sin(ax), r.y * std::sin(ax) + r.z * std::cos(ax));
      if (e.z <= 0.05f) continue;  // not seen
      const float intensity = e.dot(VECTOR(-1, 1, 1).normalized());
      VECTOR centre;
      for (int j = 0; j < 4; ++j) centre += document->model.points[face.corners[j]].position * 0.25f;
      int x = 0, y = 0;
      PixelOf(*document, centre, x, y);
      const int expected = static_cast<int>(std::lround(255 * std::clamp(intensity, 0.0f, 1.0f)));
      EXPECT_NEAR(PixelAt(image, x, y).r, expected, 3) << "face " << s << " angles " << a.x << ", " << a.y;
    }
  }
}

// Seen from behind, the square that was far is now near: the order of
// blended surfaces follows the camera.
TEST(GLRender, BlendedSurfacesSortByTheCurrentView) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  Model& model = document->model;
  AddSquare(model, -1, -1, 2, 0.5f, 3);
  AddSquare(model, -0.5f, -0.5f, 2, -0.5f, 2);
  SetMaterialColors(model, 3, 255, 0, 0, 128, 255, 0, 0, 128);
  SetMaterialColors(model, 2, 0, 0, 255, 128, 0, 0, 255, 128);
  Refresh(*document);
  document->scene.alphaMode = 2;
  document->scene.doubleSided = 1;
  const float a = 128.0f / 255.0f;
  auto over = [&](int nearRed, int nearBlue, int farRed, int farBlue) {
    const float r = nearRed * a + (farRed * a + 161 * (1 - a)) * (1 - a);
    const float b = nearBlue * a + (farBlue * a + 161 * (1 - a)) * (1 - a);
    return Rgb{static_cast<int>(std::lround(r)), static_cast<int>(std::lround(161 * (1 - a) * (1 - a))),
               static_cast<int>(std::lround(b))};
  };
  int x = 0, y = 0;
  PixelOf(*document, VECTOR(0.2f, 0.2f, 0), x, y);
  EXPECT_TRUE(Near(PixelAt(Render(*view, *document), x, y), over(255, 0, 0, 255), 2));
  document->scene.angle = VECTOR(0, 180, 0);
  PixelOf(*document, VECTOR(0.2f, 0.2f, 0), x, y);
  EXPECT_TRUE(Near(PixelAt(Render(*view, *document), x, y), over(0, 255, 255, 0), 2))
      << PixelAt(Render(*view, *document), x, y);
}

// The outline classes on their own: the silhouette shell rims a closed cube
// and leaves its front alone; open edges and silhouette edges are lines of
// the border width.
TEST(GLRender, CartoonShellAndBorderOutlineTheSilhouette) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  testing::ClosedCube(document->model);
  for (int s = 1; s <= 6; ++s) document->model.faces[s].material = 3;
  Refresh(*document);
  SCENE& scene = document->scene;
  scene.cellEdge = 1;
  scene.zoom = 0.5f;
  scene.angle = VECTOR(0, 0, 0);
  GLViewSettings settings;
  settings.CellEdgeBorder = settings.CellEdgeBoundary = settings.CellEdgeSmooth = 0;
  settings.CellEdgeNormal = 1;
  settings.CellEdgeNormalWidth = 4;
  // The front square of the cube spans x, y = -1..1 at z = 1.
  int right = 0, y = 0, centreX = 0, centreY = 0;
  PixelOf(*document, VECTOR(1, 0, 1), right, y);
  PixelOf(*document, VECTOR(0, 0, 1), centreX, centreY);
  const Rgb black{0, 0, 0};
  NImage image = Render(*view, *document, settings);
  EXPECT_EQ(PixelAt(image, right + 2, y), black);
  EXPECT_EQ(PixelAt(image, right + 8, y), kBackground);
  EXPECT_EQ(PixelAt(image, centreX, centreY), (Rgb{255, 174, 174}));
  settings.CellEdgeNormal = 0;
  settings.CellEdgeBorder = 1;
  EXPECT_EQ(PixelAt(Render(*view, *document, settings), right + 2, y), kBackground);

  // An open square: its four edges are borders of width 3.
  auto open = PlainScene();
  AddSquare(open->model, -1, -1, 2, 0, 3);
  ASSERT_EQ(CompactModel(open->model, kCompactRebuildLines), 1);
  Refresh(*open);
  open->scene.cellEdge = 1;
  settings.CellEdgeBorderWidth = 3;
  PixelOf(*open, VECTOR(1, 0, 0), right, y);
  image = Render(*view, *open, settings);
  int dark = 0;
  for (int dx = -3; dx <= 3; ++dx) dark += PixelAt(image, right + dx, y) == black;
  EXPECT_GE(dark, 3);
  settings.CellEdgeBorderWidth = 1;
  image = Render(*view, *open, settings);
  dark = 0;
  for (int dx = -3; dx <= 3; ++dx) dark += PixelAt(image, right + dx, y) == black;
  EXPECT_EQ(dark, 1);
}

// Wire lines: hidden lines only with "Show Hidden Edge" unless a visible
// surface borders them; edges of selected surfaces in the selection colour.
TEST(GLRender, LinesFollowTheirStateAndTheirSurfaces) {
  REQUIRE_VIEW(view);
  auto document = PlainScene();
  document->scene.viewMode = 0;
  document->scene.showHiddenEdges = 0;
  Model& model = document->model;
  AddSquare(model, -1, -1, 2, 0, 3);
  ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
  Refresh(*document);
  const int line = FindLine(model, 2, 3);  // the right edge, x = 1
  ASSERT_GT(line, 0);
  int x = 0, y = 0;
  PixelOf(*document, VECTOR(1, 0, 0), x, y);
  auto colourNear = [&](const Rgb& colour) {
    const NImage image = Render(*view, *document);
    int hits = 0;
    for (int dx = -1; dx <= 1; ++dx) hits += PixelAt(image, x + dx, y) == colour;
    return hits;
  };
  const Rgb black{0, 0, 0}, red{255, 0, 0}, silver{192, 192, 192};
  EXPECT_GE(colourNear(black), 1);
  model.lines[line].state = kStateHidden;
  EXPECT_GE(colourNear(black), 1);  // a visible surface still borders it
  model.faces[1].state = kStateHidden;
  EXPECT_EQ(colourNear(black) + colourNear(silver), 0);
  document->scene.showHiddenEdges = 1;
  EXPECT_GE(colourNear(silver), 1);
  model.faces[1].state = kStateSelected;
  EXPECT_GE(colourNear(red), 1);
}

// The picture of the Z axis seen from the front: upright, mirrored by the
// flip switch, sized by the scale and moved by the offset.
TEST(GLRender, BackgroundPictureOrientationFlipScaleAndOffset) {
  REQUIRE_VIEW(view);
  // Quadrants: red top left, green top right, blue bottom left, white.
  const std::string path = WritePng("quadrants.png", 40, 40, 3, [](int x, int y, uint8_t* p) {
    const bool left = x < 20, top = y < 20;
    p[0] = (top && left) || (!top && !left) ? 255 : 0;
    p[1] = (top && !left) || (!top && !left) ? 255 : 0;
    p[2] = !top ? 255 : 0;
  });
  auto document = PlainScene();
  SCENE& scene = document->scene;
  scene.pictureDepth = 1;
  BPICTURE& picture = document->model.pictures[2];
  ASSERT_TRUE(SetText(picture.path, path));
  ASSERT_TRUE(LoadPictureTexture(*document, view->gl(), view->textures(), 2));
  const Rgb red{255, 0, 0}, green{0, 255, 0};
  auto at = [&](float x, float y) {
    int px = 0, py = 0;
    PixelOf(*document, VECTOR(x, y, -scene.pictureDepth * scene.pictureScale), px, py);
    return PixelAt(Render(*view, *document), px, py);
  };
  EXPECT_EQ(at(-0.2f, 0.2f), red);
  EXPECT_EQ(at(0.2f, 0.2f), green);
  EXPECT_EQ(at(0.6f, 0.2f), kBackground);
  picture.flip = 1;
  EXPECT_EQ(at(-0.2f, 0.2f), green);
  picture.flip = 0;
  scene.pictureScale = 2;  // twice as large and twice as deep
  EXPECT_EQ(at(-0.6f, 0.6f), red);
  EXPECT_EQ(at(-0.9f, 0.6f), kBackground);
  scene.pictureScale = 1;
  scene.pictureOffset = VECTOR(0.5f, 0, 0);
  EXPECT_EQ(at(0.6f, 0.2f), green);
  EXPECT_EQ(at(0.2f, 0.2f), red);
}

// Whatever state the host leaves in the context, a frame is drawn as every
// frame is: here a background picture seen from behind keeps its outline
// though the host left face culling on.
TEST(GLRender, FrameDoesNotDependOnTheStateTheHostLeft) {
  REQUIRE_VIEW(view);
  const std::string red = WritePng("outline.png", 40, 40, 3, [](int, int, uint8_t* p) {
    p[0] = 255;
    p[1] = p[2] = 0;
  });
  auto document = PlainScene();
  BPICTURE& picture = document->model.pictures[2];
  ASSERT_TRUE(SetText(picture.path, red));
  ASSERT_TRUE(LoadPictureTexture(*document, view->gl(), view->textures(), 2));
  document->scene.angle = VECTOR(0, 180, 0);
  GLRenderBuffers buffers;
  auto redPixels = [&](bool hostCulls) {
    EXPECT_TRUE(view->gl().Begin());
    view->gl().SetProjection(kSize, kSize, false);
    if (hostCulls) glEnable(GL_CULL_FACE);
    RenderGL(*document, view->textures(), GLViewSettings{}, buffers);
    NImage image;
    EXPECT_TRUE(ReadFrameImage(kSize, kSize, image));
    glDisable(GL_CULL_FACE);
    view->gl().End();
    int count = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) count += PixelAt(image, x, y) == (Rgb{255, 0, 0});
    }
    return count;
  };
  const int outline = redPixels(false);
  EXPECT_GT(outline, 100);
  EXPECT_LT(outline, 400);  // the outline, not the filled square
  EXPECT_EQ(redPixels(true), outline);
}

// Texture coordinates: v runs up the picture (the top row of the file at
// v = 1), u to the right.
TEST(GLTexture, FileTopRowMapsToTheTopOfTheUvSquare) {
  REQUIRE_VIEW(view);
  const std::string path = WritePng("updown.png", 16, 16, 3, [](int x, int y, uint8_t* p) {
    p[0] = y < 8 ? 255 : 0;  // top half red
    p[2] = x < 8 ? 0 : 255;  // right half blue
  });
  auto document = PlainScene();
  AddSquare(document->model, -1, -1, 2, 0, 3);
  ASSERT_TRUE(SetText(document->model.materials[3].texture, path));
  Refresh(*document);
  ASSERT_TRUE(LoadMaterialTexture(*document, view->gl(), view->textures(), 3));
  const NImage image = Render(*view, *document);
  int x = 0, y = 0;
  PixelOf(*document, VECTOR(-0.5f, 0.5f, 0), x, y);
  EXPECT_EQ(PixelAt(image, x, y), (Rgb{255, 0, 0}));
  PixelOf(*document, VECTOR(0.5f, -0.5f, 0), x, y);
  EXPECT_EQ(PixelAt(image, x, y), (Rgb{0, 0, 255}));
}

// The cel-shade switch of the unlit view: full light colour where the light
// falls at more than 0.3, the dark colour elsewhere.
TEST(GLRender, CelShadeSplitsLightAndDark) {
  REQUIRE_VIEW(view);
  auto document = PlainScene();
  testing::ClosedCube(document->model);
  for (int s = 1; s <= 6; ++s) document->model.faces[s].material = 3;
  SetMaterialColors(document->model, 3, 250, 200, 150, 255, 20, 40, 60, 255);
  Refresh(*document);
  document->scene.angle = VECTOR(30, 40, 0);
  document->scene.zoom = 0.5f;
  GLViewSettings settings;
  settings.celShade = true;
  const NImage image = Render(*view, *document, settings);
  const MATRIX rotation = ViewMatrix(*document, false);
  const VECTOR light = VECTOR(-1, 1, 1).transformed(rotation).normalized();
  const VECTOR toEye = VECTOR(0, 0, 1).transformed(rotation);
  int checked = 0;
  for (int s = 1; s <= 6; ++s) {
    const FACE& face = document->model.faces[s];
    if (face.normal.dot(toEye) < 0.1f) continue;
    VECTOR centre;
    for (int j = 0; j < 4; ++j) centre += document->model.points[face.corners[j]].position * 0.25f;
    int x = 0, y = 0;
    PixelOf(*document, centre, x, y);
    const bool lit = face.normal.normalized().dot(light) > 0.3f;
    EXPECT_EQ(PixelAt(image, x, y), lit ? (Rgb{250, 200, 150}) : (Rgb{20, 40, 60})) << "face " << s;
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

// Two blended surfaces at the same depth: the sort's exact moves decide
// which is drawn first, and the depth test then keeps that one alone.
// Depths (far, near, far) by surface number come out as 1, 3, 2.
TEST(GLRender, BlendedSurfacesAtTheSameDepthKeepTheSortsOrder) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  Model& model = document->model;
  AddSquare(model, -1, -1, 2, 0, 3);
  AddSquare(model, 1.2f, 1.2f, 0.3f, 1.0f, 2);  // nearer, out of the way
  AddSquare(model, -1, -1, 2, 0, 4);
  SetMaterialColors(model, 3, 255, 0, 0, 128, 255, 0, 0, 128);
  SetMaterialColors(model, 4, 0, 0, 255, 128, 0, 0, 255, 128);
  Refresh(*document);
  document->scene.alphaMode = 2;
  std::vector<int32_t> order;
  std::vector<float> keys, depths;
  SurfaceDrawOrder(*document, order, keys, depths);
  EXPECT_EQ(order, (std::vector<int32_t>{1, 3, 2}));
  // Any model: every surface once, farthest first.
  std::mt19937 random(3);
  for (int trial = 0; trial < 20; ++trial) {
    auto other = PlainScene(true);
    testing::RandomModel(other->model, random, {});
    other->scene.alphaMode = 2;
    other->scene.angle = VECTOR(static_cast<float>(trial * 17), static_cast<float>(trial * 29), 0);
    std::vector<int32_t> sorted;
    SurfaceDrawOrder(*other, sorted, keys, depths);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i) ASSERT_EQ(sorted[i], static_cast<int32_t>(i) + 1);
  }
  int x = 0, y = 0;
  PixelOf(*document, VECTOR(0, 0, 0), x, y);
  const Rgb pixel = PixelAt(Render(*view, *document), x, y);
  EXPECT_GT(pixel.r, 150) << pixel;
  EXPECT_LT(pixel.b, 100) << pixel;
}

// The batched path must draw what one glBegin/glEnd per polygon draws, in
// every mode that changes how surfaces are grouped.
TEST(GLRender, BatchedDrawingGivesTheImmediatePicture) {
  REQUIRE_VIEW(view);
  auto document = PlainScene(true);
  Model& model = document->model;
  testing::QuadTorus(model, 12, 16);
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].material = s % 5 == 0 ? 3 : (s % 7 == 0 ? 15 : 1);
  model.faces[4].state = kStateSelected;
  model.lines[9].state = kStateHidden;
  SetMaterialColors(model, 3, 250, 20, 20, 140, 90, 0, 0, 140);
  Refresh(*document);
  const std::string checker = WritePng("checker.png", 16, 16, 4, [](int x, int y, uint8_t* p) {
    p[0] = ((x / 4 + y / 4) % 2) * 255;
    p[1] = 128;
    p[2] = 40;
    p[3] = x < 4 ? 20 : 255;
  });
  ASSERT_TRUE(SetText(model.materials[1].texture, checker));
  view->loadTextures(*document);
  SCENE& scene = document->scene;
  scene.viewMode = 2;
  scene.showLight = 1;
  scene.smooth = 1;
  scene.showGrid = 1;
  scene.angle = VECTOR(35, 20, 0);
  scene.zoom = 0.45f;
  for (int variant = 0; variant < 4; ++variant) {
    scene.alphaMode = variant % 3;
    scene.cellEdge = variant >= 2 ? 1 : 0;
    scene.perspective = variant == 3 ? 0 : 1;
    GLViewSettings settings;
    settings.celShade = variant == 1;
    const NImage batched = Render(*view, *document, settings, GLDrawPath::kBatched);
    const NImage immediate = Render(*view, *document, settings, GLDrawPath::kImmediate);
    int different = 0, worst = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const Rgb a = PixelAt(batched, x, y), b = PixelAt(immediate, x, y);
        const int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        different += d != 0;
        worst = std::max(worst, d);
      }
    }
    EXPECT_LE(worst, 1) << "variant " << variant << ", " << different << " pixels differ";
  }
}

}  // namespace
}  // namespace vexal
