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

  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override;
  // Answered as Message is; the preselected answer is recorded.
  Answer Ask(std::string_view text, Icon icon, Buttons buttons, Answer preselected) override;
  std::optional<std::string> Input(std::string_view prompt, std::string_view initial) override;
  std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) override;
  std::optional<std::string> SaveFile(std::string_view filter, std::string_view title) override;
  // Records the type offered first; takes the type picked from `file_types` when it holds one.
  std::optional<std::string> SaveFileOfType(std::string_view filter, std::string_view title,
                                            int& type) override;
  int ChooseMaterial(std::string_view caption, const std::vector<std::string>& names) override;
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
  std::vector<std::string> statuses;
  std::vector<std::string> file_names;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;

  std::vector<std::string> MessageTexts() const;
};

}  // namespace gantry::testing
