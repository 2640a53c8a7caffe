// The debug window: one read-only text box showing the debug log, newest message on top.
#pragma once

#include <QTimer>
#include <QWidget>

class QPlainTextEdit;

namespace gantry {

class DebugLog;

class DebugWindow : public QWidget {
  Q_OBJECT
 public:
  // Listens to `log` for as long as the window lives.
  DebugWindow(DebugLog& log, QWidget* parent = nullptr);
  ~DebugWindow() override;

  // Shows the log's text now rather than at the next repaint tick.
  void ShowLogNow();
  QString ShownText() const;

 private:
  DebugLog& log_;
  QPlainTextEdit* text_;
  // Messages can arrive by the hundred thousand while a file is read; the box is refilled on a
  // short timer instead of once per message.
  QTimer refill_;
};

}  // namespace gantry
