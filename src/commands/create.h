// Adding new elements. Each Add appends one element to its family, complete enough to be written
// and validated as it is: headers, tags, versions and counts are filled in, and the name is the
// family's stem followed by the element's 1-based number. Every Add returns the new element's
// 0-based entry to select.
//
// Choices of ours where the format leaves it open:
//  - a glow's empty mesh gets the header of a new level of detail ("NRML", "BMSH", 1400);
//  - a new light is a white point light ("Light" + n, raised until no light has that name) at
//    the origin, white specular, attenuation 0;
//  - a mesh's scar mesh goes to the mesh's position in the scar list, or to the end of a scar
//    list that is already shorter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// The selection a command acts on: an entry past the end of its list counts as none.
std::optional<std::size_t> SelectionIn(std::optional<std::size_t> selected, std::size_t size);

CommandResult AddTexture(HodModel& model);
CommandResult AddMesh(HodModel& model);  // with its battle-scar reference mesh
CommandResult AddEngineShape(HodModel& model);
CommandResult AddEngineBurn(HodModel& model);
CommandResult AddEngineGlow(HodModel& model);
CommandResult AddCollisionMesh(HodModel& model);
CommandResult AddDockPath(HodModel& model);
CommandResult AddMarker(HodModel& model);
CommandResult AddSimpleMesh(HodModel& model);  // unnamed in a wireframe HOD
CommandResult AddBackgroundMesh(HodModel& model);
CommandResult AddNavLight(HodModel& model);
CommandResult AddLight(HodModel& model);

// The scar mesh that belongs to a new mesh: named and parented like it, empty, a 0x0x0 grid.
ScarMesh NewScarMesh(const MultiMesh& mesh);

// Appends a level of detail to the selected mesh; refused without a mesh and for a goblin.
// Selects the new level in the level list.
CommandResult AddLod(HodModel& model, std::optional<std::size_t> mesh, Ui& ui);

// The number of boundary vertices as typed into its box. A text that is not a whole number of
// at least 2 is refused with its message and `corrected` holds the text the box gets instead;
// counts above kMaxBoundaryVertices are refused as not numerical and corrected to the maximum.
// A valid count resizes the list, keeping the first vertices and zeroing new ones.
inline constexpr std::int32_t kMaxBoundaryVertices = 65535;
struct BoundaryCountResult {
  std::optional<std::string> corrected;
  bool changed = false;
};
BoundaryCountResult SetBoundaryVertexCount(HodModel& model, std::string_view text, Ui& ui);

}  // namespace gantry
