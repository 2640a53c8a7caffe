#include "script/script_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include "common/number_parse.h"
#include "common/paths.h"
#include "interchange/text_rewrite.h"
#include "script/import_messages.h"
#include "script/script_commands.h"

namespace gantry {

namespace {

namespace text = import_messages;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsQuote(char c) { return c == '\'' || c == '"'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::int32_t Saturated(double whole) {
  constexpr double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(whole)) return 0;
  return static_cast<std::int32_t>(std::clamp(whole, kLow, kHigh));
}

// Forwards everything to the caller's Ui, noting each message with the line that showed it. In a
// batch import there is nobody to answer a question: it gets No without being shown.
class LineUi : public Ui {
 public:
  LineUi(Ui& inner, bool batch, std::vector<ScriptMessage>& messages)
      : inner_(inner), batch_(batch), messages_(messages) {}

  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override {
    if (batch_ && (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel)) {
      return Answer::No;
    }
    messages_.push_back({line, std::string(text)});
    return inner_.Message(text, icon, buttons);
  }
  std::optional<std::string> Input(std::string_view prompt, std::string_view initial) override {
    return inner_.Input(prompt, initial);
  }
  std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) override {
    return inner_.OpenFile(filter, title);
  }
  std::optional<std::string> SaveFile(std::string_view filter, std::string_view title) override {
    return inner_.SaveFile(filter, title);
  }
  int ChooseMaterial(std::string_view caption, const std::vector<std::string>& names) override {
    return inner_.ChooseMaterial(caption, names);
  }
  void Status(std::string_view text) override { inner_.Status(text); }
  void FileName(std::string_view name) override { inner_.FileName(name); }
  void Progress(std::int64_t value, std::int64_t maximum) override {
    inner_.Progress(value, maximum);
  }

  std::size_t line = 0;

 private:
  Ui& inner_;
  bool batch_;
  std::vector<ScriptMessage>& messages_;
};

}  // namespace

bool IsQuietScriptLine(std::string_view line) {
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return true;
  const auto last = line.find_last_not_of(" \t");
  line = line.substr(first, last - first + 1);
  return line.starts_with(text::kCommentMarker) || line == "{" || line == "}";
}

namespace {

bool HasUtf16Mark(std::string_view text) {
  return text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
}

// The single-byte text a UTF-16 script holds, each character its own code as one byte (Latin-1,
// as the game's texts are); nullopt when a character needs more.
std::optional<std::string> FromUtf16(std::string_view text) {
  const bool little = text.starts_with("\xFF\xFE");
  std::string out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
    const auto low = static_cast<unsigned char>(text[little ? i : i + 1]);
    const auto high = static_cast<unsigned char>(text[little ? i + 1 : i]);
    if (high != 0) return std::nullopt;
    out.push_back(static_cast<char>(low));
  }
  return out;
}

void RunLines(HodModel& model, std::string_view script, ScriptImportContext& context, LineUi& ui,
              ScriptImportResult& result) {
  // Editors on some systems start UTF-8 files with a byte-order mark; it is no part of the first
  // command's name.
  if (script.starts_with(kByteOrderMark)) script.remove_prefix(kByteOrderMark.size());
  // A refusal that repeats (every LITE_Add past the last light) is said once.
  std::set<std::string> refusals_shown;
  std::size_t number = 0;
  for (std::size_t start = 0; start < script.size();) {
    std::size_t stop = start;
    while (stop < script.size() && script[stop] != '\r' && script[stop] != '\n') ++stop;
    const std::string_view line = script.substr(start, stop - start);
    ++number;
    const bool crlf = stop + 1 < script.size() && script[stop] == '\r' && script[stop + 1] == '\n';
    start = stop + (crlf ? 2 : 1);

    if (line.empty()) continue;
    ++result.lines;
    const std::optional<ScriptCommand> command = MatchScriptLine(line);
    if (!command) {
      if (!IsQuietScriptLine(line)) result.unmatched_lines.push_back(number);
      continue;
    }
    ++result.commands;
    ui.line = number;
    ScriptCommandOutcome outcome = RunScriptCommand(*command, line, model, context, ui);
    result.changed = result.changed || outcome.changed;
    if (outcome.selected_mesh) result.selected_mesh = outcome.selected_mesh;
    if (outcome.selected_collision_mesh) {
      result.selected_collision_mesh = outcome.selected_collision_mesh;
    }
    if (outcome.failed_file) {
      result.file_failures.push_back(
          {number, ScriptCommandInfoOf(*command).name, NativePath(*outcome.failed_file)});
    }
    if (outcome.refusal) {
      result.refused_lines.push_back(number);
      if (refusals_shown.insert(*outcome.refusal).second) {
        ui.Message(*outcome.refusal, Icon::Exclamation);
      }
    }
  }
  ui.line = 0;
}

}  // namespace

std::string CanonicalScriptLine(std::string_view line) {
  std::string first;
  first.reserve(line.size());
  bool quoted = false;
  for (const char c : line) {
    if (IsQuote(c)) {
      quoted = !quoted;
      first += '"';
    } else {
      first += (c == '\t' && !quoted) ? ' ' : c;
    }
  }
  // The quote flag carries on from the first pass (it only differs for lines with an odd
  // number of quotes, which never match).
  std::string out;
  out.reserve(first.size());
  for (const char c : first) {
    if (c == '"') {
      quoted = !quoted;
      out += c;
      continue;
    }
    if (quoted) {
      out += c;
      continue;
    }
    const char last = out.empty() ? '\0' : out.back();
    if ((c == '(' || c == ')' || c == ',') && last == ' ') {
      out.back() = c;
    } else if (c == ' ' && (last == '(' || last == ',' || last == ' ')) {
      continue;
    } else if (last != ')') {
      out += c;
    }
  }
  return std::string(TrimBlanks(out));
}

std::optional<ScriptCall> ScriptCallOf(std::string_view line) {
  const std::string c = CanonicalScriptLine(line);
  const std::size_t open = c.find('(');
  const std::size_t close = c.find(')');
  if (open == std::string::npos || close == std::string::npos || open == 0) return std::nullopt;
  if (c.find('(', open + 1) != std::string::npos || c.find(')', close + 1) != std::string::npos) {
    return std::nullopt;
  }
  if (std::count(c.begin(), c.end(), '"') % 2 != 0) return std::nullopt;
  // A ")" before the "(" ends up in the name, which then names no command.
  if (close < open) return std::nullopt;

  ScriptCall call;
  call.name = c.substr(0, open);
  for (char& ch : call.name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  call.arguments = 1;
  bool quoted = false;
  for (std::size_t i = open + 1; i < close; ++i) {
    if (c[i] == '"') quoted = !quoted;
    if (c[i] == ',' && !quoted) ++call.arguments;
  }
  return call;
}

std::vector<std::string> SplitScriptArguments(std::string_view args) {
  std::vector<std::string> pieces(1);
  bool quoted = false;
  for (const char c : args) {
    if (IsQuote(c)) {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

std::string_view ScriptArgumentText(std::string_view line) {
  const std::size_t open = line.find('(');
  if (open == std::string_view::npos) return {};
  const std::size_t close = line.find(')', open + 1);
  const std::size_t end = close == std::string_view::npos ? line.size() : close;
  return line.substr(open + 1, end - open - 1);
}

std::string ScriptText(std::string_view piece) {
  std::string out;
  out.reserve(piece.size());
  for (const char c : piece) {
    if (!IsQuote(c)) out += c;
  }
  return std::string(TrimBlanks(out));
}

double ScriptNumber(std::string_view piece) {
  std::string packed;
  packed.reserve(piece.size());
  for (const char c : piece) {
    if (c != ' ' && c != '\t') packed += c;
  }
  return LeadingNumber(packed);
}

bool ScriptFlag(std::string_view piece) { return ScriptNumber(piece) != 0; }

std::int32_t RoundedWhole(double value) {
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2) != 0)) whole += 1;
  return Saturated(whole);
}

std::int32_t TruncatedWhole(double value) { return Saturated(std::trunc(value)); }

float ScriptSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (std::isnan(value)) return 0;
  return static_cast<float>(std::clamp(value, -kMax, kMax));
}

std::string ScriptFolderOf(std::string_view path) {
  // The last backslash, found character by character (a slash is never part of a double-byte one).
  std::string backslashes(path);
  std::replace(backslashes.begin(), backslashes.end(), '/', ' ');
  std::size_t last = LastSeparator(backslashes);
  if (last == std::string_view::npos) last = LastSeparator(path);
  if (last == std::string_view::npos || last == 0) return std::string(path);
  return std::string(path.substr(0, last));
}

ScriptImportResult ImportHodScript(HodModel& model, const std::string& path,
                                   ScriptImportContext& context, Ui& ui) {
  context.ImportScale = {1, 1, 1};
  ScriptImportResult result;
  LineUi line_ui(ui, context.batch, result.messages);

  std::string script;
  std::string error;
  std::optional<std::string> read = ReadTextFile(path, &error);
  if (read && HasUtf16Mark(*read)) {
    // Not rewritten: the rewrite works on single bytes and would break the file.
    std::optional<std::string> narrow = FromUtf16(*read);
    if (!narrow) {
      line_ui.Message(NativePath(path) + text::kUtf16NotNarrow, Icon::Exclamation);
      return result;
    }
    script = std::move(*narrow);
  } else if (context.batch) {
    if (!read) {
      line_ui.Message(
          std::string(text::kCannotReadLead) + NativePath(path) + text::kCannotReadTail + error,
          Icon::Exclamation);
      return result;
    }
    if (read->empty()) line_ui.Message(text::kFileIsEmpty, Icon::None);
    script = std::move(*read);
  } else {
    TextRewrite rewrite = RewriteTextFile(path, line_ui);
    if (rewrite.status == TextRewriteStatus::Unreadable) return result;
    script = std::move(rewrite.text);
  }
  result.read = true;
  context.ScriptFolder = ScriptFolderOf(path);
  RunLines(model, script, context, line_ui, result);
  return result;
}

ScriptImportResult RunHodScript(HodModel& model, std::string_view script,
                                ScriptImportContext& context, Ui& ui) {
  ScriptImportResult result;
  result.read = true;
  LineUi line_ui(ui, context.batch, result.messages);
  RunLines(model, script, context, line_ui, result);
  return result;
}

}  // namespace gantry
