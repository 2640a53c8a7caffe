#include "interchange/gltf_export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "common/text_encoding.h"
#include "interchange/gltf_names.h"
#include "interchange/gltf_records.h"
#include "interchange/gltf_values.h"
#include "interchange/texture_decode.h"

namespace gantry {

namespace {

using nlohmann::json;
namespace names = gltf_names;

constexpr int kArrayBuffer = TINYGLTF_TARGET_ARRAY_BUFFER;
constexpr int kElementBuffer = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;
constexpr int kFloat = TINYGLTF_COMPONENT_TYPE_FLOAT;
constexpr int kUnsignedShort = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
constexpr int kUnsignedByte = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
// A normal counts as unit length within this (the validator allows a little more).
constexpr float kUnitTolerance = 1e-4f;

// Rotation about X, then Y, then Z (the program's Euler order) as a quaternion x, y, z, w.
std::vector<double> Quaternion(const Vector3& angles) {
  const double cx = std::cos(angles.x / 2.0), sx = std::sin(angles.x / 2.0);
  const double cy = std::cos(angles.y / 2.0), sy = std::sin(angles.y / 2.0);
  const double cz = std::cos(angles.z / 2.0), sz = std::sin(angles.z / 2.0);
  // qz * qy * qx
  const double w = cz * cy * cx + sz * sy * sx;
  const double x = cz * cy * sx - sz * sy * cx;
  const double y = cz * sy * cx + sz * cy * sx;
  const double z = sz * cy * cx - cz * sy * sx;
  return {x, y, z, w};
}

bool Finite(const Vector3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool IsIdentity(const std::vector<double>& q) {
  return q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 1;
}

class Exporter {
 public:
  Exporter(const HodModel& model, const GltfExportOptions& options)
      : model_(model), options_(options) {}

  std::optional<std::vector<std::uint8_t>> Run(std::string* error);

 private:
  int AddView(const void* data, std::size_t bytes, int target) {
    while (buffer_.size() % 4 != 0) buffer_.push_back(0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = buffer_.size();
    view.byteLength = bytes;
    view.target = target;
    const auto* first = static_cast<const std::uint8_t*>(data);
    buffer_.insert(buffer_.end(), first, first + bytes);
    out_.bufferViews.push_back(view);
    return static_cast<int>(out_.bufferViews.size() - 1);
  }
  int AddAccessor(int view, int component, int type, std::size_t count, bool normalized = false) {
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.componentType = component;
    accessor.type = type;
    accessor.count = count;
    accessor.normalized = normalized;
    out_.accessors.push_back(accessor);
    return static_cast<int>(out_.accessors.size() - 1);
  }
  int FloatAccessor(const std::vector<float>& values, int type, int components,
                    bool with_bounds = false) {
    const int view = AddView(values.data(), values.size() * sizeof(float), kArrayBuffer);
    const int index = AddAccessor(view, kFloat, type, values.size() / components);
    if (with_bounds) {
      auto& accessor = out_.accessors[index];
      accessor.minValues.assign(components, std::numeric_limits<double>::infinity());
      accessor.maxValues.assign(components, -std::numeric_limits<double>::infinity());
      for (std::size_t i = 0; i < values.size(); ++i) {
        const int c = static_cast<int>(i % components);
        accessor.minValues[c] = std::min<double>(accessor.minValues[c], values[i]);
        accessor.maxValues[c] = std::max<double>(accessor.maxValues[c], values[i]);
      }
    }
    return index;
  }
  int AddNode(tinygltf::Node node, int parent) {
    out_.nodes.push_back(std::move(node));
    const int index = static_cast<int>(out_.nodes.size() - 1);
    if (parent >= 0) {
      out_.nodes[parent].children.push_back(index);
    } else {
      roots_.push_back(index);
    }
    return index;
  }
  static tinygltf::Value Extras(const char* kind, json fields) {
    fields[names::kKindKey] = kind;
    json wrapper;
    wrapper[names::kExtrasKey] = std::move(fields);
    return ToValue(wrapper);
  }
  // The node of the joint named `name`, else -1 (the element then hangs at the scene's root).
  int JointNode(const std::string& name) const {
    const auto found = joint_nodes_.find(name);
    return found == joint_nodes_.end() ? -1 : found->second;
  }
  static tinygltf::Node Named(const std::string& name) {
    tinygltf::Node node;
    node.name = Cp1252ToUtf8(name);
    return node;
  }
  static void Place(tinygltf::Node& node, const Vector3& position, const Vector3& angles) {
    if (Finite(position) && (position.x != 0 || position.y != 0 || position.z != 0)) {
      node.translation = {position.x, position.y, position.z};
    }
    if (Finite(angles)) {
      const auto q = Quaternion(angles);
      if (!IsIdentity(q)) node.rotation = q;
    }
  }

  void AddTextures();
  void AddMaterials();
  void AddJoints();
  // A glTF mesh of one level of detail; -1 when it has nothing glTF can hold (its parts then
  // travel whole in the returned `parts`).
  int AddLodMesh(const LodMesh& lod, const std::string& name, json& parts);
  int AddTriangleMesh(const TriangleMesh& triangles, const std::string& name);
  void AddMeshes();
  void AddElements();
  void AddScarMeshes();
  void AddOtherFamilies();
  template <typename T>
  int ArrayView(const std::vector<T>& values) {
    return values.empty() ? -1 : AddView(values.data(), values.size() * sizeof(T), 0);
  }

  const HodModel& model_;
  const GltfExportOptions& options_;
  tinygltf::Model out_;
  std::vector<std::uint8_t> buffer_;
  std::vector<int> roots_;
  std::map<std::string, int> joint_nodes_;
  std::vector<int> texture_slots_;  // the glTF texture of each HOD texture, or -1
  json scene_extras_ = json::object();
};

void Exporter::AddTextures() {
  json list = json::array();
  texture_slots_.assign(model_.Textures.size(), -1);
  for (std::size_t t = 0; t < model_.Textures.size(); ++t) {
    const Texture& texture = model_.Textures[t];
    json record;
    record["Kind"] = texture.Kind;
    record["ID"] = texture.ID;
    record["FileName"] = texture.FileName;
    record["Format"] = texture.Format;
    record["Width"] = texture.Width;
    record["Height"] = texture.Height;
    record["MipCount"] = texture.MipCount;
    // The compressed levels go along as they are, so the textures come back bit for bit.
    json levels = json::array();
    for (const MipLevel& level : texture.MipLevels) {
      levels.push_back(level.empty() ? -1 : AddView(level.data(), level.size(), 0));
    }
    record["Levels"] = std::move(levels);
    if (std::optional<RgbaImage> image = DecodeForDisplay(texture, 1)) {
      const std::vector<std::uint8_t> png = EncodePng(*image);
      if (!png.empty()) {
        tinygltf::Image gltf_image;
        gltf_image.name = Cp1252ToUtf8(texture.FileName);
        gltf_image.mimeType = "image/png";
        gltf_image.bufferView = AddView(png.data(), png.size(), 0);
        out_.images.push_back(std::move(gltf_image));
        tinygltf::Texture gltf_texture;
        gltf_texture.name = Cp1252ToUtf8(texture.FileName);
        gltf_texture.source = static_cast<int>(out_.images.size() - 1);
        out_.textures.push_back(std::move(gltf_texture));
        texture_slots_[t] = static_cast<int>(out_.textures.size() - 1);
      }
    }
    list.push_back(std::move(record));
  }
  scene_extras_["Textures"] = std::move(list);
}

// The texture a material shows as its colour: the parameter whose layer says "diff", else its
// first texture parameter.
std::optional<std::int32_t> DiffuseTexture(const Material& material) {
  std::optional<std::int32_t> first;
  for (const MaterialParameter& parameter : material.Parameters) {
    if (parameter.Type != kParameterTexture) continue;
    std::string layer = parameter.LayerName;
    std::transform(layer.begin(), layer.end(), layer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (layer.find("diff") != std::string::npos) return parameter.TextureIndex;
    if (!first) first = parameter.TextureIndex;
  }
  return first;
}

void Exporter::AddMaterials() {
  for (const Material& material : model_.Materials) {
    tinygltf::Material gltf;
    gltf.name = Cp1252ToUtf8(material.Name);
    gltf.pbrMetallicRoughness.metallicFactor = 0;
    gltf.pbrMetallicRoughness.roughnessFactor = 1;
    const std::optional<std::int32_t> diffuse = DiffuseTexture(material);
    if (diffuse && *diffuse >= 0 && static_cast<std::size_t>(*diffuse) < texture_slots_.size() &&
        texture_slots_[*diffuse] >= 0) {
      gltf.pbrMetallicRoughness.baseColorTexture.index = texture_slots_[*diffuse];
    }
    gltf.extras = Extras("material", json(material));
    out_.materials.push_back(std::move(gltf));
  }
}

void Exporter::AddJoints() {
  const auto& joints = model_.JointList.Joints;
  // The first joint of a name is the one children find, as everywhere else in the program.
  std::map<std::string, std::size_t> first;
  for (std::size_t i = 0; i < joints.size(); ++i) first.emplace(joints[i].Name, i);
  std::vector<int> parent(joints.size(), -1);
  for (std::size_t i = 0; i < joints.size(); ++i) {
    const auto found = first.find(joints[i].ParentName);
    if (found != first.end() && found->second != i) parent[i] = static_cast<int>(found->second);
  }
  // A parent chain that loops (a damaged file) is cut where it would close.
  for (std::size_t i = 0; i < joints.size(); ++i) {
    std::size_t steps = 0;
    for (int p = parent[i]; p >= 0 && steps <= joints.size(); p = parent[p], ++steps) {
      if (static_cast<std::size_t>(p) == i) {
        parent[i] = -1;
        break;
      }
    }
  }
  // Parents first, so every node's parent exists when it is added.
  std::vector<int> node_of(joints.size(), -1);
  std::vector<std::size_t> order;
  std::vector<bool> placed(joints.size(), false);
  while (order.size() < joints.size()) {
    const std::size_t before = order.size();
    for (std::size_t i = 0; i < joints.size(); ++i) {
      if (placed[i] || (parent[i] >= 0 && !placed[parent[i]])) continue;
      placed[i] = true;
      order.push_back(i);
    }
    if (order.size() == before) break;  // cannot happen once loops are cut
  }
  for (const std::size_t i : order) {
    const Joint& joint = joints[i];
    tinygltf::Node node = Named(joint.Name);
    Place(node, joint.Position,
          {joint.Rotation.x + joint.Axis.x, joint.Rotation.y + joint.Axis.y,
           joint.Rotation.z + joint.Axis.z});
    const Vector3& s = joint.Scale;
    if (Finite(s) && s.x != 0 && s.y != 0 && s.z != 0 && (s.x != 1 || s.y != 1 || s.z != 1)) {
      node.scale = {s.x, s.y, s.z};
    }
    json fields = joint;
    fields["Index"] = i;
    node.extras = Extras("joint", std::move(fields));
    node_of[i] = AddNode(std::move(node), parent[i] >= 0 ? node_of[parent[i]] : -1);
    joint_nodes_.emplace(joint.Name, node_of[i]);
  }
}

bool AllFinite(const MeshPart& part) {
  for (const MeshVertex& v : part.Vertices) {
    const float values[] = {v.Position.x, v.Position.y, v.Position.z, v.Position.w,
                            v.Normal.x,   v.Normal.y,   v.Normal.z,   v.Normal.w,
                            v.UV.u,       v.UV.v,       v.Tangent.x,  v.Tangent.y,
                            v.Tangent.z,  v.Binormal.x, v.Binormal.y, v.Binormal.z};
    for (const float f : values) {
      if (!std::isfinite(f)) return false;
    }
  }
  return true;
}

// Whether a face list can be a glTF primitive over `vertices` vertices.
bool FitsPrimitive(const FaceList& list, std::size_t vertices) {
  const std::size_t count = list.Indices.size();
  if (list.Type == kFaceListTriangles) {
    if (count < 3 || count % 3 != 0) return false;
  } else if (list.Type == kFaceListStrip) {
    if (count < 3) return false;
  } else {
    return false;
  }
  return std::all_of(list.Indices.begin(), list.Indices.end(), [&](std::int16_t i) {
    // Indices are unsigned 16-bit numbers in int16 storage.
    return static_cast<std::size_t>(static_cast<std::uint16_t>(i)) < vertices;
  });
}

int Exporter::AddLodMesh(const LodMesh& lod, const std::string& name, json& parts) {
  tinygltf::Mesh mesh;
  mesh.name = Cp1252ToUtf8(name);
  parts = json::array();
  for (const MeshPart& part : lod.Parts) {
    const std::size_t n = part.Vertices.size();
    if (n == 0 || n > 65535 || !AllFinite(part)) {
      json whole = part;  // travels whole
      whole["Whole"] = true;
      parts.push_back(std::move(whole));
      continue;
    }
    std::map<std::string, int> attributes;
    std::vector<float> values;
    const auto attribute = [&](const char* semantic, int type, int components, auto&& fill,
                               bool bounds = false) {
      values.clear();
      values.reserve(n * components);
      for (const MeshVertex& v : part.Vertices) fill(v);
      attributes[semantic] = FloatAccessor(values, type, components, bounds);
    };
    attribute(
        "POSITION", TINYGLTF_TYPE_VEC3, 3,
        [&](const MeshVertex& v) {
          values.insert(values.end(), {v.Position.x, v.Position.y, v.Position.z});
        },
        true);
    if (std::any_of(part.Vertices.begin(), part.Vertices.end(),
                    [](const MeshVertex& v) { return v.Position.w != 1; })) {
      attribute("_POSITION_W", TINYGLTF_TYPE_SCALAR, 1,
                [&](const MeshVertex& v) { values.push_back(v.Position.w); });
    }
    if (part.VertexMask & kMaskNormal) {
      const bool unit =
          std::all_of(part.Vertices.begin(), part.Vertices.end(), [](const MeshVertex& v) {
            const float length = std::sqrt(v.Normal.x * v.Normal.x + v.Normal.y * v.Normal.y +
                                           v.Normal.z * v.Normal.z);
            return std::fabs(length - 1) <= kUnitTolerance;
          });
      // glTF wants unit normals; others keep their values under a name of their own.
      attribute(unit ? "NORMAL" : "_HOD_NORMAL", TINYGLTF_TYPE_VEC3, 3, [&](const MeshVertex& v) {
        values.insert(values.end(), {v.Normal.x, v.Normal.y, v.Normal.z});
      });
      if (std::any_of(part.Vertices.begin(), part.Vertices.end(),
                      [](const MeshVertex& v) { return v.Normal.w != 0; })) {
        attribute("_NORMAL_W", TINYGLTF_TYPE_SCALAR, 1,
                  [&](const MeshVertex& v) { values.push_back(v.Normal.w); });
      }
    }
    if (part.VertexMask & kMaskUV) {
      attribute("TEXCOORD_0", TINYGLTF_TYPE_VEC2, 2, [&](const MeshVertex& v) {
        values.insert(values.end(), {v.UV.u, v.UV.v});
      });
    }
    if (part.VertexMask & kMaskTangent) {
      attribute("_TANGENT", TINYGLTF_TYPE_VEC3, 3, [&](const MeshVertex& v) {
        values.insert(values.end(), {v.Tangent.x, v.Tangent.y, v.Tangent.z});
      });
    }
    if (part.VertexMask & kMaskBinormal) {
      attribute("_BINORMAL", TINYGLTF_TYPE_VEC3, 3, [&](const MeshVertex& v) {
        values.insert(values.end(), {v.Binormal.x, v.Binormal.y, v.Binormal.z});
      });
    }
    if (part.VertexMask & kMaskColour) {
      std::vector<std::uint8_t> colours;
      colours.reserve(n * 4);
      for (const MeshVertex& v : part.Vertices) {
        colours.insert(colours.end(), v.Colour.begin(), v.Colour.end());
      }
      const int view = AddView(colours.data(), colours.size(), kArrayBuffer);
      attributes["COLOR_0"] = AddAccessor(view, kUnsignedByte, TINYGLTF_TYPE_VEC4, n, true);
    }
    const bool has_material =
        part.MaterialIndex >= 0 &&
        static_cast<std::size_t>(part.MaterialIndex) < model_.Materials.size();
    json record;
    record["MaterialIndex"] = part.MaterialIndex;
    record["VertexMask"] = part.VertexMask;
    json lists = json::array();
    const auto primitive = [&](int mode, int indices) {
      tinygltf::Primitive p;
      p.attributes = attributes;
      p.mode = mode;
      p.indices = indices;
      p.material = has_material ? part.MaterialIndex : -1;
      mesh.primitives.push_back(std::move(p));
      return static_cast<int>(mesh.primitives.size() - 1);
    };
    bool any = false;
    for (const FaceList& list : part.FaceLists) {
      json entry;
      entry["Type"] = list.Type;
      if (FitsPrimitive(list, n)) {
        std::vector<std::uint16_t> indices(list.Indices.begin(), list.Indices.end());
        const int view = AddView(indices.data(), indices.size() * 2, kElementBuffer);
        const int accessor =
            AddAccessor(view, kUnsignedShort, TINYGLTF_TYPE_SCALAR, indices.size());
        entry["Primitive"] = primitive(
            list.Type == kFaceListStrip ? TINYGLTF_MODE_TRIANGLE_STRIP : TINYGLTF_MODE_TRIANGLES,
            accessor);
        any = true;
      } else {
        entry["Indices"] = list.Indices;
      }
      lists.push_back(std::move(entry));
    }
    // Vertices without faces still travel, as points.
    if (!any) record["Points"] = primitive(TINYGLTF_MODE_POINTS, -1);
    record["Lists"] = std::move(lists);
    parts.push_back(std::move(record));
  }
  if (mesh.primitives.empty()) return -1;
  out_.meshes.push_back(std::move(mesh));
  return static_cast<int>(out_.meshes.size() - 1);
}

int Exporter::AddTriangleMesh(const TriangleMesh& triangles, const std::string& name) {
  const std::size_t n = triangles.Vertices.size();
  const std::size_t count = triangles.Indices.size();
  if (n == 0 || count < 3 || count % 3 != 0) return -1;
  std::vector<float> positions;
  positions.reserve(n * 3);
  for (const Vector3& v : triangles.Vertices) {
    if (!Finite(v)) return -1;
    positions.insert(positions.end(), {v.x, v.y, v.z});
  }
  std::vector<std::uint16_t> indices;
  indices.reserve(count);
  for (const std::int16_t i : triangles.Indices) {
    const auto index = static_cast<std::uint16_t>(i);
    if (index >= n) return -1;
    indices.push_back(index);
  }
  tinygltf::Primitive primitive;
  primitive.attributes["POSITION"] = FloatAccessor(positions, TINYGLTF_TYPE_VEC3, 3, true);
  const int view = AddView(indices.data(), indices.size() * 2, kElementBuffer);
  primitive.indices = AddAccessor(view, kUnsignedShort, TINYGLTF_TYPE_SCALAR, count);
  primitive.mode = TINYGLTF_MODE_TRIANGLES;
  tinygltf::Mesh mesh;
  mesh.name = Cp1252ToUtf8(name);
  mesh.primitives.push_back(std::move(primitive));
  out_.meshes.push_back(std::move(mesh));
  return static_cast<int>(out_.meshes.size() - 1);
}

json LodFields(const LodMesh& lod) {
  json fields;
  fields["Kind"] = lod.Kind;
  fields["ID"] = lod.ID;
  fields["Version"] = lod.Version;
  fields["LodLevel"] = lod.LodLevel;
  return fields;
}

void Exporter::AddMeshes() {
  for (std::size_t m = 0; m < model_.Meshes.size(); ++m) {
    const MultiMesh& multi = model_.Meshes[m];
    const bool goblin = IsGoblin(multi);
    const std::size_t levels =
        options_.all_lods ? multi.Lods.size() : std::min<std::size_t>(1, multi.Lods.size());
    json mesh_fields;
    mesh_fields["Kind"] = multi.Kind;
    mesh_fields["ID"] = multi.ID;
    mesh_fields["Version"] = multi.Version;
    mesh_fields["Name"] = multi.Name;
    mesh_fields["ParentName"] = multi.ParentName;
    mesh_fields["Index"] = m;
    // A mesh without levels still needs its node to come back.
    for (std::size_t l = 0; l < std::max<std::size_t>(levels, 1); ++l) {
      std::string name = multi.Name;
      if (goblin) {
        name += names::kGoblinSuffix;
      } else if (l > 0) {
        name += names::kLodInfix + std::to_string(l);
      }
      tinygltf::Node node = Named(name);
      json fields = mesh_fields;
      fields["Lod"] = l;
      if (l < multi.Lods.size()) {
        json parts;
        node.mesh = AddLodMesh(multi.Lods[l], name, parts);
        fields["Level"] = LodFields(multi.Lods[l]);
        fields["Parts"] = std::move(parts);
      }
      node.extras = Extras("mesh", std::move(fields));
      AddNode(std::move(node), JointNode(multi.ParentName));
    }
  }
}

void Exporter::AddElements() {
  for (std::size_t i = 0; i < model_.EngineGlows.size(); ++i) {
    const EngineGlow& glow = model_.EngineGlows[i];
    const std::string name = names::kEngineGlow + glow.Name;
    tinygltf::Node node = Named(name);
    json fields;
    fields["Index"] = i;
    fields["Kind"] = glow.Kind;
    fields["ID"] = glow.ID;
    fields["InfoKind"] = glow.InfoKind;
    fields["InfoID"] = glow.InfoID;
    fields["Version"] = glow.Version;
    fields["Name"] = glow.Name;
    fields["ParentName"] = glow.ParentName;
    fields["LodLevel"] = glow.LodLevel;
    json parts;
    node.mesh = AddLodMesh(glow.Mesh, name, parts);
    fields["Level"] = LodFields(glow.Mesh);
    fields["Parts"] = std::move(parts);
    node.extras = Extras("glow", std::move(fields));
    AddNode(std::move(node), JointNode(glow.ParentName));
  }
  for (std::size_t i = 0; i < model_.CollisionMeshes.size(); ++i) {
    const CollisionMesh& collision = model_.CollisionMeshes[i];
    const std::string name = names::kCollision + collision.ParentName;
    tinygltf::Node node = Named(name);
    json fields;
    fields["Index"] = i;
    fields["Kind"] = collision.Kind;
    fields["ID"] = collision.ID;
    fields["ParentName"] = collision.ParentName;
    fields["BoxHeader"] = static_cast<const ChunkHeader&>(collision.BoxHeader);
    fields["Box"] = collision.Box;
    fields["SphereHeader"] = collision.SphereHeader;
    fields["Sphere"] = collision.Sphere;
    fields["TrianglesHeader"] = collision.TrianglesHeader;
    node.mesh = AddTriangleMesh(collision.Triangles, name);
    if (node.mesh < 0) fields["Triangles"] = collision.Triangles;
    node.extras = Extras("collision", std::move(fields));
    AddNode(std::move(node), JointNode(collision.ParentName));
  }
  for (std::size_t i = 0; i < model_.EngineShapes.size(); ++i) {
    const EngineShape& shape = model_.EngineShapes[i];
    tinygltf::Node node = Named(names::kEngineShape + shape.Name);
    json fields = shape;
    fields["Index"] = i;
    node.extras = Extras("shape", std::move(fields));
    AddNode(std::move(node), JointNode(shape.ParentName));
  }
  for (std::size_t i = 0; i < model_.EngineBurns.size(); ++i) {
    const EngineBurn& burn = model_.EngineBurns[i];
    tinygltf::Node node = Named(names::kEngineBurn + burn.Name);
    json fields = burn;
    fields["Index"] = i;
    node.extras = Extras("burn", std::move(fields));
    AddNode(std::move(node), JointNode(burn.ParentName));
  }
  for (std::size_t i = 0; i < model_.Markers.size(); ++i) {
    const Marker& marker = model_.Markers[i];
    tinygltf::Node node = Named(names::kMarker + marker.Name);
    Place(node,
          {static_cast<float>(marker.Position[0]), static_cast<float>(marker.Position[1]),
           static_cast<float>(marker.Position[2])},
          {static_cast<float>(marker.Rotation[0]), static_cast<float>(marker.Rotation[1]),
           static_cast<float>(marker.Rotation[2])});
    json fields = marker;
    fields["Index"] = i;
    node.extras = Extras("marker", std::move(fields));
    AddNode(std::move(node), JointNode(marker.ParentName));
  }
  const auto& paths = model_.DockPathList.Paths;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const DockPath& path = paths[i];
    tinygltf::Node node = Named(names::kDockPath + path.Name);
    DockPathFields record{path.Name,       path.ParentName,  path.Families,   path.LinkedPaths,
                          path.PathFormat, path.PointFormat, path.PathValue1, path.PathValue2,
                          path.PathValue3, path.PathValue4};
    json fields = record;
    fields["Index"] = i;
    node.extras = Extras("dockpath", std::move(fields));
    const int path_node = AddNode(std::move(node), JointNode(path.ParentName));
    for (std::size_t p = 0; p < path.Points.size(); ++p) {
      const DockPoint& point = path.Points[p];
      tinygltf::Node child =
          Named(names::kDockPath + path.Name + names::kDockPoint + std::to_string(p + 1));
      Place(child, point.Position, point.Rotation);
      json point_fields = point;
      point_fields["Index"] = p;
      child.extras = Extras("dockpoint", std::move(point_fields));
      AddNode(std::move(child), path_node);
    }
  }
  const auto& lights = model_.NavLightList.NavLights;
  for (std::size_t i = 0; i < lights.size(); ++i) {
    const NavLight& light = lights[i];
    tinygltf::Node node = Named(names::kNavLight + light.Name);
    json fields = light;
    fields["Index"] = i;
    node.extras = Extras("navlight", std::move(fields));
    // A nav light sits on the joint of its own name.
    AddNode(std::move(node), JointNode(light.Name));
  }
  const BoundaryVertexRecord& boundary = model_.BoundaryVertices;
  {
    tinygltf::Node node = Named(names::kBoundary + boundary.Name);
    node.extras = Extras("boundary", json(boundary));
    AddNode(std::move(node), JointNode(boundary.ParentName));
  }
}

// Battle-scar meshes have no place in a 3D tool; their arrays travel as raw buffer views.
void Exporter::AddScarMeshes() {
  json list = json::array();
  for (const ScarMesh& scar : model_.ScarMeshes) {
    json record;
    record["Kind"] = scar.Kind;
    record["ID"] = scar.ID;
    record["DescriptionHeader"] = scar.DescriptionHeader;
    record["Description"] = scar.Description;
    record["BoxHeader"] = scar.BoxHeader;
    record["Box"] = scar.Box;
    record["SphereHeader"] = scar.SphereHeader;
    record["Sphere"] = scar.Sphere;
    record["TrianglesHeader"] = scar.TrianglesHeader;
    record["TriangleVertices"] = ArrayView(scar.Triangles.Vertices);
    record["TriangleIndices"] = ArrayView(scar.Triangles.Indices);
    record["NormalsHeader"] = scar.NormalsHeader;
    record["NormalVertices"] = ArrayView(scar.Normals.Vertices);
    record["NormalIndices"] = ArrayView(scar.Normals.Indices);
    record["GridHeader"] = scar.GridHeader;
    record["Grid"] = {scar.Grid.SizeX, scar.Grid.SizeY, scar.Grid.SizeZ};
    // Each cell: its index count, then its indices.
    std::vector<std::int32_t> cells;
    for (const ScarCell& cell : scar.Grid.Cells) {
      cells.push_back(static_cast<std::int32_t>(cell.Indices.size()));
      cells.insert(cells.end(), cell.Indices.begin(), cell.Indices.end());
    }
    record["Cells"] = ArrayView(cells);
    record["CellCount"] = scar.Grid.Cells.size();
    list.push_back(std::move(record));
  }
  scene_extras_["ScarMeshes"] = std::move(list);
}

// Simple meshes, star fields and background segments: their arrays as raw buffer views too.
// Background meshes are meshes a 3D tool shows, each a node.
void Exporter::AddOtherFamilies() {
  json simple = json::array();
  for (const SimpleMesh& mesh : model_.SimpleMeshes) {
    json record;
    record["Kind"] = mesh.Kind;
    record["ID"] = mesh.ID;
    record["Name"] = mesh.Name;
    record["Vertices"] = ArrayView(mesh.Vertices);
    record["Indices"] = ArrayView(mesh.Indices);
    simple.push_back(std::move(record));
  }
  scene_extras_["SimpleMeshes"] = std::move(simple);
  json stars = json::array();
  for (const StarField& field : model_.StarFields) {
    json record;
    record["Kind"] = field.Kind;
    record["ID"] = field.ID;
    record["Version"] = field.Version;
    record["Stars"] = ArrayView(field.Stars);
    stars.push_back(std::move(record));
  }
  scene_extras_["StarFields"] = std::move(stars);
  json segments = json::array();
  for (const BackgroundSegment& segment : model_.BackgroundSegments) {
    json record;
    record["Kind"] = segment.Kind;
    record["ID"] = segment.ID;
    record["Name"] = segment.Name;
    record["Elements"] = ArrayView(segment.Elements);
    segments.push_back(std::move(record));
  }
  scene_extras_["BackgroundSegments"] = std::move(segments);
  const auto& meshes = model_.BackgroundMeshSet.Meshes;
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const std::string name = names::kBackground + std::to_string(i + 1);
    tinygltf::Node node = Named(name);
    json fields;
    fields["Index"] = i;
    json parts;
    node.mesh = AddLodMesh(meshes[i], name, parts);
    fields["Level"] = LodFields(meshes[i]);
    fields["Parts"] = std::move(parts);
    node.extras = Extras("background", std::move(fields));
    AddNode(std::move(node), -1);
  }
}

std::optional<std::vector<std::uint8_t>> Exporter::Run(std::string* error) {
  out_.asset.version = "2.0";
  out_.asset.generator = "Gantry";
  AddTextures();
  AddMaterials();
  AddJoints();
  AddMeshes();
  AddElements();
  AddScarMeshes();
  AddOtherFamilies();

  ModelFields fields;
  fields.Version = model_.HodVersion.Version;
  fields.TypeName = model_.HodName.TypeName;
  fields.Owner = model_.HodOwner.Owner;
  fields.NavLightVersion = model_.NavLightList.Version;
  fields.Lights = model_.LightList.Lights;
  fields.Warnings = model_.Warnings;
  fields.Errors = model_.Errors;
  fields.LightsHeader = model_.LightList;
  fields.JointsHeader = model_.JointList;
  fields.NavLightsHeader = model_.NavLightList;
  fields.DockPathsHeader = model_.DockPathList;
  fields.OwnerHeader = model_.HodOwner;
  fields.BackgroundLightHeader = model_.BackgroundLight;
  fields.BackgroundLightLength = model_.BackgroundLight.Length;
  fields.BackgroundLightSecond = model_.BackgroundLight.SecondLength;
  fields.BackgroundMeshesHeader = model_.BackgroundMeshSet;
  fields.VaryMeshes = model_.VaryMeshes;
  scene_extras_["Model"] = fields;

  tinygltf::Scene scene;
  scene.name = "Scene";
  scene.nodes = roots_;
  scene.extras = Extras("model", std::move(scene_extras_));
  out_.scenes.push_back(std::move(scene));
  out_.defaultScene = 0;

  if (!buffer_.empty()) {
    while (buffer_.size() % 4 != 0) buffer_.push_back(0);
    tinygltf::Buffer buffer;
    buffer.data = std::move(buffer_);
    out_.buffers.push_back(std::move(buffer));
  }
  std::ostringstream stream;
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&out_, stream, !options_.binary, options_.binary)) {
    if (error) *error = "the glTF writer failed";
    return std::nullopt;
  }
  const std::string text = stream.str();
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ExportGltf(const HodModel& model,
                                                    const GltfExportOptions& options,
                                                    std::string* error) {
  try {
    return Exporter(model, options).Run(error);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return std::nullopt;
  }
}

bool IsGlbPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".glb";
}

}  // namespace gantry
