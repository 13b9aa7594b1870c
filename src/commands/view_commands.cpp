// The View menu's display switches, the fixed camera steps and fits, and
// the navigation tools of the toolbar.
#include "commands/command_dispatcher.h"
#include "tools/navigation.h"
#include "tools/tool_dispatch.h"

namespace vexal {
namespace {

using Field = int32_t SCENE::*;

CommandResult Done() { return {}; }

// A switch of SCENE that is toggled and redrawn; `changed` says what else
// must follow it.
CommandDefinition Toggle(std::string_view name, Field field,
                         void (DocumentObserver::*changed)() = nullptr) {
  return {name, CommandKind::kDocument,
          [field, changed](CommandTarget& target) {
            if (Document* document = target.document) {
              int32_t& value = document->scene.*field;
              value = value ? 0 : 1;
              if (changed) (document->notify().*changed)();
              Redraw(*document);
            }
            return Done();
          },
          [field](const Document& document) { return document.scene.*field != 0; }};
}

// A choice among values of one SCENE field.
CommandDefinition Choose(std::string_view name, Field field, int32_t value) {
  return {name, CommandKind::kDocument,
          [field, value](CommandTarget& target) {
            if (Document* document = target.document) {
              document->scene.*field = value;
              Redraw(*document);
            }
            return Done();
          },
          [field, value](const Document& document) { return document.scene.*field == value; }};
}

// A command on the active document that needs nothing else.
CommandDefinition OnDocument(std::string_view name, std::function<void(Document&, Workspace&)> run) {
  return {name, CommandKind::kDocument, [run](CommandTarget& target) {
            if (target.document && target.workspace) run(*target.document, *target.workspace);
            return Done();
          }, nullptr};
}

CommandDefinition ChooseTool(std::string_view name, int32_t tool) {
  return {name, CommandKind::kDocument,
          [tool](CommandTarget& target) {
            if (target.document) SetTool(*target.document, tool);
            return Done();
          },
          [tool](const Document& document) { return document.mode.tool == tool; }};
}

}  // namespace

void AddViewCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(Choose("ViewMode1Item", &SCENE::viewMode, 0));
  commands.push_back(Choose("ViewMode2Item", &SCENE::viewMode, 1));
  commands.push_back(Choose("ViewMode3Item", &SCENE::viewMode, 2));
  commands.push_back(Toggle("ViewTextureItem", &SCENE::showTexture));
  commands.push_back(Toggle("ViewLightItem", &SCENE::showLight));
  commands.push_back(Toggle("SmoothItem", &SCENE::smooth));
  commands.push_back(Toggle("ViewReflectionItem", &SCENE::showReflection));
  commands.push_back(Toggle("LinearTextureItem", &SCENE::linearTexture,
                            &DocumentObserver::textureFiltersChanged));
  commands.push_back(Toggle("LinearBackPictureItem", &SCENE::linearBackPicture,
                            &DocumentObserver::textureFiltersChanged));
  commands.push_back(Choose("ViewAlpha1Item", &SCENE::alphaMode, 0));
  commands.push_back(Choose("ViewAlpha2Item", &SCENE::alphaMode, 1));
  commands.push_back(Choose("ViewAlpha3Item", &SCENE::alphaMode, 2));
  commands.push_back(Toggle("HandleItem", &SCENE::showHandle));
  commands.push_back(Toggle("HideLineItem", &SCENE::showHiddenEdges));
  commands.push_back(Toggle("DummyItem", &SCENE::showDummy));
  commands.push_back(Toggle("GridItem", &SCENE::showGrid));
  commands.push_back({"PerspItem", CommandKind::kDocument,
                      [](CommandTarget& target) {
                        if (Document* document = target.document) {
                          SCENE& scene = document->scene;
                          scene.perspectiveDefault = 1 - scene.perspectiveDefault;
                          scene.perspective = scene.perspectiveDefault;
                          document->notify().projectionChanged();
                          Redraw(*document);
                        }
                        return Done();
                      },
                      [](const Document& document) {
                        return document.scene.perspectiveDefault == 0;
                      }});
  commands.push_back(Toggle("CullItem", &SCENE::doubleSided));
  commands.push_back(Toggle("ViewEdgeItem", &SCENE::cellEdge));
  commands.push_back(Toggle("ViewPictureItem", &SCENE::showBackPicture));
  commands.push_back({"UseGLItem", CommandKind::kDocument,
                      [](CommandTarget& target) {
                        if (Document* document = target.document) {
                          document->scene.useGL = document->scene.useGL ? 0 : 1;
                          document->notify().rendererChanged();
                        }
                        return Done();
                      },
                      [](const Document& document) { return document.scene.useGL != 0; }});
  commands.push_back(OnDocument("ResetPicturePositionItem", [](Document& document, Workspace&) {
    document.scene.pictureOffset = VECTOR();
    Redraw(document);
  }));
  commands.push_back(OnDocument("ViewNumberItem", [](Document& document, Workspace&) {
    Redraw(document);
  }));

  commands.push_back(OnDocument("RightRotateItem", [](Document& document, Workspace& workspace) {
    RotateViewBy(document, workspace, 45, 0);
  }));
  commands.push_back(OnDocument("LeftRotateItem", [](Document& document, Workspace& workspace) {
    RotateViewBy(document, workspace, -45, 0);
  }));
  commands.push_back(OnDocument("UpRotateItem", [](Document& document, Workspace& workspace) {
    RotateViewBy(document, workspace, 0, 45);
  }));
  commands.push_back(OnDocument("DownRotateItem", [](Document& document, Workspace& workspace) {
    RotateViewBy(document, workspace, 0, -45);
  }));
  commands.push_back(OnDocument("ZoomInItem", [](Document& document, Workspace&) { ZoomIn(document); }));
  commands.push_back(OnDocument("ZoomOutItem", [](Document& document, Workspace&) { ZoomOut(document); }));
  commands.push_back(OnDocument("ObjectItem", [](Document& document, Workspace&) {
    ZoomToFit(document, true);
  }));
  commands.push_back(OnDocument("ObjectAllItem", [](Document& document, Workspace&) {
    ZoomToFit(document, false);
  }));

  commands.push_back(ChooseTool("SelectItem", kToolSelect));
  commands.push_back(ChooseTool("LassoItem", kToolLasso));
  commands.push_back(ChooseTool("PointItem", kToolPoint));
  commands.push_back(ChooseTool("DPointItem", kToolDPoint));
  commands.push_back(ChooseTool("PaintItem", kToolPaint));
  commands.push_back(ChooseTool("SpoitItem", kToolSpoit));
  commands.push_back(ChooseTool("QuadItem", kToolQuad));
  commands.push_back(ChooseTool("MoveItem", kToolMove));
  commands.push_back(ChooseTool("RotateItem", kToolRotate));
  commands.push_back(ChooseTool("ScaleItem", kToolScale));
  commands.push_back(ChooseTool("NormalMoveItem", kToolNormalMove));
  commands.push_back(ChooseTool("ZoomItem", kToolZoom));
  commands.push_back(ChooseTool("SelectZoomItem", kToolSelectZoom));
  commands.push_back(ChooseTool("PanItem", kToolPan));
  commands.push_back(ChooseTool("CameraItem", kToolCamera));
}

}  // namespace vexal
