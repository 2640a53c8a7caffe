// Texts that more than one part of the program shows; the families' own message headers refer
// to these rather than spelling them again.
#pragma once

namespace gantry::shared_text {

inline constexpr const char* kProgramTitle = "Gantry HOD Editor";
inline constexpr const char* kRemovingLastForm = "Removing last form";
inline constexpr const char* kSelectObjectFirst = "Please select a object first!";
inline constexpr const char* kSelectGeometryFirst =
    "Please Select geometry in the geometry section first!";

}  // namespace gantry::shared_text
