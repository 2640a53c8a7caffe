// A HOD read as the editor's Open reads it (reset model, then the reader), with everything the
// reader said.
#pragma once

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

}  // namespace gantry::cli
