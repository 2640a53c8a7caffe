// Texts the star-field commands show or ask, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::star_messages {

inline constexpr const char* kSelectObjectFirst = shared_text::kSelectObjectFirst;
inline constexpr const char* kReady = shared_text::kReady;
inline constexpr const char* kReadingStarMap =
    "Reading TGA to create STRF\\BGSG... (This may take time depending on the size)";

inline constexpr const char* kStarMapFilter =
    "Truevision Targa (*.TGA) |*.TGA|All files (*.*) |*.*";
inline constexpr const char* kNot32Bit =
    "Not a 32bit TGA or a TGA with 8 bits per channel. Exiting";
inline constexpr const char* kNoWidthOrHeight = "Invalid TGA ( width or height = 0 ). Exiting";

inline constexpr const char* kCentreXPrompt =
    "Please enter the X center ( of sphere ) for stars \r\n"
    "( usually this is NEGATIVE of the geometric center of the sphere mesh )";
inline constexpr const char* kCentreYPrompt =
    "Please enter the Y center ( of sphere ) for stars \r\n"
    "( usually this is NEGATIVE of the geometric center of the sphere mesh )";
inline constexpr const char* kCentreZPrompt =
    "Please enter the Z center ( of sphere ) for stars \r\n"
    "( usually this is NEGATIVE of the geometric center of the sphere mesh )";
inline constexpr const char* kRadiusPrompt =
    "Please enter the radius for this sphere ( usually 100 )";
// Shown around the radius used instead, written with three decimals.
inline constexpr const char* kZeroRadius = "0 is unacceptable value for radius. ";
inline constexpr const char* kZeroRadiusEnd = " will be used instead";
inline constexpr const char* kSizePrompt = "Please enter the size multiplier";
inline constexpr const char* kRandomizePrompt =
    "Randomize Size of stars? ( Size of star = calculated size + random nunmber )\r\n"
    " [ Scale for random number: 0-1 ]";

}  // namespace gantry::star_messages
