#include "gui/workspace_selection.h"

#include <QListWidget>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <array>

#include "gui/editor_form.h"
#include "gui/editor_tab.h"
#include "gui/hierarchy_tab.h"
#include "gui/widgets.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {
namespace {

// Each family's main list (or tree) in the form, and the slider that picks a part of it.
struct FamilyWidgets {
  OverlayFamily family;
  const char* list;
  const char* part = nullptr;
};
constexpr std::array<FamilyWidgets, 12> kFamilies = {{
    {OverlayFamily::Mesh, "lstGeometry", "lstGeomLODs"},
    {OverlayFamily::Joint, "tvwHIER"},
    {OverlayFamily::Marker, "lstMarkers"},
    {OverlayFamily::DockPath, "lstDOCK", "sldDOCKKeyF"},
    {OverlayFamily::NavLight, "lstNAVL"},
    {OverlayFamily::EngineShape, "lstETSH"},
    {OverlayFamily::EngineBurn, "lstBURN"},
    {OverlayFamily::EngineGlow, "lstGLOW"},
    {OverlayFamily::Collision, "lstCOLD"},
    {OverlayFamily::Boundary, nullptr, "sldBNDVVert"},
    {OverlayFamily::Scar, "lstBSRM"},
    {OverlayFamily::Light, "lstLITE"},
}};

const FamilyWidgets& Of(OverlayFamily family) {
  for (const FamilyWidgets& f : kFamilies) {
    if (f.family == family) return f;
  }
  return kFamilies[0];
}

QWidget* Named(EditorForm& form, const char* name) {
  return name != nullptr ? form.findChild<QWidget*>(QString::fromLatin1(name)) : nullptr;
}

// Whether every tab page between the widget and the form is the one shown.
bool OnShownPage(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget());
    if (stack != nullptr && stack->currentWidget() != w) return false;
  }
  return true;
}

// Brings forward every tab page the widget lies on.
void ShowPagesOf(QWidget* widget) {
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    if (stack == nullptr) continue;
    if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) {
      tabs->setCurrentWidget(w);
    } else {
      stack->setCurrentWidget(w);
    }
  }
}

template <typename T>
T* Ancestor(QWidget* widget) {
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    if (auto* found = qobject_cast<T*>(w)) return found;
  }
  return nullptr;
}

std::size_t PartCount(const HodModel& model, OverlayFamily family, std::size_t element) {
  switch (family) {
    case OverlayFamily::Mesh:
      return element < model.Meshes.size() ? model.Meshes[element].Lods.size() : 0;
    case OverlayFamily::DockPath:
      return element < model.DockPathList.Paths.size()
                 ? model.DockPathList.Paths[element].Points.size()
                 : 0;
    case OverlayFamily::Boundary:
      return model.BoundaryVertices.Vertices.size();
    default:
      return 0;
  }
}

}  // namespace

std::optional<WorkspaceSelection> FormSelection(EditorForm& form) {
  const HodModel& model = form.workspace().model;
  for (const FamilyWidgets& f : kFamilies) {
    QWidget* list = Named(form, f.list);
    QWidget* part_widget = Named(form, f.part);
    QWidget* anchor = list != nullptr ? list : part_widget;
    if (anchor == nullptr || !OnShownPage(anchor)) continue;
    WorkspaceSelection selection{f.family, 0, std::nullopt};
    if (auto* tree = qobject_cast<QTreeWidget*>(list)) {
      const auto* tab = Ancestor<HierarchyTab>(tree);
      const auto joint = tab != nullptr ? tab->Selected() : std::nullopt;
      if (!joint) return std::nullopt;
      selection.element = *joint;
    } else if (auto* rows = qobject_cast<QListWidget*>(list)) {
      const auto row = SelectedRow(rows, static_cast<std::size_t>(rows->count()));
      if (!row) return std::nullopt;
      selection.element = *row;
    }
    const std::size_t parts = PartCount(model, f.family, selection.element);
    if (auto* slider = qobject_cast<QSlider*>(part_widget)) {
      // The boundary slider counts from 1 (0 is "none"); the dock point slider from 0.
      const int at = slider->value() - (f.family == OverlayFamily::Boundary ? 1 : 0);
      if (at >= 0 && static_cast<std::size_t>(at) < parts) selection.part = at;
      if (f.family == OverlayFamily::Boundary && parts == 0) return std::nullopt;
    } else if (auto* levels = qobject_cast<QListWidget*>(part_widget)) {
      const int at = levels->currentRow();
      selection.part = at >= 0 && static_cast<std::size_t>(at) < parts ? at : 0;
    }
    return selection;
  }
  return std::nullopt;
}

void SelectInForm(EditorForm& form, const WorkspaceSelection& selection) {
  const FamilyWidgets& f = Of(selection.family);
  QWidget* list = Named(form, f.list);
  QWidget* part_widget = Named(form, f.part);
  QWidget* anchor = list != nullptr ? list : part_widget;
  if (anchor == nullptr) return;
  ShowPagesOf(anchor);
  if (list != nullptr) {
    if (auto* tab = Ancestor<EditorTab>(list)) tab->Select(selection.element);
  }
  if (!selection.part) return;
  if (auto* slider = qobject_cast<QSlider*>(part_widget)) {
    slider->setValue(static_cast<int>(*selection.part) +
                     (selection.family == OverlayFamily::Boundary ? 1 : 0));
  } else if (auto* levels = qobject_cast<QListWidget*>(part_widget)) {
    if (static_cast<int>(*selection.part) < levels->count()) {
      levels->setCurrentRow(static_cast<int>(*selection.part));
    }
  }
}

void WatchFormSelection(EditorForm& form, QObject* context, const std::function<void()>& changed) {
  for (const FamilyWidgets& f : kFamilies) {
    for (QWidget* w : {Named(form, f.list), Named(form, f.part)}) {
      if (auto* list = qobject_cast<QListWidget*>(w)) {
        OnSelectionChange(list, context, changed);
        QObject::connect(list, &QListWidget::currentRowChanged, context, changed);
      } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        QObject::connect(tree, &QTreeWidget::itemSelectionChanged, context, changed);
        QObject::connect(tree, &QTreeWidget::currentItemChanged, context, changed);
      } else if (auto* slider = qobject_cast<QSlider*>(w)) {
        QObject::connect(slider, &QSlider::valueChanged, context, changed);
      }
    }
  }
  for (QTabWidget* tabs : form.findChildren<QTabWidget*>()) {
    QObject::connect(tabs, &QTabWidget::currentChanged, context, changed);
  }
}

}  // namespace gantry
