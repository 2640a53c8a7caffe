#include <fmt/format.h>

#include <cstdio>
#include <iostream>

#include "commands.h"
#include "hod/model_counts.h"
#include "json_text.h"
#include "loaded_hod.h"

namespace gantry::cli {

namespace {

const char* DialectKeyword(const HodModel& m) {
  return m.Dialect == HodDialect::Hod2 ? "hod2" : "classic";
}

int ExitStatus(const LoadedHod& hod) { return hod.clean() ? kExitOk : kExitUnreadable; }

void PrintJson(const LoadedHod& r) {
  const HodModel& m = r.model;
  std::string out = "{";
  out += fmt::format("\"type\":{},", JsonQuote(TypeKeyword(TypeOf(m))));
  out += fmt::format("\"dialect\":\"{}\",", DialectKeyword(m));
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

void PrintText(const std::string& path, const LoadedHod& r) {
  const HodModel& m = r.model;
  fmt::print("File:     {}\n", path);
  fmt::print("Type:     {}\n", TypeKeyword(TypeOf(m)));
  fmt::print("Dialect:  {}\n", DialectKeyword(m));
  fmt::print("Version:  {}\n", m.HodVersion.Version);
  fmt::print("NAME:     {}\n", m.HodName.TypeName);
  fmt::print("Owner:    {}\n", OwnerText(m));
  fmt::print("Read:     {}\n", r.clean()
                                   ? "complete"
                                   : fmt::format("with {} message(s){}", r.ui.messages().size(),
                                                 r.outcome.completed ? "" : ", stopped early"));
  fmt::print("Contents:\n");
  for (const auto& [key, count] : CountModel(m)) fmt::print("  {:<22}{}\n", key, count);
}

}  // namespace

int RunInfo(const std::string& path, bool json) {
  const LoadedHod result(path);
  if (json) {
    PrintJson(result);
  } else if (result.outcome.completed || result.outcome.position > 0) {
    PrintText(path, result);
  }
  // Else nothing was read (a folder, an empty or missing file): the reader's message on stderr
  // is all there is to say, not the counts of an empty model.
  return ExitStatus(result);
}

int RunDump(const std::string& path) {
  const LoadedHod result(path, 1, [](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  });
  return ExitStatus(result);
}

}  // namespace gantry::cli
