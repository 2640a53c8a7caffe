#include "support/scripted_ui.h"

namespace gantry::testing {

Answer ScriptedUi::Message(std::string_view text, Icon icon, Buttons buttons) {
  messages.push_back({std::string(text), icon, buttons});
  if (!answers.empty()) {
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::OkCancel:
      return Answer::Cancel;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::YesNoCancel:
      return Answer::Cancel;
  }
  return Answer::Ok;
}

Answer ScriptedUi::Ask(std::string_view text, Icon icon, Buttons buttons,
                       Answer preselected_answer) {
  preselected.emplace_back(std::string(text), preselected_answer);
  return Message(text, icon, buttons);
}

std::optional<std::string> ScriptedUi::Input(std::string_view prompt, std::string_view) {
  prompts.emplace_back(prompt);
  if (inputs.empty()) return std::nullopt;
  auto answer = inputs.front();
  inputs.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUi::OpenFile(std::string_view, std::string_view title) {
  prompts.emplace_back(title);
  if (files.empty()) return std::nullopt;
  auto answer = files.front();
  files.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUi::SaveFile(std::string_view filter, std::string_view title) {
  return OpenFile(filter, title);
}

std::optional<std::string> ScriptedUi::SaveFileOfType(std::string_view filter,
                                                      std::string_view title, int& type) {
  offered_types.push_back(type);
  if (!file_types.empty()) {
    type = file_types.front();
    file_types.pop_front();
  }
  return SaveFile(filter, title);
}

int ScriptedUi::ChooseMaterial(std::string_view caption, const std::vector<std::string>&) {
  prompts.emplace_back(caption);
  if (materials.empty()) return -1;
  const int choice = materials.front();
  materials.pop_front();
  return choice;
}

std::vector<std::string> ScriptedUi::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Shown& m : messages) texts.push_back(m.text);
  return texts;
}

}  // namespace gantry::testing
