#include "script/script_commands.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>
#include <vector>

#include "commands/background_meshes.h"
#include "commands/bounding_volumes.h"
#include "commands/create.h"
#include "commands/geometry_commands.h"
#include "commands/materials.h"
#include "commands/mesh_conversion.h"
#include "commands/replace_commands.h"
#include "commands/texture_import.h"
#include "commands/transforms.h"
#include "common/paths.h"
#include "geometry/rotations.h"
#include "hod/reader_limits.h"
#include "interchange/dds.h"
#include "interchange/obj_import.h"
#include "interchange/text_rewrite.h"
#include "interchange/tga.h"
#include "script/import_messages.h"

namespace gantry {

namespace {

namespace text = import_messages;
using enum ScriptCommand;

// Kept in the order of ScriptCommand, which is the matching order.
constexpr ScriptCommandInfo kCommands[] = {
    {kImportScale, "HOD__ImportScale", 3},
    {kCompleteScale, "HOD__CompleteScale", 3},
    {kTextureAdd, "LMIP_Add", 1},
    {kMaterialAdd, "STAT_Add", 3},
    {kMaterialSetParameter, "STAT_SetParamter", 9},
    {kMeshAdd, "MULT_Add", 4},
    {kMeshSetLod, "MULT_SetLoD", 3},
    {kJointAdd, "HIER_Add", 17},
    {kCollisionMeshAdd, "COLD_Add", 2},
    {kEngineShapeAdd, "ETSH_Add", 3},
    {kEngineBurnAdd, "BURN_Add", 3},
    {kEngineGlowAdd, "GLOW_Add", 4},
    {kNavLightAdd, "NAVL_Add", 13},
    {kMarkerAdd, "MRKR_Add", 11},
    {kTrackSet, "ANIM_Set", 6},
    {kKeyframeSet, "KEYF_Set", 9},
    {kDockPathAdd, "DOCK_Add", 8},
    {kDockPointSet, "DOCK_SetKeyframe", 18},
    {kBoundaryAutoCalc, "BNDV_AutoCalc", 1},
    {kBoundaryCount, "BNDV_SetNumVertices", 1},
    {kBoundaryVertexSet, "BNDV_SetVertex", 4},
    {kBackgroundMeshAdd, "BGMS_Add", 2},
    {kLightAdd, "LITE_Add", 13},
    {kSimpleMeshAdd, "SIMP_Add", 2},
};

// Where the file format's counts end.
constexpr auto kMaxListSize = static_cast<std::int32_t>(kMaxShortCount);
constexpr std::int32_t kMaxLightType = 5;
constexpr std::int32_t kGlowMask = kMaskPosition | kMaskNormal | kMaskUV;
constexpr std::int32_t kMaterialVersion = 1001;
constexpr std::int32_t kTrackVersion = 1;
constexpr std::int32_t kEmptyKeyfLength = 4;  // a KEYF form with no tracks

// Option sets of the OBJ import, in ObjImportOptions' order.
constexpr ObjImportOptions kLodOptions{true, true, true, false, true, false, false, true};
constexpr ObjImportOptions kMergedOptions{false, false, true, false, true, false, false, true};
constexpr ObjImportOptions kUnmergedOptions{false, false, false, false, true, false, false, true};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

void SetText(std::int32_t& length, std::string& field, std::string value) {
  field = std::move(value);
  length = static_cast<std::int32_t>(field.size());
}

// The entries a count field says a list has, never more than it holds.
std::size_t Named(std::int32_t count, std::size_t held) {
  return std::min(static_cast<std::size_t>(std::max(count, 0)), held);
}

Vector3 Scaled(const Vector3& v, const Vector3& s) { return {v.x * s.x, v.y * s.y, v.z * s.z}; }

void ScalePositions(LodMesh& mesh, const Vector3& s) {
  for (MeshPart& part : mesh.Parts) {
    for (MeshVertex& v : part.Vertices) {
      v.Position.x *= s.x;
      v.Position.y *= s.y;
      v.Position.z *= s.z;
    }
  }
}

void ScalePoints(std::vector<Vector3>& points, const Vector3& s) {
  for (Vector3& p : points) p = Scaled(p, s);
}

float Radians(double degrees) { return static_cast<float>(DegreesToRadians(degrees)); }

void RaiseFlag(std::uint8_t& field, bool flag) {
  if (flag) field = 1;
}
void RaiseFlag(std::int32_t& field, bool flag) {
  if (flag) field = 1;
}

// One handler run: the line's arguments and what the handler works on.
class Call {
 public:
  Call(ScriptCommand command, std::string_view line, HodModel& model, ScriptImportContext& context,
       Ui& ui)
      : model(model), context(context), ui(ui), name_(ScriptCommandInfoOf(command).name) {
    std::string_view args = ScriptArgumentText(line);
    std::string stripped;
    // These three never had quoted commas: their whole text loses its quotes first.
    if (command == kTextureAdd || command == kMeshAdd || command == kMeshSetLod) {
      stripped = ScriptText(args);
      args = stripped;
    }
    args_ = SplitScriptArguments(args);
    args_.resize(std::max(args_.size(), ScriptCommandInfoOf(command).arguments));
  }

  std::string Text(std::size_t n) const { return ScriptText(args_[n]); }
  // A list size asked for, never below 0; one past what a HOD holds is cut there and the line
  // reported as refused, so a build does not write a model other than the one asked for.
  std::size_t ListSize(std::int32_t count, std::int32_t most = kMaxListSize) {
    if (count > most) {
      outcome.refusal = fmt::format("{}{}{}{}{}{}", name_, text::kListCutAsks, count,
                                    text::kListCutHolds, most, text::kListCutTail);
    }
    return static_cast<std::size_t>(std::clamp(count, 0, most));
  }
  double Number(std::size_t n) const { return ScriptNumber(args_[n]); }
  float Single(std::size_t n) const { return ScriptSingle(Number(n)); }
  bool Flag(std::size_t n) const { return ScriptFlag(args_[n]); }
  std::int32_t Rounded(std::size_t n) const { return RoundedWhole(Number(n)); }
  std::int32_t Truncated(std::size_t n) const { return TruncatedWhole(Number(n)); }
  std::string File(std::size_t n) const { return context.ScriptFolder + Text(n); }
  Vector3 Vector(std::size_t n) const { return {Single(n), Single(n + 1), Single(n + 2)}; }
  Vector3 ScaledVector(std::size_t n) const { return Scaled(Vector(n), context.ImportScale); }
  Vector3 Angles(std::size_t n) const {
    return {Radians(Number(n)), Radians(Number(n + 1)), Radians(Number(n + 2))};
  }

  // The 0-based entry a 1-based index names among `count`, compared as read.
  static std::optional<std::size_t> Entry(double index, std::size_t count, bool rounded) {
    if (!(index >= 1) || index > static_cast<double>(count)) return std::nullopt;
    return static_cast<std::size_t>(rounded ? RoundedWhole(index) : TruncatedWhole(index)) - 1;
  }
  std::optional<std::size_t> Index(std::size_t n, std::size_t count, bool rounded) const {
    return Entry(Number(n), count, rounded);
  }

  std::optional<LodMesh> LoadObj(const std::string& path, const ObjImportOptions& options,
                                 std::int32_t lod_level = 0) {
    ObjImportContext obj;
    obj.batch = context.batch;
    obj.lod_level = lod_level;
    if (options.SubstituteMaterials) {
      obj.material_names.reserve(model.Materials.size());
      for (const Material& m : model.Materials) obj.material_names.push_back(m.Name);
    }
    std::optional<LodMesh> mesh;
    if (!context.batch) {
      mesh = ImportOBJMesh(path, options, obj, ui);
    } else if (const std::optional<std::string> file = ReadFile(path)) {
      mesh = ImportOBJMeshText(*file, options, obj, ui);
    }
    if (!mesh) outcome.failed_file = path;
    return mesh;
  }

  bool LoadPoints(const std::string& path, EngineBurn& burn) {
    bool loaded = false;
    if (!context.batch) {
      loaded = ReadOBJPoints(path, burn, ui);
    } else if (const std::optional<std::string> file = ReadFile(path)) {
      loaded = ReadOBJPointsText(*file, burn, ui);
    }
    if (!loaded) outcome.failed_file = path;
    return loaded;
  }

  HodModel& model;
  ScriptImportContext& context;
  Ui& ui;
  ScriptCommandOutcome outcome;

 private:
  // A batch import reads files as they are: the rewrite would change the user's files.
  std::optional<std::string> ReadFile(const std::string& path) {
    std::string error;
    std::optional<std::string> file = ReadTextFile(path, &error);
    if (!file) {
      ui.Message(
          std::string(text::kCannotReadLead) + NativePath(path) + text::kCannotReadTail + error,
          Icon::Exclamation);
    }
    return file;
  }

  std::vector<std::string> args_;
  std::string_view name_;
};

void ImportScale(Call& c) { c.context.ImportScale = c.Vector(0); }

void CompleteScale(Call& c) {
  const Vector3 f = c.Vector(0);
  RescaleHOD(c.model, f.x, f.y, f.z);
  c.outcome.changed = true;
}

void TextureAdd(Call& c) {
  AddTexture(c.model);
  c.outcome.changed = true;
  const std::string path = c.context.ScriptFolder + c.Text(0);
  std::optional<Texture> texture = LoadTextureFile(path, c.ui);
  if (!texture) {
    c.outcome.failed_file = path;
    return;
  }
  c.model.Textures.back() = std::move(*texture);
}

void MaterialAdd(Call& c) {
  AddMaterial(c.model);
  c.outcome.changed = true;
  Material& m = c.model.Materials.back();
  m.Kind = "NRML";
  m.ID = "STAT";
  m.Version = kMaterialVersion;
  SetText(m.NameLength, m.Name, c.Text(0));
  SetText(m.ShaderLength, m.ShaderName, c.Text(1));
  const std::size_t count =
      c.ListSize(c.Rounded(2), static_cast<std::int32_t>(kMaxMaterialParameters));
  m.ParameterCount = static_cast<std::int32_t>(count);
  if (count > 0) m.Parameters.assign(count, MaterialParameter{});
}

void MaterialSetParameter(Call& c) {
  const auto material = c.Index(0, c.model.Materials.size(), true);
  if (!material) return;
  Material& m = c.model.Materials[*material];
  const auto parameter = c.Index(1, Named(m.ParameterCount, m.Parameters.size()), true);
  if (!parameter) return;
  MaterialParameter& p = m.Parameters[*parameter];
  const bool colour = c.Number(2) == kParameterColour;
  p.Type = colour ? kParameterColour : kParameterTexture;
  p.DataSize = colour ? 16 : 4;
  p.Colour = {c.Single(3), c.Single(4), c.Single(5), c.Single(6)};
  // The script counts textures from 1 and writes 0 for none.
  p.TextureIndex =
      static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{c.Rounded(7)} - 1, -1));
  SetText(p.LayerNameLength, p.LayerName, c.Text(8));
  c.outcome.changed = true;
}

void MeshAdd(Call& c) {
  const std::size_t index = *AddMesh(c.model).select;
  c.outcome.changed = true;
  c.outcome.selected_mesh = index;
  MultiMesh& mesh = c.model.Meshes.back();
  const std::string name = c.Text(0);
  const std::string parent = c.Text(1);
  SetText(mesh.NameLength, mesh.Name, name);
  SetText(mesh.ParentLength, mesh.ParentName, parent);
  const std::size_t lods = c.ListSize(c.Rounded(3));
  mesh.LodCount = static_cast<std::int32_t>(lods);
  mesh.Lods.assign(lods, LodMesh{});
  if (c.Flag(2)) SetGoblin(c.model, index, true, c.ui);
  ScarDescription& description = c.model.ScarMeshes.back().Description;
  SetText(description.NameLength, description.Name, name);
  SetText(description.ParentLength, description.ParentName, parent);
}

void MeshSetLod(Call& c) {
  const auto index = c.Index(0, c.model.Meshes.size(), true);
  if (!index) return;
  MultiMesh& mesh = c.model.Meshes[*index];
  const double level = c.Number(1);
  if (!Call::Entry(level + 1, Named(mesh.LodCount, mesh.Lods.size()), true)) return;
  const std::int32_t lod_level = RoundedWhole(level);
  std::optional<LodMesh> lod = c.LoadObj(c.File(2), kLodOptions, lod_level);
  if (!lod) return;
  lod->LodLevel = lod_level;
  ScalePositions(*lod, c.context.ImportScale);
  // The scar mesh is built first, so a mesh too large for it leaves the model as it was.
  const std::optional<std::size_t> scar_index = ScarMeshOf(c.model, *index);
  if ((IsGoblin(mesh) || lod_level == 0) && scar_index) {
    ScarMesh& scar = c.model.ScarMeshes[*scar_index];
    if (auto refusal = ScarMeshFromLod(*lod, scar)) {
      c.outcome.refusal = std::move(refusal);
      return;
    }
    BuildScarGrid(scar);
  }
  // The entry follows the rounded level, so halves agree with LodLevel.
  mesh.Lods[static_cast<std::size_t>(lod_level)] = std::move(*lod);
  c.outcome.changed = true;
}

void JointAdd(Call& c) {
  JointListRecord& list = c.model.JointList;
  const std::string name = c.Text(0);
  if (!SameIgnoringCase(name, text::kRootName) || list.Joints.empty()) {
    list.Joints.emplace_back();
    list.JointCount = static_cast<std::int32_t>(list.Joints.size());
  }
  Joint& joint = list.Joints.back();
  SetText(joint.NameLength, joint.Name, name);
  SetText(joint.ParentLength, joint.ParentName, c.Text(1));
  joint.Position = c.ScaledVector(2);
  joint.Rotation = c.Angles(5);
  joint.Scale = c.Vector(8);
  joint.Axis = c.Angles(11);
  for (std::size_t i = 0; i < joint.Freedom.size(); ++i)
    RaiseFlag(joint.Freedom[i], c.Flag(14 + i));
  c.outcome.changed = true;
}

void CollisionMeshAdd(Call& c) {
  const std::size_t index = *AddCollisionMesh(c.model).select;
  c.outcome.changed = true;
  c.outcome.selected_collision_mesh = index;
  CollisionMesh& collision = c.model.CollisionMeshes[index];
  SetText(collision.ParentLength, collision.ParentName, c.Text(0));
  const std::optional<LodMesh> mesh = c.LoadObj(c.File(1), kMergedOptions);
  if (!mesh) return;
  if (auto refusal = CollisionMeshFromMesh(*mesh, collision)) {
    c.model.CollisionMeshes.pop_back();
    c.outcome.changed = false;
    c.outcome.selected_collision_mesh.reset();
    c.outcome.refusal = std::move(refusal);
    return;
  }
  ScalePoints(collision.Triangles.Vertices, c.context.ImportScale);
}

void EngineShapeAdd(Call& c) {
  AddEngineShape(c.model);
  c.outcome.changed = true;
  EngineShape& shape = c.model.EngineShapes.back();
  SetText(shape.NameLength, shape.Name, c.Text(0));
  SetText(shape.ParentLength, shape.ParentName, c.Text(1));
  const std::optional<LodMesh> mesh = c.LoadObj(c.File(2), kMergedOptions);
  if (!mesh) return;
  if (auto refusal = PutEngineShapeOutlines(*mesh, shape)) {
    c.model.EngineShapes.pop_back();
    c.outcome.changed = false;
    c.outcome.refusal = std::move(refusal);
    return;
  }
  for (ShapeOutline& outline : shape.Outlines) ScalePoints(outline.Vertices, c.context.ImportScale);
}

void EngineBurnAdd(Call& c) {
  AddEngineBurn(c.model);
  c.outcome.changed = true;
  EngineBurn& burn = c.model.EngineBurns.back();
  if (!c.LoadPoints(c.File(2), burn)) return;
  burn.Kind = "BURN";
  burn.Length = 0;
  SetText(burn.NameLength, burn.Name, c.Text(0));
  SetText(burn.ParentLength, burn.ParentName, c.Text(1));
  burn.CurveCount = 1;
  burn.VertexCount = static_cast<std::int32_t>(burn.Vertices.size());
  ScalePoints(burn.Vertices, c.context.ImportScale);
}

void EngineGlowAdd(Call& c) {
  AddEngineGlow(c.model);
  c.outcome.changed = true;
  EngineGlow& glow = c.model.EngineGlows.back();
  SetText(glow.NameLength, glow.Name, c.Text(0));
  SetText(glow.ParentLength, glow.ParentName, c.Text(1));
  glow.LodLevel = c.Rounded(2);
  std::optional<LodMesh> mesh = c.LoadObj(c.File(3), kMergedOptions);
  if (!mesh) return;
  glow.Mesh = std::move(*mesh);
  glow.Mesh.LodLevel = glow.LodLevel;
  for (MeshPart& part : glow.Mesh.Parts) part.VertexMask = kGlowMask;
  ScalePositions(glow.Mesh, c.context.ImportScale);
}

void NavLightAdd(Call& c) {
  AddNavLight(c.model);
  c.outcome.changed = true;
  NavLight& light = c.model.NavLightList.NavLights.back();
  SetText(light.NameLength, light.Name, c.Text(0));
  light.Section = c.Truncated(1);
  light.Size = c.Single(2);
  light.Phase = c.Single(3);
  light.Frequency = c.Single(4);
  SetText(light.StyleLength, light.Style, c.Text(5));
  light.Colour = {c.Single(6), c.Single(7), c.Single(8), c.Single(9)};
  light.Distance = c.Single(10);
  RaiseFlag(light.VisibleSprite, c.Flag(11));
  RaiseFlag(light.CastLightOnHES, c.Flag(12));
}

void MarkerAdd(Call& c) {
  AddMarker(c.model);
  c.outcome.changed = true;
  Marker& marker = c.model.Markers.back();
  SetText(marker.NameLength, marker.Name, c.Text(0));
  SetText(marker.ParentLength, marker.ParentName, c.Text(1));
  marker.Flags1 = c.Single(2);
  marker.Flags2 = c.Single(3);
  for (std::size_t i = 0; i < 3; ++i) {
    marker.Position[i] = c.Number(4 + i);
    marker.Rotation[i] = DegreesToRadians(c.Number(7 + i));
  }
  if (marker.Flags1 != 0 || marker.Flags2 != 0) {
    marker.Tracks.assign(c.ListSize(c.Truncated(10)), KeyframeTrack{});
    marker.KeyfLength = 0;  // the writer works it out
  } else {
    marker.KeyfLength = kEmptyKeyfLength;
  }
}

KeyframeTrack* TrackOf(Call& c) {
  const auto marker = c.Index(0, c.model.Markers.size(), false);
  if (!marker) return nullptr;
  std::vector<KeyframeTrack>& tracks = c.model.Markers[*marker].Tracks;
  const auto track = c.Index(1, tracks.size(), false);
  return track ? &tracks[*track] : nullptr;
}

void TrackSet(Call& c) {
  KeyframeTrack* track = TrackOf(c);
  if (track == nullptr) return;
  track->Kind = "NRML";
  track->ID = "ANIM";
  track->Version = kTrackVersion;
  SetText(track->NameLength, track->Name, c.Text(2));
  const std::size_t keys = c.ListSize(c.Truncated(3));
  track->KeyCount = static_cast<std::int32_t>(keys);
  track->Keys.assign(keys, Keyframe{});
  track->PreI = c.Truncated(4);
  track->PostI = c.Truncated(5);
  c.outcome.changed = true;
}

void KeyframeSet(Call& c) {
  KeyframeTrack* track = TrackOf(c);
  if (track == nullptr) return;
  const auto key = c.Index(2, Named(track->KeyCount, track->Keys.size()), false);
  if (!key) return;
  Keyframe& k = track->Keys[*key];
  k.Time = c.Number(3);
  k.Value = c.Number(4);
  for (std::size_t i = 0; i < k.Extra.size(); ++i) k.Extra[i] = c.Single(5 + i);
  c.outcome.changed = true;
}

void DockPathAdd(Call& c) {
  AddDockPath(c.model);
  c.outcome.changed = true;
  DockPath& path = c.model.DockPathList.Paths.back();
  SetText(path.NameLength, path.Name, c.Text(0));
  SetText(path.ParentLength, path.ParentName, c.Text(1));
  path.PathFormat = kNewestDockPathFormat;
  path.PointFormat = kNewestDockPointFormat;
  RaiseFlag(path.PathValue1, c.Flag(2));
  RaiseFlag(path.PathValue2, c.Flag(3));
  SetText(path.FamiliesLength, path.Families, c.Text(4));
  RaiseFlag(path.PathValue4, c.Flag(5));
  SetText(path.LinkedPathsLength, path.LinkedPaths, c.Text(6));
  const double asked = c.Number(7);
  const std::size_t points = asked > 2 ? c.ListSize(RoundedWhole(asked)) : 2;
  DockPoint zero;
  zero.PointTolerance = 0;
  zero.MaxSpeed = 0;
  path.Points.assign(points, zero);
  path.PointCount = static_cast<std::int32_t>(points);
}

void DockPointSet(Call& c) {
  const auto path = c.Index(0, c.model.DockPathList.Paths.size(), true);
  if (!path) return;
  DockPath& p = c.model.DockPathList.Paths[*path];
  const auto point = c.Index(1, Named(p.PointCount, p.Points.size()), true);
  if (!point) return;
  DockPoint& d = p.Points[*point];
  d.Position = c.ScaledVector(2);
  d.Rotation = c.Angles(5);
  RaiseFlag(d.LocalFlag1, c.Flag(8));
  d.PointTolerance = c.Single(9);
  RaiseFlag(d.LocalFlag2, c.Flag(10));
  d.MaxSpeed = c.Single(11);
  RaiseFlag(d.LocalFlag3, c.Flag(12));
  std::int32_t* values[] = {&d.PointValue6, &d.PointValue7, &d.PointValue8, &d.PointValue9,
                            &d.PointValue10};
  for (std::size_t i = 0; i < std::size(values); ++i) RaiseFlag(*values[i], c.Flag(13 + i));
  c.outcome.changed = true;
}

void BoundaryAutoCalc(Call& c) {
  BoundaryVerticesCommand(c.model, c.ui);
  const double factor = c.Number(0);
  for (Vector3& v : c.model.BoundaryVertices.Vertices) {
    v = {ScriptSingle(v.x * factor), ScriptSingle(v.y * factor), ScriptSingle(v.z * factor)};
  }
  c.outcome.changed = true;
}

void BoundaryCount(Call& c) {
  BoundaryVertexRecord& boundary = c.model.BoundaryVertices;
  const std::size_t count =
      std::max<std::size_t>(c.ListSize(c.Truncated(0), kMaxBoundaryVertices), 2);
  boundary.Vertices.resize(count);
  boundary.VertexCount = static_cast<std::int32_t>(count);
  c.outcome.changed = true;
}

void BoundaryVertexSet(Call& c) {
  BoundaryVertexRecord& boundary = c.model.BoundaryVertices;
  const auto vertex = c.Index(0, Named(boundary.VertexCount, boundary.Vertices.size()), false);
  if (!vertex) return;
  boundary.Vertices[*vertex] = c.ScaledVector(1);
  c.outcome.changed = true;
}

void BackgroundMeshAdd(Call& c) {
  AddBackgroundMesh(c.model);
  c.outcome.changed = true;
  std::optional<LodMesh> mesh = c.LoadObj(c.File(0), kUnmergedOptions);
  if (!mesh) return;
  LodMesh& target = c.model.BackgroundMeshSet.Meshes.back();
  target = std::move(*mesh);
  const std::string image_path = c.File(1);
  const TGAImage image = ReadTGAImage(image_path);
  if (IsUsableTGA(image)) {
    RecolourMesh(target, image);
  } else {
    c.ui.Message(text::kInvalidTga, Icon::Exclamation);
    c.outcome.failed_file = image_path;
  }
  ScalePositions(target, c.context.ImportScale);
}

void LightAdd(Call& c) {
  LightListRecord& list = c.model.LightList;
  if (list.Lights.size() >= static_cast<std::size_t>(kMaxListSize)) {
    c.outcome.refusal = text::kTooManyLights;
    return;
  }
  Light light;
  SetText(light.NameLength, light.Name, c.Text(0));
  light.Type = std::clamp(c.Truncated(1), 0, kMaxLightType);
  light.Position = c.ScaledVector(2);
  light.Colour = {c.Single(5), c.Single(6), c.Single(7)};
  light.Specular = {c.Single(8), c.Single(9), c.Single(10)};
  light.Attenuation = c.Truncated(11);
  light.AttenuationDistance = c.Single(12);
  list.Lights.push_back(std::move(light));
  list.LightCount = static_cast<std::int32_t>(list.Lights.size());
  c.outcome.changed = true;
}

void SimpleMeshAdd(Call& c) {
  const std::optional<LodMesh> mesh = c.LoadObj(c.File(1), kUnmergedOptions);
  if (!mesh) return;
  std::vector<SimpleMesh>& meshes = c.model.SimpleMeshes;
  const bool wireframe = c.model.HodName.TypeName == kWireframeMeshTypeName;
  if (!wireframe) {
    AddSimpleMesh(c.model);
    SimpleMeshFromMesh(*mesh, meshes.back(), false, c.ui);
    SetText(meshes.back().NameLength, meshes.back().Name, c.Text(0));
  } else {
    // A wireframe HOD keeps its outline in its first simple mesh, which has no name.
    if (meshes.empty()) AddSimpleMesh(c.model);
    SimpleMeshFromMesh(*mesh, meshes.front(), true, c.ui);
    SetText(meshes.back().NameLength, meshes.back().Name, "");
  }
  for (SimpleVertex& v : meshes.back().Vertices) {
    v.Position.x *= c.context.ImportScale.x;
    v.Position.y *= c.context.ImportScale.y;
    v.Position.z *= c.context.ImportScale.z;
  }
  c.outcome.changed = true;
}

using Handler = void (*)(Call&);

// Kept in the order of ScriptCommand.
constexpr Handler kHandlers[] = {
    ImportScale,       CompleteScale,     TextureAdd,   MaterialAdd,      MaterialSetParameter,
    MeshAdd,           MeshSetLod,        JointAdd,     CollisionMeshAdd, EngineShapeAdd,
    EngineBurnAdd,     EngineGlowAdd,     NavLightAdd,  MarkerAdd,        TrackSet,
    KeyframeSet,       DockPathAdd,       DockPointSet, BoundaryAutoCalc, BoundaryCount,
    BoundaryVertexSet, BackgroundMeshAdd, LightAdd,     SimpleMeshAdd,
};
static_assert(std::size(kHandlers) == std::size(kCommands));
static_assert([] {
  for (std::size_t i = 0; i < std::size(kCommands); ++i) {
    if (static_cast<std::size_t>(kCommands[i].command) != i) return false;
  }
  return true;
}());

}  // namespace

std::span<const ScriptCommandInfo> ScriptCommands() { return kCommands; }

const ScriptCommandInfo& ScriptCommandInfoOf(ScriptCommand command) {
  return kCommands[static_cast<std::size_t>(command)];
}

std::optional<ScriptCommand> MatchScriptLine(std::string_view line) {
  if (line.empty() || line.starts_with(text::kCommentMarker)) return std::nullopt;
  const std::optional<ScriptCall> call = ScriptCallOf(line);
  if (!call) return std::nullopt;
  for (const ScriptCommandInfo& info : kCommands) {
    // Each name appears once, so the count decides on the first name that matches.
    if (SameIgnoringCase(call->name, info.name)) {
      if (call->arguments != info.arguments) return std::nullopt;
      return info.command;
    }
  }
  return std::nullopt;
}

ScriptCommandOutcome RunScriptCommand(ScriptCommand command, std::string_view line, HodModel& model,
                                      ScriptImportContext& context, Ui& ui) {
  Call call(command, line, model, context, ui);
  kHandlers[static_cast<std::size_t>(command)](call);
  return std::move(call.outcome);
}

}  // namespace gantry
