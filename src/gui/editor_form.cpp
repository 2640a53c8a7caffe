#include "gui/editor_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "commands/create.h"
#include "commands/geometry_commands.h"
#include "commands/remove.h"
#include "commands/replace_commands.h"
#include "commands/transforms.h"
#include "gui/boundary_tab.h"
#include "gui/family_tabs.h"
#include "gui/hierarchy_tab.h"
#include "gui/markers_tab.h"
#include "gui/materials_tab.h"
#include "gui/navlights_tab.h"
#include "gui/qt_ui.h"
#include "gui/shell_text.h"
#include "gui/star_fields_tab.h"
#include "gui/string_table.h"
#include "gui/texture_panel.h"
#include "gui/tool_dialogs.h"
#include "gui/widgets.h"
#include "hod/model.h"
#include "hod/model_counts.h"
#include "hod/workspace.h"

namespace gantry {
namespace {

namespace text = shell_text;

// The main lists (and tree) of each tab, in tab order: they lose their selection when the tab
// is shown.
const std::vector<std::vector<const char*>> kTabLists = {{"lstTextures"},
                                                         {"lstMaterials"},
                                                         {"lstGeometry"},
                                                         {"tvwHIER"},
                                                         {"lstBSRM"},
                                                         {"lstCOLD"},
                                                         {"lstNAVL"},
                                                         {"lstMarkers"},
                                                         {"lstETSH", "lstBURN", "lstGLOW"},
                                                         {"lstDOCK"},
                                                         {},
                                                         {"lstBGMS"},
                                                         {"lstLITE"},
                                                         {},
                                                         {"lstSIMP"},
                                                         {}};

// The lists (and tree) whose selected element the Delete key removes, with the button that
// removes it.
constexpr std::pair<const char*, const char*> kDeleteKeys[] = {
    {"lstTextures", "cmdLMIPRemove"}, {"lstMaterials", "cmdSTATRemove"},
    {"lstGeometry", "cmdGeomRemove"}, {"lstGeomLODs", "cmdGeomRemoveLoD"},
    {"tvwHIER", "cmdHIERRemove"},     {"lstCOLD", "cmdCOLDRemove"},
    {"lstNAVL", "cmdNAVLRemove"},     {"lstMarkers", "cmdMRKRRemove"},
    {"lstETSH", "cmdETSHRemove"},     {"lstBURN", "cmdBURNRemove"},
    {"lstGLOW", "cmdGLOWRemove"},     {"lstDOCK", "cmdDOCKRemove"},
    {"lstBGMS", "cmdBGMSRemove"},     {"lstLITE", "cmdLITERemove"},
    {"lstSIMP", "cmdSIMPRemove"}};

// A tab's page in a scroll area: a page taller or wider than the screen (large fonts, a scaled
// display) scrolls instead of stretching the form past it.
QWidget* Scrolling(QWidget* page) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(page->objectName() + QStringLiteral("Scroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(page);
  return scroll;
}

}  // namespace

EditorForm::EditorForm(Workspace& workspace, std::function<Ui&()> ui, QWidget* parent)
    : QWidget(parent), workspace_(workspace), model_(workspace.model), ui_(std::move(ui)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(ToQt(strings::Entry(strings::kHodEditorCaption)));
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("sstMainTab"));
  tabs_->setUsesScrollButtons(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(tabs_);

  const auto list_tab = [this](TabDescription desc) {
    const char* caption = desc.caption;
    return static_cast<ListTab*>(AddTab(new ListTab(*this, std::move(desc)), caption));
  };
  textures_ = list_tab(TexturesTab());
  AddTexturePreview(textures_);
  AddTab(new MaterialsTab(*this), "Materials");
  geometry_ = list_tab(GeometryTab());
  AddGeometryLods(geometry_);
  AddTab(new HierarchyTab(*this), "Hierarchy");
  list_tab(ScarMeshesTab());
  list_tab(CollisionMeshesTab());
  AddTab(new NavlightsTab(*this), "Navlights");
  AddTab(new MarkersTab(*this), "Markers");
  BuildEnginesTab();
  AddTab(new DockPathsTab(*this), "Dockpaths");
  AddTab(new BoundaryTab(*this), "BNDV");
  list_tab(BackgroundMeshesTab());
  list_tab(LightsTab());
  AddTab(new StarFieldsTab(*this), "Star Fields");
  list_tab(SimpleMeshesTab());
  BuildMiscTab();

  // Every control's tool tip comes from the string table, found by the control's name.
  for (QWidget* control : findChildren<QWidget*>()) {
    const int entry = strings::ToolTipEntry(FromQt(control->objectName()));
    if (entry > 0) control->setToolTip(ToQt(strings::Entry(entry)));
  }
  for (const auto& [list_name, button_name] : kDeleteKeys) {
    auto* list = findChild<QAbstractItemView*>(QString::fromLatin1(list_name));
    auto* button = findChild<QPushButton*>(QString::fromLatin1(button_name));
    if (list == nullptr || button == nullptr) continue;
    auto* key = new QShortcut(QKeySequence::Delete, list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(key, &QShortcut::activated, button, &QPushButton::click);
  }
  connect(tabs_, &QTabWidget::currentChanged, this, &EditorForm::ShowTab);
  Refresh();
}

EditorTab* EditorForm::AddTab(EditorTab* tab, const char* caption, QTabWidget* into) {
  if (into != nullptr) {
    into->addTab(tab, QString::fromLatin1(caption));
  } else {
    tabs_->addTab(Scrolling(tab), QString::fromLatin1(caption));
  }
  tabs_with_fields_ << tab;
  return tab;
}

std::optional<MirrorOptions> EditorForm::AskMirrorOptions() {
  if (mirror_options_ == nullptr) mirror_options_ = new MirrorOptionsDialog(this);
  if (mirror_options_->exec() != QDialog::Accepted) return std::nullopt;
  return mirror_options_->Options();
}

FieldContext EditorForm::field_context() {
  return {[this] { return validation_; }, [this]() -> Ui& { return ui_(); }};
}

void EditorForm::AddGeometryLods(ListTab* geometry) {
  lods_ = NewList(geometry, "lstGeomLODs");
  lods_->setMaximumHeight(110);
  geometry->extra_layout()->addWidget(lods_);
  auto* buttons = new QHBoxLayout;
  auto* add = AddButton(geometry, buttons, "cmdGeomAddLoD", QStringLiteral("Add LoD"));
  auto* remove = AddButton(geometry, buttons, "cmdGeomRemoveLoD", QStringLiteral("Remove LoD"));
  auto* replace =
      AddButton(geometry, buttons, "cmdGeomReplaceLoD", QStringLiteral("Replace LoD..."));
  auto* reassign = AddButton(geometry, buttons, "cmdGeomReassignMaterials", Caption(24));
  buttons->addStretch();
  auto* options = new QHBoxLayout;
  goblin_ = new QCheckBox(QStringLiteral("Goblin"), geometry);
  goblin_->setObjectName(QStringLiteral("chkGeomIsGoblin"));
  options->addWidget(goblin_);
  auto* mirror = new QPushButton(Caption(25), geometry);
  mirror->setObjectName(QStringLiteral("cmdGeomMirror"));
  options->addWidget(mirror);
  options->addStretch();
  static_cast<QBoxLayout*>(geometry->extra_layout())->addLayout(buttons);
  static_cast<QBoxLayout*>(geometry->extra_layout())->addLayout(options);
  connect(geometry, &ListTab::selectionChanged, this, &EditorForm::FillLods);
  // The selected row of the level list. The "No LoDs defined" entry counts as row 0, so the
  // commands can say that there is no level rather than that none is selected.
  const auto lod = [this] { return SelectedRow(lods_, static_cast<std::size_t>(lods_->count())); };
  // After a level command: the form refilled when it changed, the mesh selected again, and the
  // level the command names (`level` when it names none).
  const auto after = [this](const CommandResult& result, std::optional<std::size_t> level) {
    const auto mesh = geometry_->Selected();
    if (result.changed) Refresh();
    if (mesh) geometry_->Select(*mesh);
    FillLods();
    const auto select = result.select ? result.select : level;
    if (select && *select < static_cast<std::size_t>(lods_->count())) {
      lods_->setCurrentRow(static_cast<int>(*select));
    }
  };
  connect(add, &QPushButton::clicked, this,
          [this, after] { after(AddLod(model_, geometry_->Selected(), ui()), std::nullopt); });
  connect(remove, &QPushButton::clicked, this, [this, after, lod] {
    after(RemoveLod(workspace_, geometry_->Selected(), lod(), ui()), std::nullopt);
  });
  connect(replace, &QPushButton::clicked, this, [this, after, lod] {
    const auto level = lod();
    after(ReplaceLod(model_, geometry_->Selected(), level, ui()), level);
  });
  connect(reassign, &QPushButton::clicked, this, [this, after, lod] {
    const auto level = lod();
    after(ReassignMaterials(model_, geometry_->Selected(), level, ui()), level);
  });
  // The switch and the mirror change the mesh in place: the same mesh and level stay selected.
  connect(goblin_, &QCheckBox::clicked, this, [this, after, lod](bool checked) {
    const auto level = lod();
    const GoblinSwitchResult result = SetGoblin(model_, geometry_->Selected(), checked, ui());
    if (result.uncheck) goblin_->setChecked(false);
    after({result.command.changed, std::nullopt}, level);
  });
  connect(mirror, &QPushButton::clicked, this, [this, after, lod] {
    const auto mesh = geometry_->Selected();
    const auto level = lod();
    // Without a mesh the command only says so; the options are not asked for.
    const auto options = mesh ? AskMirrorOptions() : std::optional<MirrorOptions>(MirrorOptions{});
    if (options && MirrorMeshCommand(model_, mesh, *options, ui())) {
      after(CommandResult::Changed(std::nullopt), level);
    }
  });
}

void EditorForm::AddTexturePreview(ListTab* textures) {
  texture_panel_ = new TexturePanel(textures);
  textures->extra_layout()->addWidget(texture_panel_);
  connect(textures, &ListTab::selectionChanged, this, &EditorForm::ShowTexture);
}

void EditorForm::ShowTexture() {
  const auto texture = textures_->Selected();
  texture_panel_->Show(texture && *texture < model_.Textures.size() ? &model_.Textures[*texture]
                                                                    : nullptr);
}

void EditorForm::BuildEnginesTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* parts = new QTabWidget(page);
  parts->setObjectName(QStringLiteral("sstEngines"));
  for (TabDescription desc : {EngineShapesTab(), EngineBurnsTab(), EngineGlowsTab()}) {
    const char* caption = desc.caption;
    AddTab(new ListTab(*this, std::move(desc)), caption, parts);
  }
  layout->addWidget(parts);
  tabs_->addTab(Scrolling(page), QStringLiteral("Engines"));
}

void EditorForm::BuildMiscTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  owner_ = new QLineEdit(page);
  owner_->setObjectName(QStringLiteral("txtOWNR"));
  warnings_ = NewList(page, "lstWARN");
  errors_ = NewList(page, "lstERRR");
  layout->addWidget(new QLabel(QStringLiteral("Owner:"), page));
  layout->addWidget(owner_);
  layout->addWidget(new QLabel(QStringLiteral("Warnings:"), page));
  layout->addWidget(warnings_);
  layout->addWidget(new QLabel(QStringLiteral("Errors:"), page));
  layout->addWidget(errors_);
  tabs_->addTab(Scrolling(page), QStringLiteral("Misc."));

  // The owner is stored as it is typed; its length goes beside it.
  connect(owner_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    model_.HodOwner.Owner = FromQt(typed);
    model_.HodOwner.OwnerLength = static_cast<std::int32_t>(model_.HodOwner.Owner.size());
  });
}

void EditorForm::Refresh() {
  const bool was_on = validation_;
  validation_ = false;
  for (EditorTab* tab : tabs_with_fields_) tab->Refresh();
  FillLods();
  SetThumbnails(textures_->list(), model_.Textures);
  ShowTexture();

  // The stored text keeps the terminating NUL of the file; the box shows the text before it.
  owner_->setText(ToQt(OwnerText(model_)));
  const auto fill_info = [](QListWidget* list, const std::vector<InfoEntry>& entries,
                            const char* none) {
    const QSignalBlocker block(list);
    list->clear();
    for (const InfoEntry& entry : entries) list->addItem(ToQt(entry.Text));
    if (entries.empty()) list->addItem(QString::fromLatin1(none));
  };
  fill_info(warnings_, model_.Warnings, text::kNoWarnings);
  fill_info(errors_, model_.Errors, text::kNoErrors);
  validation_ = was_on;
}

void EditorForm::FillLods() {
  const QSignalBlocker block(lods_);
  const QSignalBlocker block_goblin(goblin_);
  lods_->clear();
  const auto mesh = geometry_->Selected();
  goblin_->setChecked(mesh && IsGoblin(model_.Meshes[*mesh]));
  if (!mesh) return;
  for (const std::string& entry : LodListEntries(model_.Meshes[*mesh])) {
    lods_->addItem(ToQt(entry));
  }
}

void EditorForm::ShowTab(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= kTabLists.size()) return;
  for (const char* name : kTabLists[static_cast<std::size_t>(index)]) {
    if (auto* list = findChild<QListWidget*>(QString::fromLatin1(name))) ClearSelection(list);
    if (auto* tree = findChild<QTreeWidget*>(QString::fromLatin1(name))) ClearSelection(tree);
  }
}

std::optional<std::size_t> EditorForm::Selected(const char* list_name) const {
  const auto* list = findChild<QListWidget*>(QString::fromLatin1(list_name));
  if (list == nullptr) return std::nullopt;
  return SelectedRow(list, static_cast<std::size_t>(list->count()));
}

}  // namespace gantry
