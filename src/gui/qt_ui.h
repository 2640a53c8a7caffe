// The editor's Ui: message boxes with the program's title, input boxes, file dialogs, the
// material chooser, and the status bar's two panels and progress bar.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "common/ui.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace gantry {

// Texts in the model are byte strings: shown as UTF-8 when they are valid UTF-8 (paths), else
// as Latin-1 (the game's texts); what is typed is stored as Latin-1.
QString ToQt(std::string_view text);
std::string FromQt(const QString& text);
// Paths between Qt and the core, which takes them as bytes in the system's narrow encoding (the
// ANSI code page on Windows, UTF-8 elsewhere): every path crosses through these two.
std::string PathFromQt(const QString& path);
QString PathToQt(std::string_view path);

// "Description|pattern|Description|pattern" as Qt's "Description (patterns);;..." filter.
// Patterns are offered in both letter cases, since file systems here tell them apart.
QString QtFileFilter(std::string_view filter);

class QtUi : public Ui {
 public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}

  // Where status texts, the file name and progress go; any may be null.
  void AttachStatusBar(QLabel* status, QLabel* file_name, QProgressBar* progress);
  // Off: messages go to the error stream instead of boxes, and questions take their preselected
  // answer (for runs that nobody watches, such as taking a screenshot).
  void set_show_boxes(bool on) { show_boxes_ = on; }

  Answer Message(std::string_view text, Icon icon, Buttons buttons = Buttons::Ok) override;
  Answer Ask(std::string_view text, Icon icon, Buttons buttons, Answer preselected) override;
  std::optional<std::string> Input(std::string_view prompt, std::string_view initial) override;
  std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) override;
  std::optional<std::string> SaveFile(std::string_view filter, std::string_view title) override;
  int ChooseMaterial(std::string_view caption, const std::vector<std::string>& names) override;
  void Status(std::string_view text) override;
  void FileName(std::string_view name) override;
  void Progress(std::int64_t value, std::int64_t maximum) override;

 private:
  // Lets the window repaint during long work, at most a few times a second, without taking
  // user input (a click could start a second command inside the first).
  void KeepResponsive(bool now);
  Answer Show(std::string_view text, Icon icon, Buttons buttons, std::optional<Answer> preselected);

  QPointer<QWidget> parent_;
  QPointer<QLabel> status_;
  QPointer<QLabel> file_name_;
  QPointer<QProgressBar> progress_;
  QElapsedTimer since_repaint_;
  bool show_boxes_ = true;
};

}  // namespace gantry
