// The main window: the menus, the recently used files, the command line, the start and the end
// of a run. It holds no model data itself; the workspace does, and the editor form shows it.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>

#include "commands/undo_history.h"
#include "gui/options_dialog.h"
#include "gui/qt_ui.h"
#include "gui/recent_files.h"
#include "gui/shell_text.h"
#include "hod/workspace.h"
#include "script/script_import.h"

class QAction;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QSettings;

namespace gantry {

class DebugWindow;
class EditorForm;
class WorkspaceView;

// The command line as a path: quotes and apostrophes removed, surrounding blanks trimmed.
QString CleanCommandLine(const QString& command_line);

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QSettings& settings, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Loads the recently used list and takes the command line. Returns false when the program
  // should end at once (the command line names an empty file).
  bool Start(const QString& command_line);

  // Every question and message goes here; tests put a scripted Ui in place of the dialogs.
  void SetUi(Ui* ui) { ui_override_ = ui; }
  Ui& ui() { return ui_override_ != nullptr ? *ui_override_ : qt_ui_; }
  // Off for runs nobody watches: messages go to the error stream, questions take their
  // preselected answer.
  void set_show_boxes(bool on) { qt_ui_.set_show_boxes(on); }

  Workspace& workspace() { return workspace_; }
  EditorForm& editor() { return *editor_; }
  DebugWindow& debug_window() { return *debug_; }
  WorkspaceView& workspace_view() { return *workspace_view_; }
  QDockWidget* workspace_dock() const { return workspace_dock_; }
  const RecentFiles& recent() const { return recent_; }
  QMenu* recent_menu() const { return recent_menu_; }

  // Open's work once a path is chosen: reset, read, refill, remember.
  void OpenPath(const QString& path);
  // The model in the workspace is another one now (read, or put there by a test): the form
  // refilled, the history started again, the views told.
  void ModelReplaced();
  // Save to `path` (validation first); true when the file was written.
  bool SaveTo(const QString& path, HodDialect dialect);
  // The end-of-run sequence; safe to call more than once.
  void EndRun();
  // Asks whether to save a model changed since it was opened or saved, `before` naming what is
  // about to happen (" before closing?"); false to leave the model as it is.
  bool MaySaveChanges(const char* before = shell_text::kSaveChangesTail);

 signals:
  // A file named on the command line has been read (or failed to read).
  void commandLineFileRead();
  // The one notice that the model changed: an edit, undo or redo (`replaced` false), or another
  // model opened or made (`replaced` true).
  void modelChanged(bool replaced);

 public slots:
  void New();
  void Open();
  void OpenRecent(int slot);
  void ClearRecent();
  void Save();
  void SaveAs();
  void EditAttributes();
  void ImportScript();
  void ExportScript();
  void ImportTextureFiles();
  void Undo();
  void Redo();
  void RescaleModel();
  void RotateModel();
  void ShowOptions();
  void ShowEditor();
  void ShowDebugWindow();
  void About();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Watches the user's input: a change to the model that follows becomes an undo step.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // A .hod file dropped on the window opens as Open would.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildStatusBar();
  void BuildWorkspace();
  QAction* AddAction(QMenu* menu, const char* name, int caption, void (MainWindow::*slot)(),
                     bool needs_model = false);
  template <typename Fn>
  QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, Fn fn,
                      bool needs_model);
  void EnableModelMenus(bool on);
  void LoadRecent();
  void SaveRecent();
  void RebuildRecentMenu();
  void AddRecent(const std::string& path);
  void ReadCommandLineFile();
  void AfterStructuralChange();
  void TileSideBySide(bool vertical);
  // After input: records the model as it was when it has changed since (a box still being
  // typed in waits until it is left, unless `typing_ends`).
  void RecordChange();
  void Record(bool typing_ends);
  // The model was replaced or put back: what it is now is the new starting point.
  void StartHistoryHere(bool forget);
  void ArrangeIcons();
  void ShowChild(QMdiSubWindow* child);
  // The status bar's file panel and the title: the current file, or "Untitled".
  void ShowCurrentFile();

  QSettings& settings_;
  Workspace workspace_;
  ScriptImportContext script_context_;
  QtUi qt_ui_;
  Ui* ui_override_ = nullptr;
  RecentFiles recent_;
  RenderConfig render_config_;

  QMdiArea* mdi_;
  EditorForm* editor_;
  DebugWindow* debug_;
  WorkspaceView* workspace_view_ = nullptr;
  QDockWidget* workspace_dock_ = nullptr;
  QMdiSubWindow* editor_window_;
  QMdiSubWindow* debug_subwindow_;
  QMenu* recent_menu_ = nullptr;
  QList<QAction*> model_actions_;
  QLabel* status_;
  QLabel* file_name_;
  QProgressBar* progress_;
  QTimer read_timer_;
  // The model as last opened, created or saved: closing with anything else asks first.
  HodModel saved_;
  UndoHistory history_;
  // The model as it was before the input being handled; compared once the input is done.
  std::optional<HodModel> before_input_;
  QTimer record_timer_;
  // The box being typed in: its keystrokes make one change, recorded when it is left.
  QPointer<QLineEdit> typing_in_;
  QAction* undo_action_ = nullptr;
  QAction* redo_action_ = nullptr;
  bool ended_ = false;
  bool laid_out_ = false;
};

}  // namespace gantry
