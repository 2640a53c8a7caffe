#include "commands/create.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "commands/element_messages.h"
#include "commands/geometry_commands.h"
#include "commands/names.h"
#include "common/number_parse.h"
#include "common/number_text.h"

namespace gantry {

namespace {

using namespace element_messages;

constexpr std::int32_t kMeshVersion = 1400;
constexpr std::int32_t kGlowVersion = 1000;
constexpr std::int32_t kScarPartVersion = 1000;
constexpr std::int32_t kMarkerVersion = 1;
constexpr std::int32_t kPointLight = 2;

template <typename Record>
void SetHeader(Record& record, Tag kind, Tag id = Tag()) {
  record.Kind = kind;
  record.Length = 0;
  record.ID = id;
}

void SetText(std::int32_t& length, std::string& text, std::string value) {
  text = std::move(value);
  length = static_cast<std::int32_t>(text.size());
}

// The stem followed by the number the new element will have (the list's size after the add).
template <typename List>
std::string NumberedName(const char* stem, const List& list) {
  return stem + std::to_string(list.size() + 1);
}

template <typename List>
CommandResult Appended(List& list, typename List::value_type element) {
  list.push_back(std::move(element));
  return CommandResult::Changed(list.size() - 1);
}

LodMesh NewLodMesh(Tag id, std::int32_t lod_level) {
  LodMesh lod;
  SetHeader(lod, "NRML", id);
  lod.Version = kMeshVersion;
  lod.LodLevel = lod_level;
  return lod;
}

// Adding 0 turns the -0 of a small negative number into 0.
double WholePart(double value) { return std::trunc(value) + 0.0; }

ScarPartHeader ScarPart(Tag tag) {
  ScarPartHeader header;
  header.Kind = "NRML";
  header.PartTag = tag;
  header.Version = kScarPartVersion;
  return header;
}

}  // namespace

std::optional<std::size_t> SelectionIn(std::optional<std::size_t> selected, std::size_t size) {
  if (selected && *selected < size) return selected;
  return std::nullopt;
}

CommandResult AddTexture(HodModel& model) {
  Texture texture;
  SetHeader(texture, "LMIP");
  // The name's length is left to the writer, as for textures read from files.
  texture.FileName = NumberedName(kNewTexture, model.Textures);
  texture.Format = "    ";
  return Appended(model.Textures, std::move(texture));
}

ScarMesh NewScarMesh(const MultiMesh& mesh) {
  ScarMesh scar;
  SetHeader(scar, "FORM", "BSRM");
  scar.DescriptionHeader = ScarPart("DESC");
  SetText(scar.Description.NameLength, scar.Description.Name, mesh.Name);
  SetText(scar.Description.ParentLength, scar.Description.ParentName, mesh.ParentName);
  scar.Description.LodLevel = 1;
  scar.BoxHeader = ScarPart("BBOX");
  scar.SphereHeader = ScarPart("BSPH");
  scar.TrianglesHeader = ScarPart("TRIS");
  scar.NormalsHeader = ScarPart("VNRM");
  scar.GridHeader = ScarPart("SSUB");
  return scar;
}

CommandResult AddMesh(HodModel& model) {
  MultiMesh mesh;
  SetHeader(mesh, "NRML", "MULT");
  mesh.Version = kMeshVersion;
  SetText(mesh.NameLength, mesh.Name, NumberedName(kNewMesh, model.Meshes));
  SetText(mesh.ParentLength, mesh.ParentName, kRootJoint);
  const std::size_t position = std::min(model.Meshes.size(), model.ScarMeshes.size());
  model.ScarMeshes.insert(model.ScarMeshes.begin() + static_cast<std::ptrdiff_t>(position),
                          NewScarMesh(mesh));
  return Appended(model.Meshes, std::move(mesh));
}

CommandResult AddEngineShape(HodModel& model) {
  EngineShape shape;
  SetHeader(shape, "ETSH");
  SetText(shape.NameLength, shape.Name, NumberedName(kNewEngineShape, model.EngineShapes));
  SetText(shape.ParentLength, shape.ParentName, kRootJoint);
  return Appended(model.EngineShapes, std::move(shape));
}

CommandResult AddEngineBurn(HodModel& model) {
  EngineBurn burn;
  SetHeader(burn, "BURN");
  SetText(burn.NameLength, burn.Name, NumberedName(kNewEngineBurn, model.EngineBurns));
  SetText(burn.ParentLength, burn.ParentName, kRootJoint);
  return Appended(model.EngineBurns, std::move(burn));
}

CommandResult AddEngineGlow(HodModel& model) {
  EngineGlow glow;
  SetHeader(glow, "FORM", "GLOW");
  glow.InfoKind = "NRML";
  glow.InfoID = "INFO";
  glow.Version = kGlowVersion;
  SetText(glow.NameLength, glow.Name, NumberedName(kNewEngineGlow, model.EngineGlows));
  SetText(glow.ParentLength, glow.ParentName, kRootJoint);
  glow.Mesh = NewLodMesh("BMSH", 0);
  return Appended(model.EngineGlows, std::move(glow));
}

CommandResult AddCollisionMesh(HodModel& model) {
  CollisionMesh mesh;
  SetHeader(mesh, "FORM", "COLD");
  SetText(mesh.ParentLength, mesh.ParentName,
          NumberedName(kNewCollisionMesh, model.CollisionMeshes));
  mesh.BoxHeader.Kind = "BBOX";
  mesh.SphereHeader.Kind = "BSPH";
  mesh.TrianglesHeader.Kind = "TRIS";
  return Appended(model.CollisionMeshes, std::move(mesh));
}

CommandResult AddDockPath(HodModel& model) {
  DockPathListRecord& list = model.DockPathList;
  DockPath path;
  SetText(path.NameLength, path.Name, NumberedName(kNewDockPath, list.Paths));
  SetText(path.ParentLength, path.ParentName, kDockParent);
  path.PathFormat = kNewestDockPathFormat;
  path.PointFormat = kNewestDockPointFormat;
  // Every value of a new point is 0, the speed and tolerance defaults of old formats included.
  DockPoint point;
  point.PointTolerance = 0;
  point.MaxSpeed = 0;
  path.Points.assign(2, point);
  path.PointCount = 2;
  CommandResult result = Appended(list.Paths, std::move(path));
  list.PathCount = static_cast<std::int32_t>(list.Paths.size());
  return result;
}

CommandResult AddMarker(HodModel& model) {
  Marker marker;
  SetHeader(marker, "FORM", "MRKR");
  marker.HeadKind = "NRML";
  marker.HeadID = "HEAD";
  marker.Version = kMarkerVersion;
  SetText(marker.NameLength, marker.Name, NumberedName(kNewMarker, model.Markers));
  // A model without joints leaves the parent empty; the validator asks for a joint anyway.
  const auto& joints = model.JointList.Joints;
  SetText(marker.ParentLength, marker.ParentName, joints.empty() ? "" : joints.front().Name);
  marker.KeyfKind = "FORM";
  marker.KeyfID = "KEYF";
  return Appended(model.Markers, std::move(marker));
}

CommandResult AddSimpleMesh(HodModel& model) {
  SimpleMesh mesh;
  SetHeader(mesh, "SIMP");
  if (model.HodName.TypeName != kWireframeMeshTypeName) {
    SetText(mesh.NameLength, mesh.Name, NumberedName(kNewSimpleMesh, model.SimpleMeshes));
  }
  return Appended(model.SimpleMeshes, std::move(mesh));
}

CommandResult AddBackgroundMesh(HodModel& model) {
  return Appended(model.BackgroundMeshSet.Meshes, NewLodMesh("BMSH", 0));
}

CommandResult AddNavLight(HodModel& model) {
  NavLightListRecord& list = model.NavLightList;
  NavLight light;
  SetText(light.NameLength, light.Name, NumberedName(kNewNavLight, list.NavLights));
  SetText(light.StyleLength, light.Style, kNavLightStyle);
  CommandResult result = Appended(list.NavLights, std::move(light));
  list.NavLightCount = static_cast<std::int32_t>(list.NavLights.size());
  return result;
}

CommandResult AddLight(HodModel& model) {
  LightListRecord& list = model.LightList;
  const auto taken = [&list](const std::string& name) {
    return std::any_of(list.Lights.begin(), list.Lights.end(),
                       [&name](const Light& light) { return light.Name == name; });
  };
  // Raised quietly: nobody typed this name, so there is no clash to tell about.
  std::string name = NumberedName(kNewLight, list.Lights);
  while (taken(name)) name = RaiseNameEnding(name);

  Light light;
  SetText(light.NameLength, light.Name, std::move(name));
  light.Type = kPointLight;
  light.Colour = {1, 1, 1};
  light.Specular = {1, 1, 1};
  CommandResult result = Appended(list.Lights, std::move(light));
  list.LightCount = static_cast<std::int32_t>(list.Lights.size());
  return result;
}

CommandResult AddLod(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const std::optional<std::size_t> index = SelectionIn(selected, model.Meshes.size());
  if (!index) {
    ui.Message(kSelectMeshForLod, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  MultiMesh& mesh = model.Meshes[*index];
  if (IsGoblin(mesh)) {
    ui.Message(kNoLodsOnGoblin, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const auto level = static_cast<std::int32_t>(mesh.Lods.size());
  CommandResult result = Appended(mesh.Lods, NewLodMesh("BMSH", level));
  mesh.LodCount = level + 1;
  return result;
}

BoundaryCountResult SetBoundaryVertexCount(HodModel& model, std::string_view text, Ui& ui) {
  const auto refuse = [&ui](const char* message, double corrected) {
    ui.Message(message, Icon::Exclamation);
    return BoundaryCountResult{NumberText(corrected), false};
  };
  const double value = LeadingNumber(text);
  if (!IsNumberText(text)) return refuse(kEnterNumber, WholePart(value));
  if (value < 2) return refuse(kTwoBoundaryVertices, 2);
  if (value != std::trunc(value)) return refuse(kWholeNumbersOnly, WholePart(value));
  if (value > kMaxBoundaryVertices) return refuse(kEnterNumber, kMaxBoundaryVertices);

  BoundaryVertexRecord& boundary = model.BoundaryVertices;
  const auto count = static_cast<std::int32_t>(value);
  const bool changed =
      boundary.VertexCount != count || boundary.Vertices.size() != static_cast<std::size_t>(count);
  boundary.Vertices.resize(static_cast<std::size_t>(count));
  boundary.VertexCount = count;
  return {std::nullopt, changed};
}

}  // namespace gantry
