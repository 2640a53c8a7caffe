// The GUI tests' entry: one QApplication for every test, on the offscreen platform unless a
// display is chosen, with settings and debug.log kept in a fresh temporary folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("GantryTests"));
  QApplication::setApplicationName(QStringLiteral("Gantry HOD Editor"));
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
  QDir::setCurrent(home.path());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
