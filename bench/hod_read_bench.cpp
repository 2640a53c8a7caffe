// Reading a large synthetic HOD: the plain file read is the baseline the parser is held to.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/reset.h"
#include "synthetic_hod.h"

namespace {

// Built on first use, outside any timed region.
const std::string& SyntheticPath() {
  static const std::string path = [] {
    const auto p = gantry::bench::DefaultSyntheticHodPath();
    gantry::bench::EnsureSyntheticHod(p, gantry::bench::LargeOptions());
    return p.string();
  }();
  return path;
}

// Fails the benchmark unless the read reached the end and found every mesh and texture.
bool CheckModel(benchmark::State& state, const gantry::ReadOutcome& outcome,
                const gantry::HodModel& model) {
  const auto o = gantry::bench::LargeOptions();
  if (!outcome.completed || model.Meshes.size() != static_cast<std::size_t>(o.mesh_count) ||
      model.Textures.size() != static_cast<std::size_t>(o.dxt1_textures + o.dxt5_textures)) {
    state.SkipWithError("the synthetic file was not read completely");
    return false;
  }
  return true;
}

void BM_RawFileRead(benchmark::State& state) {
  const std::string& path = SyntheticPath();
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = gantry::bench::ReadWholeFile(path);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// The same copy into a buffer kept across iterations: no fresh pages, only the copy out of the
// page cache. A vector this size is always mmapped and unmapped again by glibc, while the model's
// smaller blocks are recycled from the heap, so this is the fairer floor for repeated reads.
void BM_RawFileReadReused(benchmark::State& state) {
  const std::string& path = SyntheticPath();
  std::vector<std::uint8_t> bytes = gantry::bench::ReadWholeFile(path);
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (got != bytes.size()) {
      state.SkipWithError("short read");
      break;
    }
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReadHodFile(benchmark::State& state) {
  const std::string& path = SyntheticPath();
  const auto size = gantry::bench::SyntheticHodSize(gantry::bench::LargeOptions());
  for (auto _ : state) {
    gantry::HodModel model;
    gantry::ResetModel(model);
    gantry::DebugLog log;
    log.set_debug_level(0);
    gantry::QuietUi ui;
    const gantry::ReadOutcome outcome = gantry::ReadHod(path, model, log, ui);
    if (!CheckModel(state, outcome, model)) break;
    benchmark::DoNotOptimize(model.Meshes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_ReadHodBytes(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = gantry::bench::ReadWholeFile(SyntheticPath());
  for (auto _ : state) {
    gantry::HodModel model;
    gantry::ResetModel(model);
    gantry::DebugLog log;
    log.set_debug_level(0);
    gantry::QuietUi ui;
    const gantry::ReadOutcome outcome =
        gantry::ReadHodBytes(std::span<const std::uint8_t>(bytes), model, log, ui);
    if (!CheckModel(state, outcome, model)) break;
    benchmark::DoNotOptimize(model.Meshes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Each iteration also frees what it made (the buffer or the model), so all three pay alike for
// fresh pages and their release.
BENCHMARK(BM_RawFileRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_RawFileReadReused)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ReadHodFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ReadHodBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
