// Feeds arbitrary bytes to the HOD reader, with the detailed log on so every logging path runs.
#include <cstdint>
#include <span>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/reset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gantry::HodModel model;
  gantry::ResetModel(model);
  gantry::DebugLog log;
  log.set_debug_level(size % 2 == 0 ? 1 : 0);
  gantry::QuietUi ui;
  gantry::ReadHodBytes(std::span<const std::uint8_t>(data, size), model, log, ui);
  return 0;
}
