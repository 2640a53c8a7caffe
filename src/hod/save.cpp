#include "hod/save.h"

#include <fmt/format.h>

#include "common/paths.h"
#include "common/safe_file.h"
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
                   const ValidationContext& context) {
  if (!ValidateHod(workspace.model, ui, context).valid) {
    ui.Message(messages::kCantWrite, Icon::Exclamation);
    return SaveResult::Invalid;
  }

  const auto fail = [&](int number, const std::string& description, const char* step) {
    const Answer answer =
        ui.Message(SaveErrorText(number, description, step + path), Icon::Critical, Buttons::YesNo);
    return answer == Answer::No ? SaveResult::Quit : SaveResult::Failed;
  };

  std::string error;
  std::vector<std::uint8_t> bytes;
  if (!ComputeLengths(workspace.model, &error) || !WriteHod(workspace.model, bytes, &error)) {
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
