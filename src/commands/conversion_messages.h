// Texts the mesh conversions show, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::messages {

inline constexpr const char* kMaterialCountLead = "Invalid number of materials on mesh (";
inline constexpr const char* kFaceListCountLead = "Invalid number of face lists\\strips on mesh (";
inline constexpr const char* kCountClose = "). ";
inline constexpr const char* kLineBreak = shared_text::kLineBreak;
inline constexpr const char* kUseSingleMaterial =
    "Please use a SINGLE material for the WHOLE mesh!";
inline constexpr const char* kJoinedTooLargeLead = "The mesh's parts join into ";
inline constexpr const char* kJoinedTooLargeTail =
    " vertices; one triangle mesh of a HOD can hold at most 65536.";
inline constexpr const char* kNothingImported = shared_text::kNothingImported;
inline constexpr const char* kNoFacesInObj = "Internal error (!!!) [No faces in OBJ?]";

}  // namespace gantry::messages
