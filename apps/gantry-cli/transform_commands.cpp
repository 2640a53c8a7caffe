// rescale and rotate: the whole-model transforms, then validate and save like `save`.
#include <fmt/format.h>

#include "commands.h"
#include "commands/messages.h"
#include "commands/transforms.h"
#include "geometry/rotations.h"
#include "hod/model_diff.h"

namespace gantry::cli {

namespace {

// Finite factors can still overflow a position: such a model is not saved. A file that held a
// NaN before is left to its own devices.
bool StillFinite(bool before, const HodModel& model) {
  if (!before) return true;
  const std::optional<std::string> field = FirstNonFiniteField(model);
  if (!field) return true;
  fmt::print(stderr, "the result is not finite at {}; nothing was written\n", *field);
  return false;
}

}  // namespace

int RunRescale(const std::string& in, const std::string& out, double sx, double sy, double sz) {
  return RunSave(in, out, false, [=](HodModel& model) {
    const bool finite = !FirstNonFiniteField(model);
    if (RescaleHOD(model, static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz))) {
      return StillFinite(finite, model);
    }
    fmt::print(stderr, "{}\n", editing_messages::kScalingFailed);
    return false;
  });
}

int RunRotate(const std::string& in, const std::string& out, double ax, double ay, double az,
              bool rotate_joints) {
  return RunSave(in, out, false, [=](HodModel& model) {
    const auto radians = [](double degrees) {
      return static_cast<float>(DegreesToRadians(degrees));
    };
    const bool finite = !FirstNonFiniteField(model);
    if (RotateHOD(model, radians(ax), radians(ay), radians(az), rotate_joints)) {
      return StillFinite(finite, model);
    }
    fmt::print(stderr, "{}\n", editing_messages::kRotatingFailed);
    return false;
  });
}

}  // namespace gantry::cli
