// What gantry-cli says about itself: --version, the exit statuses under --help, and the manual
// page and bash completion the packages install. The last two are generated from the same
// CLI11 description as --help, so the three cannot drift apart.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace gantry::cli {

// Adds --version, the help footer and a hidden `--generate man|bash-completion` that prints the
// manual page or the completion script and exits. Call once every subcommand is added.
void DescribeProgram(CLI::App& app);

// The manual page (roff, section 1) and the bash completion script for `app` as it stands.
std::string ManualPage(const CLI::App& app);
std::string BashCompletion(const CLI::App& app);

}  // namespace gantry::cli
