// glTF export and import of a 1M-triangle model: a gently waved grid of 1000 x 500 quads, cut
// into parts below the 65536 vertices a part can address, over ten meshes with positions,
// normals and texture coordinates. Gantry's import reads the GLB its export wrote; where assimp
// is installed the same bytes go through assimp's glTF import (no post-processing) in the same
// run for comparison.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "hod/reset.h"
#include "interchange/gltf_export.h"
#include "interchange/gltf_import.h"

#ifdef GANTRY_BENCH_ASSIMP
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace {

constexpr int kColumns = 1000;
constexpr int kRows = 500;
constexpr int kBandRows = 50;  // 1001 * 51 vertices per part
constexpr int kMeshes = 10;    // each holds kRows / kMeshes rows

gantry::MeshPart Band(int first_row, int rows) {
  gantry::MeshPart part;
  part.VertexMask = gantry::kMaskPosition | gantry::kMaskNormal | gantry::kMaskUV;
  for (int j = first_row; j <= first_row + rows; ++j) {
    for (int i = 0; i <= kColumns; ++i) {
      gantry::MeshVertex v;
      const float z = 0.2f * std::sin(i * 0.05f) * std::cos(j * 0.07f);
      v.Position = {i * 0.5f - 250, j * 0.5f - 125, z, 1};
      v.Normal = {0, 0, 1, 0};
      v.UV = {static_cast<float>(i) / kColumns, static_cast<float>(j) / kRows};
      part.Vertices.push_back(v);
    }
  }
  gantry::FaceList list;
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < kColumns; ++i) {
      const auto at = [&](int c, int r) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(r * (kColumns + 1) + c));
      };
      list.Indices.insert(list.Indices.end(), {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j),
                                               at(i + 1, j + 1), at(i, j + 1)});
    }
  }
  part.VertexCount = static_cast<std::int32_t>(part.Vertices.size());
  list.IndexCount = static_cast<std::int32_t>(list.Indices.size());
  part.FaceLists = {std::move(list)};
  part.FaceListCount = 1;
  return part;
}

const gantry::HodModel& Model() {
  static const gantry::HodModel model = [] {
    gantry::HodModel m = gantry::MakeDefaultModel();
    m.Materials.resize(1);
    m.Materials[0].Name = "hull";
    const int rows_per_mesh = kRows / kMeshes;
    for (int mesh = 0; mesh < kMeshes; ++mesh) {
      gantry::MultiMesh multi;
      multi.Kind = "NRML";
      multi.ID = "MULT";
      multi.Name = "Mesh" + std::to_string(mesh + 1);
      multi.ParentName = "Root";
      gantry::LodMesh lod;
      lod.Kind = "NRML";
      lod.ID = "BMSH";
      for (int row = 0; row < rows_per_mesh; row += kBandRows) {
        lod.Parts.push_back(Band(mesh * rows_per_mesh + row, kBandRows));
      }
      multi.Lods.push_back(std::move(lod));
      m.Meshes.push_back(std::move(multi));
    }
    return m;
  }();
  return model;
}

const std::vector<std::uint8_t>& Glb() {
  static const std::vector<std::uint8_t> bytes = *gantry::ExportGltf(Model(), {});
  return bytes;
}

void BM_GltfExport(benchmark::State& state) {
  const gantry::HodModel& model = Model();
  std::size_t size = 0;
  for (auto _ : state) {
    const auto bytes = gantry::ExportGltf(model, {});
    if (!bytes) state.SkipWithError("export failed");
    size = bytes ? bytes->size() : 0;
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["triangles"] = kColumns * kRows * 2.0;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_GltfExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_GltfImport(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Glb();
  for (auto _ : state) {
    std::string error;
    auto imported = gantry::ImportGltf(bytes, "", &error);
    if (!imported) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(imported);
  }
  state.counters["triangles"] = kColumns * kRows * 2.0;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_GltfImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

#ifdef GANTRY_BENCH_ASSIMP
void BM_AssimpGltfImport(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = Glb();
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(), 0, "glb");
    if (!scene) state.SkipWithError(importer.GetErrorString());
    benchmark::DoNotOptimize(scene);
  }
  state.counters["triangles"] = kColumns * kRows * 2.0;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_AssimpGltfImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
#endif

}  // namespace

BENCHMARK_MAIN();
