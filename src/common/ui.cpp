#include "common/ui.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gantry {

Answer QuietUi::Message(std::string_view text, Icon icon, Buttons buttons) {
  messages_.push_back({std::string(text), icon});
  switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
      return Answer::Yes;
    case Buttons::Ok:
    case Buttons::OkCancel:
      break;
  }
  return Answer::Ok;
}

Answer QuietUi::Ask(std::string_view text, Icon icon, Buttons buttons, Answer preselected) {
  Message(text, icon, buttons);
  return preselected;
}

std::optional<std::string> QuietUi::Input(std::string_view, std::string_view) {
  return std::nullopt;
}

std::optional<std::string> QuietUi::OpenFile(std::string_view, std::string_view) {
  return std::nullopt;
}

std::optional<std::string> QuietUi::SaveFile(std::string_view, std::string_view) {
  return std::nullopt;
}

int QuietUi::ChooseMaterial(std::string_view, const std::vector<std::string>&) { return -1; }

void QuietUi::Status(std::string_view) {}

void QuietUi::FileName(std::string_view) {}

void QuietUi::Progress(std::int64_t, std::int64_t) {}

}  // namespace gantry
