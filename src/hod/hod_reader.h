// Reading a HOD file into a model. The model should have been reset first; every list-valued
// chunk appends to its list, the single records are replaced. Everything the reader has to say
// goes through Ui (messages, status, progress) and the debug log (field by field when the log is
// detailed). A damaged or hostile file never crashes the reader: it stops with a message naming
// the chunk and the byte offset, and every element read completely before that stays.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/byte_reader.h"
#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

struct ReadOutcome {
  // The walk reached the end of the data and logged its completion.
  bool completed = false;
  // Byte offset at which reading ended.
  std::uint64_t position = 0;
};

ReadOutcome ReadHod(const std::string& path, HodModel& model, DebugLog& log, Ui& ui);
ReadOutcome ReadHodBytes(std::span<const std::uint8_t> bytes, HodModel& model, DebugLog& log,
                         Ui& ui);
ReadOutcome ReadHodSource(ByteSource& source, std::string_view file_name, HodModel& model,
                          DebugLog& log, Ui& ui);

}  // namespace gantry
