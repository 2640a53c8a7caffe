// The scar grid: the fast builder against the plain test of every triangle in every cell, on the
// largest grid the counting rules give. One axis always comes out at 1 (the smallest extent's),
// and two counts of 16 or more are never doubled, so that is 128 x 128 x 1 = 16384 cells: here a
// 12800 x 12800 x 100 box with 100-unit cells.
//
// The plain test costs cells x triangles, so it runs on the first 1k and 10k triangles only; its
// time per triangle is flat in the triangle count, and 100k triangles take 100 times the 1k
// figure. Both builders must give identical cells on those subsets before anything is timed.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "commands/mesh_conversion.h"

namespace {

constexpr int kTriangles = 100000;
constexpr int kVertices = 65535;  // all 16-bit indices can name

gantry::BoundingBox GridBox() { return {{0, 0, 0}, {12800, 12800, 100}}; }

// Small triangles like a real hull's: vertices follow short random walks of about a cell per
// step, and triangle t takes three consecutive vertices (wrapping round the 16-bit pool).
const gantry::TriangleMesh& FullMesh() {
  static const gantry::TriangleMesh mesh = [] {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> across(-200, 13000);
    std::uniform_real_distribution<float> depth(-20, 120);
    std::uniform_real_distribution<float> step(-60, 60);
    gantry::TriangleMesh m;
    gantry::Vector3 p;
    for (int i = 0; i < kVertices; ++i) {
      if (i % 64 == 0) {
        p = {across(rng), across(rng), depth(rng)};
      } else {
        p = {p.x + step(rng), p.y + step(rng), p.z + step(rng) / 4};
      }
      m.Vertices.push_back(p);
    }
    for (int t = 0; t < kTriangles; ++t) {
      const int first = t % (kVertices - 2);
      for (int corner = 0; corner < 3; ++corner) {
        m.Indices.push_back(static_cast<std::int16_t>(first + corner));
      }
    }
    m.VertexCount = static_cast<std::int32_t>(m.Vertices.size());
    m.IndexCount = static_cast<std::int32_t>(m.Indices.size());
    return m;
  }();
  return mesh;
}

gantry::ScarMesh ScarWithFirst(std::int64_t triangles) {
  gantry::ScarMesh scar;
  scar.Box = GridBox();
  scar.Triangles = FullMesh();
  scar.Triangles.Indices.resize(static_cast<std::size_t>(triangles) * 3);
  scar.Triangles.IndexCount = static_cast<std::int32_t>(scar.Triangles.Indices.size());
  return scar;
}

bool SameCells(benchmark::State& state, const gantry::ScarMesh& scar) {
  gantry::ScarMesh fast = scar;
  gantry::BuildScarGrid(fast);
  const gantry::ScarGrid reference = gantry::BuildScarGridReference(scar.Triangles, scar.Box);
  if (fast.Grid != reference || reference.SizeX != 128 || reference.SizeY != 128 ||
      reference.SizeZ != 1) {
    state.SkipWithError("the fast grid differs from the reference");
    return false;
  }
  return true;
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["time_per_triangle"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ScarGridReference(benchmark::State& state) {
  const gantry::ScarMesh scar = ScarWithFirst(state.range(0));
  if (!SameCells(state, scar)) return;
  for (auto _ : state) {
    gantry::ScarGrid grid = gantry::BuildScarGridReference(scar.Triangles, scar.Box);
    benchmark::DoNotOptimize(grid.Cells.data());
  }
  Report(state);
}

void BM_ScarGridFast(benchmark::State& state) {
  gantry::ScarMesh scar = ScarWithFirst(state.range(0));
  if (state.range(0) <= 10000 && !SameCells(state, scar)) return;
  for (auto _ : state) {
    gantry::BuildScarGrid(scar);
    benchmark::DoNotOptimize(scar.Grid.Cells.data());
  }
  Report(state);
}

BENCHMARK(BM_ScarGridReference)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScarGridFast)->Arg(1000)->Arg(10000)->Arg(kTriangles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
