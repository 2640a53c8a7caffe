// validate, save, roundtrip and diff.
#include <fmt/format.h>

#include <cstdio>
#include <functional>

#include "commands.h"
#include "hod/hod2_writer.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "hod/save.h"
#include "hod/validate.h"
#include "json_text.h"
#include "loaded_hod.h"

namespace gantry::cli {

namespace {

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return "critical";
    case Icon::Exclamation:
      return "exclamation";
    case Icon::Information:
      return "information";
    case Icon::Question:
      return "question";
    case Icon::None:
      break;
  }
  return "none";
}

// Messages with their icon go to stdout here: they are the command's result.
class ReportingUi : public QuietUi {
 public:
  explicit ReportingUi(bool print) : print_(print) {}
  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override {
    if (print_) fmt::print("[{}] {}\n", IconName(icon), ConsoleText(text));
    return QuietUi::Message(text, icon, buttons);
  }

 private:
  bool print_;
};

}  // namespace

int RunValidate(const std::string& path, bool json) {
  LoadedHod hod(path);
  ReportingUi ui(!json);
  // A file that did not read to its end is not checked: its model is only a part of it.
  const bool readable = hod.outcome.completed;
  const bool valid = readable && ValidateHod(hod.model, ui).valid;
  const auto& shown_messages = readable ? ui.messages() : hod.ui.messages();
  if (json) {
    std::string out = fmt::format("{{\"valid\":{},\"messages\":[", valid ? "true" : "false");
    bool first = true;
    for (const auto& shown : shown_messages) {
      if (!first) out += ",";
      first = false;
      out += fmt::format("{{\"icon\":\"{}\",\"text\":{}}}", IconName(shown.icon),
                         JsonQuote(shown.text));
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
  } else {
    fmt::print("{}\n", !readable ? "unreadable" : valid ? "valid" : "invalid");
  }
  if (!readable) return kExitUnreadable;
  return valid ? kExitOk : kExitDifferent;
}

int RunSave(const std::string& in, const std::string& out, bool salvage,
            const std::function<bool(HodModel&)>& change, HodDialect dialect) {
  LoadedHod hod(in);
  // Saving what a damaged file gave up drops the rest of it: only when asked to.
  if (!hod.outcome.completed && !salvage) {
    fmt::print(stderr, "{} did not read to its end; --salvage saves the part that was read\n", in);
    return kExitUnreadable;
  }
  Workspace workspace;
  workspace.model = std::move(hod.model);
  if (change && !change(workspace.model)) return kExitDifferent;
  ReportingUi ui(true);
  return SaveExitCode(SaveHod(workspace, out, ui, {}, dialect));
}

int RunRoundTrip(const std::string& path) {
  const LoadedHod hod(path);
  if (!hod.outcome.completed) return kExitUnreadable;
  HodModel saved = hod.model;
  std::string error;
  std::vector<std::uint8_t> bytes;
  // In the file's own dialect: a HOD 2.0 file saved as classic has classic framing.
  const bool hod2 = saved.Dialect == HodDialect::Hod2;
  const auto encode = [&](HodModel& model, std::vector<std::uint8_t>& out, std::string* why) {
    return hod2 ? EncodeHod2(model, out, why)
                : ComputeLengths(model, why) && WriteHod(model, out, why);
  };
  if (!encode(saved, bytes, &error)) {
    fmt::print("cannot write: {}\n", error);
    return kExitDifferent;
  }
  HodModel back = MakeDefaultModel();
  DebugLog log;
  log.set_debug_level(0);
  CliUi ui;
  if (!ReadHodBytes(bytes, back, log, ui).completed || !ui.messages().empty()) {
    fmt::print("the written bytes do not read back\n");
    return kExitDifferent;
  }
  const auto lines = DiffModels(hod.model, back, {.tolerance = 0, .max_differences = 1});
  if (!lines.empty()) {
    fmt::print("first difference: {}\n", lines.front());
    return kExitDifferent;
  }
  std::vector<std::uint8_t> again;
  if (!encode(back, again, nullptr) || again != bytes) {
    fmt::print("writing the model read back gives different bytes\n");
    return kExitDifferent;
  }
  fmt::print("round trip ok: {} bytes\n", bytes.size());
  return kExitOk;
}

int RunDiff(const std::string& a, const std::string& b, double tolerance) {
  const LoadedHod first(a);
  const LoadedHod second(b);
  if (!first.outcome.completed || !second.outcome.completed) return kExitUnreadable;
  const auto lines = DiffModels(first.model, second.model, {.tolerance = tolerance});
  for (const std::string& line : lines) fmt::print("{}\n", line);
  return lines.empty() ? kExitOk : kExitDifferent;
}

}  // namespace gantry::cli
