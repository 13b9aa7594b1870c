#include "settings/settings_keys.h"

#include <array>

namespace vexal {
namespace {

// The key text is the field name itself, so the two can never drift apart.
#define VEXAL_INTEGER_KEY(section, name)                                           \
  SettingsKey {                                                                    \
    section, #name, SettingsKey::Kind::kInteger, &Settings::name, nullptr, nullptr \
  }
#define VEXAL_FLOAT_KEY(section, name)                                           \
  SettingsKey {                                                                  \
    section, #name, SettingsKey::Kind::kFloat, nullptr, &Settings::name, nullptr \
  }
#define VEXAL_TEXT_KEY(section, name)                                           \
  SettingsKey {                                                                 \
    section, #name, SettingsKey::Kind::kText, nullptr, nullptr, &Settings::name \
  }

constexpr const char* kSystem = "System";
constexpr const char* kWindow = "Window";
constexpr const char* kMain = "Main";
constexpr const char* kFileHistory = "FileHistory";
constexpr const char* kFileFormat = "FileFormat";

const std::array kKeys = {
    VEXAL_INTEGER_KEY(kSystem, BootFirst),
    VEXAL_INTEGER_KEY(kSystem, UndoDepth),
    VEXAL_INTEGER_KEY(kSystem, AutoSaveSeconds),
    VEXAL_TEXT_KEY(kSystem, Language),

    VEXAL_INTEGER_KEY(kWindow, SaveMainWindow),
    VEXAL_INTEGER_KEY(kWindow, SaveSubWindow),
    VEXAL_INTEGER_KEY(kWindow, MainState),
    VEXAL_INTEGER_KEY(kWindow, MainLeft),
    VEXAL_INTEGER_KEY(kWindow, MainTop),
    VEXAL_INTEGER_KEY(kWindow, MainWidth),
    VEXAL_INTEGER_KEY(kWindow, MainHeight),
    VEXAL_INTEGER_KEY(kWindow, LocateLeft),
    VEXAL_INTEGER_KEY(kWindow, LocateTop),
    VEXAL_INTEGER_KEY(kWindow, LocateWidth),
    VEXAL_INTEGER_KEY(kWindow, LocateHeight),
    VEXAL_INTEGER_KEY(kWindow, PaletteLeft),
    VEXAL_INTEGER_KEY(kWindow, PaletteTop),
    VEXAL_INTEGER_KEY(kWindow, GridLeft),
    VEXAL_INTEGER_KEY(kWindow, GridTop),
    VEXAL_INTEGER_KEY(kWindow, RandomLeft),
    VEXAL_INTEGER_KEY(kWindow, RandomTop),
    VEXAL_INTEGER_KEY(kWindow, AttachLeft),
    VEXAL_INTEGER_KEY(kWindow, AttachTop),
    VEXAL_INTEGER_KEY(kWindow, PipeLeft),
    VEXAL_INTEGER_KEY(kWindow, PipeTop),
    VEXAL_INTEGER_KEY(kWindow, NumericLeft),
    VEXAL_INTEGER_KEY(kWindow, NumericTop),
    VEXAL_INTEGER_KEY(kWindow, ProjectionLeft),
    VEXAL_INTEGER_KEY(kWindow, ProjectionTop),
    VEXAL_INTEGER_KEY(kWindow, PrimitiveLeft),
    VEXAL_INTEGER_KEY(kWindow, PrimitiveTop),
    VEXAL_INTEGER_KEY(kWindow, ShowSubWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowLocateWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowPaletteWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowGridWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowRandomWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowAttachWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowPipeWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowNumericWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowProjectionWindow),
    VEXAL_INTEGER_KEY(kWindow, ShowPrimitiveWindow),
    VEXAL_INTEGER_KEY(kWindow, WindowBGColor),
    VEXAL_INTEGER_KEY(kWindow, WindowNormalColor),
    VEXAL_INTEGER_KEY(kWindow, WindowSelectColor),
    VEXAL_INTEGER_KEY(kWindow, WindowHideColor),

    VEXAL_INTEGER_KEY(kMain, SetDefaultWindow),
    VEXAL_INTEGER_KEY(kMain, DualBoot),
    VEXAL_INTEGER_KEY(kMain, GridType),
    VEXAL_INTEGER_KEY(kMain, OpenLastFile),
    VEXAL_INTEGER_KEY(kMain, RecordAllHistory),
    VEXAL_INTEGER_KEY(kMain, UseOpenGL),
    VEXAL_INTEGER_KEY(kMain, Perspective),
    VEXAL_INTEGER_KEY(kMain, VisibleDoubleSide),
    VEXAL_INTEGER_KEY(kMain, VisibleHandle),
    VEXAL_INTEGER_KEY(kMain, VisibleHideLine),
    VEXAL_INTEGER_KEY(kMain, VisibleSmooth),
    VEXAL_INTEGER_KEY(kMain, SetDefaultObject),
    VEXAL_INTEGER_KEY(kMain, VisibleDummy),
    VEXAL_INTEGER_KEY(kMain, VisibleGrid),
    VEXAL_INTEGER_KEY(kMain, VisibleTexture),
    VEXAL_INTEGER_KEY(kMain, VisibleBackPicture),
    VEXAL_INTEGER_KEY(kMain, VisibleLight),
    VEXAL_INTEGER_KEY(kMain, VisibleReflection),
    VEXAL_INTEGER_KEY(kMain, VisibleTransparence),
    VEXAL_INTEGER_KEY(kMain, VisibleTranslucent),
    VEXAL_INTEGER_KEY(kMain, LinearTexture),
    VEXAL_INTEGER_KEY(kMain, LinearBackPicture),
    VEXAL_INTEGER_KEY(kMain, VisibleCellEdge),
    VEXAL_INTEGER_KEY(kMain, UseMouseWheel),
    VEXAL_INTEGER_KEY(kMain, UseMoveAttach),
    VEXAL_INTEGER_KEY(kMain, UseLoopSplit),
    VEXAL_INTEGER_KEY(kMain, UseLoopSplit2),
    VEXAL_INTEGER_KEY(kMain, UseLassoSelect),
    VEXAL_INTEGER_KEY(kMain, UseSelectFace),
    VEXAL_INTEGER_KEY(kMain, UseFlatView),
    VEXAL_INTEGER_KEY(kMain, UseAngleSmooth),
    VEXAL_INTEGER_KEY(kMain, RealTimeSmooth),
    VEXAL_INTEGER_KEY(kMain, CellEdgeNormal),
    VEXAL_INTEGER_KEY(kMain, CellEdgeBorder),
    VEXAL_INTEGER_KEY(kMain, CellEdgeBoundary),
    VEXAL_INTEGER_KEY(kMain, CellEdgeSmooth),
    VEXAL_FLOAT_KEY(kMain, CellEdgeNormalWidth),
    VEXAL_FLOAT_KEY(kMain, CellEdgeBorderWidth),
    VEXAL_FLOAT_KEY(kMain, CellEdgeBoundaryWidth),
    VEXAL_FLOAT_KEY(kMain, CellEdgeSmoothWidth),
    VEXAL_INTEGER_KEY(kMain, GridCheckX),
    VEXAL_INTEGER_KEY(kMain, GridCheckY),
    VEXAL_INTEGER_KEY(kMain, GridCheckZ),
    VEXAL_FLOAT_KEY(kMain, GridWidthX),
    VEXAL_FLOAT_KEY(kMain, GridWidthY),
    VEXAL_FLOAT_KEY(kMain, GridWidthZ),
    VEXAL_INTEGER_KEY(kMain, RandomCheckX),
    VEXAL_INTEGER_KEY(kMain, RandomCheckY),
    VEXAL_INTEGER_KEY(kMain, RandomCheckZ),
    VEXAL_FLOAT_KEY(kMain, RandomWidthX),
    VEXAL_FLOAT_KEY(kMain, RandomWidthY),
    VEXAL_FLOAT_KEY(kMain, RandomWidthZ),
    VEXAL_INTEGER_KEY(kMain, PipeSegment),
    VEXAL_FLOAT_KEY(kMain, PipeRadius),
    VEXAL_FLOAT_KEY(kMain, PipeOffset),
    VEXAL_INTEGER_KEY(kMain, AttachLineSegment),

    VEXAL_TEXT_KEY(kFileHistory, FileHistory00),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory01),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory02),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory03),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory04),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory05),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory06),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory07),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory08),
    VEXAL_TEXT_KEY(kFileHistory, FileHistory09),
    VEXAL_TEXT_KEY(kFileHistory, LastFolder),

    VEXAL_FLOAT_KEY(kFileFormat, RokImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, RokExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, DxfImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, DxfExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, LwoImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, LwoExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, WrlImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, WrlExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, MxImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, MxExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, ObjImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, ObjExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, TdsImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, TdsExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, XImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, XExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, XsiImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, XsiExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, MqoImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, MqoExportScale),
    VEXAL_FLOAT_KEY(kFileFormat, FcwImportScale),
    VEXAL_FLOAT_KEY(kFileFormat, FcwExportScale),
    VEXAL_INTEGER_KEY(kFileFormat, DxfRotateImport),
    VEXAL_INTEGER_KEY(kFileFormat, DxfRotateExport),
    VEXAL_INTEGER_KEY(kFileFormat, ObjExportMaterial),
    VEXAL_INTEGER_KEY(kFileFormat, ObjExportGroup),
    VEXAL_INTEGER_KEY(kFileFormat, MxTextureWidth),
    VEXAL_INTEGER_KEY(kFileFormat, MxTextureHeight),
    VEXAL_TEXT_KEY(kFileFormat, MxTextureExtension),
};

#undef VEXAL_INTEGER_KEY
#undef VEXAL_FLOAT_KEY
#undef VEXAL_TEXT_KEY

static_assert(kKeys.size() == 141);

}  // namespace

std::span<const SettingsKey> SettingsKeys() {
  return kKeys;
}

}  // namespace vexal
