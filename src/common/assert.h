// The program's fatal check, made survivable: a failed check is logged and shown as
// "Assertion Failed! Position: " + the byte position of the file being read, and the caller stops
// what it was doing instead of ending the program.
#pragma once

#include <cstdint>

#include "common/debug_log.h"
#include "common/ui.h"

namespace gantry {

inline constexpr const char* kAssertionFailed = "Assertion Failed! Position: ";

// Returns the condition; reports when it is false.
bool Assert(bool condition, std::uint64_t position, DebugLog& log, Ui& ui);

}  // namespace gantry
