// A fresh model: every list empty and every single record at the defaults of a new multi-mesh
// HOD (version 512, one "Root" joint, eight boundary vertices, nav-light version 3, ...).
#pragma once

#include "hod/model.h"

namespace gantry {

// Empties every list and leaves the single records alone.
void InitialiseLists(HodModel& model);
// Empties every list and sets every single record to its default.
void ResetModel(HodModel& model);
// A model straight from ResetModel.
HodModel MakeDefaultModel();

}  // namespace gantry
