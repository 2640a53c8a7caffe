// gantry-cli: the HOD toolkit's command line. A thin layer over the core library.
#include <CLI/CLI.hpp>

#include "info_command.h"

int main(int argc, char** argv) {
  CLI::App app{"Gantry: inspect and convert Homeworld 2 HOD files", "gantry-cli"};
  app.require_subcommand(1);

  std::string path;
  bool json = false;
  CLI::App* info = app.add_subcommand("info", "Summarise a HOD: type, version, owner, counts");
  info->add_flag("--json", json, "Print one JSON object");
  info->add_option("FILE", path, "HOD file")->required();

  std::string dump_path;
  CLI::App* dump = app.add_subcommand("dump", "Print the reader's debug log, oldest line first");
  dump->add_option("FILE", dump_path, "HOD file")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? gantry::cli::kExitOk : gantry::cli::kExitUsage;
  }

  if (info->parsed()) return gantry::cli::RunInfo(path, json);
  if (dump->parsed()) return gantry::cli::RunDump(dump_path);
  return gantry::cli::kExitUsage;
}
