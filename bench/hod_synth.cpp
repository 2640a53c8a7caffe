// Writes a synthetic HOD: the benchmarks' large file, a tiny fuzz seed, or any size between, e.g.
// a small one to profile under callgrind.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "synthetic_hod.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes a synthetic multi-mesh HOD file"};
  std::string out;
  bool tiny = false;
  gantry::bench::SyntheticHodOptions o = gantry::bench::LargeOptions();
  app.add_option("output", out, "File to write")->required();
  app.add_flag("--tiny", tiny, "One small mesh and two 8 x 8 textures (other options ignored)");
  app.add_option("--meshes", o.mesh_count, "Meshes")->check(CLI::NonNegativeNumber);
  app.add_option("--lods", o.lod_count, "Levels of detail per mesh")->check(CLI::PositiveNumber);
  app.add_option("--parts", o.part_vertices, "Vertices of each part at LoD 0")
      ->check(CLI::Range(3, 65535));
  app.add_option("--big-every", o.big_mesh_every, "Every Nth mesh gets a 65535-vertex part")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--dxt1", o.dxt1_textures, "DXT1 textures")->check(CLI::NonNegativeNumber);
  app.add_option("--dxt5", o.dxt5_textures, "DXT5 textures")->check(CLI::NonNegativeNumber);
  app.add_option("--texture-size", o.texture_size, "Texture side, a power of two")
      ->check(CLI::Range(1, 16384));
  CLI11_PARSE(app, argc, argv);
  if (tiny) o = gantry::bench::TinyOptions();
  if (o.part_vertices.empty()) o.part_vertices = {3};

  std::string error;
  if (!gantry::bench::WriteSyntheticHod(out, o, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %ju bytes\n", out.c_str(),
              static_cast<std::uintmax_t>(gantry::bench::SyntheticHodSize(o)));
  return 0;
}
