#include "commands/names.h"

#include <fmt/format.h>

#include "common/number_parse.h"
#include "common/number_text.h"

namespace gantry {

namespace {

std::optional<std::size_t> FirstClash(const std::vector<std::string>& names,
                                      std::optional<std::size_t> self, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != self && names[i] == name) return i;
  }
  return std::nullopt;
}

template <typename Raise>
std::string MakeUnique(const std::vector<std::string>& names, std::optional<std::size_t> self,
                       std::string name, Ui& ui, const std::string& message, Icon icon,
                       Raise raise) {
  bool told = false;
  while (const std::optional<std::size_t> clash = FirstClash(names, self, name)) {
    if (!told) {
      ui.Message(message + std::to_string(*clash + 1), icon);
      told = true;
    }
    name = raise(name);
  }
  return name;
}

}  // namespace

std::string RaiseNameEnding(const std::string& name) {
  for (std::size_t k = 3; k >= 1; --k) {
    const std::size_t start = name.size() > k ? name.size() - k : 0;
    const std::string ending = name.substr(start);
    const double number = LeadingNumber(ending);
    if (!ending.empty() && NumberText(number) == ending) {
      return name.substr(0, start) + NumberText(number + 1);
    }
  }
  return name + "1";
}

std::string RaiseJointNameEnding(const std::string& name) {
  for (std::size_t k = 4; k >= 1; --k) {
    if (name.size() < k) continue;
    const std::string ending = name.substr(name.size() - k);
    if (IsNumberText(ending)) {
      return name.substr(0, name.size() - k) + NumberText(LeadingNumber(ending) + 1);
    }
  }
  return name + "1";
}

std::string MakeUniqueName(const std::vector<std::string>& names, std::optional<std::size_t> self,
                           std::string name, Ui& ui) {
  return MakeUnique(names, self, std::move(name), ui,
                    "Name is not unique!\r\nName clash with object number: ", Icon::Exclamation,
                    RaiseNameEnding);
}

std::string MakeUniqueJointName(const std::vector<std::string>& names,
                                std::optional<std::size_t> self, std::string name, Ui& ui) {
  return MakeUnique(names, self, std::move(name), ui, "Name clash with object #", Icon::None,
                    RaiseJointNameEnding);
}

}  // namespace gantry
