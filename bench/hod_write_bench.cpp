// Saving a large model: writing the same bytes safely (temporary file, flush to disk, rename) is
// the baseline the writer is held to; the in-memory encode shows the writer's own share.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/debug_log.h"
#include "common/safe_file.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/hod_writer.h"
#include "hod/reset.h"
#include "synthetic_hod.h"

namespace {

const gantry::HodModel& SyntheticModel() {
  static const gantry::HodModel model = [] {
    const auto path = gantry::bench::DefaultSyntheticHodPath();
    gantry::bench::EnsureSyntheticHod(path, gantry::bench::LargeOptions());
    gantry::HodModel m = gantry::MakeDefaultModel();
    gantry::DebugLog log;
    log.set_debug_level(0);
    gantry::QuietUi ui;
    gantry::ReadHod(path.string(), m, log, ui);
    return m;
  }();
  return model;
}

std::string OutputPath() {
  return (std::filesystem::temp_directory_path() / "gantry_bench_write.hod").string();
}

void BM_RawSafeWrite(benchmark::State& state) {
  std::vector<std::uint8_t> bytes;
  gantry::EncodeHod(SyntheticModel(), bytes);
  for (auto _ : state) {
    if (gantry::WriteFileSafely(OutputPath(), bytes)) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_EncodeHod(benchmark::State& state) {
  gantry::HodModel model = SyntheticModel();
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes;
    if (!gantry::ComputeLengths(model) || !gantry::WriteHod(model, bytes)) {
      state.SkipWithError("encode failed");
      break;
    }
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

// What Save does after validation: both passes, then the safe write.
void BM_SaveHod(benchmark::State& state) {
  gantry::HodModel model = SyntheticModel();
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes;
    if (!gantry::ComputeLengths(model) || !gantry::WriteHod(model, bytes) ||
        gantry::WriteFileSafely(OutputPath(), bytes)) {
      state.SkipWithError("save failed");
      break;
    }
    size = bytes.size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

BENCHMARK(BM_RawSafeWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_EncodeHod)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SaveHod)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
