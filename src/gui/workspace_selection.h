// The editor form's selection as the workspace sees it, and back: which element of which family
// the shown tab has selected (its list row, tree node, point or vertex slider), and selecting an
// element picked in the view (its tab brought forward, its row, node or point chosen).
#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "view/workspace_overlay.h"

namespace gantry {

class EditorForm;

// The selection of the tab shown in the form; nullopt when it has none the view can draw.
std::optional<WorkspaceSelection> FormSelection(EditorForm& form);
// Shows `selection` in the form.
void SelectInForm(EditorForm& form, const WorkspaceSelection& selection);
// Runs `changed` whenever FormSelection may give something else (a row, node, slider or tab).
void WatchFormSelection(EditorForm& form, QObject* context, const std::function<void()>& changed);

}  // namespace gantry
