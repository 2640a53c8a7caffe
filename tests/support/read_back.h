// A read with everything it said, and a model saved and read back.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/debug_log.h"
#include "hod/hod_reader.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "hod/reset.h"
#include "support/hod_builder.h"
#include "support/scripted_ui.h"

namespace gantry::testing {

using ByteVector = std::vector<std::uint8_t>;

// Reads bytes (or a file) into a freshly reset model.
struct HodRead {
  explicit HodRead(const ByteVector& bytes, std::uint8_t level = 0) {
    log.set_debug_level(level);
    outcome = ReadHodBytes(bytes, model, log, ui);
  }
  explicit HodRead(const HodBuilder& b, std::uint8_t level = 0) : HodRead(b.bytes(), level) {}
  // Reads the file at `path` through the file reader.
  static HodRead File(const std::string& path) {
    HodRead r;
    r.outcome = ReadHod(path, r.model, r.log, r.ui);
    return r;
  }

  HodModel model = MakeDefaultModel();
  DebugLog log;
  ScriptedUi ui;
  ReadOutcome outcome;

 private:
  HodRead() { log.set_debug_level(0); }
};

inline bool Clean(const HodRead& r) { return r.outcome.completed && r.ui.messages.empty(); }

// What differs once the model is encoded as a save would and the bytes read back (DiffModels'
// lines), with a line of its own for a refused write, each message of the read and a read that
// stopped. `read` receives the model read back.
inline std::vector<std::string> ReadBackDifferences(const HodModel& model,
                                                    HodModel* read = nullptr) {
  ByteVector bytes;
  std::string error;
  if (!EncodeHod(model, bytes, &error)) return {"not written: " + error};
  HodRead back(bytes);
  std::vector<std::string> lines = DiffModels(model, back.model);
  for (const std::string& text : back.ui.MessageTexts()) lines.push_back("the read said " + text);
  if (!back.outcome.completed) lines.push_back("the read stopped");
  if (read != nullptr) *read = std::move(back.model);
  return lines;
}

}  // namespace gantry::testing
