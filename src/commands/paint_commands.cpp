// The menu items of painting surfaces and of the palette.
#include "commands/command_registration.h"
#include "commands/create_faces.h"
#include "commands/palette_commands.h"
#include "commands/repaint_faces.h"

namespace vexal {

void AddPaintCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(WithMode("PaintAllItem", CreateFaces, 0));
  commands.push_back(WithMode("PaintSelectItem", CreateFaces, 1));
  commands.push_back(OnDocument("RepaintItem", RepaintFaces));
  commands.push_back(OnWorkspace("PaletteCopyItem", [](Document& document, Workspace& workspace) {
    CopyPalette(document, workspace.paletteClipboard);
    return CommandResult{};
  }));
  commands.push_back(OnWorkspace("PalettePasteItem", [](Document& document, Workspace& workspace) {
    return PastePalette(document, workspace.paletteClipboard);
  }));
  commands.push_back(OnDocument("SelectPaletteReloadItem", [](Document& document) {
    ReloadPaletteTexture(document, document.scene.paletteIndex);
    return CommandResult{};
  }));
  commands.push_back(OnDocument("AllPaletteReloadItem", [](Document& document) {
    ReloadAllPaletteTextures(document);
    return CommandResult{};
  }));
  commands.push_back(OnDocument("RightMovePalItem", [](Document& document) {
    StepPaletteIndex(document, 1);
    return CommandResult{};
  }));
  commands.push_back(OnDocument("LeftMovePalItem", [](Document& document) {
    StepPaletteIndex(document, -1);
    return CommandResult{};
  }));
}

}  // namespace vexal
