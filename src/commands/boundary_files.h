// The boundary vertices' own OBJ file: exported beside the open HOD as HODBASE + "_BNDV.obj",
// imported from the "v" lines of any OBJ file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"
#include "interchange/obj_export.h"

namespace gantry {

// The HOD's folder + base name + "_BNDV.obj" (the current folder for a path without one).
std::string BoundaryFilePath(std::string_view hod_path);
std::string BoundaryVerticesObjText(const BoundaryVertexRecord& boundary, std::string_view hod_path,
                                    const HeaderStamp& stamp);
// The tab's export; false when the file could not be written.
bool ExportBoundaryVertices(const Workspace& workspace, Ui& ui,
                            const StampClock& clock = LocalStamp);

// Tabs become blanks, runs of blanks one blank, and blanks at either end go.
std::string NormaliseObjLine(std::string_view line);
// The points of every line that reads "v x y z" once normalised, in file order; a field that is
// missing or not a number reads as 0. Lines end at CR, LF or both.
std::vector<Vector3> ReadObjVertexLines(std::string_view text);

// The tab's import: asks for the file. A cancelled choice, an empty or missing file change
// nothing; so does a file without vertex lines, which is said with an exclamation message.
// Otherwise the file's vertices replace the boundary vertices.
CommandResult ImportBoundaryVertices(HodModel& model, Ui& ui);

}  // namespace gantry
