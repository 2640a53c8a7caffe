// A Ui for tests: records everything shown and answers prompts from queues the test fills.
// An empty queue answers like a user who cancels.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/ui.h"

namespace gantry::testing {

class ScriptedUi : public Ui {
 public:
  struct Shown {
    std::string text;
    Icon icon;
    Buttons buttons;
  };

  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override {
    messages.push_back({std::string(text), icon, buttons});
    if (const auto answer = Next(answers)) return *answer;
    if (buttons == Buttons::Ok) return Answer::Ok;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
  // Answered as Message is; the preselected answer is recorded.
  Answer Ask(std::string_view text, Icon icon, Buttons buttons,
             Answer preselected_answer) override {
    preselected.emplace_back(std::string(text), preselected_answer);
    return Message(text, icon, buttons);
  }
  std::optional<std::string> Input(std::string_view prompt, std::string_view) override {
    prompts.emplace_back(prompt);
    return Next(inputs).value_or(std::nullopt);
  }
  std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) override {
    filters.emplace_back(filter);
    prompts.emplace_back(title);
    return Next(files).value_or(std::nullopt);
  }
  std::optional<std::string> SaveFile(std::string_view filter, std::string_view title) override {
    return OpenFile(filter, title);
  }
  // Records the type offered first; takes the type picked from `file_types` when it holds one.
  std::optional<std::string> SaveFileOfType(std::string_view filter, std::string_view title,
                                            int& type) override {
    offered_types.push_back(type);
    type = Next(file_types).value_or(type);
    return SaveFile(filter, title);
  }
  int ChooseMaterial(std::string_view caption, const std::vector<std::string>&) override {
    prompts.emplace_back(caption);
    return Next(materials).value_or(-1);
  }
  void Status(std::string_view text) override { statuses.emplace_back(text); }
  void FileName(std::string_view name) override { file_names.emplace_back(name); }
  void Progress(std::int64_t value, std::int64_t maximum) override {
    progress.push_back({value, maximum});
  }

  // Answers, consumed in order.
  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> inputs;
  std::deque<std::optional<std::string>> files;
  std::deque<int> materials;
  std::deque<int> file_types;
  std::vector<int> offered_types;

  // What the code under test did.
  std::vector<Shown> messages;
  // The questions asked with a preselected answer, and that answer.
  std::vector<std::pair<std::string, Answer>> preselected;
  std::vector<std::string> prompts;
  std::vector<std::string> filters;  // of the file dialogs
  std::vector<std::string> statuses;
  std::vector<std::string> file_names;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const Shown& m : messages) texts.push_back(m.text);
    return texts;
  }

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> front(std::in_place, std::move(queue.front()));
    queue.pop_front();
    return front;
  }
};

}  // namespace gantry::testing
