#include "hod/save.h"

#include <fmt/format.h>

#include "common/paths.h"
#include "common/safe_file.h"
#include "hod/hod2_writer.h"
#include "hod/hod_writer.h"
#include "hod/validate_messages.h"

namespace gantry {

std::string SaveErrorText(int number, const std::string& description,
                          const std::string& information) {
  return fmt::format(
      "Error Occured!\r\n\tError Number: {}\r\n\tError Description: {}\r\n\tError Source: "
      "{}\r\n\tError Information: '{}'\r\n Continue?",
      number, description, messages::kProgramTitle, information);
}

SaveResult SaveHod(Workspace& workspace, const std::string& path, Ui& ui,
                   const ValidationContext& context, HodDialect dialect) {
  if (!ValidateHod(workspace.model, ui, context).valid) {
    ui.Message(messages::kCantWrite, Icon::Exclamation);
    return SaveResult::Invalid;
  }
  if (dialect == HodDialect::Hod2) {
    const std::vector<std::string> reasons = Hod2WriteBlockers(workspace.model);
    if (!reasons.empty()) {
      ui.Message(Hod2RefusalText(reasons), Icon::Exclamation);
      return SaveResult::Invalid;
    }
  } else if (const std::vector<std::string> losses = ClassicLosses(workspace.model);
             !losses.empty()) {
    ui.Message(ClassicLossText(losses), Icon::Exclamation);
  }

  const auto fail = [&](int number, const std::string& description, const char* step) {
    const Answer answer =
        ui.Message(SaveErrorText(number, description, step + path), Icon::Critical, Buttons::YesNo);
    return answer == Answer::No ? SaveResult::Quit : SaveResult::Failed;
  };

  std::string error;
  std::vector<std::uint8_t> bytes;
  const bool encoded = dialect == HodDialect::Hod2 ? EncodeHod2(workspace.model, bytes, &error)
                                                   : ComputeLengths(workspace.model, &error) &&
                                                         WriteHod(workspace.model, bytes, &error);
  if (!encoded) {
    return fail(0, error, messages::kCouldntWrite);
  }

  const auto size = static_cast<std::int64_t>(bytes.size());
  ui.Status("Writing file...");
  ui.Progress(0, size);
  const auto failure = WriteFileSafely(NativePath(path), bytes);
  ui.Progress(size, size);
  ui.Status("Ready");
  if (failure) {
    const char* step = failure->step == FileWriteFailure::Step::Open    ? messages::kCouldntOpen
                       : failure->step == FileWriteFailure::Step::Write ? messages::kCouldntWrite
                                                                        : messages::kCouldntRemove;
    return fail(failure->code, failure->description, step);
  }
  workspace.SetCurrentFile(path);
  return SaveResult::Saved;
}

}  // namespace gantry
