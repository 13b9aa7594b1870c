// The menu items of the topology, hide/show, clipboard and painting
// commands.
#include "commands/clipboard.h"
#include "commands/command_dispatcher.h"
#include "commands/delete_selection.h"
#include "commands/paint_commands.h"
#include "commands/topology.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

// Items that are always enabled run with no document too, and then do
// nothing.
CommandDefinition OnDocument(std::string_view name, CommandResult (*run)(Document&)) {
  return {name, CommandKind::kDocument,
          [run](CommandTarget& target) {
            return target.document ? run(*target.document) : CommandResult{};
          },
          nullptr};
}

CommandDefinition WithMode(std::string_view name, CommandResult (*run)(Document&, int), int mode) {
  return {name, CommandKind::kDocument,
          [run, mode](CommandTarget& target) { return run(*target.document, mode); }, nullptr};
}

// Commands that read or fill a clipboard of the workspace.
CommandDefinition OnWorkspace(std::string_view name,
                              std::function<CommandResult(Document&, Workspace&)> run) {
  return {name, CommandKind::kDocument,
          [run](CommandTarget& target) {
            if (!target.document) return CommandResult{};
            if (!target.workspace) return CommandResult::Refused(Translate("there is no clipboard here"));
            CommandResult result = run(*target.document, *target.workspace);
            FillClipboardFlags(target);
            return result;
          },
          nullptr};
}

}  // namespace

void AddTopologyCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(OnDocument("LoopSplitItem", EdgeCutSelection));
  commands.push_back(OnDocument("SubDivideItem", SubdivideFaces));
  commands.push_back(OnDocument("TriangleItem", TriangulateFaces));
  commands.push_back(OnDocument("QuadrangulateItem", QuadrangulateFaces));
  commands.push_back(OnDocument("DeleteLinePointItem", DeleteChainPoints));
  commands.push_back(OnDocument("LoopAttachItem", AttachLoop));
  commands.push_back(OnDocument("FaceFlipItem", FlipSelectedFaces));
  commands.push_back(OnDocument("FaceAlignItem", UniformNormals));
  commands.push_back(WithMode("HideItem", HidePoints, 1));
  commands.push_back(WithMode("HideNotItem", HidePoints, 0));
  commands.push_back(OnDocument("ShowItem", ShowHidden));
  commands.push_back(WithMode("HideTemplateItem", HideTemplate, 1));
  commands.push_back(WithMode("HideTemplateNotItem", HideTemplate, 0));
  commands.push_back(OnDocument("ShowTemplateItem", ShowTemplates));
}

void AddClipboardCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(OnWorkspace("CopyItem", [](Document& document, Workspace& workspace) {
    FinishPendingDraw(document);
    CopySelection(document, workspace.clipboard);
    return CommandResult{};
  }));
  commands.push_back(OnWorkspace("CutItem", [](Document& document, Workspace& workspace) {
    return CutSelection(document, workspace.clipboard);
  }));
  commands.push_back(OnWorkspace("PasteItem", [](Document& document, Workspace& workspace) {
    return PasteClipboard(document, workspace.clipboard);
  }));
  commands.push_back(OnDocument("DeleteItem", DeleteSelection));
  commands.push_back(OnDocument("DeleteSurfaceItem", DeleteSelectedFaces));
}

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
