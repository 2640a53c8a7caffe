// gantry-cli: the HOD toolkit's command line. A thin layer over the core library.
#include <CLI/CLI.hpp>

#include "commands.h"

int main(int argc, char** argv) {
  namespace cli = gantry::cli;
  CLI::App app{"Gantry: inspect, check and convert Homeworld 2 HOD files", "gantry-cli"};
  app.require_subcommand(1);

  std::string path, other;
  bool json = false;
  double tolerance = 0;

  CLI::App* info = app.add_subcommand("info", "Summarise a HOD: type, version, owner, counts");
  info->add_flag("--json", json, "Print one JSON object");
  info->add_option("FILE", path, "HOD file")->required();

  CLI::App* dump = app.add_subcommand("dump", "Print the reader's debug log, oldest line first");
  dump->add_option("FILE", path, "HOD file")->required();

  CLI::App* validate =
      app.add_subcommand("validate", "Run the save checks; exit 0 valid, 1 invalid");
  validate->add_flag("--json", json, "Print one JSON object");
  validate->add_option("FILE", path, "HOD file")->required();

  CLI::App* save = app.add_subcommand("save", "Read, validate and write a HOD");
  save->add_option("IN", path, "HOD file to read")->required();
  save->add_option("OUT", other, "HOD file to write")->required();

  CLI::App* roundtrip = app.add_subcommand(
      "roundtrip", "Read, write to memory, read back and report the first difference");
  roundtrip->add_option("FILE", path, "HOD file")->required();

  CLI::App* diff = app.add_subcommand("diff", "Compare two HODs field by field");
  diff->add_option("A", path, "First HOD file")->required();
  diff->add_option("B", other, "Second HOD file")->required();
  diff->add_option("--tolerance", tolerance, "Largest difference of equal floating-point values")
      ->check(CLI::NonNegativeNumber);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? cli::kExitOk : cli::kExitUsage;
  }

  if (info->parsed()) return cli::RunInfo(path, json);
  if (dump->parsed()) return cli::RunDump(path);
  if (validate->parsed()) return cli::RunValidate(path, json);
  if (save->parsed()) return cli::RunSave(path, other);
  if (roundtrip->parsed()) return cli::RunRoundTrip(path);
  if (diff->parsed()) return cli::RunDiff(path, other, tolerance);
  return cli::kExitUsage;
}
