// The command line's Ui: nobody to ask, so questions get their defaults; every message is kept
// for the caller and echoed to stderr.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "common/ui.h"

namespace gantry::cli {

// A message's text as a console line: its CR LF line breaks become "\n", which the console's
// text mode turns into the platform's own line end (CR LF again on Windows, not CR CR LF).
inline std::string ConsoleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

class CliUi : public QuietUi {
 public:
  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override {
    const std::string line = ConsoleText(text);
    std::fprintf(stderr, "%s\n", line.c_str());
    return QuietUi::Message(text, icon, buttons);
  }
};

}  // namespace gantry::cli
