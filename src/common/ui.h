// The one door between core code and the person using the program. Core code never shows
// anything itself: messages, questions, input boxes, file dialogs, the material chooser, status
// text and progress all go through here, so every command runs the same in the editor, on the
// command line and under test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gantry {

enum class Icon { None, Critical, Exclamation, Information, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Ui {
 public:
  virtual ~Ui() = default;

  // A modal message box with the program's title as caption.
  virtual Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
  // A question whose preselected answer (the one Enter gives) is `preselected` rather than the
  // first button. Where nothing is preselected (no one to press Enter) it is a plain Message.
  virtual Answer Ask(std::string_view text, Icon icon, Buttons buttons, Answer preselected) {
    static_cast<void>(preselected);
    return Message(text, icon, buttons);
  }
  // An input box; nullopt when the user cancels or leaves the answer empty.
  virtual std::optional<std::string> Input(std::string_view prompt, std::string_view initial) = 0;
  virtual std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) = 0;
  virtual std::optional<std::string> SaveFile(std::string_view filter, std::string_view title) = 0;
  // A save dialog whose filter lists several file types: `type` comes in as the type shown first
  // and goes out as the one the user picked (0-based). Where the dialog cannot tell, it is left.
  virtual std::optional<std::string> SaveFileOfType(std::string_view filter, std::string_view title,
                                                    int& type) {
    static_cast<void>(type);
    return SaveFile(filter, title);
  }
  // Returns the chosen 0-based entry, or -1 when the chooser was dismissed.
  virtual int ChooseMaterial(std::string_view caption, const std::vector<std::string>& names) = 0;
  // First status-bar panel ("Reading file...", "Ready").
  virtual void Status(std::string_view text) = 0;
  // Second status-bar panel: the current file name.
  virtual void FileName(std::string_view name) = 0;
  virtual void Progress(std::int64_t value, std::int64_t maximum) = 0;
};

// Answers every question with its default and shows nothing; the base of non-interactive uses
// (command line, benchmarks) that only want to collect what was said. The default of a question
// asked with a preselected answer is that answer.
class QuietUi : public Ui {
 public:
  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override;
  Answer Ask(std::string_view text, Icon icon, Buttons buttons, Answer preselected) override;
  std::optional<std::string> Input(std::string_view prompt, std::string_view initial) override;
  std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) override;
  std::optional<std::string> SaveFile(std::string_view filter, std::string_view title) override;
  int ChooseMaterial(std::string_view caption, const std::vector<std::string>& names) override;
  void Status(std::string_view text) override;
  void FileName(std::string_view name) override;
  void Progress(std::int64_t value, std::int64_t maximum) override;

  struct Shown {
    std::string text;
    Icon icon;
  };
  // Every message box text, in the order shown.
  const std::vector<Shown>& messages() const { return messages_; }

 private:
  std::vector<Shown> messages_;
};

}  // namespace gantry
