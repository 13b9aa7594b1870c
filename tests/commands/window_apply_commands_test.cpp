// The commands behind the windows' buttons: each is an edit like any other
// (valid model, one undo step, undo and redo exact), its values are brought
// into range by the window's field rules, and the apply steps reach the
// same command with the same values as the window's button.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "command_fixture.h"
#include "commands/apply_steps.h"
#include "commands/command_arguments.h"
#include "commands/material_utility.h"
#include "commands/system_options.h"
#include "commands/tool_window_fields.h"
#include "model/maintenance.h"
#include "support/model_copy.h"
#include "support/test_models.h"

namespace vexal {
namespace {

class WindowCommands : public testing::CommandFixture {
 protected:
  // The cube with every point selected (so its lines and surfaces too).
  void BeginOnCube() {
    testing::ClosedCube(model());
    begin({1, 2, 3, 4, 5, 6, 7, 8});
  }
};

struct EditCase {
  const char* where;
  std::string_view command;
  std::function<CommandArguments()> values;
};

TEST_F(WindowCommands, EachIsOneValidStepThatUndoAndRedoGiveBackExactly) {
  const std::vector<EditCase> cases = {
      {"pipe", kPipeApplyCommand, [] { return CommandArguments{PipeParameters{8, 0.25f, 10.0f}}; }},
      {"cylinder projection", kProjectionApplyCommand,
       [] {
         UVProjection projection;
         projection.kind = ProjectionKind::kCylinder;
         projection.axis = ProjectionAxis::kY;
         projection.flipU = true;
         projection.angle = 33.0f;
         return CommandArguments{projection};
       }},
      {"sphere", kPrimitiveAddCommand, [] { return CommandArguments{PrimitiveChoice{"sphere2"}}; }},
      {"scale page", kNumericApplyCommand,
       [] {
         NumericApply apply;
         apply.page = NumericPage::kScale;
         apply.values.scale = {50.0f, 200.0f, 100.0f};
         return CommandArguments{apply};
       }},
      {"rotate page about the origin", kNumericApplyCommand,
       [] {
         NumericApply apply;
         apply.page = NumericPage::kRotate;
         apply.values.rotate = {0.0f, 45.0f, 0.0f};
         apply.values.rotateAroundOrigin = true;
         return CommandArguments{apply};
       }},
      {"location", kNumericLocateCommand,
       [] { return CommandArguments{NumericLocation{{1.0f, 2.0f, 3.0f}, kAxisMaskX | kAxisMaskZ}}; }},
      {"utility", kUtilityApplyCommand,
       [] {
         MaterialRewrites rewrites;
         rewrites.textureExtension = true;
         rewrites.extension = ".png";
         rewrites.smoothing = true;
         rewrites.angle = 30.0f;
         return CommandArguments{rewrites};
       }},
      {"colour", kColorApplyCommand,
       [] {
         ColorApply color;
         color.material = 3;
         color.edit.name = "wood";
         color.edit.opacity = 128;
         color.edit.light = {200, 100, 50};
         SetDarkToHalfOfLight(color.edit);
         return CommandArguments{color};
       }},
  };
  for (const EditCase& edit : cases) {
    SCOPED_TRACE(edit.where);
    BeginOnCube();
    testing::CopyLive(model(), *modelBefore);
    CommandArguments arguments = edit.values();
    const CommandResult result = RunCommandWith(edit.command, target, arguments);
    ASSERT_TRUE(result.ok()) << result.refusal.reason;
    std::string reason;
    ASSERT_TRUE(ValidateModel(model(), &reason, true)) << reason;
    ASSERT_EQ(document->undo.undoDepth, 1);
    EXPECT_FALSE(testing::SameRecords(model(), *modelBefore)) << "the command changed nothing";
    testing::CopyLive(model(), *modelAfter);
    StepUndo(*document, -1);
    EXPECT_TRUE(testing::SameRecords(model(), *modelBefore)) << "undo did not restore the model";
    StepUndo(*document, 1);
    EXPECT_TRUE(testing::SameRecords(model(), *modelAfter)) << "redo did not give the edit again";
  }
}

TEST_F(WindowCommands, BackgroundPicturesChangeTheSceneWithoutAStep) {
  BeginOnCube();
  testing::CopyLive(model(), *modelBefore);
  PictureApply apply;
  apply.values.pictures[1].path = "side.png";
  apply.values.pictures[2].flip = true;
  apply.values.scale = 0.0f;   // not kept: the field's default
  apply.values.depth = 3.5f;
  apply.pathEdited = {false, true, false};
  CommandArguments arguments{apply};
  ASSERT_TRUE(RunCommandWith(kPictureApplyCommand, target, arguments).ok());
  EXPECT_EQ(TextOf(model().pictures[1].path), "side.png");
  EXPECT_EQ(model().pictures[2].flip, 1);
  EXPECT_EQ(document->scene.pictureScale, 1.0f);
  EXPECT_EQ(document->scene.pictureDepth, 3.5f);
  EXPECT_EQ((std::get<PictureApply>(arguments.values).reload),
            (std::array<bool, kPictureSlots>{false, true, false}));
  EXPECT_EQ(document->undo.undoDepth, 0);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
}

TEST_F(WindowCommands, MissingForeignOrUselessValuesAreRefusedBeforeAnyChange) {
  BeginOnCube();
  testing::CopyLive(model(), *modelBefore);
  CommandArguments foreign{PrimitiveChoice{"cube"}};
  CommandArguments empty;
  CommandArguments unknownButton{PrimitiveChoice{"torus"}};
  CommandArguments longPath{PictureApply{}};
  std::get<PictureApply>(longPath.values).values.pictures[0].path.assign(300, 'a');
  const struct {
    std::string_view command;
    CommandArguments* arguments;
    CommandStatus status;
  } cases[] = {
      {kPipeApplyCommand, nullptr, CommandStatus::kRefused},
      {kPipeApplyCommand, &foreign, CommandStatus::kRefused},
      {kColorApplyCommand, &empty, CommandStatus::kRefused},
      {kPrimitiveAddCommand, &unknownButton, CommandStatus::kUnknown},
      {kPictureApplyCommand, &longPath, CommandStatus::kRefused},
  };
  for (const auto& each : cases) {
    target.arguments = each.arguments;
    const CommandResult result = RunCommand(each.command, target);
    EXPECT_EQ(result.status, each.status) << each.command;
    EXPECT_FALSE(result.refusal.reason.empty()) << each.command;
    EXPECT_EQ(document->undo.undoDepth, 0) << each.command;
    EXPECT_TRUE(testing::SameRecords(model(), *modelBefore)) << each.command;
  }
  EXPECT_TRUE(TextOf(model().pictures[0].path).empty());

  // Without a document the button is as disabled as the menus would be.
  CommandTarget none;
  CommandArguments cube{PrimitiveChoice{"cube"}};
  EXPECT_FALSE(CommandEnabled(kPrimitiveAddCommand, none));
  EXPECT_EQ(RunCommandWith(kPrimitiveAddCommand, none, cube).refusal.reason, "no document is open");
  EXPECT_EQ(none.arguments, nullptr);
}

TEST(WindowCommandRegistry, NamesAreUniqueAndNoneIsAMenuItem) {
  std::set<std::string_view> names;
  for (const ArgumentCommand& command : ArgumentCommands()) {
    EXPECT_TRUE(names.insert(command.name).second) << command.name;
    EXPECT_EQ(FindCommand(command.name), nullptr) << command.name;
    EXPECT_EQ(FindCommandDefinition(command.name), nullptr) << command.name;
    EXPECT_TRUE(static_cast<bool>(command.run)) << command.name;
    EXPECT_FALSE(command.caption.empty()) << command.name;
  }
  EXPECT_EQ(names.size(), 8u);
}

// Out-of-range values act as the window's fields would leave them.
TEST(WindowFieldValues, ValuesAreBroughtIntoRangeByTheWindowsFieldRules) {
  const PipeParameters pipe = PipeFieldValues({2, 0.0f, 400.0f});
  EXPECT_EQ(pipe.segments, 3);
  EXPECT_EQ(pipe.radius, 0.125f);
  EXPECT_EQ(pipe.offset, 360.0f);
  EXPECT_EQ(PipeFieldValues({200, 2e6f, -1.25f}).segments, 96);
  EXPECT_EQ(PipeFieldValues({200, 2e6f, -1.25f}).radius, 1000000.0f);
  EXPECT_EQ(PipeFieldValues({200, 2e6f, -1.25f}).offset, -1.25f);

  UVProjection uv;
  uv.centerU = 200.0f;
  uv.scaleV = -300.0f;
  uv.angle = 720.0f;
  uv.flipV = true;
  const UVProjection ranged = ProjectionFieldValues(uv);
  EXPECT_EQ(ranged.centerU, 128.0f);
  EXPECT_EQ(ranged.scaleV, -128.0f);
  EXPECT_EQ(ranged.angle, 360.0f);
  EXPECT_TRUE(ranged.flipV);

  NumericValues numeric;
  numeric.go = {2e6f, 0.1234567f, -3.0f};
  numeric.scale = {std::numeric_limits<float>::quiet_NaN(), 50.0f, 100.0f};
  numeric.remembered = {5e6f, 0.0f, 0.0f};
  const NumericValues numbers = NumericFieldValues(numeric);
  EXPECT_EQ(numbers.go.x, 1000000.0f);
  EXPECT_EQ(numbers.go.y, 0.123457f);
  EXPECT_EQ(numbers.scale.x, 100.0f);  // not a number: the field's default
  EXPECT_EQ(numbers.remembered.x, 5e6f);  // no field shows it

  MaterialRewrites rewrites;
  rewrites.angle = 200.0f;
  EXPECT_EQ(UtilityFieldValues(rewrites).angle, 180.0f);

  PictureValues pictures;
  pictures.scale = 0.0f;
  pictures.depth = -1.0f;
  EXPECT_EQ(PictureFieldValues(pictures).scale, 1.0f);
  EXPECT_EQ(PictureFieldValues(pictures).depth, 2.0f);

  MaterialEdit color;
  color.opacity = 300;
  color.smoothingAngle = -5.0;
  const MaterialEdit edited = ColorFieldValues(color, 3);
  EXPECT_EQ(edited.opacity, 255);
  EXPECT_EQ(edited.smoothingAngle, 0.0);
  EXPECT_EQ(edited.name, "mat_03");
  color.name = "kept";
  EXPECT_EQ(ColorFieldValues(color, 3).name, "kept");
}

// A value the window's field already holds passes unchanged; any value
// lands inside the rule's range.
TEST(WindowFieldValues, NormalisingIsIdempotentAndStaysInRange) {
  const FloatFieldRule rules[] = {kPipeRadiusField, kPipeOffsetField,  kUVCenterField,
                                  kUVScaleField,    kUVAngleField,     kPictureScaleField,
                                  kPictureDepthField, kSmoothingAngleField, kNumericField,
                                  kNumericScaleField};
  std::mt19937 random(22);
  std::uniform_real_distribution<float> exponent(-8.0f, 8.0f);
  std::bernoulli_distribution negative(0.5);
  for (const FloatFieldRule& rule : rules) {
    for (int i = 0; i < 500; ++i) {
      const float value = (negative(random) ? -1.0f : 1.0f) * std::pow(10.0f, exponent(random));
      const float once = FloatFieldValue(value, rule);
      ASSERT_EQ(FloatFieldValue(once, rule), once) << value;
      ASSERT_GE(once, rule.minimum) << value;
      ASSERT_LE(once, rule.maximum) << value;
    }
  }
  for (int segments = -5; segments <= 120; ++segments) {
    const int once = IntFieldValue(segments, kPipeSegmentField);
    ASSERT_EQ(IntFieldValue(once, kPipeSegmentField), once);
    ASSERT_TRUE(once >= 3 && once <= 96) << segments;
  }
}

// The apply steps run the commands the windows' buttons run, with the
// values the windows would hand over.
TEST_F(WindowCommands, StepsAndWindowsReachTheSameCommandWithTheSameValues) {
  UVProjection sphere;
  sphere.kind = ProjectionKind::kSphere;
  sphere.axis = ProjectionAxis::kZ;
  sphere.centerU = 0.25f;
  sphere.scaleV = 2.0f;
  sphere.flipU = true;
  sphere.angle = -90.0f;
  Settings pipeWindow;  // the pipe window hands over what its fields stored
  pipeWindow.PipeSegment = 2;
  pipeWindow.PipeRadius = 0.5f;
  pipeWindow.PipeOffset = 15.0f;
  const struct {
    const char* option;
    const char* value;
    std::string_view command;
    CommandArguments window;
  } cases[] = {
      {"--pipe", "2,0.5,15", kPipeApplyCommand, {PipeParametersFrom(pipeWindow)}},
      {"--uv", "sphere,z,0.25,0.5,1,2,1,0,-90", kProjectionApplyCommand, {sphere}},
      {"--primitive", "cylinder3", kPrimitiveAddCommand, {PrimitiveChoice{"cylinder3"}}},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.option);
    std::vector<ApplyStep> steps;
    std::string error;
    ASSERT_TRUE(ParseApplySteps({each.option, each.value}, steps, error)) << error;
    std::string_view command;
    CommandArguments fromStep;
    ASSERT_TRUE(WindowCommandOfStep(steps[0], command, fromStep));
    EXPECT_EQ(command, each.command);
    ASSERT_EQ(fromStep.values.index(), each.window.values.index());

    // The step on one cube, the window's values on another: the same model.
    workspace.settings = Settings{};
    BeginOnCube();
    ASSERT_EQ(RunApplyStep(target, steps[0]), std::nullopt);
    testing::CopyLive(model(), *modelAfter);
    const Settings stepSettings = workspace.settings;
    workspace.settings = Settings{};
    BeginOnCube();
    CommandArguments window = each.window;
    ASSERT_TRUE(RunCommandWith(each.command, target, window).ok());
    EXPECT_TRUE(testing::SameRecords(model(), *modelAfter));
    // The pipe's values are kept in the settings, as the window keeps them.
    EXPECT_EQ(workspace.settings.PipeSegment, stepSettings.PipeSegment);
    EXPECT_EQ(workspace.settings.PipeRadius, stepSettings.PipeRadius);
    EXPECT_EQ(workspace.settings.PipeOffset, stepSettings.PipeOffset);
    if (each.command == kPipeApplyCommand) {
      EXPECT_EQ(stepSettings.PipeSegment, 3);
      EXPECT_EQ(stepSettings.PipeRadius, 0.5f);
      EXPECT_EQ(stepSettings.PipeOffset, 15.0f);
    }
  }
  std::string_view none;
  CommandArguments nothing;
  EXPECT_FALSE(WindowCommandOfStep({"--run", "DeleteItem"}, none, nothing));
  EXPECT_FALSE(WindowCommandOfStep({"--pipe", "3,x,0"}, none, nothing));
}

TEST(ApplyArgumentSplit, StepsTakeTheirValuesAndFileOptionsStayForTheCaller) {
  const std::vector<std::string_view> fileOptions = {"--settings", "--type", "--open-type"};
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> rest;
    std::vector<std::string> steps;
  } cases[] = {
      {{"in.vxl", "out.obj", "--undo", "--view", "-30,10", "--redo"},
       {"in.vxl", "out.obj"},
       {"--undo", "--view", "-30,10", "--redo"}},
      {{"--settings", "a.ini", "in", "--type", "3", "out", "--run", "--help"},
       {"--settings", "a.ini", "in", "--type", "3", "out"},
       {"--run", "--help"}},
      {{"in", "--help", "--bogus", "x", "--select"}, {"in", "--help"}, {"--bogus", "x", "--select"}},
      {{"--open-type", "--undo", "-h", ""}, {"--open-type", "--undo", "-h", ""}, {}},
  };
  for (const auto& each : cases) {
    const ApplyArguments split = SplitApplyArguments(each.arguments, fileOptions);
    EXPECT_EQ(split.rest, each.rest);
    EXPECT_EQ(split.steps, each.steps);
  }
  EXPECT_FALSE(StepTakesValue("--undo"));
  EXPECT_FALSE(StepTakesValue("--redo"));
  EXPECT_TRUE(StepTakesValue("--pipe"));
  EXPECT_TRUE(StepTakesValue("--not-a-step"));
}

TEST(WindowDialogRules, ProjectionRotationButtonsAndTheAngleField) {
  const struct {
    float angle;
    int button;
  } cases[] = {{0.0f, 0}, {90.0f, 1}, {180.0f, 2}, {270.0f, 3}, {45.0f, 4}, {-90.0f, 4}, {360.0f, 4}};
  for (const auto& each : cases) {
    const int button = ProjectionRotationButton(each.angle);
    EXPECT_EQ(button, each.button) << each.angle;
    EXPECT_EQ(ProjectionAngle(button, each.angle), each.angle) << each.angle;
    EXPECT_EQ(ProjectionAngleFieldEnabled(button), button == kArbitraryRotation) << each.angle;
  }
  EXPECT_EQ(ProjectionAngle(2, 45.0f), 180.0f);  // a quarter button ignores the field
}

TEST(WindowDialogRules, UtilityStartsInTheDocumentsFolder) {
  const std::string programFolder = "/opt/vexal";
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {{"/home/u/models/car.vxl", "/home/u/models"},
               {"models/car.vxl", "models"},
               {"car.vxl", "/opt/vexal"},
               {"./car.vxl", "/opt/vexal"},
               {"", "/opt/vexal"},
               {"/car.vxl", "/"}};
  for (const auto& each : cases) {
    const std::string path = each.path;
    const MaterialRewrites start = UtilityDialogStart(&path, programFolder);
    EXPECT_EQ(start.folder, each.folder) << each.path;
    EXPECT_EQ(start.extension, ".bmp");
    EXPECT_EQ(start.angle, 59.5f);
    EXPECT_FALSE(start.textureFolder || start.nameFromTexture || start.textureFromName ||
                 start.textureExtension || start.smoothing);
  }
  EXPECT_EQ(UtilityDialogStart(nullptr, programFolder).folder, "");
}

TEST(WindowDialogRules, FormatScaleTabsEachEditTheirOwnTwoSettings) {
  Settings settings;
  float value = 2.0f;
  for (const FormatScaleTab& tab : FormatScaleTabs()) {
    settings.*tab.importScale = value++;
    settings.*tab.exportScale = value++;
  }
  // Every scale written once: no tab shares a setting with another.
  value = 2.0f;
  for (const FormatScaleTab& tab : FormatScaleTabs()) {
    EXPECT_EQ(settings.*tab.importScale, value++) << tab.caption;
    EXPECT_EQ(settings.*tab.exportScale, value++) << tab.caption;
  }
  EXPECT_EQ(FormatScaleTabs().size(), 11u);
  EXPECT_EQ(FormatScaleTabs().front().caption, "ROK");
}

TEST(WindowDialogRules, ColourDialogDarkHalfAndDefaultNames) {
  MaterialEdit edit;
  edit.light = {255, 128, 1};
  edit.dark = {9, 9, 9};
  SetDarkToHalfOfLight(edit);
  EXPECT_EQ(edit.dark, (std::array<int32_t, 3>{127, 64, 0}));
  EXPECT_EQ(DefaultMaterialName(0), "mat_00");
  EXPECT_EQ(DefaultMaterialName(15), "mat_15");
  auto model = std::make_unique<Model>();
  ClearModel(*model);
  for (int m = 0; m < kMaterialCount; ++m) {
    EXPECT_EQ(TextOf(model->materials[m].name), DefaultMaterialName(m));
  }
}

}  // namespace
}  // namespace vexal
