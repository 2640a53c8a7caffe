// The subcommands of gantry-cli. Each returns the process's exit status.
#pragma once

#include <string>

namespace gantry::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferent = 1;  // invalid model, or models that differ
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 3;  // a file could not be read or written

int RunInfo(const std::string& path, bool json);
int RunDump(const std::string& path);
int RunValidate(const std::string& path, bool json);
int RunSave(const std::string& in, const std::string& out);
int RunRoundTrip(const std::string& path);
int RunDiff(const std::string& a, const std::string& b, double tolerance);

}  // namespace gantry::cli
