// Every real file, clean or damaged, opened in the editor and browsed: every entry of every list,
// tree and chooser selected, and the object viewer built on it. Nothing may crash or hang.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QSettings>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "gui/editor_form.h"
#include "gui/main_window.h"
#include "gui/object_viewer.h"
#include "gui/view_control.h"
#include "hod/reset.h"
#include "hod/workspace.h"
#include "support/corpus.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

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
  std::vector<std::string> names = testing::CleanCorpusFiles();
  const auto& damaged = testing::DamagedCorpusFiles();
  names.insert(names.end(), damaged.begin(), damaged.end());
  const auto& hod2 = testing::Hod2CorpusFiles();
  names.insert(names.end(), hod2.begin(), hod2.end());
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
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    window.OpenPath(QString::fromStdString(file));
    // The file was really read: the reader named it, and something came out of it.
    ASSERT_FALSE(ui.file_names.empty());
    EXPECT_EQ(ui.file_names.back(), std::filesystem::path(file).filename().string());
    const HodModel& model = window.workspace().model;
    EXPECT_NE(model, MakeDefaultModel());
    BrowseEverything(window.editor());
    const bool multi_meshes = TypeOf(model) != HodType::Background;
    ObjectViewer viewer(model, multi_meshes, {});
    viewer.ShowTicked();
    // The viewer shows what the file holds: triangles wherever there is a first level to show.
    const bool has_geometry =
        multi_meshes ? std::any_of(model.Meshes.begin(), model.Meshes.end(),
                                   [](const MultiMesh& mesh) {
                                     return !mesh.Lods.empty() && !mesh.Lods[0].Parts.empty();
                                   })
                     : !model.BackgroundMeshSet.Meshes.empty();
    EXPECT_EQ(!viewer.view(0)->scene().empty(), has_geometry);
  }
}

}  // namespace
}  // namespace gantry
