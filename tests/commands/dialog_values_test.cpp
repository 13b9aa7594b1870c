// The Utility rewrites, the background-picture values and the options
// table of the System Configuration dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "commands/background_pictures.h"
#include "commands/edit_test_support.h"
#include "commands/material_utility.h"
#include "commands/system_options.h"

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

TEST(BackgroundPictures, OKStoresEverySlotAndReloadsOnlyTheEditedOnes) {
  auto document = testing::DocumentWith(nullptr);
  SetText(document->model.pictures[0].path, "front.png");
  PictureValues values = PictureValuesOf(*document);
  EXPECT_EQ(values.pictures[0].path, "front.png");
  EXPECT_EQ(values.scale, 1.0f);
  values.pictures[1].path = "side.png";
  values.pictures[1].flip = true;
  values.pictures[2].flipSide = true;
  values.depth = 3;
  std::array<bool, kPictureSlots> reload{};
  ASSERT_TRUE(ApplyPictureValues(*document, values, {false, true, false}, reload).ok());
  EXPECT_EQ(reload, (std::array<bool, kPictureSlots>{false, true, false}));
  EXPECT_EQ(Text(document->model.pictures[1].path), "side.png");
  EXPECT_EQ(document->model.pictures[1].flip, 1);
  EXPECT_EQ(document->model.pictures[2].flipSide, 1);
  EXPECT_EQ(document->scene.pictureDepth, 3.0f);

  values.pictures[0].path = std::string(300, 'p');
  EXPECT_EQ(ApplyPictureValues(*document, values, {true, true, true}, reload).status,
            CommandStatus::kRefused);
  EXPECT_EQ(Text(document->model.pictures[0].path), "front.png");
  EXPECT_EQ(reload, (std::array<bool, kPictureSlots>{}));
}

TEST(SystemOptions, EverySwitchHasItsOwnSettingAndTwoShowInverted) {
  std::vector<int Settings::*> fields;
  std::set<std::string_view> captions;
  std::vector<std::string_view> inverted;
  for (const SystemSwitch& option : SystemSwitches()) {
    EXPECT_EQ(std::count(fields.begin(), fields.end(), option.field), 0) << option.caption;
    fields.push_back(option.field);
    EXPECT_TRUE(captions.insert(option.caption).second) << option.caption;
    if (option.inverted) inverted.push_back(option.caption);
  }
  EXPECT_EQ(inverted, (std::vector<std::string_view>{
                          "Start in orthographic projection",
                          "Lasso tool: a click picks points and lines only, never a surface"}));
  Settings settings;
  const SystemSwitch* orthogonal = &SystemSwitches()[8];
  ASSERT_EQ(orthogonal->field, &Settings::Perspective);
  EXPECT_FALSE(SwitchChecked(settings, *orthogonal));  // perspective by default
  SetSwitchChecked(settings, *orthogonal, true);
  EXPECT_EQ(settings.Perspective, 0);
  for (const SystemSwitch& option : SystemSwitches()) {
    if (option.field == &Settings::UseAngleSmooth) {
      SetSwitchChecked(settings, option, false);
      EXPECT_EQ(settings.UseAngleSmooth, 0);
    }
  }
  EXPECT_EQ(NormalizeFloatField("0", SystemWidths()[0].rule), 2.0f);
}

// The two numbers of [System] keep the limits the settings loader applies.
TEST(SystemOptions, UndoDepthAndRecoveryIntervalKeepTheirLimits) {
  ASSERT_EQ(SystemNumbers().size(), 2u);
  const IntFieldRule& depth = SystemNumbers()[0].rule;
  const IntFieldRule& interval = SystemNumbers()[1].rule;
  EXPECT_EQ(SystemNumbers()[0].field, &Settings::UndoDepth);
  EXPECT_EQ(SystemNumbers()[1].field, &Settings::AutoSaveSeconds);
  const Settings defaults;
  EXPECT_EQ(depth.fallback, defaults.UndoDepth);
  EXPECT_EQ(interval.fallback, defaults.AutoSaveSeconds);
  struct Case {
    const char* text;
    int depth;
    int interval;
  };
  for (const Case& c : {Case{"1", 2, 1}, Case{"0", 2, 0}, Case{"-5", 2, 0}, Case{"50", 50, 50},
                        Case{"5000", 1000, 5000}, Case{"99999", 1000, 86400},
                        Case{"x", 10, 120}}) {
    EXPECT_EQ(NormalizeIntField(c.text, depth), c.depth) << c.text;
    EXPECT_EQ(NormalizeIntField(c.text, interval), c.interval) << c.text;
  }
}

}  // namespace
}  // namespace vexal
