// The command line's Ui: nobody to ask, so questions get their defaults; every message is kept
// for the caller and echoed to stderr.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "common/ui.h"

namespace gantry::cli {

class CliUi : public QuietUi {
 public:
  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    return QuietUi::Message(text, icon, buttons);
  }
};

}  // namespace gantry::cli
