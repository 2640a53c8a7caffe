// Texts the editor's numeric boxes show when what was typed is corrected.
#pragma once

namespace gantry::field_messages {

inline constexpr const char* kEnterNumber = "Please enter a number";
inline constexpr const char* kEnterValidNumber = "Please enter a valid number";
inline constexpr const char* kAttenuationInteger = "Attenuation needs to be a integer";
inline constexpr const char* kEnterInteger = "Please enter a integer";
inline constexpr const char* kPositiveRange =
    "Value is out of range. Please enter a positive number.";
inline constexpr const char* kColourRange =
    "Value is out of range. Please enter a value between 0 to 255";

}  // namespace gantry::field_messages
