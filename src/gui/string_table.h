// The program's string table: every caption, menu text, status text and tool tip of the main
// window, the editor form and the debug window, by number. Forms carry numbers, not texts, so
// that the wording lives here once.
#pragma once

#include <string_view>

namespace gantry::strings {

// The entry's text, or an empty text for a number the table does not hold.
std::string_view Entry(int number);
// The entry holding a control's tool tip (by the control's name), or 0 for none.
int ToolTipEntry(std::string_view control);

// Numbers used by name in the shell.
enum : int {
  kTitle = 1,
  kMessageWindow = 2,
  kSelectFile = 7,
  kHodEditorCaption = 27,
  kStatusReady = 101,
  kStatusReading = 102,
  kStatusNoFile = 107,
  kStatusFileNameTip = 108,
  kStatusIndicatorTip = 109,
  kMenuFile = 200,
  kMenuNew = 201,
  kMenuOpen = 202,
  kMenuSave = 203,
  kMenuSaveAs = 204,
  kMenuExit = 205,
  kMenuExport = 207,
  kMenuGeometry = 208,
  kMenuAll = 209,
  kMenuSelected = 210,
  kMenuTextures = 211,
  kMenuHelp = 212,
  kMenuAbout = 213,
  kMenuOptions = 214,
  kMenuTools = 215,
  kMenuScarMeshes = 216,
  kMenuCollisionMeshes = 217,
  kMenuHodAttributes = 218,
  kMenuTileH = 219,
  kMenuTileV = 220,
  kMenuCascade = 221,
  kMenuArrange = 222,
  kMenuWindow = 223,
  kMenuHodEditor = 224,
  kMenuDebugWindow = 225,
  kMenuRescale = 226,
  kMenuHodScript = 227,
  kMenuRecentFiles = 228,
  kMenuClearList = 229,
  kMenuRotate = 230,
  kTipDebugLevel = 23,
  kFontName = 1001,
  kFontSize = 1002,
};

}  // namespace gantry::strings
