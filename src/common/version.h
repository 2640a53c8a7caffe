// The program's version: CMake's project version, and the commit it was built from when the
// build ran in a git checkout (source archives have none).
#pragma once

#include <string>
#include <string_view>

namespace gantry {

struct ProgramVersion {
  int major_number = 0;
  int minor_number = 0;
  int revision = 0;
};
extern const ProgramVersion kProgramVersion;

// "0.1.0"
std::string_view VersionNumber();
// The abbreviated commit with "-modified" when the checkout had uncommitted changes; empty when
// not built from a checkout.
std::string_view BuildCommit();
// What --version and Help > About show: "0.1.0 (commit 42499b1c2d)", or "0.1.0".
std::string VersionText();

}  // namespace gantry
