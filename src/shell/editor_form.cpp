#include "shell/editor_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "hod/model.h"
#include "hod/model_counts.h"
#include "hod/workspace.h"
#include "model_ops/create.h"
#include "model_ops/remove.h"
#include "shell/boundary_tab.h"
#include "shell/family_tabs.h"
#include "shell/hierarchy_tab.h"
#include "shell/materials_tab.h"
#include "shell/navlights_tab.h"
#include "shell/qt_ui.h"
#include "shell/shell_text.h"
#include "shell/string_table.h"

namespace gantry {
namespace {

namespace text = shell_text;

QString Numbered(const char* lead, std::size_t index) {
  return QString::fromLatin1(lead) + QString::number(index + 1);
}

QListWidget* NewList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  return list;
}

// Which list on each tab loses its selection when the tab is shown.
constexpr const char* kTabLists[] = {"lstTextures", "lstMaterials", "lstGeometry", nullptr,
                                     "lstBSRM",     "lstCOLD",      "lstNAVL",     "lstMarkers",
                                     nullptr,       "lstDOCK",      nullptr,       "lstBGMS",
                                     "lstLITE",     nullptr,        "lstSIMP",     nullptr};

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

  const auto list_tab = [this](ListTabSpec spec) {
    const char* caption = spec.caption;
    return static_cast<ListTab*>(AddTab(new ListTab(*this, std::move(spec)), caption));
  };
  list_tab(TexturesTab());
  AddTab(new MaterialsTab(*this), "Materials");
  geometry_ = list_tab(GeometryTab());
  AddGeometryLods(geometry_);
  AddTab(new HierarchyTab(*this), "Hierarchy");
  list_tab(ScarMeshesTab());
  list_tab(CollisionMeshesTab());
  AddTab(new NavlightsTab(*this), "Navlights");
  list_tab(MarkersTab());
  BuildEnginesTab();
  list_tab(DockPathsTab());
  AddTab(new BoundaryTab(*this), "BNDV");
  list_tab(BackgroundMeshesTab());
  list_tab(LightsTab());
  BuildStarFieldsTab();
  list_tab(SimpleMeshesTab());
  BuildMiscTab();

  connect(tabs_, &QTabWidget::currentChanged, this, &EditorForm::ShowTab);
  Refresh();
}

EditorTab* EditorForm::AddTab(EditorTab* tab, const char* caption, QTabWidget* into) {
  (into != nullptr ? into : tabs_)->addTab(tab, QString::fromLatin1(caption));
  tabs_with_fields_ << tab;
  return tab;
}

FieldContext EditorForm::field_context() {
  return {[this] { return validation_; }, [this]() -> Ui& { return ui_(); }};
}

void EditorForm::AddGeometryLods(ListTab* geometry) {
  lods_ = NewList(geometry, "lstGeomLODs");
  lods_->setToolTip(ToQt(strings::Entry(403)));
  lods_->setMaximumHeight(110);
  geometry->extra_layout()->addWidget(lods_);
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(QStringLiteral("Add LoD"), geometry);
  add->setObjectName(QStringLiteral("cmdGeomAddLoD"));
  auto* remove = new QPushButton(QStringLiteral("Remove LoD"), geometry);
  remove->setObjectName(QStringLiteral("cmdGeomRemoveLoD"));
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  static_cast<QBoxLayout*>(geometry->extra_layout())->addLayout(buttons);
  connect(geometry, &ListTab::selectionChanged, this, &EditorForm::FillLods);
  const auto after = [this](const CommandResult& result) {
    const auto mesh = geometry_->Selected();
    if (result.changed) Refresh();
    if (mesh) geometry_->list()->setCurrentRow(static_cast<int>(*mesh));
    if (result.select) lods_->setCurrentRow(static_cast<int>(*result.select));
  };
  connect(add, &QPushButton::clicked, this,
          [this, after] { after(AddLod(model_, geometry_->Selected(), ui())); });
  connect(remove, &QPushButton::clicked, this, [this, after] {
    const int lod = lods_->currentRow();
    const auto mesh = geometry_->Selected();
    const bool real =
        mesh && lod >= 0 && static_cast<std::size_t>(lod) < model_.Meshes[*mesh].Lods.size();
    after(RemoveLod(workspace_, mesh,
                    real ? std::optional<std::size_t>(static_cast<std::size_t>(lod)) : std::nullopt,
                    ui()));
  });
}

void EditorForm::BuildEnginesTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* parts = new QTabWidget(page);
  parts->setObjectName(QStringLiteral("sstEngines"));
  for (ListTabSpec spec : {EngineShapesTab(), EngineBurnsTab(), EngineGlowsTab()}) {
    const char* caption = spec.caption;
    AddTab(new ListTab(*this, std::move(spec)), caption, parts);
  }
  layout->addWidget(parts);
  tabs_->addTab(page, QStringLiteral("Engines"));
}

void EditorForm::BuildStarFieldsTab() {
  auto* page = new QWidget(tabs_);
  page->setToolTip(ToQt(strings::Entry(416)));
  auto* layout = new QVBoxLayout(page);
  star_family_ = new QComboBox(page);
  star_family_->setObjectName(QStringLiteral("cboSTRFFamily"));
  star_family_->addItems(
      {QString::fromLatin1(text::kStrfGroupFamily), QString::fromLatin1(text::kBgsgGroupFamily)});
  star_groups_ = new QComboBox(page);
  star_groups_->setObjectName(QStringLiteral("cboSTRForBGSG"));
  layout->addWidget(star_family_);
  layout->addWidget(star_groups_);
  layout->addStretch();
  tabs_->addTab(page, QStringLiteral("Star Fields"));
  connect(star_family_, &QComboBox::currentIndexChanged, this, [this] { FillStarGroups(); });
}

void EditorForm::BuildMiscTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  owner_ = new QLineEdit(page);
  owner_->setObjectName(QStringLiteral("txtOWNR"));
  owner_->setToolTip(ToQt(strings::Entry(strings::kTipOwner)));
  warnings_ = NewList(page, "lstWARN");
  warnings_->setToolTip(ToQt(strings::Entry(strings::kTipWarnings)));
  errors_ = NewList(page, "lstERRR");
  errors_->setToolTip(ToQt(strings::Entry(strings::kTipErrors)));
  layout->addWidget(new QLabel(QStringLiteral("Owner:"), page));
  layout->addWidget(owner_);
  layout->addWidget(new QLabel(QStringLiteral("Warnings:"), page));
  layout->addWidget(warnings_);
  layout->addWidget(new QLabel(QStringLiteral("Errors:"), page));
  layout->addWidget(errors_);
  tabs_->addTab(page, QStringLiteral("Misc."));

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
  FillStarGroups();

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
  lods_->clear();
  const auto mesh = geometry_->Selected();
  if (!mesh) return;
  const std::size_t count = model_.Meshes[*mesh].Lods.size();
  for (std::size_t i = 0; i < count; ++i) lods_->addItem(Numbered(text::kLodEntry, i));
  if (count == 0) lods_->addItem(QString::fromLatin1(text::kNoLods));
}

void EditorForm::FillStarGroups() {
  const QSignalBlocker block(star_groups_);
  star_groups_->clear();
  const bool background = star_family_->currentIndex() == 1;
  const std::size_t count =
      background ? model_.BackgroundSegments.size() : model_.StarFields.size();
  const char* lead = background ? text::kBackgroundStarGroup : text::kStarFieldGroup;
  for (std::size_t i = 0; i < count; ++i) star_groups_->addItem(Numbered(lead, i));
}

void EditorForm::ShowTab(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kTabLists))) return;
  const char* name = kTabLists[index];
  if (name == nullptr) return;
  if (auto* list = findChild<QListWidget*>(QString::fromLatin1(name))) {
    list->setCurrentRow(-1);
    list->clearSelection();
  }
}

std::optional<std::size_t> EditorForm::Selected(const char* list_name) const {
  const auto* list = findChild<QListWidget*>(QString::fromLatin1(list_name));
  if (list == nullptr || list->currentRow() < 0 || list->selectedItems().isEmpty()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(list->currentRow());
}

}  // namespace gantry
