// The editor. `gantry [FILE]` opens FILE (quotes around it are fine);
// `gantry --screenshot PNG [FILE]` saves a picture of the window once FILE is read, then ends;
// `gantry --screenshot-viewer PNG FILE` does the same for the 3D view (Tools > 3D View) of FILE.
// Neither shows a message box (messages go to the error stream), so nothing waits for a click.
// `gantry --version` and `gantry --help` print and end without needing a display.
#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "common/shared_text.h"
#include "common/version.h"
#include "gui/main_window.h"
#include "gui/object_viewer.h"
#include "hod/model.h"

namespace {

constexpr const char* kUsage =
    "Usage: gantry [FILE]\n"
    "       gantry --screenshot PNG [FILE]\n"
    "       gantry --screenshot-viewer PNG FILE\n"
    "Opens FILE (a Homeworld 2 HOD model) in the editor; --screenshot saves a picture of the\n"
    "window once FILE is read, --screenshot-viewer one of the 3D view, then the editor ends.\n"
    "Options: --help, --version\n";

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("gantry %s\n", gantry::VersionText().c_str());
    return 0;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QString::fromStdString(gantry::VersionText()));
  QApplication::setOrganizationName(QStringLiteral("Gantry"));
  QApplication::setApplicationName(QString::fromLatin1(gantry::shared_text::kProgramTitle));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/gantry.png")));
  // Lets desktops match the window to gantry.desktop (and its icon).
  QGuiApplication::setDesktopFileName(QStringLiteral("gantry"));

  QStringList args = QApplication::arguments();
  args.removeFirst();
  QString screenshot;
  bool of_viewer = false;
  if (args.size() >= 2 && (args.front() == QStringLiteral("--screenshot") ||
                           args.front() == QStringLiteral("--screenshot-viewer"))) {
    of_viewer = args.takeFirst() == QStringLiteral("--screenshot-viewer");
    screenshot = args.takeFirst();
  }

  QSettings settings;
  gantry::MainWindow window(settings);
  window.set_show_boxes(screenshot.isEmpty());
  window.show();
  if (!window.Start(args.join(QLatin1Char(' ')))) return 1;

  if (!screenshot.isEmpty()) {
    const auto take = [&window, screenshot, of_viewer] {
      QWidget* shown = &window;
      if (of_viewer) {
        const gantry::HodModel& model = window.workspace().model;
        // The window owns it, and closes with it.
        auto* viewer =
            new gantry::ObjectViewer(model, gantry::TypeOf(model) != gantry::HodType::Background,
                                     gantry::RenderConfig{}, &window);
        viewer->show();
        shown = viewer;
      }
      // A moment for the refreshed form (and the views' first frames) to be painted.
      QTimer::singleShot(of_viewer ? 1500 : 300, &window, [&window, shown, screenshot] {
        shown->grab().save(screenshot);
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
