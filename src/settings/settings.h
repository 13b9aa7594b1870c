// The program's persistent preferences: one record with a field per key of
// the settings file, named exactly as the key, holding the key's default until
// a file is loaded. The main window owns the one record of a run; documents,
// tools, renderers and file formats read it, the options dialogs and tool
// windows edit it in place.
//
// The file is an INI file of five sections ([System], [Window], [Main],
// [FileHistory], [FileFormat]); every key that is read is also written.
// Integers are decimal text, booleans the integers 0/1, floats decimal text
// that reads back to the same float, strings plain text.
#pragma once

#include <climits>
#include <string>

namespace vexal {

struct SCENE;

// A window position or size the file did not give: the shell keeps the
// window's own default there (its built-in bounds, or a position centred on
// the screen for the tool windows).
inline constexpr int kUnsetPlacement = INT_MIN;

struct Settings {
  // [System]
  int BootFirst = 0;  // 0 until settings were once saved; always saved as 1
  int UndoDepth = 10;  // undo ring slots of documents opened afterwards, 2..1000
  // Seconds between recovery copies of modified documents, 0 = none;
  // 1..86400
  int AutoSaveSeconds = 120;
  // The language of messages: "auto" (from the locale), "en" or "ja".
  std::string Language = "auto";

  // [Window]: placement of the main and tool windows
  int SaveMainWindow = 1;  // restore the main window bounds at start
  int SaveSubWindow = 1;   // restore the tool window positions at start
  int MainState = 0;       // 0 normal, 1 minimised, 2 maximised
  int MainLeft = kUnsetPlacement;
  int MainTop = kUnsetPlacement;
  int MainWidth = kUnsetPlacement;
  int MainHeight = kUnsetPlacement;
  int LocateLeft = 726;  // angle palette window: its built-in bounds
  int LocateTop = 100;
  int LocateWidth = 200;
  int LocateHeight = 128;
  int PaletteLeft = kUnsetPlacement;
  int PaletteTop = kUnsetPlacement;
  int GridLeft = kUnsetPlacement;  // the seven tool windows: centred when unset
  int GridTop = kUnsetPlacement;
  int RandomLeft = kUnsetPlacement;
  int RandomTop = kUnsetPlacement;
  int AttachLeft = kUnsetPlacement;
  int AttachTop = kUnsetPlacement;
  int PipeLeft = kUnsetPlacement;
  int PipeTop = kUnsetPlacement;
  int NumericLeft = kUnsetPlacement;
  int NumericTop = kUnsetPlacement;
  int ProjectionLeft = kUnsetPlacement;
  int ProjectionTop = kUnsetPlacement;
  int PrimitiveLeft = kUnsetPlacement;
  int PrimitiveTop = kUnsetPlacement;
  // [Window]: tool window visibility; the nine Show... flags below are read
  // only when ShowSubWindow is 1
  int ShowSubWindow = 1;
  int ShowLocateWindow = 1;
  int ShowPaletteWindow = 1;
  int ShowGridWindow = 0;
  int ShowRandomWindow = 0;
  int ShowAttachWindow = 0;
  int ShowPipeWindow = 0;
  int ShowNumericWindow = 0;
  int ShowProjectionWindow = 0;
  int ShowPrimitiveWindow = 0;
  // [Window]: drawing colours, 0x00BBGGRR
  int WindowBGColor = 10592673;    // 0xA1A1A1
  int WindowNormalColor = 0;       // black
  int WindowSelectColor = 255;     // red
  int WindowHideColor = 12632256;  // 0xC0C0C0

  // [Main]: start-up, defaults of new document windows, tool behaviour
  int SetDefaultWindow = 1;
  int DualBoot = 0;   // kept and written back, nothing else
  int GridType = -1;  // 1 = the ground grid, anything else the reference cube
  int OpenLastFile = 0;
  int RecordAllHistory = 0;
  int UseOpenGL = 1;
  int Perspective = 1;
  int VisibleDoubleSide = 1;
  int VisibleHandle = 1;
  int VisibleHideLine = 1;
  int VisibleSmooth = 0;
  int SetDefaultObject = 1;
  int VisibleDummy = 1;
  int VisibleGrid = 1;
  int VisibleTexture = 1;
  int VisibleBackPicture = 1;
  int VisibleLight = 1;
  int VisibleReflection = 1;
  int VisibleTransparence = 0;
  int VisibleTranslucent = 0;
  int LinearTexture = 0;
  int LinearBackPicture = 0;
  int VisibleCellEdge = 0;
  int UseMouseWheel = 1;
  int UseMoveAttach = 0;
  int UseLoopSplit = 0;
  int UseLoopSplit2 = 0;
  int UseLassoSelect = 0;
  int UseSelectFace = 0;
  int UseFlatView = 0;
  int UseAngleSmooth = 1;
  int RealTimeSmooth = 0;
  // [Main]: cartoon-edge switches and line widths in pixels
  int CellEdgeNormal = 1;
  int CellEdgeBorder = 1;
  int CellEdgeBoundary = 1;
  int CellEdgeSmooth = 1;
  float CellEdgeNormalWidth = 2.0f;
  float CellEdgeBorderWidth = 2.0f;
  float CellEdgeBoundaryWidth = 1.0f;
  float CellEdgeSmoothWidth = 1.0f;
  // [Main]: tool values
  int GridCheckX = 1;
  int GridCheckY = 1;
  int GridCheckZ = 1;
  float GridWidthX = 0.125f;
  float GridWidthY = 0.125f;
  float GridWidthZ = 0.125f;
  int RandomCheckX = 1;
  int RandomCheckY = 1;
  int RandomCheckZ = 1;
  float RandomWidthX = 0.125f;
  float RandomWidthY = 0.125f;
  float RandomWidthZ = 0.125f;
  int PipeSegment = 6;
  float PipeRadius = 0.125f;
  float PipeOffset = 0.0f;  // degrees added to every ring angle
  int AttachLineSegment = 6;

  // [FileHistory]: 00 is the most recent file; empty entries are gaps
  std::string FileHistory00;
  std::string FileHistory01;
  std::string FileHistory02;
  std::string FileHistory03;
  std::string FileHistory04;
  std::string FileHistory05;
  std::string FileHistory06;
  std::string FileHistory07;
  std::string FileHistory08;
  std::string FileHistory09;
  // the folder the Open and Save As dialogs start in
  std::string LastFolder;

  // [FileFormat]: an import scale multiplies coordinates read from that
  // format, an export scale coordinates written to it
  float RokImportScale = 1.0f;
  float RokExportScale = 1.0f;
  float DxfImportScale = 1.0f;
  float DxfExportScale = 1.0f;
  float LwoImportScale = 1.0f;
  float LwoExportScale = 1.0f;
  float WrlImportScale = 1.0f;  // no reader uses it; edited and kept
  float WrlExportScale = 1.0f;
  float MxImportScale = 1.0f;
  float MxExportScale = 1.0f;
  float ObjImportScale = 1.0f;
  float ObjExportScale = 1.0f;
  float TdsImportScale = 1.0f;
  float TdsExportScale = 1.0f;
  float XImportScale = 1.0f;  // no reader uses it; edited and kept
  float XExportScale = 1.0f;
  float XsiImportScale = 1.0f;  // no reader uses it; edited and kept
  float XsiExportScale = 1.0f;
  float MqoImportScale = 0.01f;
  float MqoExportScale = 100.0f;
  float FcwImportScale = 0.01f;
  float FcwExportScale = 100.0f;
  // [FileFormat]: format options
  int DxfRotateImport = 1;  // turn -90 degrees about X when reading DXF
  int DxfRotateExport = 1;  // turn 90 degrees about X when writing DXF
  int ObjExportMaterial = 0;
  int ObjExportGroup = 0;
  int MxTextureWidth = 256;  // texture size assumed by version 1.0 MX files
  int MxTextureHeight = 256;
  std::string MxTextureExtension = ".bmp";  // added to MX texture names
};

inline constexpr int kFileHistoryCount = 10;

// The history entry at position index (0 = most recent); index must be in
// 0..kFileHistoryCount-1.
std::string& FileHistoryEntry(Settings& settings, int index);
const std::string& FileHistoryEntry(const Settings& settings, int index);

// Reads the settings file at path into settings. Every key the file lacks,
// and every value that is not a finite number where a number belongs, keeps
// the default of a fresh Settings. A missing file is the first run: all
// defaults and true. Returns false, with a reason, only when the file exists
// but cannot be read; settings then hold the defaults.
bool LoadSettings(const std::string& path, Settings& settings, std::string* reason);

// Writes every key (BootFirst always as 1) to path, with CR LF line ends.
// The file is replaced only when the whole text was written. Returns false
// with a reason when it cannot be written.
bool SaveSettings(const std::string& path, const Settings& settings, std::string* reason);

// The folder that holds this user's settings: $XDG_CONFIG_HOME/vexal when
// XDG_CONFIG_HOME is absolute, else ~/.config/vexal ($HOME, or the account's
// home folder when HOME is unset). "" when no home folder can be found.
std::string ConfigFolder();

// True when a "vexal.ini" already stands in the folder of executablePath:
// the program then runs portable and keeps its files there.
bool IsPortable(const std::string& executablePath);

// Where the settings file (extension ".ini") or the shortcut file (".kbd")
// lives: vexal<extension> beside the executable in portable mode, else in
// ConfigFolder(). "" when neither exists, and then nothing is read or
// written. The program never creates a file beside its executable: only a
// vexal.ini put there by hand makes it portable. SaveSettings creates the
// missing folder.
std::string SettingsFilePath(const std::string& executablePath, const char* extension);

// Gives a document window's SCENE the display switches of the settings (the
// renderer, projection and visibility switches a new window starts with).
void ApplySceneDefaults(const Settings& settings, SCENE& scene);

}  // namespace vexal
