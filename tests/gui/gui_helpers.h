// Helpers for driving the editor's widgets in tests.
#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace gantry::testing {

// Runs `act` on the next modal dialog to open (for code that calls exec() itself); the action
// must close the dialog.
inline void OnNextModal(std::function<void(QWidget*)> act) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [act, poll] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      act(modal);
    } else {
      QTimer::singleShot(10, *poll);
    }
  };
  QTimer::singleShot(0, *poll);
}

// While it lives, closes every modal dialog that opens and counts it: a dialog that must not
// open then fails the test rather than waiting for an answer for ever.
class RefuseDialogs {
 public:
  RefuseDialogs() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ++opened_;
        modal->close();
      }
    });
    timer_.start();
  }
  int opened() const { return opened_; }

 private:
  QTimer timer_;
  int opened_ = 0;
};

// Types `text` into `widget` key by key with the event loop run between keys, as a user's
// typing arrives: what the program does between keystrokes (timers, queued work) gets its turn.
inline void TypeKeys(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QTest::keyClick(widget, c.toLatin1());
    QTest::qWait(1);
  }
}

template <typename T>
T* Find(const QObject* root, const char* name) {
  return root->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace gantry::testing
