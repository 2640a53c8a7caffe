// Turning the program's narrow texts into UTF-8 for what must be UTF-8 on every platform (JSON,
// glTF) and back. Narrow texts are paths in the system's encoding and texts from HOD files, which
// are single bytes of the Windows Latin code page 1252.
#pragma once

#include <string>
#include <string_view>

namespace gantry {

// On Windows the ANSI code page's text as UTF-8. Elsewhere valid UTF-8 (a path) stays as it is
// and any other text is read as code page 1252.
std::string NarrowToUtf8(std::string_view text);

// Code page 1252's text as UTF-8, whatever the platform; bytes the code page leaves undefined
// keep their own code.
std::string Cp1252ToUtf8(std::string_view text);
// The way back: characters code page 1252 has no byte for, and broken sequences, become '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace gantry
