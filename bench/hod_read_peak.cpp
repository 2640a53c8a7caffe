// Peak memory of one ReadHod in a fresh process. Usage: hod_read_peak [FILE]; without FILE the
// benchmarks' synthetic file is used (built first, then measured in a new process image so the
// building does not count). Exit status: 0 goal met, 1 read failed, 2 goal missed.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/reset.h"
#include "synthetic_hod.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

double MaxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB
}

// ru_maxrss survives execve on Linux, so after building the file and re-executing it would
// still hold the builder's peak; VmHWM belongs to the current process image only.
double PeakRssMiB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status != nullptr) {
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
      if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    }
    std::fclose(status);
    if (kib >= 0) return static_cast<double>(kib) / 1024.0;
  }
  return MaxRssMiB();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    const std::string path = gantry::bench::DefaultSyntheticHodPath().string();
    try {
      gantry::bench::EnsureSyntheticHod(path, gantry::bench::LargeOptions());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return 1;
    }
    char* args[] = {argv[0], const_cast<char*>(path.c_str()), nullptr};
    execv("/proc/self/exe", args);
    std::perror("execv");
    return 1;
  }

  const std::string path = argv[1];
  std::error_code ec;
  const auto file_bytes = std::filesystem::file_size(path, ec);
  if (ec) {
    std::fprintf(stderr, "cannot stat %s: %s\n", path.c_str(), ec.message().c_str());
    return 1;
  }
  const double before = PeakRssMiB();

  gantry::HodModel model;
  gantry::ResetModel(model);
  gantry::DebugLog log;
  log.set_debug_level(0);
  gantry::QuietUi ui;
  const auto start = std::chrono::steady_clock::now();
  const gantry::ReadOutcome outcome = gantry::ReadHod(path, model, log, ui);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  const double peak = PeakRssMiB();

  const double file_mib = static_cast<double>(file_bytes) / kMiB;
  const double budget = 1.5 * file_mib + 50.0;
  std::printf("file:            %s\n", path.c_str());
  std::printf("file size:       %.1f MiB (%ju bytes)\n", file_mib,
              static_cast<std::uintmax_t>(file_bytes));
  std::printf("read completed:  %s (meshes %zu, textures %zu)\n", outcome.completed ? "yes" : "no",
              model.Meshes.size(), model.Textures.size());
  std::printf("ReadHod time:    %.1f ms (first read in this process)\n", took.count());
  std::printf("peak RSS before: %.1f MiB\n", before);
  std::printf("peak RSS after:  %.1f MiB (ru_maxrss %.1f MiB)\n", peak, MaxRssMiB());
  std::printf("peak / file:     %.2f\n", peak / file_mib);
  std::printf("goal:            <= 1.5 x file + 50 MiB = %.1f MiB: %s\n", budget,
              peak <= budget ? "met" : "MISSED");
  if (!outcome.completed) return 1;
  return peak <= budget ? 0 : 2;
}
