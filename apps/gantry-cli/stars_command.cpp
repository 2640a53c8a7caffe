// stars: a HOD's star fields rebuilt from a star map, then validated and saved like `save`.
#include <fmt/format.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "cli_ui.h"
#include "commands.h"
#include "commands/star_fields.h"
#include "common/paths.h"
#include "interchange/tga.h"

namespace gantry::cli {

int RunStars(const std::string& in, const std::string& map, const std::string& out,
             std::optional<double> radius, std::optional<Vector3> centre, double size) {
  if (size == 0) {
    fmt::print(stderr, "a size multiplier of 0 adds no stars\n");
    return kExitUsage;
  }
  // A missing map would read as an empty image and be refused for its size: say what is wrong.
  std::error_code error;
  if (!std::filesystem::is_regular_file(FileSystemPath(map), error)) {
    fmt::print(stderr, "{}: no such file\n", map);
    return kExitUnreadable;
  }
  CliUi ui;
  const TGAImage image = ReadTGAImage(map);
  if (!CheckStarMap(image, ui)) return kExitUnreadable;

  return RunSave(in, out, false, [&](HodModel& model) {
    if (TypeOf(model) == HodType::MultiMesh) {
      fmt::print(stderr, "note: a multi-mesh HOD is saved without its star fields\n");
    }
    // Absent options take what the editor would suggest, under the same answer rules.
    const StarSphere suggested = StarMapDefaults(model);
    StarMapSettings settings;
    settings.centre = centre.value_or(suggested.centre);
    settings.radius = StarMapRadius(radius.value_or(suggested.radius), suggested.radius, ui);
    settings.size = size;
    std::mt19937 unused;  // sizes are never randomized here
    AddStarsFromMap(model, image, settings, StarGroupFamily::StarFields, 0, unused);
    std::size_t stars = 0;
    for (const StarField& field : model.StarFields) stars += field.Stars.size();
    fmt::print("{} stars in {} star fields\n", stars, model.StarFields.size());
    return true;
  });
}

}  // namespace gantry::cli
