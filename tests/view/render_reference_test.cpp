// Reference renders of real models, kept in tests/data/render/ and compared
// with a tolerance, so that a change that breaks the picture is caught while
// rasteriser rounding is not. To accept a deliberate change of the picture,
// run this test with VEXAL_WRITE_RENDER_REFERENCES=1 and look at the files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "formats/document_io.h"
#include "images/loaders.h"
#include "images/png_writer.h"
#include "io/file_bytes.h"
#include "settings/settings.h"
#include "support/gl_required.h"
#include "view/gl_offscreen.h"

namespace vexal {
namespace {

struct Reference {
  const char* name;   // tests/data/render/<name>.png
  const char* model;  // under tests/data
  SnapshotRenderer renderer;
  void (*setup)(SCENE&);
};

const Reference kReferences[] = {
    {"allosaurus_lit_smooth", "mqo/allosaurus.mqo", SnapshotRenderer::kOpenGL,
     [](SCENE& s) {
       s.angle = VECTOR(20, 30, 0);
       s.target = VECTOR(-0.5f, 1.2f, 0);
       s.zoom = 0.9f;
       s.smooth = 1;
       s.viewMode = 1;
     }},
    {"allosaurus_wire_soft", "mqo/allosaurus.mqo", SnapshotRenderer::kSoftware,
     [](SCENE& s) {
       s.angle = VECTOR(20, 30, 0);
       s.zoom = 0.55f;
     }},
    {"cube_usemtl_cartoon", "obj/cube_usemtl.obj", SnapshotRenderer::kOpenGL,
     [](SCENE& s) {
       s.angle = VECTOR(30, 40, 0);
       s.zoom = 1.5f;
       s.viewMode = 1;
       s.cellEdge = 1;
     }},
    {"m26a1_ortho_faces", "mqo/M26A1.mqo", SnapshotRenderer::kOpenGL,
     [](SCENE& s) {
       s.angle = VECTOR(-15, 120, 0);
       s.zoom = 0.6f;
       s.perspective = s.perspectiveDefault = 0;
       s.viewMode = 1;
       s.showReflection = 0;
     }},
};

bool Render(const Reference& reference, NImage& image, std::string& reason, bool& usedOpenGL) {
  Settings settings;
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  ApplySceneDefaults(settings, document->scene);
  DocumentFile file;
  const std::string path = std::string(VEXAL_TEST_DATA) + "/" + reference.model;
  if (OpenDocumentFile(*document, file, path, 0, io) != 1) {
    reason = path + ": " + file.lastError.reason;
    return false;
  }
  reference.setup(document->scene);
  SnapshotOptions options;
  options.width = 240;
  options.height = 180;
  options.renderer = reference.renderer;
  options.fallBackToSoftware = false;
  return RenderSnapshot(*document, settings, options, image, reason, &usedOpenGL);
}

TEST(RenderReference, CorpusModelsLookAsTheyDid) {
  const bool write = std::getenv("VEXAL_WRITE_RENDER_REFERENCES") != nullptr;
  for (const Reference& reference : kReferences) {
    SCOPED_TRACE(reference.name);
    NImage image;
    std::string reason;
    bool usedOpenGL = false;
    if (!Render(reference, image, reason, usedOpenGL)) {
      if (reference.renderer == SnapshotRenderer::kOpenGL) {
        VEXAL_SKIP_WITHOUT_GL(reason);
      }
      FAIL() << reason;
    }
    const std::string path =
        std::string(VEXAL_TEST_DATA) + "/render/" + reference.name + ".png";
    if (write) {
      std::string png;
      ASSERT_TRUE(EncodePng(image, png, &reason)) << reason;
      ASSERT_TRUE(WriteFileAtomically(path, png, &reason)) << reason;
      continue;
    }
    NImage expected;
    ASSERT_NE(LoadImage(path, expected, 0), 0) << path;
    ASSERT_EQ(expected.channels, 3);
    ASSERT_EQ(expected.width, image.width);
    ASSERT_EQ(expected.height, image.height);
    // Edges may move by a pixel between rasteriser versions; a broken
    // picture changes far more than that.
    int64_t total = 0;
    int far = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
      const int d = std::abs(int(image.pixels[i]) - int(expected.pixels[i]));
      total += d;
      far += d > 48;
    }
    const double mean = static_cast<double>(total) / static_cast<double>(image.pixels.size());
    EXPECT_LT(mean, 1.5);
    EXPECT_LT(far, static_cast<int>(image.pixels.size() / 100));
  }
}

}  // namespace
}  // namespace vexal
