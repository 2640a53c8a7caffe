#include "info_command.h"

#include <fmt/format.h>

#include <cstdio>
#include <iostream>

#include "cli_ui.h"
#include "common/debug_log.h"
#include "hod/hod_reader.h"
#include "hod/model_counts.h"
#include "hod/reset.h"
#include "json_text.h"

namespace gantry::cli {

namespace {

struct ReadResult {
  HodModel model;
  ReadOutcome outcome;
  CliUi ui;
};

// Reads like the editor's Open: reset model, then the reader.
void Read(const std::string& path, DebugLog& log, ReadResult& result) {
  ResetModel(result.model);
  result.outcome = ReadHod(path, result.model, log, result.ui);
}

int ExitStatus(const ReadResult& result) {
  return result.outcome.completed && result.ui.messages().empty() ? kExitOk : kExitUnreadable;
}

void PrintJson(const ReadResult& r) {
  const HodModel& m = r.model;
  std::string out = "{";
  out += fmt::format("\"type\":{},", JsonQuote(TypeKeyword(TypeOf(m))));
  out += fmt::format("\"version\":{},", m.HodVersion.Version);
  out += fmt::format("\"type_name\":{},", JsonQuote(m.HodName.TypeName));
  out += fmt::format("\"owner\":{},", JsonQuote(OwnerText(m)));
  out += "\"messages\":[";
  bool first = true;
  for (const auto& shown : r.ui.messages()) {
    if (!first) out += ",";
    first = false;
    out += JsonQuote(shown.text);
  }
  out += "],\"counts\":{";
  first = true;
  for (const auto& [key, count] : CountModel(m)) {
    if (!first) out += ",";
    first = false;
    out += fmt::format("\"{}\":{}", key, count);
  }
  out += "}}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void PrintText(const std::string& path, const ReadResult& r) {
  const HodModel& m = r.model;
  fmt::print("File:     {}\n", path);
  fmt::print("Type:     {}\n", TypeKeyword(TypeOf(m)));
  fmt::print("Version:  {}\n", m.HodVersion.Version);
  fmt::print("NAME:     {}\n", m.HodName.TypeName);
  fmt::print("Owner:    {}\n", OwnerText(m));
  fmt::print("Read:     {}\n", r.outcome.completed && r.ui.messages().empty()
                                   ? "complete"
                                   : fmt::format("with {} message(s){}", r.ui.messages().size(),
                                                 r.outcome.completed ? "" : ", stopped early"));
  fmt::print("Contents:\n");
  for (const auto& [key, count] : CountModel(m)) fmt::print("  {:<22}{}\n", key, count);
}

}  // namespace

int RunInfo(const std::string& path, bool json) {
  DebugLog log;
  log.set_debug_level(0);
  ReadResult result;
  Read(path, log, result);
  if (json) {
    PrintJson(result);
  } else {
    PrintText(path, result);
  }
  return ExitStatus(result);
}

int RunDump(const std::string& path) {
  DebugLog log;
  log.set_debug_level(1);
  log.set_listener([](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  });
  ReadResult result;
  Read(path, log, result);
  return ExitStatus(result);
}

}  // namespace gantry::cli
