// The descriptions of the editor's list tabs, one per family of elements.
#pragma once

#include "gui/list_tab.h"

namespace gantry {

TabDescription TexturesTab();
TabDescription MaterialsTabDescription();
TabDescription GeometryTab();
TabDescription ScarMeshesTab();
TabDescription CollisionMeshesTab();
TabDescription MarkersTabDescription();
TabDescription EngineShapesTab();
TabDescription EngineBurnsTab();
TabDescription EngineGlowsTab();
TabDescription DockPathsTabDescription();
TabDescription BackgroundMeshesTab();
TabDescription LightsTab();
TabDescription SimpleMeshesTab();

}  // namespace gantry
