#include "hod/model.h"

namespace gantry {

HodType TypeOf(const HodModel& model) {
  if (model.HodVersion.Version != kModelHodVersion) return HodType::Background;
  if (model.HodName.TypeName == kSimpleMeshTypeName) return HodType::SimpleMesh;
  if (model.HodName.TypeName == kWireframeMeshTypeName) return HodType::WireframeMesh;
  return HodType::MultiMesh;
}

const char* TypeKeyword(HodType type) {
  switch (type) {
    case HodType::MultiMesh:
      return "multi-mesh";
    case HodType::SimpleMesh:
      return "simple-mesh";
    case HodType::WireframeMesh:
      return "wireframe-mesh";
    case HodType::Background:
      return "background";
  }
  return "multi-mesh";
}

}  // namespace gantry
