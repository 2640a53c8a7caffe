// Running a HOD script of about 100,000 lines: commands that need no files (joints, markers
// with a track of keys, dock paths with points, navigation lights), in blocks of twelve lines
// that refer to the elements their block made, so every index lookup lands. Two runs: the text
// from memory (RunHodScript) and the same text from a file (ImportHodScript, batch, so the file
// is only read).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "common/ui.h"
#include "hod/reset.h"
#include "script/script_import.h"

namespace {

constexpr int kLines = 100000;
constexpr int kLinesPerBlock = 12;
constexpr int kBlocks = (kLines + kLinesPerBlock - 1) / kLinesPerBlock;

std::string MakeScript() {
  std::string text = "// synthetic script\r\n";
  char line[200];
  const auto put = [&](int n) {
    text.append(line, static_cast<std::size_t>(n));
    text += "\r\n";
  };
  for (int b = 1; b <= kBlocks; ++b) {
    put(std::snprintf(
        line, sizeof line,
        "HIER_Add('Joint%d', 'Root', %d, 0.5, -2, 0, 90, 0, 1, 1, 1, 0, 0, 0, 1, 0, 1)", b,
        b % 100));
    put(std::snprintf(line, sizeof line,
                      "MRKR_Add('Marker%d', 'Joint%d', 1, 0, 0, 4, 10, 0, 45, 0, 1)", b, b));
    put(std::snprintf(line, sizeof line, "ANIM_Set(%d, 1, 'Marker%d_posy', 3, 0, 0)", b, b));
    for (int k = 1; k <= 3; ++k) {
      put(std::snprintf(line, sizeof line, "KEYF_Set(%d, 1, %d, %d.5, %d, 0, 0, 0, 0)", b, k, k,
                        k * 2));
    }
    put(std::snprintf(line, sizeof line,
                      "DOCK_Add('dock%d', 'Joint%d', 1, 0, 'Fighter, Corvette', 0, '', 4)", b, b));
    for (int p = 1; p <= 4; ++p) {
      put(std::snprintf(line, sizeof line,
                        "DOCK_SetKeyframe(%d, %d, 0, -6, %d, 0, 0, 0, 0, 10, 0, 150, 0, 0, 0, 0, "
                        "0, %d)",
                        b, p, 40 - 10 * p, p == 4 ? 1 : 0));
    }
    put(std::snprintf(line, sizeof line,
                      "NAVL_Add('Nav%d', 0, 1.5, 0, 1, 'default', 1, 0, 0, 1, 40, 1, 0)", b));
  }
  return text;
}

const std::string& Script() {
  static const std::string text = MakeScript();
  return text;
}

void CheckRun(benchmark::State& state, const gantry::ScriptImportResult& result) {
  if (!result.read || result.commands + 1 != result.lines) {
    state.SkipWithError("the script did not run whole");
  }
  state.counters["lines"] = static_cast<double>(result.lines);
}

void BM_RunHodScript(benchmark::State& state) {
  const std::string& text = Script();
  gantry::QuietUi ui;
  for (auto _ : state) {
    gantry::HodModel model = gantry::MakeDefaultModel();
    gantry::ScriptImportContext context;
    context.batch = true;
    const gantry::ScriptImportResult result = gantry::RunHodScript(model, text, context, ui);
    benchmark::DoNotOptimize(model);
    CheckRun(state, result);
  }
  state.SetItemsProcessed(state.iterations() * kBlocks * kLinesPerBlock);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_RunHodScript)->Unit(benchmark::kMillisecond);

void BM_ImportHodScriptFile(benchmark::State& state) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "gantry_script_import_bench.hsc";
  std::ofstream(path, std::ios::binary) << Script();
  gantry::QuietUi ui;
  for (auto _ : state) {
    gantry::HodModel model = gantry::MakeDefaultModel();
    gantry::ScriptImportContext context;
    context.batch = true;
    const gantry::ScriptImportResult result =
        gantry::ImportHodScript(model, path.string(), context, ui);
    benchmark::DoNotOptimize(model);
    CheckRun(state, result);
  }
  state.SetItemsProcessed(state.iterations() * kBlocks * kLinesPerBlock);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ImportHodScriptFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
