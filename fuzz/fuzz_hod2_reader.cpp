// Feeds HOD 2.0 files to the reader. An input that does not start like a HOD is taken as what
// follows a POOL tag (after VERS and NAME), so the fuzzer starts inside the dialect instead of
// having to find it. A model that reads cleanly is also written back in its own dialect.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod2_writer.h"
#include "hod/hod_reader.h"
#include "hod/reset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Inputs that already start with a HOD's first chunk are read as they are.
  std::vector<std::uint8_t> file;
  const std::string head = std::string("FORM\0\0\0\x08VERS\0\x02\0\0", 16) +
                           std::string("FORM\0\0\0\x1eNAME", 12) + "Homeworld2 Multi Mesh File" +
                           "POOL";
  if (size < 4 || std::string(reinterpret_cast<const char*>(data), 4) != "FORM") {
    file.assign(head.begin(), head.end());
  }
  file.insert(file.end(), data, data + size);

  gantry::HodModel model;
  gantry::ResetModel(model);
  gantry::DebugLog log;
  log.set_debug_level(size % 2 == 0 ? 1 : 0);
  gantry::QuietUi ui;
  const auto outcome = gantry::ReadHodBytes(file, model, log, ui);
  if (outcome.completed && ui.messages().empty() && model.Dialect == gantry::HodDialect::Hod2) {
    std::vector<std::uint8_t> bytes;
    gantry::EncodeHod2(model, bytes);
  }
  return 0;
}
