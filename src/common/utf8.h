// The model's texts are single bytes (Latin-1); JSON and glTF want UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace gantry {

std::string Latin1ToUtf8(std::string_view text);
// Characters past U+00FF (and broken sequences) become '?'.
std::string Utf8ToLatin1(std::string_view text);

}  // namespace gantry
