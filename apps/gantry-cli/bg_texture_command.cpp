// bg-texture: every background mesh of a HOD rendered into a 24-bit bitmap, with the answers the
// editor's questions usually get: wrapping fixed, additional faces created and duplicated towards
// the top and bottom, thresholds 0.125 and 0.875. Alpha blending and anti-aliasing are on (the
// game blends background layers over each other); the depth test and double tone are off, since
// background layers sit at one radius and are drawn in order; nothing is culled.
#include <fmt/format.h>

#include <cmath>
#include <string>

#include "commands.h"
#include "commands/background_meshes.h"
#include "commands/background_render.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "loaded_hod.h"

namespace gantry::cli {

int RunBgTexture(const std::string& path, const std::string& out, double size_multiplier) {
  if (!std::isfinite(size_multiplier)) {
    fmt::print(stderr, "--size must be a number\n");
    return kExitUsage;
  }
  LoadedHod hod(path);
  if (!hod.outcome.completed) {
    fmt::print(stderr, "{} could not be read to its end; no texture was made\n", path);
    return kExitUnreadable;
  }
  if (hod.model.BackgroundMeshSet.Meshes.empty()) {
    fmt::print(stderr, "{} has no background meshes: the texture is black\n", path);
  }
  TextureGenerationSettings settings;
  settings.size_multiplier = CorrectedSizeMultiplier(size_multiplier, hod.ui);
  const TextureGeneration generation = GenerateTexture(hod.model.BackgroundMeshSet, settings);
  const auto failure = WriteFileSafely(NativePath(out), EncodeBmp24(generation.generator.Render()));
  if (failure) {
    fmt::print(stderr, "{}: {}\n", out, failure->description);
    return kExitUnreadable;
  }
  fmt::print("{} ({}x{})\n", out, generation.generator.width(), generation.generator.height());
  return kExitOk;
}

}  // namespace gantry::cli
