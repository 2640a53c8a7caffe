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
    // What was written must read back, cleanly, to the model written (whose scar meshes and
    // k-DOP the writer may have had to leave out or recompute: those are not compared).
    std::vector<std::uint8_t> bytes;
    if (!gantry::EncodeHod2(model, bytes)) return 0;
    gantry::HodModel back;
    gantry::ResetModel(back);
    gantry::QuietUi back_ui;
    gantry::DebugLog back_log;
    back_log.set_debug_level(0);
    if (!gantry::ReadHodBytes(bytes, back, back_log, back_ui).completed ||
        !back_ui.messages().empty()) {
      __builtin_trap();
    }
    if (back.Meshes.size() != model.Meshes.size() || back.Textures != model.Textures ||
        back.Materials.size() != model.Materials.size() ||
        back.JointList.Joints.size() != model.JointList.Joints.size() ||
        back.Markers != model.Markers ||
        back.CollisionMeshes.size() != model.CollisionMeshes.size()) {
      __builtin_trap();
    }
    for (std::size_t i = 0; i < model.Meshes.size(); ++i) {
      if (back.Meshes[i].Lods != model.Meshes[i].Lods) __builtin_trap();
    }
  }
  return 0;
}
