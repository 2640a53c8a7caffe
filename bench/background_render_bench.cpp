// The background texture generator at its largest picture (multiplier 2: 4096 x 2048) on a
// 100k-triangle background: a 320 x 157 latitude-longitude sphere of radius 100 with varied,
// half-transparent colours, cut into parts of 20 rows. Timed separately: collecting the
// triangles (unprojection, wrapping fix and seam/pole faces) and rendering with the usual
// options, with and without anti-aliasing (2x2 supersampling).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

#include "commands/background_meshes.h"
#include "geometry/rotations.h"

namespace {

constexpr int kColumns = 320;
constexpr int kRows = 157;
constexpr int kRowsPerPart = 20;

const gantry::BackgroundMeshSetRecord& Sphere() {
  static const gantry::BackgroundMeshSetRecord set = [] {
    gantry::BackgroundMeshSetRecord s;
    gantry::LodMesh& mesh = s.Meshes.emplace_back();
    for (int top = 0; top < kRows; top += kRowsPerPart) {
      const int bottom = std::min(kRows, top + kRowsPerPart);
      gantry::MeshPart& part = mesh.Parts.emplace_back();
      part.VertexMask = gantry::kMaskPosition | gantry::kMaskColour;
      for (int r = top; r <= bottom; ++r) {
        for (int c = 0; c <= kColumns; ++c) {
          gantry::MeshVertex& v = part.Vertices.emplace_back();
          const gantry::Vector3 p = gantry::SpherePoint(c, r, kColumns, kRows, 100, {});
          v.Position = {p.x, p.y, p.z, 1};
          v.Colour = {static_cast<std::uint8_t>(c * 7), static_cast<std::uint8_t>(r * 5),
                      static_cast<std::uint8_t>((c + r) * 3), 160};
        }
      }
      gantry::FaceList& list = part.FaceLists.emplace_back();
      const auto at = [&](int r, int c) {
        return static_cast<std::int16_t>((r - top) * (kColumns + 1) + c);
      };
      for (int r = top; r < bottom; ++r) {
        for (int c = 0; c < kColumns; ++c) {
          list.Indices.insert(list.Indices.end(), {at(r, c), at(r, c + 1), at(r + 1, c + 1)});
          list.Indices.insert(list.Indices.end(), {at(r, c), at(r + 1, c + 1), at(r + 1, c)});
        }
      }
      list.IndexCount = static_cast<std::int32_t>(list.Indices.size());
      part.FaceListCount = 1;
      part.VertexCount = static_cast<std::int32_t>(part.Vertices.size());
    }
    mesh.PartCount = static_cast<std::int32_t>(mesh.Parts.size());
    return s;
  }();
  return set;
}

gantry::TextureGenerationSettings Settings(bool anti_aliasing) {
  gantry::TextureGenerationSettings settings;
  settings.size_multiplier = 2;
  settings.render.anti_aliasing = anti_aliasing;
  return settings;
}

void BM_CollectTriangles(benchmark::State& state) {
  std::size_t triangles = 0;
  for (auto _ : state) {
    const auto generation = gantry::GenerateTexture(Sphere(), Settings(true));
    triangles = generation.generator.triangles().size();
    benchmark::DoNotOptimize(triangles);
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(BM_CollectTriangles)->Unit(benchmark::kMillisecond);

void BM_Render(benchmark::State& state) {
  const auto generation = gantry::GenerateTexture(Sphere(), Settings(state.range(0) != 0));
  for (auto _ : state) {
    const gantry::RgbaImage image = generation.generator.Render();
    benchmark::DoNotOptimize(image.pixels.data());
  }
  state.counters["triangles"] = static_cast<double>(generation.generator.triangles().size());
  state.counters["width"] = generation.generator.width();
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(generation.generator.triangles().size()));
}
BENCHMARK(BM_Render)->ArgName("anti_aliasing")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
