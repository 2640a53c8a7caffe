// Importing a 1M-triangle OBJ with vertex welding. Two shapes of 1000 x 500 quads with shared
// corners, positions, texture coordinates and normals, cut into bands of 62 rows so every band
// (one material, one part) stays below the 65536 vertices a part can address:
//  - a gently waved grid, whose vertices spread over many distance-from-origin keys;
//  - a sphere around the origin, where every vertex has the same key: the case a search by key
//    buckets alone would turn into a scan of the whole part.
// The text is made once in memory with CR LF line ends (so the file variant's rewrite finds
// nothing to do). Without welding every corner is a vertex of its own and a band overflows its
// part, so the unwelded run imports a strip of 10 rows (60000 corners) as the scale for parsing.
//
// Where assimp is installed, the same text goes through its OBJ import with triangulation and
// JoinIdenticalVertices for comparison (exact equality there, thresholds here).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "common/ui.h"
#include "interchange/obj_import.h"

#ifdef GANTRY_BENCH_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace {

constexpr int kColumns = 1000;
constexpr int kRows = 500;
constexpr int kBandRows = 62;

enum class Shape { Grid, Sphere };

// Vertex (i, j) for i in 0..kColumns, j in 0..kRows; its number is j * (kColumns + 1) + i + 1.
std::string MakeObj(Shape shape, int rows = kRows) {
  std::string text;
  text.reserve(std::size_t{80} << 20);
  char line[160];
  const auto put = [&](int n) { text.append(line, static_cast<std::size_t>(n)); };
  constexpr double kPi = 3.14159265358979;
  for (int j = 0; j <= rows; ++j) {
    for (int i = 0; i <= kColumns; ++i) {
      double x, y, z, nx, ny, nz;
      if (shape == Shape::Grid) {
        x = i * 0.5 - 250, y = j * 0.5 - 125, z = 0.2 * std::sin(i * 0.05) * std::cos(j * 0.07);
        nx = 0, ny = 0, nz = 1;
      } else {
        const double lat = kPi * j / kRows, lon = 2 * kPi * i / kColumns;
        nx = std::sin(lat) * std::cos(lon), ny = std::sin(lat) * std::sin(lon), nz = std::cos(lat);
        x = 100 * nx, y = 100 * ny, z = 100 * nz;
      }
      put(std::snprintf(line, sizeof line,
                        "v %.6f %.6f %.6f\r\nvt %.6f %.6f\r\nvn %.6f %.6f %.6f\r\n", x, y, z,
                        double(i) / kColumns, double(j) / kRows, nx, ny, nz));
    }
  }
  for (int j = 0; j < rows; ++j) {
    if (j % kBandRows == 0)
      put(std::snprintf(line, sizeof line, "usemtl band%d\r\n", j / kBandRows));
    for (int i = 0; i < kColumns; ++i) {
      const int a = j * (kColumns + 1) + i + 1, b = a + 1, c = b + kColumns + 1,
                d = a + kColumns + 1;
      put(std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\r\n", a, a, a, b,
                        b, b, c, c, c, d, d, d));
    }
  }
  return text;
}

const std::string& Obj(Shape shape) {
  static const std::string grid = MakeObj(Shape::Grid);
  static const std::string sphere = MakeObj(Shape::Sphere);
  return shape == Shape::Grid ? grid : sphere;
}

gantry::ObjImportOptions Options(bool merge) {
  gantry::ObjImportOptions options;
  options.MergeVertices = merge;
  options.ReadFaces = true;
  options.Quiet = true;
  return options;
}

void Report(benchmark::State& state, const gantry::LodMesh& mesh) {
  std::int64_t vertices = 0, triangles = 0;
  for (const gantry::MeshPart& part : mesh.Parts) {
    vertices += part.VertexCount;
    for (const gantry::FaceList& list : part.FaceLists) triangles += list.IndexCount / 3;
  }
  state.counters["vertices"] = static_cast<double>(vertices);
  state.counters["triangles"] = static_cast<double>(triangles);
}

void Import(benchmark::State& state, std::string_view text, bool merge) {
  gantry::ObjImportContext context;
  context.batch = true;
  for (auto _ : state) {
    gantry::QuietUi ui;
    const std::optional<gantry::LodMesh> mesh =
        gantry::ImportOBJMeshText(text, Options(merge), context, ui);
    if (!mesh) {
      state.SkipWithError(ui.messages().empty() ? "refused" : ui.messages()[0].text.c_str());
      break;
    }
    Report(state, *mesh);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_WeldGrid(benchmark::State& state) { Import(state, Obj(Shape::Grid), true); }
void BM_WeldSphere(benchmark::State& state) { Import(state, Obj(Shape::Sphere), true); }

void BM_NoWeldStrip(benchmark::State& state) {
  static const std::string band = MakeObj(Shape::Grid, 10);
  Import(state, band, false);
}

void BM_WeldGridFromFile(benchmark::State& state) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "gantry_obj_import_bench.obj";
  std::ofstream(path, std::ios::binary) << Obj(Shape::Grid);
  gantry::ObjImportContext context;
  context.batch = true;
  for (auto _ : state) {
    gantry::QuietUi ui;
    const auto mesh = gantry::ImportOBJMesh(path.string(), Options(true), context, ui);
    if (!mesh) {
      state.SkipWithError("refused");
      break;
    }
    Report(state, *mesh);
  }
  std::filesystem::remove(path);
}

// A fan of 20000 triangles around one centre, positions only, imported with V reversed (as the
// command line and a script's levels of detail import): every corner at the centre welds into
// one vertex, so the cost per corner stays that of a handful of candidates.
void BM_WeldFanWithoutUVs(benchmark::State& state) {
  static const std::string fan = [] {
    constexpr int kTriangles = 20000;
    std::string text = "v 0 0 0\r\n";
    char line[96];
    for (int k = 0; k <= kTriangles; ++k) {
      const double angle = 6.283185307179586 * k / kTriangles;
      const int n = std::snprintf(line, sizeof line, "v %.6f %.6f 0\r\n", 100 * std::cos(angle),
                                  100 * std::sin(angle));
      text.append(line, static_cast<std::size_t>(n));
    }
    for (int k = 0; k < kTriangles; ++k) {
      const int n = std::snprintf(line, sizeof line, "f 1 %d %d\r\n", k + 2, k + 3);
      text.append(line, static_cast<std::size_t>(n));
    }
    return text;
  }();
  gantry::ObjImportOptions options = Options(true);
  options.AskReverseUVs = true;
  gantry::ObjImportContext context;
  context.batch = true;
  for (auto _ : state) {
    gantry::QuietUi ui;
    const auto mesh = gantry::ImportOBJMeshText(fan, options, context, ui);
    if (!mesh) {
      state.SkipWithError(ui.messages().empty() ? "refused" : ui.messages()[0].text.c_str());
      break;
    }
    Report(state, *mesh);
  }
}

#ifdef GANTRY_BENCH_ASSIMP
void Assimp(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(
        text.data(), text.size(), aiProcess_Triangulate | aiProcess_JoinIdenticalVertices, "obj");
    if (scene == nullptr) {
      state.SkipWithError(importer.GetErrorString());
      break;
    }
    std::int64_t vertices = 0, triangles = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
      vertices += scene->mMeshes[m]->mNumVertices;
      triangles += scene->mMeshes[m]->mNumFaces;
    }
    state.counters["vertices"] = static_cast<double>(vertices);
    state.counters["triangles"] = static_cast<double>(triangles);
  }
}
void BM_AssimpGrid(benchmark::State& state) { Assimp(state, Obj(Shape::Grid)); }
void BM_AssimpSphere(benchmark::State& state) { Assimp(state, Obj(Shape::Sphere)); }
BENCHMARK(BM_AssimpGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_AssimpSphere)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
#endif

BENCHMARK(BM_WeldGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WeldSphere)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WeldGridFromFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_NoWeldStrip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WeldFanWithoutUVs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
