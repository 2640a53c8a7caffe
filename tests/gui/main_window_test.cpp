// The main window: files opened, saved and remembered, changes and undo, its windows inside;
// and every real file, clean or damaged, opened and browsed without a crash or a hang.
#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "gui/debug_window.h"
#include "gui/editor_form.h"
#include "gui/gui_helpers.h"
#include "gui/object_viewer.h"
#include "gui/view_control.h"
#include "hod/messages.h"
#include "hod/model_counts.h"
#include "hod/reset.h"
#include "hod/save.h"
#include "hod/validate_messages.h"
#include "hod/workspace.h"
#include "support/corpus.h"
#include "support/read_back.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

using testing::Find;
using testing::ScriptedUi;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    settings_.clear();
    window_ = std::make_unique<MainWindow>(settings_);
    window_->SetUi(&ui_);
  }

  void ShowAndActivate() {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  std::string PathOf(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }

  // A fresh default model (one "Root" joint, multi-mesh) written as `name`.
  std::string WriteHod(const char* name, const std::string& owner = "") const {
    Workspace workspace;
    workspace.model.HodOwner.Owner = owner;
    workspace.model.HodOwner.OwnerLength = static_cast<std::int32_t>(owner.size());
    QuietUi ui;
    EXPECT_EQ(SaveHod(workspace, PathOf(name), ui), SaveResult::Saved);
    return PathOf(name);
  }
  // A default model written as `name` and opened.
  std::string Open(const char* name, const std::string& owner = "") {
    const std::string path = WriteHod(name, owner);
    window_->OpenPath(QString::fromStdString(path));
    return path;
  }

  bool Enabled(const char* action_name) {
    return Find<QAction>(window_.get(), action_name)->isEnabled();
  }
  void Trigger(const char* action_name) {
    QAction* action = Find<QAction>(window_.get(), action_name);
    ASSERT_NE(action, nullptr) << action_name;
    ASSERT_TRUE(action->isEnabled()) << action_name;
    action->trigger();
  }
  QLineEdit* Owner() { return Find<QLineEdit>(window_.get(), "txtOWNR"); }
  QString FileNameShown() { return Find<QLabel>(window_.get(), "pnlFileName")->text(); }
  const HodModel& Model() { return window_->workspace().model; }

  QStringList RecentMenuTexts() const {
    QStringList texts;
    for (QAction* action : window_->recent_menu()->actions()) {
      if (action->objectName().startsWith(QStringLiteral("mnuFileMRUDs")) &&
          action->objectName() != QStringLiteral("mnuFileMRUDsClear")) {
        texts << action->text();
      }
    }
    return texts;
  }

  QTemporaryDir dir_;
  QSettings settings_;
  ScriptedUi ui_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, OpenEditOwnerSaveAndReopen) {
  const std::string path = WriteHod("ship.hod", "Alice");
  EXPECT_FALSE(Enabled("mnuFileSave"));  // menus that need a model stay off until one is open
  ui_.files.push_back(path);
  Trigger("mnuFileOpen");
  EXPECT_EQ(Owner()->text(), QStringLiteral("Alice"));

  Trigger("mnuToolsValidate");  // a valid model (the missing geometry is only a warning)
  EXPECT_EQ(ui_.MessageTexts().back(), "The HOD passes every check and can be saved.");

  Owner()->selectAll();
  testing::TypeKeys(Owner(), QStringLiteral("Bob the Modder"));
  EXPECT_EQ(Model().HodOwner.OwnerLength, 14);
  Trigger("mnuFileSave");
  EXPECT_EQ(OwnerText(testing::HodRead::File(path).model), "Bob the Modder");

  // Reopening through the recently used list shows the saved owner.
  Owner()->setText(QString());
  Trigger("mnuFileMRUDs0");
  EXPECT_EQ(Owner()->text(), QStringLiteral("Bob the Modder"));
  EXPECT_EQ(window_->workspace().working_folder, dir_.path().toStdString());
}

// A missing recent file is reported before asking about the changes; each question names what
// comes next, only a Yes saves, and the end of the run is logged.
TEST_F(MainWindowTest, ChangesAreNotDroppedWithoutAsking) {
  const std::string gone = Open("gone.hod");
  const std::string path = Open("ship.hod", "Alice");
  std::filesystem::remove(gone);
  window_->workspace().model.HodOwner.Owner = "Bob";
  Trigger("mnuFileMRUDs1");
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Selected file doesn't exist!"});
  ui_.answers.push_back(Answer::Cancel);
  Trigger("mnuFileMRUDs0");
  EXPECT_EQ(ui_.MessageTexts().back(),
            "Save the changes to " + path + " before opening another file?");
  ui_.answers.push_back(Answer::Cancel);
  Trigger("mnuFileNew");  // cancelled: the changed model stays
  EXPECT_EQ(Model().HodOwner.Owner, "Bob");
  EXPECT_EQ(ui_.MessageTexts().back(),
            "Save the changes to " + path + " before starting a new HOD?");
  ui_.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(window_->close());

  ui_.answers.push_back(Answer::Yes);  // saved, then closed
  EXPECT_TRUE(window_->close());
  EXPECT_EQ(OwnerText(testing::HodRead::File(path).model), "Bob");

  // The end of the run is logged; cleanup comes after the log is written, and leaves the model
  // at its defaults.
  std::ifstream log(dir_.path().toStdString() + "/debug.log");
  const std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(text.find("SUCCESSFULLY READ HOD"), std::string::npos);
  EXPECT_NE(text.find("Quitting..."), std::string::npos);
  EXPECT_EQ(text.find("Doing cleanup"), std::string::npos);
  EXPECT_EQ(Model(), MakeDefaultModel());
}

// Undo takes a whole edit back, even while its box has the focus. Typing a name is one step,
// whatever the number of keys, and it is recorded once the box is left: after the clash with
// another mesh's name has been mended, never with two meshes of one name.
TEST_F(MainWindowTest, EditsAreUndoneWholeAndARenameOnceTheNameIsUnique) {
  ShowAndActivate();
  Open("ship.hod", "Alice");
  EXPECT_FALSE(Enabled("mnuEditUndo"));
  Owner()->setFocus();
  Owner()->selectAll();
  testing::TypeKeys(Owner(), QStringLiteral("Bob"));
  Trigger("mnuEditUndo");  // while the box still has the focus: the whole edit goes
  EXPECT_EQ(Model().HodOwner.Owner, std::string("Alice") + '\0');
  EXPECT_EQ(Owner()->text(), QStringLiteral("Alice"));
  EXPECT_FALSE(Enabled("mnuEditUndo"));
  Trigger("mnuEditRedo");
  EXPECT_EQ(Model().HodOwner.Owner, "Bob");
  window_->editor().tabs()->setCurrentIndex(2);  // Geometry
  auto* add = Find<QPushButton>(window_.get(), "cmdGeomAdd");
  QTest::mouseClick(add, Qt::LeftButton);
  QTest::mouseClick(add, Qt::LeftButton);
  QTest::qWait(1);
  const std::vector<MultiMesh>& meshes = Model().Meshes;
  ASSERT_EQ(meshes.size(), 2u);
  const std::string first = meshes[0].Name;
  const std::string second = meshes[1].Name;

  // The first mesh renamed as the second: typed, then made unique when the box is left.
  Find<QListWidget>(window_.get(), "lstGeometry")->setCurrentRow(0);
  auto* name = Find<QLineEdit>(window_.get(), "txtGeomName");
  name->setFocus();
  name->selectAll();
  testing::TypeKeys(name, QString::fromStdString(second));
  EXPECT_EQ(meshes[0].Name, second);  // stored as typed
  QTest::keyClick(name, Qt::Key_Tab);
  QTest::qWait(1);
  const std::string unique = meshes[0].Name;
  EXPECT_NE(unique, first);
  EXPECT_NE(unique, second);

  Trigger("mnuEditUndo");
  ASSERT_EQ(meshes.size(), 2u);
  EXPECT_EQ(std::tuple(meshes[0].Name, meshes[1].Name), std::tuple(first, second));
  Trigger("mnuEditUndo");  // the two Adds
  EXPECT_EQ(meshes.size(), 0u);
  Trigger("mnuEditRedo");
  Trigger("mnuEditRedo");
  ASSERT_EQ(meshes.size(), 2u);
  EXPECT_EQ(meshes[0].Name, unique);
  Open("other.hod");  // a file opened starts a new history
  EXPECT_FALSE(Enabled("mnuEditUndo"));
}

// A dropped HOD opens; an empty file is never read (chosen, it is refused; named on the command
// line, the run ends); a model that fails the checks is not written.
TEST_F(MainWindowTest, WhatIsReadAndWhatIsWritten) {
  const std::string dropped = WriteHod("dropped.hod", "Erin");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &drop);
  EXPECT_EQ(OwnerText(Model()), "Erin");
  EXPECT_EQ(window_->workspace().current_file, dropped);

  const std::string empty = PathOf("empty.hod");
  std::ofstream(empty).close();
  ui_.files.push_back(empty);
  Trigger("mnuFileOpen");
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(std::tuple(ui_.messages[0].text, ui_.messages[0].icon),
            std::tuple("Please select a file!", Icon::Information));
  EXPECT_EQ(window_->workspace().current_file, dropped);
  EXPECT_FALSE(window_->Start(QString::fromStdString(empty)));
  EXPECT_EQ(ui_.MessageTexts().back(),
            "Error! File '" + empty + "' is a zero length file (!)\r\nExiting...");

  const auto before = testing::FileBytes(dropped);
  window_->workspace().model.JointList.JointCount = 0;
  Trigger("mnuToolsValidate");
  EXPECT_EQ(ui_.MessageTexts().back(), messages::kNoJoints);
  Trigger("mnuFileSave");
  EXPECT_EQ(ui_.MessageTexts().back(), messages::kCantWrite);
  EXPECT_EQ(testing::FileBytes(dropped), before);
}

TEST_F(MainWindowTest, RecentListReordersDropsAndClears) {
  std::vector<std::string> paths;
  for (const char* name : {"a.hod", "b.hod", "c.hod", "d.hod", "e.hod", "f.hod"}) {
    paths.push_back(WriteHod(name));
  }
  const auto q = [&](int i) { return QString::fromStdString(paths[i]); };
  for (int i = 0; i < 5; ++i) window_->OpenPath(q(i));
  // Newest first: e d c b a. Opening b (entry 3) moves it up, the rest keep their order.
  window_->OpenPath(q(1));
  EXPECT_EQ(RecentMenuTexts(), (QStringList{q(1), q(4), q(3), q(2), q(0)}));
  // A sixth file pushes the oldest out.
  window_->OpenPath(q(5));
  EXPECT_EQ(RecentMenuTexts(), (QStringList{q(5), q(1), q(4), q(3), q(2)}));
  EXPECT_EQ(settings_.value("MRUDs/MRUD0").toString(), q(5));
  EXPECT_EQ(settings_.value("MRUDs/MRUD4").toString(), q(2));

  // A deleted file: choosing it says so and it leaves the list; a new window never lists it.
  std::filesystem::remove(paths[4]);
  Trigger("mnuFileMRUDs2");
  EXPECT_EQ(ui_.MessageTexts().back(), "Selected file doesn't exist!");
  EXPECT_EQ(RecentMenuTexts(), (QStringList{q(5), q(1), q(3), q(2)}));
  MainWindow second(settings_);
  second.Start(QString());
  EXPECT_EQ(second.recent().Entries().size(), 4u);

  Trigger("mnuFileMRUDsClear");
  EXPECT_TRUE(RecentMenuTexts().isEmpty());
  EXPECT_EQ(settings_.value("MRUDs/MRUD0").toString(), QString());
}

// The editor and the debug window, closed, come back from the Window menu; where the user put
// them comes back in the next run.
TEST_F(MainWindowTest, TheWindowsInsideComeBackAndStayWhereTheyWereLeft) {
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  const std::pair<QWidget*, const char*> children[] = {
      {&window_->editor(), "mnuWindowHODEditor"},
      {&window_->debug_window(), "mnuWindowDebugWindow"}};
  for (const auto& [form, action] : children) {
    SCOPED_TRACE(action);
    auto* child = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(child, nullptr);
    child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(form->isVisible());
    Trigger(action);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(window_->findChild<QMdiArea*>()->activeSubWindow(), child);
  }
  // The commands that use the forms still work.
  Open("ship.hod", "Eve");
  EXPECT_EQ(Owner()->text(), QStringLiteral("Eve"));

  const QRect place(12, 8, 420, 310);
  window_->editor().parentWidget()->setGeometry(place);
  window_->close();
  MainWindow next(settings_);
  next.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
  EXPECT_EQ(next.editor().parentWidget()->geometry(), place);
}

// Save As adds the suffix and names the file everywhere; New asks for the attributes, takes the
// user's name, and has no file: "Untitled", and the title names none.
TEST_F(MainWindowTest, SaveAsNamesTheFileEverywhereAndNewNamesNone) {
  Open("ship.hod");
  const std::string bare = PathOf("copy");
  ui_.files.push_back(bare);
  Trigger("mnuFileSaveAs");
  const std::string saved = bare + ".hod";
  EXPECT_TRUE(std::filesystem::exists(saved));
  EXPECT_FALSE(std::filesystem::exists(bare));
  EXPECT_EQ(window_->workspace().current_file, saved);
  EXPECT_EQ(FileNameShown(), QString::fromStdString(saved));
  EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" - copy.hod")));
  EXPECT_EQ(RecentMenuTexts().front(), QString::fromStdString(saved));

  qputenv("USERNAME", "Dana");
  testing::OnNextModal([](QWidget* dialog) {
    Find<QRadioButton>(dialog, "optHW2HODType3")->click();
    Find<QPushButton>(dialog, "cmdApply")->click();
  });
  Trigger("mnuFileNew");
  qunsetenv("USERNAME");
  EXPECT_EQ(Model().HodOwner.Owner, "Dana");
  EXPECT_EQ(Model().HodName.TypeName, "Homeworld2 Simple Mesh File");
  EXPECT_TRUE(Enabled("mnuFileSave"));
  EXPECT_EQ(FileNameShown(), QStringLiteral("Untitled"));
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Gantry HOD Editor"));
}

// A HOD 2.0 file saves as HOD 2.0 after an edit; Save As offers both dialects, the file's own
// first, and converting asks with No preselected.
TEST_F(MainWindowTest, SaveKeepsTheHod2DialectAndSaveAsAsksBeforeConverting) {
  const std::string source = testing::CorpusFile("GuillermoOM__HWRM_FSFC__ter_awacs_0.hod");
  if (source.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const std::string path = PathOf("awacs.hod");
  std::filesystem::copy_file(source, path);
  window_->OpenPath(QString::fromStdString(path));
  Owner()->selectAll();
  QTest::keyClicks(Owner(), QStringLiteral("Modder"));
  Trigger("mnuFileSave");
  const auto dialect = [](const std::string& file) {
    return testing::HodRead::File(file).model.Dialect;
  };
  EXPECT_EQ(dialect(path), HodDialect::Hod2);

  // Each Save As offers the model's own dialect first; converting asks with No preselected and
  // writes only on a Yes.
  const std::string classic = PathOf("classic.hod");
  for (const Answer answer : {Answer::No, Answer::Yes}) {
    ui_.files.push_back(classic);
    ui_.file_types.push_back(1);  // "Classic HOD"
    ui_.answers.push_back(answer);
    Trigger("mnuFileSaveAs");
    EXPECT_EQ(ui_.offered_types.back(), 0);  // "HOD 2.0"
    ASSERT_FALSE(ui_.preselected.empty());
    EXPECT_EQ(ui_.preselected.back().second, Answer::No);
    EXPECT_EQ(std::filesystem::exists(classic), answer == Answer::Yes);
  }
  EXPECT_EQ(dialect(classic), HodDialect::Classic);
  EXPECT_EQ(window_->workspace().current_file, classic);
}

// A file named on the command line, quoted, from its own folder: read once the window is on
// screen, and the full path everywhere, so the title, the recently used list and the settings
// stay right when the program starts elsewhere.
TEST_F(MainWindowTest, ACommandLineFileIsReadAfterStartWithItsFullPath) {
  EXPECT_EQ(CleanCommandLine(QStringLiteral("  \"/tmp/my ship.hod\"  ")),
            QStringLiteral("/tmp/my ship.hod"));
  EXPECT_EQ(CleanCommandLine(QStringLiteral("'/tmp/ship.hod'")), QStringLiteral("/tmp/ship.hod"));
  const std::string path = WriteHod("my ship.hod", "Carol");
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  QSignalSpy read(window_.get(), &MainWindow::commandLineFileRead);
  const bool started = window_->Start(QStringLiteral(" \"my ship.hod\" "));
  QDir::setCurrent(before);
  ASSERT_TRUE(started);
  EXPECT_EQ(Model().HodOwner.Owner, "");  // the read waits for the event loop
  ASSERT_TRUE(read.wait(5000));
  EXPECT_EQ(OwnerText(Model()), "Carol");
  EXPECT_TRUE(Enabled("mnuFileSave"));
  EXPECT_EQ(window_->workspace().current_file, path);
  EXPECT_EQ(FileNameShown(), QString::fromStdString(path));
  EXPECT_EQ(RecentMenuTexts().front(), QString::fromStdString(path));
  EXPECT_EQ(settings_.value("MRUDs/MRUD0").toString(), QString::fromStdString(path));
}

// Open and Save As start in the open file's folder (Save As offering its name), else in the
// folder last used. The status bar, as the program's own Ui fills
// it, keeps no "100%" once the read is done.
TEST_F(MainWindowTest, FileDialogsStartWhereTheFileIs) {
  window_->SetUi(nullptr);
  window_->set_show_boxes(false);
  const std::string path = Open("ship.hod");
  EXPECT_EQ(Find<QProgressBar>(window_.get(), "prgProgress")->text(), QString());
  EXPECT_EQ(Find<QLabel>(window_.get(), "pnlStatus")->text(), QStringLiteral("Ready"));
  window_->set_show_boxes(true);
  QString folder, offered;
  const auto look = [&](QAction* action) {
    folder.clear();
    testing::OnNextModal([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        folder = dialog->directory().absolutePath();
        offered = dialog->selectedFiles().value(0);
      }
      modal->close();
    });
    action->trigger();
  };
  look(Find<QAction>(window_.get(), "mnuFileOpen"));
  EXPECT_EQ(folder, dir_.path());
  look(Find<QAction>(window_.get(), "mnuFileSaveAs"));
  EXPECT_EQ(folder, dir_.path());
  EXPECT_EQ(offered, QString::fromStdString(path));

  // A window with no file yet starts where the last run chose one.
  QTemporaryDir elsewhere;
  settings_.setValue("Window/LastFolder", elsewhere.path());
  MainWindow fresh(settings_);
  look(Find<QAction>(&fresh, "mnuFileOpen"));
  EXPECT_EQ(folder, elsewhere.path());
}

// Every real file, clean, damaged or HOD 2.0, opens, and every kind of entry shows.
TEST(CorpusBrowse, EveryFileOpensAndEveryEntryShows) {
  std::vector<std::string> names = testing::CleanCorpusFiles();
  for (const auto* more : {&testing::DamagedCorpusFiles(), &testing::Hod2CorpusFiles()}) {
    names.insert(names.end(), more->begin(), more->end());
  }
  const testing::TempFolder folder;
  std::vector<std::string> files;
  for (const std::string& name : names) {
    if (std::string path = testing::CopyCorpusFile(name, folder.path()); !path.empty()) {
      files.push_back(path);
    }
  }
  if (files.empty() || (files.size() != names.size() && testing::CorpusRequired())) {
    GANTRY_CORPUS_ABSENT("corpus files missing beside the repository");
  }
  QSettings settings;
  MainWindow window(settings);
  testing::ScriptedUi ui;
  window.SetUi(&ui);
  constexpr int kMostEntries = 12;  // enough to reach every kind of entry, quick on big files
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    window.OpenPath(QString::fromStdString(file));
    // The file was really read: the reader named it, and something came out of it.
    ASSERT_FALSE(ui.file_names.empty());
    EXPECT_EQ(ui.file_names.back(), std::filesystem::path(file).filename().string());
    const HodModel& model = window.workspace().model;
    EXPECT_NE(model, MakeDefaultModel());
    for (QListWidget* list : window.editor().findChildren<QListWidget*>()) {
      for (int row = 0; row < std::min(list->count(), kMostEntries); ++row)
        list->setCurrentRow(row);
    }
    for (QTreeWidget* tree : window.editor().findChildren<QTreeWidget*>()) {
      QTreeWidgetItemIterator it(tree);
      for (int n = 0; *it != nullptr && n < kMostEntries; ++it, ++n) tree->setCurrentItem(*it);
    }
    for (QComboBox* box : window.editor().findChildren<QComboBox*>()) {
      for (int i = 0; i < std::min(box->count(), kMostEntries); ++i) box->setCurrentIndex(i);
    }
    // The viewer shows what the file holds: triangles wherever there is a first level to show.
    const bool multi_meshes = TypeOf(model) != HodType::Background;
    ObjectViewer viewer(model, multi_meshes, {});
    viewer.ShowTicked();
    const bool has_geometry =
        multi_meshes ? std::any_of(model.Meshes.begin(), model.Meshes.end(),
                                   [](const MultiMesh& m) {
                                     return !m.Lods.empty() && !m.Lods[0].Parts.empty();
                                   })
                     : !model.BackgroundMeshSet.Meshes.empty();
    EXPECT_EQ(!viewer.view(0)->scene().empty(), has_geometry);
  }
}

}  // namespace
}  // namespace gantry
