// rescale and rotate: the whole-model transforms, then validate and save like `save`.
#include <fmt/format.h>

#include "commands.h"
#include "commands/messages.h"
#include "commands/transforms.h"
#include "geometry/rotations.h"

namespace gantry::cli {

int RunRescale(const std::string& in, const std::string& out, double sx, double sy, double sz) {
  return RunSave(in, out, false, [=](HodModel& model) {
    if (RescaleHOD(model, static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz))) {
      return true;
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
    if (RotateHOD(model, radians(ax), radians(ay), radians(az), rotate_joints)) return true;
    fmt::print(stderr, "{}\n", editing_messages::kRotatingFailed);
    return false;
  });
}

}  // namespace gantry::cli
