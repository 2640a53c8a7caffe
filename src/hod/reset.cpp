#include "hod/reset.h"

namespace gantry {

void InitialiseLists(HodModel& model) {
  model.LightList.Lights.clear();
  model.JointList.Joints.clear();
  model.NavLightList.NavLights.clear();
  model.DockPathList.Paths.clear();
  model.BoundaryVertices.Vertices.clear();
  model.BackgroundMeshSet.Meshes.clear();
  model.Materials.clear();
  model.Textures.clear();
  model.Meshes.clear();
  model.SimpleMeshes.clear();
  model.VaryMeshes.clear();
  model.EngineShapes.clear();
  model.EngineBurns.clear();
  model.EngineGlows.clear();
  model.Markers.clear();
  model.CollisionMeshes.clear();
  model.ScarMeshes.clear();
  model.Warnings.clear();
  model.Errors.clear();
  model.BackgroundSegments.clear();
  model.StarFields.clear();
}

namespace {

ChunkHeader Header(Tag kind, std::int32_t length, Tag id = Tag()) {
  ChunkHeader header;
  header.Kind = kind;
  header.Length = length;
  header.ID = id;
  return header;
}

template <typename Record>
void SetHeader(Record& record, Tag kind, std::int32_t length, Tag id = Tag()) {
  static_cast<ChunkHeader&>(record) = Header(kind, length, id);
}

}  // namespace

void ResetModel(HodModel& model) {
  model = HodModel{};

  SetHeader(model.HodVersion, "FORM", 0, "VERS");
  model.HodVersion.Version = kModelHodVersion;
  SetHeader(model.HodName, "FORM", 0, "NAME");
  model.HodName.TypeName = kMultiMeshTypeName;
  SetHeader(model.HvmdHeader, "FORM", 0, "HVMD");
  SetHeader(model.DtrmHeader, "FORM", 0, "DTRM");
  SetHeader(model.InfoHeader, "FORM", 0, "INFO");

  SetHeader(model.LightList, "LITE", 0);

  SetHeader(model.JointList, "HIER", 0);
  model.JointList.JointCount = 1;
  Joint root;
  root.Name = "Root";
  root.NameLength = 4;
  root.Scale = {1, 1, 1};
  model.JointList.Joints.push_back(root);

  SetHeader(model.NavLightList, "NRML", 0, "NAVL");
  model.NavLightList.Version = 3;

  SetHeader(model.DockPathList, "DOCK", 0);

  SetHeader(model.BoundaryVertices, "BNDV", 0);
  model.BoundaryVertices.Name = "Whole";
  model.BoundaryVertices.NameLength = 5;
  model.BoundaryVertices.ParentName = "Root";
  model.BoundaryVertices.ParentLength = 4;
  model.BoundaryVertices.VertexCount = 8;
  model.BoundaryVertices.Vertices.assign(8, Vector3{});
  model.BoundaryVertices.Vertices[0] = {-1, -1, -1};
  model.BoundaryVertices.Vertices[6] = {1, 1, 1};

  SetHeader(model.HodOwner, "OWNR", 0);

  SetHeader(model.BackgroundLight, "NRML", 8, "BGLT");
  SetHeader(model.BackgroundMeshSet, "FORM", 0, "BGMS");
}

HodModel MakeDefaultModel() {
  HodModel model;
  ResetModel(model);
  return model;
}

}  // namespace gantry
