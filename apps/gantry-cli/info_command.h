// `gantry-cli info` and `gantry-cli dump`.
#pragma once

#include <string>

namespace gantry::cli {

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 3;

int RunInfo(const std::string& path, bool json);
int RunDump(const std::string& path);

}  // namespace gantry::cli
