// Runs arbitrary text as a HOD script on a new model, as a batch import whose file arguments are
// taken from the demo ship's folder (so the commands that load meshes and textures find real
// files), then saves the model when it passes the save checks. A script-built model must save
// unless it goes beyond what the reader can hold, and the saved file must read back whole.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/hod_writer.h"
#include "hod/reader_limits.h"
#include "hod/reset.h"
#include "hod/validate.h"
#include "script/script_import.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

// Long scripts only repeat what short ones do, each line possibly loading a mesh.
constexpr std::size_t kMaxScript = 16 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // File arguments are put after the folder as they stand: ".." would leave it.
  if (size > kMaxScript || text.find("..") != std::string_view::npos) return 0;

  gantry::HodModel model = gantry::MakeDefaultModel();
  gantry::ScriptImportContext context;
  context.batch = true;
  context.ScriptFolder = GANTRY_DEMO_DIR;
  gantry::QuietUi quiet;
  gantry::RunHodScript(model, text, context, quiet);
  if (!gantry::ValidateHod(model, quiet).valid) return 0;

  std::string error;
  std::vector<std::uint8_t> bytes;
  if (!gantry::ComputeLengths(model, &error) || !gantry::WriteHod(model, bytes, &error)) {
    if (gantry::FirstReaderLimitBroken(model)) return 0;
    Fail("a model built by a script was not written", error);
  }
  gantry::DebugLog log;
  log.set_debug_level(0);
  gantry::QuietUi ui;
  gantry::HodModel back = gantry::MakeDefaultModel();
  if (!gantry::ReadHodBytes(bytes, back, log, ui).completed || !ui.messages().empty()) {
    Fail("the written file does not read back", ui.messages().empty() ? "" : ui.messages()[0].text);
  }
  return 0;
}
