// Every real file, clean or damaged, opened in the editor and browsed: every entry of every list,
// tree and chooser selected, and the object viewer built on it. Nothing may crash or hang.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QSettings>
#include <QTreeWidget>

#include "hod/workspace.h"
#include "shell/editor_form.h"
#include "shell/main_window.h"
#include "support/corpus.h"
#include "support/scripted_ui.h"
#include "view/object_viewer.h"

namespace gantry {
namespace {

void BrowseEverything(EditorForm& form) {
  constexpr int kMostEntries = 12;  // enough to reach every kind of entry, quick on big files
  for (QListWidget* list : form.findChildren<QListWidget*>()) {
    for (int row = 0; row < std::min(list->count(), kMostEntries); ++row) list->setCurrentRow(row);
  }
  for (QTreeWidget* tree : form.findChildren<QTreeWidget*>()) {
    QTreeWidgetItemIterator it(tree);
    for (int n = 0; *it != nullptr && n < kMostEntries; ++it, ++n) tree->setCurrentItem(*it);
  }
  for (QComboBox* box : form.findChildren<QComboBox*>()) {
    for (int i = 0; i < std::min(box->count(), kMostEntries); ++i) box->setCurrentIndex(i);
  }
}

TEST(CorpusBrowse, EveryFileOpensAndEveryEntryShows) {
  std::vector<std::string> files = testing::CleanCorpusFiles();
  const auto& damaged = testing::DamagedCorpusFiles();
  files.insert(files.end(), damaged.begin(), damaged.end());
  const auto& hod2 = testing::Hod2CorpusFiles();
  files.insert(files.end(), hod2.begin(), hod2.end());
  if (files.empty()) GTEST_SKIP() << "no corpus beside the repository";
  QSettings settings;
  MainWindow window(settings);
  testing::ScriptedUi ui;
  window.SetUi(&ui);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    window.OpenPath(QString::fromStdString(file));
    BrowseEverything(window.editor());
    const HodModel& model = window.workspace().model;
    ObjectViewer viewer(model, TypeOf(model) != HodType::Background, {});
    viewer.ShowTicked();
  }
}

}  // namespace
}  // namespace gantry
