// A HOD read as the editor's Open reads it (reset model, then the reader), with everything the
// reader said.
#pragma once

#include <cstdio>
#include <string>

#include "cli_ui.h"
#include "common/debug_log.h"
#include "hod/hod_reader.h"
#include "hod/reset.h"

namespace gantry::cli {

struct LoadedHod {
  explicit LoadedHod(const std::string& path, std::uint8_t debug_level = 0,
                     std::function<void(std::string_view)> listener = nullptr) {
    log.set_debug_level(debug_level);
    if (listener) log.set_listener(std::move(listener));
    ResetModel(model);
    outcome = ReadHod(path, model, log, ui);
  }
  // Read to the end with nothing to say.
  bool clean() const { return outcome.completed && ui.messages().empty(); }

  DebugLog log;
  HodModel model;
  CliUi ui;
  ReadOutcome outcome;
};

// Whether an export may go on with what was read: a file read to its end, or with `salvage`
// one that gave up something before its damage. Says why not on stderr.
inline bool ReadForExport(const LoadedHod& hod, const std::string& path, bool salvage) {
  if (hod.outcome.completed) return true;
  if (salvage && hod.outcome.position > 0) return true;
  if (salvage) {
    std::fprintf(stderr, "%s could not be read; nothing was exported\n", path.c_str());
  } else {
    std::fprintf(stderr,
                 "%s did not read to its end; nothing was exported (--salvage exports the part "
                 "that was read)\n",
                 path.c_str());
  }
  return false;
}

}  // namespace gantry::cli
