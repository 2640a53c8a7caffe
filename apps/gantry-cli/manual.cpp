#include "manual.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "common/version.h"

namespace gantry::cli {
namespace {

constexpr std::string_view kExitStatusLead = "Exit status: ";
constexpr std::string_view kExitStatus =
    "0 done (the model is valid, the files are equal); 1 the model is invalid or cannot be "
    "built, or the files differ; 2 a usage error; 3 an input did not read to its end or could "
    "not be opened, or a file could not be written.";
constexpr std::string_view kCommandHelp = " COMMAND --help prints a command's own options.";
constexpr std::string_view kSeeAlso = ".BR gantry (1)";

// Roff text: backslashes escaped, a dash that starts a word kept a minus (options stay
// copyable), and no line starting with a control character.
std::string Roff(std::string_view text) {
  std::string out;
  bool line_start = true;
  char previous = ' ';
  for (const char c : text) {
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    line_start = c == '\n';
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && (previous == ' ' || previous == '-' || previous == '(' ||
                            previous == '[' || previous == ',' || previous == '\n')) {
      out += "\\-";
    } else {
      out += c;
    }
    previous = c;
  }
  return out;
}

std::shared_ptr<CLI::Formatter> FormatterOf(const CLI::App& app) {
  auto formatter = std::dynamic_pointer_cast<CLI::Formatter>(app.get_formatter());
  return formatter ? formatter : std::make_shared<CLI::Formatter>();
}

// Shown options only: the hidden ones have no group.
std::vector<const CLI::Option*> ShownOptions(const CLI::App& app, bool positional) {
  return app.get_options([positional](const CLI::Option* option) {
    return !option->get_group().empty() && option->get_positional() == positional &&
           (positional || option->nonpositional());
  });
}

std::vector<const CLI::App*> Commands(const CLI::App& app) {
  return app.get_subcommands(
      [](const CLI::App* sub) { return !sub->get_name().empty() && !sub->get_disabled(); });
}

// One tagged paragraph per option: the tag as --help prints it, then the description. A
// command's -h,--help is said once for all of them.
void ManualOptions(std::ostringstream& out, const CLI::Formatter& format, const CLI::App& app,
                   bool with_help) {
  for (const CLI::Option* option : ShownOptions(app, true)) {
    out << ".TP\n.I " << Roff(format.make_option_name(option, true)) << '\n'
        << Roff(format.make_option_desc(option)) << '\n';
  }
  for (const CLI::Option* option : ShownOptions(app, false)) {
    if (!with_help && option == app.get_help_ptr()) continue;
    out << ".TP\n.B "
        << Roff(format.make_option_name(option, false) + format.make_option_opts(option)) << '\n'
        << Roff(format.make_option_desc(option)) << '\n';
  }
}

// "name --required TYPE [--optional TYPE] [--flag] POSITIONAL": the value's type without the
// check CLI11 appends after a colon, once per value taken.
std::string Synopsis(const CLI::Formatter& format, const CLI::App& command) {
  std::string text(command.get_name());
  for (const CLI::Option* option : ShownOptions(command, false)) {
    if (option == command.get_help_ptr()) continue;
    std::string term = option->get_name(false, false);
    if (option->get_expected_max() != 0) {
      const std::string type = option->get_type_name().substr(0, option->get_type_name().find(':'));
      for (int i = 0; i < std::max(option->get_expected_min(), 1); ++i) term += " " + type;
    }
    text += option->get_required() ? " " + term : " [" + term + "]";
  }
  for (const CLI::Option* option : ShownOptions(command, true)) {
    text += " " + format.make_option_usage(option);
  }
  return text;
}

void Generate(const CLI::App& app, const std::string& what) {
  std::cout << (what == "man" ? ManualPage(app) : BashCompletion(app));
  throw CLI::Success();
}

}  // namespace

void DescribeProgram(CLI::App& app) {
  app.set_version_flag("--version", app.get_name() + " " + VersionText());
  app.footer(std::string(kExitStatusLead) + std::string(kExitStatus));
  app.add_option_function<std::string>(
         "--generate", [&app](const std::string& what) { Generate(app, what); },
         "Print the manual page or the bash completion")
      ->check(CLI::IsMember({"man", "bash-completion"}))
      ->trigger_on_parse()
      ->group("");
}

std::string ManualPage(const CLI::App& app) {
  const auto format = FormatterOf(app);
  const std::string name = app.get_name();
  std::string summary = app.get_description();
  // "Gantry: what it does" names the program's family; the NAME line wants what it does.
  if (const auto colon = summary.find(": "); colon != std::string::npos) {
    summary.erase(0, colon + 2);
  }

  std::ostringstream out;
  out << ".TH " << Roff(name) << " 1 \"\" \"Gantry " << VersionNumber() << "\" \"User Commands\"\n"
      << ".SH NAME\n"
      << Roff(name) << " \\- " << Roff(summary) << '\n'
      << ".SH SYNOPSIS\n"
      << ".B " << Roff(name) << "\n.I COMMAND\n.RI [ OPTIONS ] \" \" ARGUMENTS\n.br\n"
      << ".B " << Roff(name) << "\n.RB [ \\-\\-help | \\-\\-version ]\n"
      << ".SH DESCRIPTION\n"
      << Roff(app.get_description()) << ".\n.B " << Roff(name) << '\n'
      << Roff(kCommandHelp.substr(1)) << '\n'
      << ".SH COMMANDS\n";
  for (const CLI::App* command : Commands(app)) {
    out << ".SS \"" << Roff(Synopsis(*format, *command)) << "\"\n"
        << Roff(command->get_description()) << '\n';
    ManualOptions(out, *format, *command, false);
  }
  out << ".SH OPTIONS\n";
  ManualOptions(out, *format, app, true);
  out << ".SH \"EXIT STATUS\"\n" << Roff(kExitStatus) << '\n';
  out << ".SH \"SEE ALSO\"\n" << kSeeAlso << '\n';
  return out.str();
}

std::string BashCompletion(const CLI::App& app) {
  const std::string name = app.get_name();
  std::string function = "_" + name;
  for (char& c : function) {
    if (c == '-') c = '_';
  }
  const auto words = [](const std::vector<const CLI::Option*>& options) {
    std::string text;
    for (const CLI::Option* option : options) {
      for (const std::string& long_name : option->get_lnames()) text += " --" + long_name;
      for (const std::string& short_name : option->get_snames()) text += " -" + short_name;
    }
    return text;
  };
  // Options that take a value: the word after them is a value (a file, most often).
  const auto valued = [](const std::vector<const CLI::Option*>& options) {
    std::string text;
    for (const CLI::Option* option : options) {
      if (option->get_expected_max() == 0) continue;  // a flag
      for (const std::string& long_name : option->get_lnames()) text += "--" + long_name + "|";
      for (const std::string& short_name : option->get_snames()) text += "-" + short_name + "|";
    }
    return text;
  };

  std::string command_names;
  for (const CLI::App* command : Commands(app)) command_names += " " + command->get_name();

  std::ostringstream out;
  out << "# bash completion for " << name << ", generated by " << name << " --generate\n"
      << function << "() {\n"
      << "  local cur prev words cword\n"
      << "  _init_completion || return\n"
      << "  local commands=\"" << command_names.substr(1) << "\"\n"
      << "  local command='' i\n"
      << "  for ((i = 1; i < cword; i++)); do\n"
      << "    if [[ \" $commands \" == *\" ${words[i]} \"* ]]; then\n"
      << "      command=${words[i]}\n"
      << "      break\n"
      << "    fi\n"
      << "  done\n"
      << "  if [[ -z $command ]]; then\n"
      << "    COMPREPLY=($(compgen -W \"$commands" << words(ShownOptions(app, false))
      << "\" -- \"$cur\"))\n"
      << "    return\n"
      << "  fi\n"
      << "  local options='' takes_value='|'\n"
      << "  case $command in\n";
  for (const CLI::App* command : Commands(app)) {
    const auto options = ShownOptions(*command, false);
    out << "    " << command->get_name() << ")\n"
        << "      options=\"" << words(options).substr(1) << "\"\n"
        << "      takes_value=\"|" << valued(options) << "\"\n"
        << "      ;;\n";
  }
  out << "  esac\n"
      << "  if [[ $takes_value == *\"|$prev|\"* ]]; then\n"
      << "    _filedir\n"
      << "    return\n"
      << "  fi\n"
      << "  if [[ $cur == -* ]]; then\n"
      << "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
      << "    return\n"
      << "  fi\n"
      << "  _filedir\n"
      << "}\n"
      << "complete -F " << function << ' ' << name << '\n';
  return out.str();
}

}  // namespace gantry::cli
