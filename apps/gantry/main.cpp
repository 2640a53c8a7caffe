// The editor. `gantry [FILE]` opens FILE (quotes around it are fine);
// `gantry --screenshot PNG [FILE]` saves a picture of the window once FILE is read, then ends.
#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QStringList>
#include <QTimer>

#include "common/shared_text.h"
#include "shell/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Gantry"));
  QApplication::setApplicationName(QString::fromLatin1(gantry::shared_text::kProgramTitle));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/gantry.png")));
  // Lets desktops match the window to gantry.desktop (and its icon).
  QGuiApplication::setDesktopFileName(QStringLiteral("gantry"));

  QStringList args = QApplication::arguments();
  args.removeFirst();
  QString screenshot;
  if (args.size() >= 2 && args.front() == QStringLiteral("--screenshot")) {
    args.removeFirst();
    screenshot = args.takeFirst();
  }

  QSettings settings;
  gantry::MainWindow window(settings);
  window.show();
  if (!window.Start(args.join(QLatin1Char(' ')))) return 1;

  if (!screenshot.isEmpty()) {
    const auto take = [&window, screenshot] {
      // One more turn of the event loop so the refreshed form is painted.
      QTimer::singleShot(300, &window, [&window, screenshot] {
        window.grab().save(screenshot);
        window.close();
      });
    };
    if (args.isEmpty()) {
      take();
    } else {
      QObject::connect(&window, &gantry::MainWindow::commandLineFileRead, &window, take);
    }
  }
  return QApplication::exec();
}
