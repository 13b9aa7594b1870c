// The Utility rewrites.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "commands/command_fixture.h"
#include "commands/material_utility.h"

namespace vexal {
namespace {

std::string Text(const TextBuffer& buffer) { return std::string(TextOf(buffer)); }

std::unique_ptr<Document> PaletteDocument() {
  return testing::DocumentWith([](Model& model) {
    SetText(model.materials[1].texture, "D:\\old\\wood.bmp");
    SetText(model.materials[1].name, "Mat1");
    SetText(model.materials[2].texture, "stone.tga");
    SetText(model.materials[3].name, "Keep");
  });
}

TEST(MaterialUtility, RewritesRunInOrderOverTexturedMaterials) {
  auto document = PaletteDocument();
  MaterialRewrites rewrites;
  rewrites.textureFolder = true;
  rewrites.folder = "C:\\tex";
  rewrites.textureExtension = true;
  rewrites.extension = ".png";
  testing::ExpectUndoRedoIdentical(
      *document, [&] { ASSERT_TRUE(RunMaterialUtility(*document, rewrites).ok()); }, "utility");
  const auto& materials = document->model.materials;
  EXPECT_EQ(Text(materials[1].texture), "C:\\tex\\wood.png");
  EXPECT_EQ(Text(materials[2].texture), "C:\\tex\\stone.png");
  EXPECT_EQ(Text(materials[3].texture), "");  // no texture: untouched
  EXPECT_EQ(document->undo.undoDepth, 1);

  MaterialRewrites names;
  names.nameFromTexture = true;
  ASSERT_TRUE(RunMaterialUtility(*document, names).ok());
  EXPECT_EQ(Text(materials[1].name), "wood");
  EXPECT_EQ(Text(materials[3].name), "Keep");  // empty texture keeps the name

  MaterialRewrites fromName;
  fromName.textureFromName = true;
  fromName.smoothing = true;
  fromName.angle = 30;
  SetText(document->model.materials[2].name, "granite");
  ASSERT_TRUE(RunMaterialUtility(*document, fromName).ok());
  EXPECT_EQ(Text(materials[2].texture), "C:\\tex\\granite.png");
  for (const MATERIAL& material : materials) EXPECT_EQ(material.smoothingAngle, 30.0f);

  // Every box unchecked still records a step.
  ASSERT_TRUE(RunMaterialUtility(*document, MaterialRewrites{}).ok());
  EXPECT_EQ(document->undo.undoDepth, 4);
}

TEST(MaterialUtility, AResultTooLongForItsFieldIsRefusedWhole) {
  auto document = PaletteDocument();
  MaterialRewrites rewrites;
  rewrites.textureFolder = true;
  rewrites.folder = "/" + std::string(250, 'f');
  rewrites.nameFromTexture = true;
  const CommandResult result = RunMaterialUtility(*document, rewrites);
  EXPECT_EQ(result.status, CommandStatus::kRefused);
  EXPECT_EQ(Text(document->model.materials[1].texture), "D:\\old\\wood.bmp");
  EXPECT_EQ(Text(document->model.materials[1].name), "Mat1");
  EXPECT_EQ(document->undo.undoDepth, 0);
  // A folder with "/" separators keeps them.
  rewrites.folder = "/home/tex";
  ASSERT_TRUE(RunMaterialUtility(*document, rewrites).ok());
  EXPECT_EQ(Text(document->model.materials[1].texture), "/home/tex/wood.bmp");
}

}  // namespace
}  // namespace vexal
