// The later dialect: decoding the POOL streams (held to 500 MB/s of output), compressing them,
// reading the largest shared HOD 2.0 file (held to 3x the time of reading its bytes and decoding
// its pool), and saving the shared files as HOD 2.0 untouched, edited and afresh (held to 3x a
// classic save, output no larger than theirs).
// Without the shared files beside the repository, the decode runs on synthetic data.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod2_writer.h"
#include "hod/hod_reader.h"
#include "hod/hod_writer.h"
#include "hod/pool_codec.h"
#include "hod/reset.h"
#include "synthetic_hod.h"

namespace {

namespace fs = std::filesystem;

const char* kLargest = "GuillermoOM__HWRM_FSFC__shi_demon.hod";

std::string CorpusPath() {
  const char* env = std::getenv("GANTRY_CORPUS_DIR");
  const fs::path dir = env != nullptr && *env != '\0' ? fs::path(env) : fs::path(GANTRY_CORPUS_DIR);
  const fs::path path = dir / "hod" / kLargest;
  return fs::is_regular_file(path) ? path.string() : std::string();
}

struct Stream {
  std::vector<std::uint8_t> payload;
  std::size_t size = 0;
};

// The three streams of the file's POOL chunk (its layout: version, then packed size, size and
// payload per stream).
std::vector<Stream> PoolStreams(const std::vector<std::uint8_t>& file) {
  const char tag[] = "POOL";
  const auto it = std::search(file.begin(), file.end(), tag, tag + 4);
  if (it == file.end()) throw std::runtime_error("no POOL chunk");
  std::size_t p = static_cast<std::size_t>(it - file.begin()) + 12;
  std::vector<Stream> streams;
  for (int i = 0; i < 3; ++i) {
    std::uint32_t packed, size;
    std::memcpy(&packed, file.data() + p, 4);
    std::memcpy(&size, file.data() + p + 4, 4);
    p += 8;
    streams.push_back({{file.begin() + static_cast<std::ptrdiff_t>(p),
                        file.begin() + static_cast<std::ptrdiff_t>(p + packed)},
                       size});
    p += packed;
  }
  return streams;
}

// Shaped like texture and mesh data: repeats at many distances, some noise.
std::vector<Stream> SyntheticStreams() {
  std::mt19937 rng(7);
  std::vector<std::uint8_t> data;
  while (data.size() < (4u << 20)) {
    if (rng() % 3 == 0 || data.size() < 64) {
      for (int i = 0; i < 8; ++i) data.push_back(static_cast<std::uint8_t>(rng()));
    } else {
      const std::size_t far = 1 + rng() % std::min<std::size_t>(data.size(), 65536);
      const std::size_t length = 4 + rng() % 60;
      for (std::size_t i = 0; i < length; ++i) data.push_back(data[data.size() - far]);
    }
  }
  return {{gantry::EncodePoolStream(data), data.size()}};
}

std::size_t DecodeAll(const std::vector<Stream>& streams, std::vector<std::uint8_t>& out) {
  std::size_t total = 0;
  for (const Stream& s : streams) {
    if (gantry::UnpackPoolStream(s.payload, s.size, out, "bench")) {
      throw std::runtime_error("a stream did not decode");
    }
    total += out.size();
  }
  return total;
}

void BM_PoolDecode(benchmark::State& state) {
  const std::string path = CorpusPath();
  const std::vector<Stream> streams =
      path.empty() ? SyntheticStreams() : PoolStreams(gantry::bench::ReadWholeFile(path));
  std::vector<std::uint8_t> out;
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = DecodeAll(streams, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.SetLabel(path.empty() ? "synthetic" : kLargest);
}
BENCHMARK(BM_PoolDecode)->Unit(benchmark::kMillisecond);

void BM_PoolEncode(benchmark::State& state) {
  const std::string path = CorpusPath();
  const std::vector<Stream> streams =
      path.empty() ? SyntheticStreams() : PoolStreams(gantry::bench::ReadWholeFile(path));
  std::vector<std::vector<std::uint8_t>> data(streams.size());
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    gantry::UnpackPoolStream(streams[i].payload, streams[i].size, data[i], "bench");
    bytes += data[i].size();
  }
  for (auto _ : state) {
    for (const auto& d : data) benchmark::DoNotOptimize(gantry::EncodePoolStream(d).data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_PoolEncode)->Unit(benchmark::kMillisecond);

// Both timings in one run, alternating: the baseline (the file's bytes from the page cache, then
// its pool decoded) and the whole read into a model. Reports their ratio.
void BM_Hod2ReadAgainstBaseline(benchmark::State& state) {
  const std::string path = CorpusPath();
  if (path.empty()) {
    state.SkipWithError("the shared HOD 2.0 files are not beside the repository");
    return;
  }
  using Clock = std::chrono::steady_clock;
  Clock::duration baseline{}, read{};
  std::vector<std::uint8_t> out;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const std::vector<std::uint8_t> bytes = gantry::bench::ReadWholeFile(path);
    DecodeAll(PoolStreams(bytes), out);
    benchmark::DoNotOptimize(out.data());
    const auto t1 = Clock::now();
    gantry::HodModel model;
    gantry::ResetModel(model);
    gantry::DebugLog log;
    log.set_debug_level(0);
    gantry::QuietUi ui;
    const gantry::ReadOutcome outcome = gantry::ReadHod(path, model, log, ui);
    const auto t2 = Clock::now();
    if (!outcome.completed || !ui.messages().empty()) {
      state.SkipWithError("the file did not read cleanly");
      return;
    }
    baseline += t1 - t0;
    read += t2 - t1;
  }
  const auto ms = [&](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() /
           static_cast<double>(state.iterations());
  };
  state.counters["baseline_ms"] = ms(baseline);
  state.counters["read_ms"] = ms(read);
  state.counters["ratio"] = ms(read) / ms(baseline);
}
BENCHMARK(BM_Hod2ReadAgainstBaseline)->Unit(benchmark::kMillisecond);

// Saving each shared HOD 2.0 file as HOD 2.0 against a classic save of the same model,
// alternating in one run, held to 3x, and the HOD 2.0 output's size against the original files'
// (held to no larger). Three cases: the models as read (each stream unchanged, so written back
// as read); after a modder's edit (level 0 of the first mesh moved, so the mesh stream changes);
// and with no streams kept from the read (everything compressed afresh, as for an upgraded
// classic model).
enum SaveCase { kUntouched, kEdited, kFresh };

void BM_Hod2SaveAgainstClassic(benchmark::State& state) {
  const char* files[] = {"GuillermoOM__HWRM_FSFC__shi_demon.hod",
                         "GuillermoOM__HWRM_FSFC__ter_awacs_0.hod",
                         "mjhorvath__Mikali-Map-Collection-for-HWRM__hwccrystal_1_02.hod",
                         "mjhorvath__Test-Mission-Grid-for-HWRM__meg_coordinateaxes.hod"};
  const auto which = static_cast<SaveCase>(state.range(0));
  state.SetLabel(which == kUntouched ? "untouched" : which == kEdited ? "edited" : "fresh");
  const std::string path = CorpusPath();
  if (path.empty()) {
    state.SkipWithError("the shared HOD 2.0 files are not beside the repository");
    return;
  }
  const fs::path dir = fs::path(path).parent_path();
  std::vector<gantry::HodModel> models;
  std::size_t original_bytes = 0;
  for (const char* file : files) {
    gantry::HodModel model;
    gantry::ResetModel(model);
    gantry::DebugLog log;
    log.set_debug_level(0);
    gantry::QuietUi ui;
    if (!gantry::ReadHod((dir / file).string(), model, log, ui).completed) {
      state.SkipWithError("a shared file did not read");
      return;
    }
    original_bytes += fs::file_size(dir / file);
    if (which == kEdited) {
      if (model.Meshes.empty() || model.Meshes[0].Lods.empty()) {
        state.SkipWithError("a shared file has no mesh to move");
        return;
      }
      for (gantry::MeshPart& part : model.Meshes[0].Lods[0].Parts) {
        for (gantry::MeshVertex& v : part.Vertices) v.Position.y += 0.5f;
      }
    } else if (which == kFresh) {
      model.Hod2.Pool = {};
    }
    models.push_back(std::move(model));
  }
  using Clock = std::chrono::steady_clock;
  Clock::duration classic{}, hod2{};
  std::size_t written = 0;
  for (auto _ : state) {
    written = 0;
    for (const gantry::HodModel& model : models) {
      const auto t0 = Clock::now();
      gantry::HodModel copy = model;
      std::vector<std::uint8_t> bytes;
      if (!gantry::ComputeLengths(copy) || !gantry::WriteHod(copy, bytes)) {
        state.SkipWithError("a classic save failed");
        return;
      }
      const auto t1 = Clock::now();
      std::vector<std::uint8_t> pooled;
      if (!gantry::EncodeHod2(model, pooled)) {
        state.SkipWithError("a HOD 2.0 save failed");
        return;
      }
      const auto t2 = Clock::now();
      benchmark::DoNotOptimize(bytes.data());
      benchmark::DoNotOptimize(pooled.data());
      classic += t1 - t0;
      hod2 += t2 - t1;
      written += pooled.size();
    }
  }
  const auto ms = [&](Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count() /
           static_cast<double>(state.iterations());
  };
  state.counters["classic_ms"] = ms(classic);
  state.counters["hod2_ms"] = ms(hod2);
  state.counters["ratio"] = ms(hod2) / ms(classic);
  state.counters["size_vs_original"] =
      static_cast<double>(written) / static_cast<double>(original_bytes);
}
BENCHMARK(BM_Hod2SaveAgainstClassic)
    ->Arg(kUntouched)
    ->Arg(kEdited)
    ->Arg(kFresh)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
