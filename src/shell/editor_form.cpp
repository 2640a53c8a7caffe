#include "shell/editor_form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "hod/model.h"
#include "hod/model_counts.h"
#include "hod/workspace.h"
#include "shell/boundary_tab.h"
#include "shell/hierarchy_tab.h"
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

template <typename Range, typename TextOf>
void Fill(QWidget* root, const char* list_name, const Range& range, TextOf text_of) {
  auto* list = root->findChild<QListWidget*>(QString::fromLatin1(list_name));
  if (list == nullptr) return;
  const QSignalBlocker block(list);
  list->clear();
  std::size_t index = 0;
  for (const auto& element : range) list->addItem(text_of(element, index++));
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
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(tabs_);

  AddListTab("Textures", "lstTextures")->setToolTip(ToQt(strings::Entry(400)));
  QWidget* materials = AddListTab("Materials", "lstMaterials");
  materials->setToolTip(ToQt(strings::Entry(401)));
  materials->layout()->addWidget(NewList(materials, "lstSTATParams"));
  BuildGeometryTab();
  AddTab(new HierarchyTab(*this), "Hierarchy");
  AddListTab("BSRM", "lstBSRM")->setToolTip(ToQt(strings::Entry(405)));
  AddListTab("CM", "lstCOLD")->setToolTip(ToQt(strings::Entry(406)));
  AddTab(new NavlightsTab(*this), "Navlights");
  AddListTab("Markers", "lstMarkers")->setToolTip(ToQt(strings::Entry(408)));
  BuildEnginesTab();
  AddListTab("Dockpaths", "lstDOCK")->setToolTip(ToQt(strings::Entry(412)));
  AddTab(new BoundaryTab(*this), "BNDV");
  AddListTab("BGMS", "lstBGMS")->setToolTip(ToQt(strings::Entry(414)));
  BuildLightsTab();
  BuildStarFieldsTab();
  AddListTab("SIMP\\WIRE", "lstSIMP")->setToolTip(ToQt(strings::Entry(417)));
  BuildMiscTab();

  connect(tabs_, &QTabWidget::currentChanged, this, &EditorForm::ClearSelectionOfTab);
  connect(geometry_, &QListWidget::currentRowChanged, this, [this] { FillLods(); });
  connect(star_family_, &QComboBox::currentIndexChanged, this, [this] { FillStarGroups(); });
  Refresh();
}

void EditorForm::AddTab(EditorTab* tab, const char* caption) {
  tabs_->addTab(tab, QString::fromLatin1(caption));
  tabs_with_fields_ << tab;
}

FieldContext EditorForm::field_context() {
  return {[this] { return validation_; }, [this]() -> Ui& { return ui_(); }};
}

QWidget* EditorForm::AddListTab(const char* caption, const char* list_name) {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(NewList(page, list_name));
  tabs_->addTab(page, QString::fromLatin1(caption));
  return page;
}

void EditorForm::BuildGeometryTab() {
  QWidget* page = AddListTab("Geometry", "lstGeometry");
  page->setToolTip(ToQt(strings::Entry(402)));
  geometry_ = page->findChild<QListWidget*>(QStringLiteral("lstGeometry"));
  lods_ = NewList(page, "lstGeomLODs");
  lods_->setToolTip(ToQt(strings::Entry(403)));
  page->layout()->addWidget(lods_);
}

void EditorForm::BuildEnginesTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* parts = new QTabWidget(page);
  parts->setObjectName(QStringLiteral("sstEngines"));
  const std::pair<const char*, const char*> kParts[] = {
      {"ETSH", "lstETSH"}, {"BURN", "lstBURN"}, {"GLOW", "lstGLOW"}};
  int tip = 409;
  for (const auto& [caption, name] : kParts) {
    auto* sub = new QWidget(parts);
    auto* sub_layout = new QVBoxLayout(sub);
    QListWidget* list = NewList(sub, name);
    list->setToolTip(ToQt(strings::Entry(tip++)));
    sub_layout->addWidget(list);
    parts->addTab(sub, QString::fromLatin1(caption));
  }
  layout->addWidget(parts);
  tabs_->addTab(page, QStringLiteral("Engines"));
}

void EditorForm::BuildLightsTab() {
  QWidget* page = AddListTab("Lights", "lstLITE");
  page->setToolTip(ToQt(strings::Entry(415)));
  auto* type = new QComboBox(page);
  type->setObjectName(QStringLiteral("cboLITEType"));
  type->addItems({QStringLiteral("Ambient Light"), QStringLiteral("Directional Light"),
                  QStringLiteral("Point Light")});
  page->layout()->addWidget(type);
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
  const auto name = [](const auto& element, std::size_t) { return ToQt(element.Name); };
  Fill(this, "lstTextures", model_.Textures,
       [](const Texture& texture, std::size_t) { return ToQt(texture.FileName); });
  Fill(this, "lstMaterials", model_.Materials, name);
  Fill(this, "lstGeometry", model_.Meshes, name);
  Fill(this, "lstBSRM", model_.ScarMeshes,
       [](const ScarMesh&, std::size_t i) { return Numbered("BSRM Mesh ", i); });
  Fill(this, "lstCOLD", model_.CollisionMeshes, [](const CollisionMesh& mesh, std::size_t) {
    return ToQt(mesh.ParentName) + QString::fromLatin1(text::kCollisionSuffix);
  });
  Fill(this, "lstMarkers", model_.Markers, name);
  Fill(this, "lstETSH", model_.EngineShapes, name);
  Fill(this, "lstBURN", model_.EngineBurns, name);
  Fill(this, "lstGLOW", model_.EngineGlows, name);
  Fill(this, "lstDOCK", model_.DockPathList.Paths, name);
  Fill(this, "lstBGMS", model_.BackgroundMeshSet.Meshes,
       [](const LodMesh&, std::size_t i) { return Numbered(text::kBackgroundPart, i); });
  Fill(this, "lstLITE", model_.LightList.Lights, name);
  const bool simple = model_.HodName.TypeName == kSimpleMeshTypeName;
  Fill(this, "lstSIMP", model_.SimpleMeshes, [simple](const SimpleMesh&, std::size_t) {
    return QString::fromLatin1(simple ? text::kSimpleMeshEntry : text::kWireMeshEntry);
  });
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
  for (EditorTab* tab : tabs_with_fields_) tab->Refresh();
  validation_ = was_on;
}

void EditorForm::FillLods() {
  const QSignalBlocker block(lods_);
  lods_->clear();
  const int row = geometry_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= model_.Meshes.size()) return;
  const MultiMesh& mesh = model_.Meshes[static_cast<std::size_t>(row)];
  for (std::size_t i = 0; i < mesh.Lods.size(); ++i) {
    lods_->addItem(Numbered(text::kLodEntry, i));
  }
  if (mesh.Lods.empty()) lods_->addItem(QString::fromLatin1(text::kNoLods));
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

void EditorForm::ClearSelectionOfTab(int index) {
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
