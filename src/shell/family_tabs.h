// The descriptions of the editor's list tabs, one per family of elements.
#pragma once

#include "shell/list_tab.h"

namespace gantry {

ListTabSpec TexturesTab();
ListTabSpec MaterialsTabSpec();
ListTabSpec GeometryTab();
ListTabSpec ScarMeshesTab();
ListTabSpec CollisionMeshesTab();
ListTabSpec MarkersTabSpec();
ListTabSpec EngineShapesTab();
ListTabSpec EngineBurnsTab();
ListTabSpec EngineGlowsTab();
ListTabSpec DockPathsTabSpec();
ListTabSpec BackgroundMeshesTab();
ListTabSpec LightsTab();
ListTabSpec SimpleMeshesTab();

}  // namespace gantry
