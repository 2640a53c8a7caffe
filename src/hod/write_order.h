// Which chunks the writer emits for a model: they depend on the HOD type and on a few counts.
// The writer's chunk order (VisitChunks, hod_writer.cpp) and the checks of what a file can hold
// follow the same rules.
#pragma once

#include "hod/model.h"

namespace gantry {

inline bool IsBackground(const HodModel& m) { return m.HodVersion.Version != kModelHodVersion; }
// Simple, wireframe and background HODs end after their segments and star fields (and, when
// there is something for it, the INFO form).
inline bool EndsAfterStars(const HodModel& m) {
  return m.HodName.TypeName == kSimpleMeshTypeName ||
         m.HodName.TypeName == kWireframeMeshTypeName || IsBackground(m);
}
inline bool WritesLights(const HodModel& m) { return m.LightList.LightCount > 0; }
inline bool WritesJoints(const HodModel& m) {
  return m.LightList.LightCount == 0 && m.JointList.JointCount > 0;
}
inline bool WritesBoundary(const HodModel& m) { return m.LightList.LightCount == 0; }
inline bool WritesNavLights(const HodModel& m) { return m.NavLightList.NavLightCount > 0; }
inline bool WritesDock(const HodModel& m) { return m.DockPathList.PathCount > 0; }

// Files that end after their star fields still carry the INFO form when the model has a warning,
// an error or an owner: real files of these kinds name their owner, and a save must keep it.
inline bool WritesInfo(const HodModel& m) {
  if (!EndsAfterStars(m)) return true;
  if (!m.Warnings.empty() || !m.Errors.empty()) return true;
  return m.HodOwner.Owner.find_first_not_of('\0') != std::string::npos;
}

}  // namespace gantry
