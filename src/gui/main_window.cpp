#include "gui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <cstdlib>

#include "commands/gltf_models.h"
#include "commands/save_helpers.h"
#include "commands/texture_commands.h"
#include "commands/transforms.h"
#include "common/version.h"
#include "gui/attributes_dialog.h"
#include "gui/debug_window.h"
#include "gui/editor_form.h"
#include "gui/object_viewer.h"
#include "gui/shell_text.h"
#include "gui/string_table.h"
#include "gui/texture_import_dialog.h"
#include "gui/widgets.h"
#include "gui/workspace_selection.h"
#include "gui/workspace_text.h"
#include "gui/workspace_view.h"
#include "hod/hod2_writer.h"
#include "hod/messages.h"
#include "hod/reset.h"
#include "hod/save.h"
#include "interchange/element_export.h"
#include "interchange/obj_export.h"
#include "script/import_messages.h"
#include "script/script_export.h"

namespace gantry {
namespace {

namespace text = shell_text;

constexpr const char* kRecentGroup = "MRUDs";
constexpr const char* kRecentKey = "MRUD";
// Where the editor and the debug window stood inside the main window.
constexpr const char* kEditorPlace = "Window/EditorGeometry";
constexpr const char* kDebugPlace = "Window/DebugGeometry";
constexpr const char* kLastFolder = "Window/LastFolder";

std::string UserName() {
  for (const char* name : {"USERNAME", "USER"}) {
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return value;
  }
  return {};
}

}  // namespace

QString CleanCommandLine(const QString& command_line) {
  QString path = command_line;
  path.remove(QLatin1Char('"'));
  path.remove(QLatin1Char('\''));
  return path.trimmed();
}

MainWindow::MainWindow(QSettings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings), qt_ui_(this) {
  setObjectName(QStringLiteral("mdfMain"));
  setWindowTitle(Caption(strings::kTitle));
  setAcceptDrops(true);
  // Where the window was when the program last ended (group "Window", beside the others).
  if (!restoreGeometry(settings_.value(QStringLiteral("Window/Geometry")).toByteArray())) {
    // First run: most of the screen, so the editor's sixteen tabs fit side by side.
    QSize size(1100, 760);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      size = size.expandedTo(screen->availableGeometry().size() * 9 / 10)
                 .boundedTo(screen->availableGeometry().size());
    }
    resize(size);
  }

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName(QStringLiteral("mdiArea"));
  setCentralWidget(mdi_);

  DebugLog& log = workspace_.log;
  // The options as stored: the debug level, and the views' preferences.
  OptionsDialog(settings_, log, [this](const RenderConfig& config) { render_config_ = config; });

  // The editor form's start: an old log goes, the lists start empty and the model at its
  // defaults.
  // Until a file gives it a working folder, the log lives in the program's own data folder:
  // the current folder could be anyone's (a desktop launcher starts in the home folder).
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  if (!data.isEmpty() && QDir().mkpath(data)) {
    log.set_file_path(PathFromQt(QDir(data).filePath(QStringLiteral("debug.log"))));
  }
  if (QFileInfo(PathToQt(log.file_path())).size() > 0) {
    log.Log(text::kRemovingOldLog);
  }
  log.RemoveFile();
  InitialiseLists(workspace_.model);
  ResetModel(workspace_.model);
  saved_ = workspace_.model;

  editor_ = new EditorForm(workspace_, [this]() -> Ui& { return ui(); });
  editor_->set_pose_picker([this](const ViewerPose& pose, bool multi_meshes) {
    return PickPose(workspace_.model, multi_meshes, render_config_, pose, this);
  });
  debug_ = new DebugWindow(log);
  editor_window_ = mdi_->addSubWindow(editor_);
  debug_subwindow_ = mdi_->addSubWindow(debug_);
  // The two children live as long as the window: closing one only hides it, and the Window
  // menu shows it again (the commands and the log keep using both).
  for (QMdiSubWindow* child : {editor_window_, debug_subwindow_}) {
    child->setAttribute(Qt::WA_DeleteOnClose, false);
  }

  qt_ui_.set_last_folder(settings_.value(QString::fromLatin1(kLastFolder)).toString());
  BuildStatusBar();
  ShowCurrentFile();
  BuildWorkspace();
  BuildMenus();
  EnableModelMenus(false);

  record_timer_.setSingleShot(true);
  record_timer_.setInterval(0);
  connect(&record_timer_, &QTimer::timeout, this, &MainWindow::RecordChange);
  StartHistoryHere(true);
  QApplication::instance()->installEventFilter(this);

  read_timer_.setObjectName(QStringLiteral("tmrReadAFile"));
  read_timer_.setSingleShot(true);
  read_timer_.setInterval(100);
  connect(&read_timer_, &QTimer::timeout, this, &MainWindow::ReadCommandLineFile);
}

MainWindow::~MainWindow() {
  QApplication::instance()->removeEventFilter(this);
  // The forms refer to the workspace, which goes before QMainWindow deletes its children.
  delete mdi_;
}

void MainWindow::BuildStatusBar() {
  status_ = new QLabel(Caption(strings::kStatusReady), this);
  status_->setObjectName(QStringLiteral("pnlStatus"));
  status_->setToolTip(Caption(strings::kStatusIndicatorTip));
  file_name_ = new QLabel(Caption(strings::kStatusNoFile), this);
  file_name_->setObjectName(QStringLiteral("pnlFileName"));
  file_name_->setToolTip(Caption(strings::kStatusFileNameTip));
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("prgProgress"));
  progress_->setToolTip(Caption(5));
  progress_->setMaximumWidth(200);
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  statusBar()->addWidget(status_, 1);
  statusBar()->addWidget(file_name_, 2);
  statusBar()->addPermanentWidget(progress_);
  qt_ui_.AttachStatusBar(status_, file_name_, progress_);
}

void MainWindow::BuildWorkspace() {
  workspace_view_ = new WorkspaceView(workspace_.model);
  workspace_dock_ = new QDockWidget(QString::fromLatin1(workspace_text::kDockTitle), this);
  workspace_dock_->setObjectName(QStringLiteral("dckWorkspace"));
  workspace_dock_->setWidget(workspace_view_);
  addDockWidget(Qt::RightDockWidgetArea, workspace_dock_);
  restoreState(settings_.value(QStringLiteral("Window/DockState")).toByteArray());
  workspace_view_->SetLayers(
      settings_.value(QStringLiteral("Workspace/Layers"), kAllOverlays).toUInt());

  connect(this, &MainWindow::modelChanged, workspace_view_, &WorkspaceView::ModelChanged);
  WatchFormSelection(*editor_, workspace_view_,
                     [this] { workspace_view_->SetSelection(FormSelection(*editor_)); });
  connect(workspace_view_, &WorkspaceView::picked, this,
          [this](const WorkspaceSelection& selection) { SelectInForm(*editor_, selection); });
  connect(workspace_view_, &WorkspaceView::positionPicked, this, [this](std::optional<Vector3> at) {
    if (!at) {
      status_->setText(QString::fromLatin1(workspace_text::kNothingUnderCursor));
      return;
    }
    const QString xyz = QStringLiteral("%1, %2, %3")
                            .arg(at->x, 0, 'f', 3)
                            .arg(at->y, 0, 'f', 3)
                            .arg(at->z, 0, 'f', 3);
    QGuiApplication::clipboard()->setText(xyz);
    status_->setText(QString::fromLatin1(workspace_text::kPositionLead) + xyz);
  });
}

QAction* MainWindow::AddAction(QMenu* menu, const char* name, int caption,
                               void (MainWindow::*slot)(), bool needs_model) {
  return AddCommand(
      menu, name, Caption(caption), [this, slot] { (this->*slot)(); }, needs_model);
}

template <typename Fn>
QAction* MainWindow::AddCommand(QMenu* menu, const char* name, const QString& caption, Fn fn,
                                bool needs_model) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this, fn);
  if (needs_model) model_actions_ << action;
  return action;
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(Caption(strings::kMenuFile));
  file->setObjectName(QStringLiteral("mnuFile"));
  AddAction(file, "mnuFileNew", strings::kMenuNew, &MainWindow::New)
      ->setShortcut(QKeySequence::New);
  AddAction(file, "mnuFileOpen", strings::kMenuOpen, &MainWindow::Open)
      ->setShortcut(QKeySequence::Open);
  file->addSeparator();
  AddAction(file, "mnuFileSave", strings::kMenuSave, &MainWindow::Save, true)
      ->setShortcut(QKeySequence::Save);
  AddAction(file, "mnuFileSaveAs", strings::kMenuSaveAs, &MainWindow::SaveAs, true)
      ->setShortcut(QKeySequence::SaveAs);
  file->addSeparator();
  AddAction(file, "mnuFileHODA", strings::kMenuHodAttributes, &MainWindow::EditAttributes, true);

  QMenu* import = file->addMenu(Caption(26));
  import->setObjectName(QStringLiteral("mnuFileImport"));
  AddAction(import, "mnuFileImportHODScript", strings::kMenuHodScript, &MainWindow::ImportScript,
            true);
  AddAction(import, "mnuFileImportTextures", 31, &MainWindow::ImportTextureFiles, true);
  AddCommand(
      import, "mnuFileImportGltf", QStringLiteral("glTF..."),
      [this] {
        if (ImportGltfCommand(workspace_.model, ui()).changed) AfterStructuralChange();
      },
      true);

  QMenu* exports = file->addMenu(Caption(strings::kMenuExport));
  exports->setObjectName(QStringLiteral("mnuFileExport"));
  // Each element family: All walks the whole list, Selected takes the editor's selection.
  const auto add_family = [&](const QString& caption, const char* all_name,
                              const char* selected_name, auto all, auto selected) {
    QMenu* sub = exports->addMenu(caption);
    AddCommand(sub, all_name, Caption(strings::kMenuAll), all, true);
    AddCommand(sub, selected_name, Caption(strings::kMenuSelected), selected, true);
  };
  add_family(
      Caption(strings::kMenuGeometry), "mnuFileExportGeometryAll", "mnuFileExportGeometrySelected",
      [this] { ExportGeometryAll(workspace_, ui()); },
      [this] { ExportGeometrySelected(workspace_, editor_->Selected("lstGeometry"), ui()); });
  add_family(
      Caption(strings::kMenuTextures), "mnuFileExportTextureAll", "mnuFileExportTextureSelected",
      [this] { ExportAllTextures(workspace_, ui()); },
      [this] { ExportSelectedTexture(workspace_, editor_->Selected("lstTextures"), ui()); });
  add_family(
      Caption(strings::kMenuCollisionMeshes), "mnuFileExportCMAll", "mnuFileExportCMSelected",
      [this] { ExportCollisionMeshesAll(workspace_, ui()); },
      [this] { ExportCollisionMeshOBJ(workspace_, editor_->Selected("lstCOLD"), ui()); });
  add_family(
      Caption(strings::kMenuScarMeshes), "mnuFileExportBSRMAll", "mnuFileExportBSRMSelected",
      [this] { ExportScarMeshesAll(workspace_, ui()); },
      [this] { ExportScarMeshOBJ(workspace_, editor_->Selected("lstBSRM"), ui()); });
  add_family(
      QStringLiteral("Background Mesh(es)"), "mnuFileExportBGMeshesAll",
      "mnuFileExportBGMeshesSelected", [this] { ExportBackgroundMeshesAll(workspace_, ui()); },
      [this] { ExportBackgroundMeshOBJ(workspace_, editor_->Selected("lstBGMS"), ui()); });
  AddAction(exports, "mnuExportHODScript", strings::kMenuHodScript, &MainWindow::ExportScript,
            true);
  AddCommand(
      exports, "mnuFileExportGltf", QStringLiteral("glTF..."),
      [this] { ExportGltfCommand(workspace_, ui()); }, true);

  file->addSeparator();
  recent_menu_ = file->addMenu(Caption(strings::kMenuRecentFiles));
  recent_menu_->setObjectName(QStringLiteral("mnuFileMRUDsMenu"));
  file->addSeparator();
  AddCommand(
      file, "mnuFileExit", Caption(strings::kMenuExit), [this] { close(); }, false)
      ->setShortcut(QKeySequence::Quit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("mnuEdit"));
  // Available as the history allows, not with the model menus.
  undo_action_ = AddCommand(
      edit, "mnuEditUndo", QStringLiteral("&Undo"), [this] { Undo(); }, false);
  undo_action_->setShortcut(QKeySequence::Undo);
  redo_action_ = AddCommand(
      edit, "mnuEditRedo", QStringLiteral("&Redo"), [this] { Redo(); }, false);
  redo_action_->setShortcut(QKeySequence::Redo);
  undo_action_->setEnabled(false);
  redo_action_->setEnabled(false);

  QMenu* tools = menuBar()->addMenu(Caption(strings::kMenuTools));
  tools->setObjectName(QStringLiteral("mnuTools"));
  AddAction(tools, "mnuToolsRescaleHOD", strings::kMenuRescale, &MainWindow::RescaleModel, true);
  AddAction(tools, "mnuToolsRotateHOD", strings::kMenuRotate, &MainWindow::RotateModel, true);
  AddCommand(
      tools, "mnuToolsValidate", QStringLiteral("&Validate HOD"),
      [this] {
        // What Save would check, without writing anything.
        ValidationContext context;
        context.editor_material_entries = workspace_.model.Materials.size();
        if (ValidateHod(workspace_.model, ui(), context).valid) {
          ui().Message(text::kValidationPassed, Icon::Information);
        }
        editor_->Refresh();
      },
      true);
  AddCommand(
      tools, "mnuToolsViewer", QStringLiteral("&3D View..."),
      [this] {
        // The same four views the Position buttons open, here only to look at the model.
        const bool background = TypeOf(workspace_.model) == HodType::Background;
        PickPose(workspace_.model, !background, render_config_, {}, this);
      },
      true);
  tools->addSeparator();
  AddAction(tools, "mnuToolsOptions", strings::kMenuOptions, &MainWindow::ShowOptions);

  QMenu* window = menuBar()->addMenu(Caption(strings::kMenuWindow));
  window->setObjectName(QStringLiteral("mnuWindow"));
  AddAction(window, "mnuWindowHODEditor", strings::kMenuHodEditor, &MainWindow::ShowEditor);
  AddAction(window, "mnuWindowDebugWindow", strings::kMenuDebugWindow,
            &MainWindow::ShowDebugWindow);
  QAction* workspace = workspace_dock_->toggleViewAction();
  workspace->setObjectName(QStringLiteral("mnuWindowWorkspace"));
  workspace->setText(QString::fromLatin1(workspace_text::kWindowMenu));
  window->addAction(workspace);
  window->addSeparator();
  AddCommand(
      window, "mnuWindowCascade", Caption(strings::kMenuCascade),
      [this] { mdi_->cascadeSubWindows(); }, false);
  AddCommand(
      window, "mnuWindowTileH", Caption(strings::kMenuTileH), [this] { TileSideBySide(false); },
      false);
  AddCommand(
      window, "mnuWindowTileV", Caption(strings::kMenuTileV), [this] { TileSideBySide(true); },
      false);
  AddCommand(
      window, "mnuWindowArrange", Caption(strings::kMenuArrange), [this] { ArrangeIcons(); },
      false);

  QMenu* help = menuBar()->addMenu(Caption(strings::kMenuHelp));
  help->setObjectName(QStringLiteral("mnuHelp"));
  AddAction(help, "mnuHelpAbout", strings::kMenuAbout, &MainWindow::About);
}

void MainWindow::EnableModelMenus(bool on) {
  for (QAction* action : model_actions_) action->setEnabled(on);
}

// ---- Recently used files ----------------------------------------------------------------------

void MainWindow::LoadRecent() {
  RecentFiles::Stored stored;
  settings_.beginGroup(QString::fromLatin1(kRecentGroup));
  for (std::size_t i = 0; i < stored.size(); ++i) {
    stored[i] =
        PathFromQt(settings_.value(QString::fromLatin1(kRecentKey) + QString::number(i), QString())
                       .toString());
  }
  settings_.endGroup();
  recent_.set_stored(std::move(stored));
  recent_.Prune(IsUsableFile);
  RebuildRecentMenu();
}

void MainWindow::SaveRecent() {
  settings_.beginGroup(QString::fromLatin1(kRecentGroup));
  for (std::size_t i = 0; i < recent_.stored().size(); ++i) {
    settings_.setValue(QString::fromLatin1(kRecentKey) + QString::number(i),
                       PathToQt(recent_.stored()[i]));
  }
  settings_.endGroup();
  settings_.sync();
}

void MainWindow::RebuildRecentMenu() {
  recent_menu_->clear();
  const std::vector<std::string> entries = recent_.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    QAction* action = recent_menu_->addAction(PathToQt(entries[i]));
    action->setObjectName(QStringLiteral("mnuFileMRUDs%1").arg(i));
    const int slot = static_cast<int>(i);
    connect(action, &QAction::triggered, this, [this, slot] { OpenRecent(slot); });
  }
  recent_menu_->addSeparator();
  QAction* clear = recent_menu_->addAction(Caption(strings::kMenuClearList));
  clear->setObjectName(QStringLiteral("mnuFileMRUDsClear"));
  connect(clear, &QAction::triggered, this, &MainWindow::ClearRecent);
}

void MainWindow::AddRecent(const std::string& path) {
  recent_.Add(path);
  SaveRecent();
  LoadRecent();
}

void MainWindow::ClearRecent() {
  recent_.Clear();
  SaveRecent();
  RebuildRecentMenu();
}

void MainWindow::OpenRecent(int slot) {
  const std::vector<std::string> entries = recent_.Entries();
  if (slot < 0 || static_cast<std::size_t>(slot) >= entries.size()) return;
  const std::string path = entries[static_cast<std::size_t>(slot)];
  // A missing file is reported before asking about changes that would not be replaced.
  if (!IsUsableFile(path)) {
    ui().Message(text::kFileMissing, Icon::Exclamation);
    LoadRecent();
    SaveRecent();
    return;
  }
  if (!MaySaveChanges(text::kSaveChangesBeforeOpen)) return;
  OpenPath(PathToQt(path));
}

// ---- File commands ----------------------------------------------------------------------------

bool MainWindow::Start(const QString& command_line) {
  LoadRecent();
  const QString path = CleanCommandLine(command_line);
  if (path.isEmpty()) return true;
  const QFileInfo info(path);
  if (!info.exists()) {
    // Not the zero-length case: say so and start empty rather than end the run.
    ui().Message(text::kFileMissing, Icon::Exclamation);
    return true;
  }
  // The full path: the title, the recently used list and the settings outlive this folder.
  workspace_.SetCurrentFile(PathFromQt(info.absoluteFilePath()));
  if (info.size() == 0) {
    ui().Message(std::string(text::kZeroLengthLead) + PathFromQt(path) + text::kZeroLengthTail,
                 Icon::Exclamation);
    return false;
  }
  // Read once the windows are on screen.
  read_timer_.start();
  return true;
}

void MainWindow::ReadCommandLineFile() {
  OpenPath(PathToQt(workspace_.current_file));
  emit commandLineFileRead();
}

void MainWindow::New() {
  if (!MaySaveChanges(text::kSaveChangesBeforeNew)) return;
  EnableModelMenus(true);
  ResetModel(workspace_.model);
  workspace_.current_file.clear();
  const std::string owner = UserName();
  workspace_.model.HodOwner.Owner = owner;
  workspace_.model.HodOwner.OwnerLength = static_cast<std::int32_t>(owner.size());
  editor_->Refresh();
  ShowCurrentFile();
  AttributesDialog dialog(workspace_.model, ui(), QString::fromLatin1(text::kNewCaption), this);
  dialog.exec();
  editor_->Refresh();
  saved_ = workspace_.model;
  StartHistoryHere(true);
}

void MainWindow::Open() {
  if (!MaySaveChanges(text::kSaveChangesBeforeOpen)) return;
  const auto chosen = ui().OpenFile(text::kHodFilter, "");
  if (!chosen || chosen->empty()) return;
  if (!IsUsableFile(*chosen)) {
    ui().Message(strings::Entry(strings::kSelectFile), Icon::Information);
    return;
  }
  OpenPath(PathToQt(*chosen));
}

void MainWindow::OpenPath(const QString& path) {
  const std::string file = PathFromQt(path);
  workspace_.Open(file, ui());
  ModelReplaced();
  EnableModelMenus(true);
  AddRecent(file);
  ShowCurrentFile();
}

void MainWindow::ModelReplaced() {
  saved_ = workspace_.model;
  // The form first: the views follow its selection, which the refill clears.
  editor_->Refresh();
  StartHistoryHere(true);
}

void MainWindow::ShowCurrentFile() {
  const std::string& file = workspace_.current_file;
  qt_ui_.set_current_file(PathToQt(file));
  file_name_->setText(file.empty() ? ToQt(messages::kUntitled) : PathToQt(file));
  setWindowTitle(file.empty() ? Caption(strings::kTitle)
                              : Caption(strings::kTitle) + QStringLiteral(" - ") +
                                    QFileInfo(PathToQt(file)).fileName());
}

bool MainWindow::SaveTo(const QString& path, HodDialect dialect) {
  editor_->SetValidation(false);
  ValidationContext context;
  context.editor_material_entries = workspace_.model.Materials.size();
  SaveResult result =
      SaveHod(workspace_, PathFromQt(path), ui(), context, StandardSaveOptions(dialect));
  // A model HOD 2.0 cannot hold (the refusal said why) may still go out as classic: asked.
  if (result == SaveResult::Invalid && dialect == HodDialect::Hod2 &&
      !Hod2WriteBlockers(workspace_.model).empty()) {
    result = SaveHod(workspace_, PathFromQt(path), ui(), context,
                     StandardSaveOptions(HodDialect::Classic));
  }
  editor_->SetValidation(true);
  switch (result) {
    case SaveResult::Saved:
      saved_ = workspace_.model;
      // Saving fills in lengths and counts; that is not a change to undo.
      StartHistoryHere(false);
      AddRecent(workspace_.current_file);
      ShowCurrentFile();
      return true;
    case SaveResult::Quit:
      EndRun();
      QApplication::quit();
      return false;
    case SaveResult::Invalid:
    case SaveResult::Failed:
    case SaveResult::Cancelled:
      break;
  }
  return false;
}

void MainWindow::Save() {
  if (workspace_.current_file.empty()) {
    SaveAs();
    return;
  }
  // Save keeps the dialect the model was read in (or last saved as).
  SaveTo(PathToQt(workspace_.current_file), workspace_.model.Dialect);
}

void MainWindow::SaveAs() {
  qt_ui_.SuggestSaveName(PathToQt(workspace_.current_file));
  int type = workspace_.model.Dialect == HodDialect::Hod2 ? text::kHod2Type : text::kClassicType;
  const auto chosen = ui().SaveFileOfType(text::kHodDialectFilter, "", type);
  if (!chosen || chosen->empty()) return;
  QString path = PathToQt(*chosen);
  // A bare name is a HOD file: without the suffix Open's filter would not even list it.
  if (QFileInfo(path).suffix().isEmpty()) path += QString::fromLatin1(text::kHodSuffix);
  SaveTo(path, type == text::kHod2Type ? HodDialect::Hod2 : HodDialect::Classic);
}

void MainWindow::EditAttributes() {
  AttributesDialog dialog(workspace_.model, ui(), QString::fromLatin1(text::kAttributesCaption),
                          this);
  if (dialog.exec() == QDialog::Accepted) editor_->Refresh();
}

void MainWindow::ImportScript() {
  const auto chosen = ui().OpenFile(text::kScriptFilter, "");
  if (!chosen || chosen->empty()) return;
  const ScriptImportResult result =
      ImportHodScript(workspace_.model, *chosen, script_context_, ui());
  // Skipped lines stay silent, as the format's rules ask, but the log counts them.
  if (!result.unmatched_lines.empty()) {
    workspace_.log.Log(import_messages::kSkippedLinesLead +
                       std::to_string(result.unmatched_lines.size()) +
                       import_messages::kSkippedLinesTail);
  }
  AfterStructuralChange();
}

void MainWindow::ExportScript() { ExportHodScriptCommand(workspace_, ui()); }

void MainWindow::ImportTextureFiles() {
  ImportTextureImages(this, workspace_, ui());
  AfterStructuralChange();
}

void MainWindow::RescaleModel() {
  RescaleHODCommand(workspace_.model, ui());
  AfterStructuralChange();
}

void MainWindow::RotateModel() {
  RotateHODCommand(workspace_.model, ui());
  AfterStructuralChange();
}

void MainWindow::AfterStructuralChange() { editor_->Refresh(); }

// ---- Undo -------------------------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: {
      // One copy per change, not per event: the copy stays until the model differs from it.
      if (!before_input_) before_input_ = workspace_.model;
      // Typing in a box is one edit, recorded when the box is left (after its own checks, such
      // as making a name unique, have run).
      auto* box = qobject_cast<QLineEdit*>(watched);
      if (box != nullptr && box == QApplication::focusWidget() && !box->isReadOnly()) {
        typing_in_ = box;
      }
      record_timer_.start(0);
      break;
    }
    case QEvent::FocusOut:
      if (watched == typing_in_) {
        typing_in_.clear();
        record_timer_.start(0);
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::RecordChange() { Record(false); }

void MainWindow::Record(bool typing_ends) {
  // A question the change led to (a name clash) is still open: its answer is part of the edit.
  if (!typing_ends && QApplication::activeModalWidget() != nullptr) {
    record_timer_.start(50);
    return;
  }
  const bool changed = before_input_ && workspace_.model != *before_input_;
  // Still typing: the edit is not over, but Undo already has something to take back.
  const bool typing =
      !typing_ends && typing_in_ != nullptr && typing_in_ == QApplication::focusWidget();
  if (changed && !typing) {
    history_.Record(std::move(*before_input_));
    before_input_.reset();
    emit modelChanged(false);
  }
  undo_action_->setEnabled(history_.can_undo() || (changed && typing));
  redo_action_->setEnabled(history_.can_redo() && !(changed && typing));
}

void MainWindow::StartHistoryHere(bool forget) {
  if (forget) history_.Clear();
  before_input_ = workspace_.model;
  emit modelChanged(forget);
  if (undo_action_ != nullptr) {
    undo_action_->setEnabled(history_.can_undo());
    redo_action_->setEnabled(history_.can_redo());
  }
}

void MainWindow::Undo() {
  Record(true);  // a change still waiting to be recorded (even one being typed) comes first
  if (history_.Undo(workspace_.model)) editor_->Refresh();
  StartHistoryHere(false);
}

void MainWindow::Redo() {
  if (history_.Redo(workspace_.model)) editor_->Refresh();
  StartHistoryHere(false);
}

void MainWindow::ShowOptions() {
  OptionsDialog dialog(
      settings_, workspace_.log, [this](const RenderConfig& config) { render_config_ = config; },
      this);
  dialog.exec();
}

void MainWindow::ShowChild(QMdiSubWindow* child) {
  // A closed child hid its form as well.
  child->widget()->show();
  child->showNormal();
  mdi_->setActiveSubWindow(child);
}

void MainWindow::ShowEditor() { ShowChild(editor_window_); }

void MainWindow::ShowDebugWindow() { ShowChild(debug_subwindow_); }

void MainWindow::About() {
  QMessageBox::about(this, Caption(strings::kTitle),
                     QString::fromLatin1(text::kAboutText) +
                         QString::fromLatin1(text::kAboutVersion) +
                         QString::fromStdString(VersionText()));
}

void MainWindow::TileSideBySide(bool vertical) {
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* window : windows) {
    if (!window->isMinimized() && window->isVisible()) shown << window;
  }
  if (shown.isEmpty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int n = static_cast<int>(shown.size());
  for (int i = 0; i < n; ++i) {
    shown[i]->showNormal();
    if (vertical) {
      const int width = area.width() / n;
      shown[i]->setGeometry(i * width, 0, width, area.height());
    } else {
      const int height = area.height() / n;
      shown[i]->setGeometry(0, i * height, area.width(), height);
    }
  }
}

void MainWindow::ArrangeIcons() {
  // Minimised windows line up along the bottom edge.
  const QRect area = mdi_->viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(x, area.height() - window->height());
    x += window->width();
  }
}

// ---- End of the run ---------------------------------------------------------------------------

void MainWindow::EndRun() {
  if (ended_) return;
  ended_ = true;
  settings_.setValue(QStringLiteral("Window/Geometry"), saveGeometry());
  settings_.setValue(QStringLiteral("Window/DockState"), saveState());
  settings_.setValue(QStringLiteral("Workspace/Layers"), workspace_view_->layers());
  settings_.setValue(QString::fromLatin1(kLastFolder), qt_ui_.last_folder());
  if (laid_out_) {
    settings_.setValue(QString::fromLatin1(kEditorPlace), editor_window_->geometry());
    settings_.setValue(QString::fromLatin1(kDebugPlace), debug_subwindow_->geometry());
  }
  DebugLog& log = workspace_.log;
  log.Log(text::kQuitting);
  log.AppendToFile();
  log.Log(text::kCleanup);
  ResetModel(workspace_.model);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (laid_out_) return;
  laid_out_ = true;
  // Where the user left them, when that is still inside the area.
  const QRect area = mdi_->viewport()->rect();
  const QRect editor_place = settings_.value(QString::fromLatin1(kEditorPlace)).toRect();
  const QRect debug_place = settings_.value(QString::fromLatin1(kDebugPlace)).toRect();
  if (editor_place.isValid() && debug_place.isValid() && area.intersects(editor_place) &&
      area.intersects(debug_place)) {
    editor_window_->setGeometry(editor_place);
    debug_subwindow_->setGeometry(debug_place);
    return;
  }
  // First show: the editor on the left, the debug window beside it, filling the area.
  const int editor_width = area.width() * 3 / 4;
  editor_window_->setGeometry(0, 0, editor_width, area.height());
  debug_subwindow_->setGeometry(editor_width, 0, area.width() - editor_width, area.height());
}

namespace {

// The first local file of a drag, when it is a HOD.
QString DroppedHod(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
  const QString path = data->urls().front().toLocalFile();
  return path.endsWith(QStringLiteral(".hod"), Qt::CaseInsensitive) ? path : QString();
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedHod(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = DroppedHod(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  if (!MaySaveChanges(text::kSaveChangesBeforeOpen)) return;
  if (!IsUsableFile(PathFromQt(path))) {
    ui().Message(strings::Entry(strings::kSelectFile), Icon::Information);
    return;
  }
  OpenPath(path);
}

bool MainWindow::MaySaveChanges(const char* before) {
  if (ended_ || workspace_.model == saved_) return true;
  const std::string name =
      workspace_.current_file.empty() ? std::string("the new HOD") : workspace_.current_file;
  switch (ui().Message(std::string(text::kSaveChangesLead) + name + before, Icon::Question,
                       Buttons::YesNoCancel)) {
    case Answer::Yes:
      Save();
      return workspace_.model == saved_;  // a refused or failed save keeps the window open
    case Answer::No:
      return true;
    default:
      return false;
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!MaySaveChanges()) {
    event->ignore();
    return;
  }
  EndRun();
  event->accept();
}

}  // namespace gantry
