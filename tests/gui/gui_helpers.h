// Helpers for driving the editor's widgets in tests.
#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

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

template <typename T>
T* Find(const QObject* root, const char* name) {
  return root->findChild<T*>(QString::fromLatin1(name));
}

// A fresh default model (one "Root" joint, multi-mesh) written to `path` with `owner`.
void WriteDefaultHod(const std::string& path, const std::string& owner = "");

}  // namespace gantry::testing
