// Builds synthetic multi-mesh HOD files of a chosen size for the benchmarks, the peak-memory check
// and tiny fuzz seeds. The layout is written out here rather than through the project's writer so
// that a fault in the code being measured cannot also hide in the input.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gantry::bench {

struct SyntheticHodOptions {
  int mesh_count = 60;
  int lod_count = 3;
  // Vertices of each part of LoD 0; every further LoD halves them (at least 3).
  std::vector<int> part_vertices = {6000, 3000, 1500};
  // Every Nth mesh (0: none) has a first part of big_part_vertices instead, the 16-bit maximum.
  int big_mesh_every = 10;
  int big_part_vertices = 65535;
  int dxt1_textures = 4;
  int dxt5_textures = 4;
  int texture_size = 2048;  // square, a power of two; mips go down to 1 x 1
};

// The options the benchmarks use: about 170 MB.
SyntheticHodOptions LargeOptions();
// A few hundred bytes: one small mesh, one tiny texture of each kind.
SyntheticHodOptions TinyOptions();

// Exact size of the file the options describe.
std::uint64_t SyntheticHodSize(const SyntheticHodOptions& options);

// The whole file in memory.
std::vector<std::uint8_t> BuildSyntheticHod(const SyntheticHodOptions& options);

// Writes the file (through a temporary name, so a half-written file never looks complete).
// False with *error set on failure.
bool WriteSyntheticHod(const std::filesystem::path& path, const SyntheticHodOptions& options,
                       std::string* error);

// Where the benchmarks cache their file: the system temp folder.
std::filesystem::path DefaultSyntheticHodPath();

// Writes the file unless one of the expected size is already there. Throws on failure.
void EnsureSyntheticHod(const std::filesystem::path& path, const SyntheticHodOptions& options);

// The whole file in memory, for measuring reads from memory against reads from disk. Throws on
// failure.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace gantry::bench
