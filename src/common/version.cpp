#include "common/version.h"

// Written by the build (cmake/BuildInfo.cmake) on every build, touched only when it changes.
#include "gantry_build_info.h"

namespace gantry {

const ProgramVersion kProgramVersion{GANTRY_VERSION_MAJOR, GANTRY_VERSION_MINOR,
                                     GANTRY_VERSION_PATCH};

std::string_view VersionNumber() { return GANTRY_VERSION; }

std::string_view BuildCommit() { return GANTRY_BUILD_COMMIT; }

std::string VersionText() {
  std::string text(VersionNumber());
  if (!BuildCommit().empty()) text.append(" (commit ").append(BuildCommit()).append(")");
  return text;
}

}  // namespace gantry
