#include "shell/string_table.h"

#include <algorithm>
#include <utility>

namespace gantry::strings {
namespace {

// Sorted by number; gaps are deliberate (the table is numbered in sections).
constexpr std::pair<int, std::string_view> kEntries[] = {
    {0, "---- UI Strings ----"},
    {1, "Gantry HOD Editor"},
    {2, "Message Window"},
    {3, "All debug messages are displayed here besides the progress bar and status bar"},
    {4, "Read\\Write Progress"},
    {5, "Progress of current task"},
    {6, "Progress for the whole file (how much of the file has been read)"},
    {7, "Please select a file!"},
    {8, "Parent: "},
    {9, "Please select a mesh to add a LoD"},
    {10, "Geometry Movement"},
    {11, "Please Select geometry in the geometry section first!"},
    {12, "Geometry Transform"},
    {13, "Move"},
    {14, "Scale"},
    {15, "Move Up"},
    {16, "Move Down"},
    {17, "Please select a LoD to remove!"},
    {18, "Plese select a mesh and a LoD to replace!"},
    {19, "Please select a texture in the texture section first!"},
    {20, "Please select a material in material secion first!"},
    {21, "Please select a mesh in the geometry section first!"},
    {22, "Rotate"},
    {23,
     "Off shows the least debugging text and runs fastest; On shows the detailed debugging text "
     "and runs slower."},
    {24, "Re-assign materials"},
    {25, "Mirror"},
    {26, "Import"},
    {27, "HOD Editor"},
    {28, "Please select a object first!"},
    {29, "Preview"},
    {30, "Generate BGMS Texture"},
    {31, "Texture(s) [Batch]"},
    {32, "Create MESH from Texture"},
    {101, "Ready"},
    {102, "Reading file..."},
    {103, "Writing wOBJ file..."},
    {104, "Writing Vertex data..."},
    {105, "Writing face data for Mesh(es)..."},
    {106, "Writing face data for Goblin(s)..."},
    {107, "[No file open]"},
    {108, "File name (with path)"},
    {109, "Status Indicator"},
    {110, "Reading Texture... (This may take few minutes depending on the size)"},
    {111, "Reading DeTeRMinistic Parts..."},
    {112, "Reading Wavefront Object file..."},
    {113, "Converting to BMSH format... (This may take time)"},
    {114, "Reading TGA to create STRF\\BGSG... (This may take time depending on the size)"},
    {115, "Colourizing BMSH..."},
    {199, "---- Menus ----"},
    {200, "&File"},
    {201, "&New"},
    {202, "&Open"},
    {203, "&Save"},
    {204, "Save &As"},
    {205, "E&xit"},
    {206, "-"},
    {207, "Export"},
    {208, "Geometry"},
    {209, "All"},
    {210, "Selected"},
    {211, "Texture(s)"},
    {212, "&Help"},
    {213, "&About"},
    {214, "&Options"},
    {215, "&Tools"},
    {216, "Battle Scar Reference Mesh(es)"},
    {217, "Collision Mesh(es)"},
    {218, "HOD Attributes"},
    {219, "Tile &Horizontally"},
    {220, "Tile &Vertically"},
    {221, "&Cascade"},
    {222, "&Arrange Icons"},
    {223, "&Window"},
    {224, "HOD Editor"},
    {225, "Debug Window"},
    {226, "Re&scale HOD"},
    {227, "HOD Script"},
    {228, "(Recent files)"},
    {229, "Clear List"},
    {230, "&Rotate HOD"},
    {299, "---- Buttons ----"},
    {300, "&Add"},
    {301, "&Remove"},
    {303, "Ex&port"},
    {304, "&Browse"},
    {305, "Add &Duplicate"},
    {399, "---- Tool Tips ----"},
    {400, "Textures stored in the HOD; select one to preview, replace or export it."},
    {401, "Materials: each names a shader and the textures it uses."},
    {402, "Meshes of the model; select one to see its levels of detail."},
    {403, "The levels of detail of the selected mesh."},
    {404, "The joint hierarchy; every mesh, marker and engine part hangs under a joint."},
    {405, "Battle-scar reference meshes, one per mesh."},
    {406, "Collision meshes, named after the joint they belong to."},
    {407, "Navigation lights."},
    {408, "Markers and their keyframe animation."},
    {409, "Engine shapes."},
    {410, "Engine burns."},
    {411, "Engine glows."},
    {412, "Dock paths."},
    {413, "Choose a boundary vertex to edit its position."},
    {414, "Parts of the background mesh."},
    {415, "Lights of the model."},
    {416, "Star fields and background star groups."},
    {417, "Simple or wireframe meshes."},
    {500, "The owner of the HOD, stored in its OWNR chunk."},
    {501, "Warnings stored in the HOD by the tool that wrote it."},
    {502, "Errors stored in the HOD by the tool that wrote it."},
    {1000, "---- Font Data ----"},
    {1001, "MS Sans Serif"},
    {1002, "8"},
};

constexpr bool SortedByNumber() {
  for (std::size_t i = 1; i < std::size(kEntries); ++i) {
    if (kEntries[i - 1].first >= kEntries[i].first) return false;
  }
  return true;
}
static_assert(SortedByNumber(), "string table entries must stay sorted by number");

}  // namespace

std::string_view Entry(int number) {
  const auto* end = std::end(kEntries);
  const auto* it = std::lower_bound(std::begin(kEntries), end, number,
                                    [](const auto& entry, int n) { return entry.first < n; });
  if (it == end || it->first != number) return {};
  return it->second;
}

}  // namespace gantry::strings
