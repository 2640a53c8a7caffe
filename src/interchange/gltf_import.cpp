#include "interchange/gltf_import.h"

#include <fmt/format.h>
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <type_traits>

#include "common/paths.h"
#include "common/shared_text.h"
#include "common/text_encoding.h"
#include "hod/reset.h"
#include "interchange/gltf_messages.h"
#include "interchange/gltf_names.h"
#include "interchange/gltf_records.h"
#include "interchange/gltf_values.h"
#include "interchange/texture_decode.h"

namespace gantry {

namespace {

using nlohmann::json;
namespace names = gltf_names;
namespace text = gltf_messages;

constexpr std::int32_t kMeshVersion = 1400;
constexpr std::int32_t kMaterialVersion = 1001;
constexpr std::int32_t kImportedMask = kMaskPosition | kMaskNormal | kMaskUV | 0x10;
constexpr std::size_t kMaxPartVertices = 65535;
constexpr const char* kDiffuseLayer = "$diffuse";

// Anything wrong with the file ends the import through this, caught at the top.
struct ImportError {
  std::string what;
};

[[noreturn]] void Fail(std::string what) { throw ImportError{std::move(what)}; }

// ---- Reading accessors, trusting none of their numbers ----

std::size_t ComponentSize(int type) {
  switch (type) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    case TINYGLTF_COMPONENT_TYPE_INT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return 4;
    default:
      return 0;
  }
}

int Components(int type) {
  switch (type) {
    case TINYGLTF_TYPE_SCALAR:
      return 1;
    case TINYGLTF_TYPE_VEC2:
      return 2;
    case TINYGLTF_TYPE_VEC3:
      return 3;
    case TINYGLTF_TYPE_VEC4:
      return 4;
    default:
      return 0;
  }
}

// The values of an accessor as T (normalized integers brought into 0..1), checked against its
// buffer. `components`: what the caller needs (the accessor must have exactly that many).
template <typename T>
std::vector<T> ReadAccessor(const tinygltf::Model& gltf, int index, int components,
                            const char* purpose, bool floats_only = false) {
  if (index < 0 || static_cast<std::size_t>(index) >= gltf.accessors.size()) {
    Fail(fmt::format(text::kBadReference, purpose, "", "accessor"));
  }
  const tinygltf::Accessor& accessor = gltf.accessors[index];
  const auto bad = [&](const std::string& why) {
    Fail(fmt::format(text::kBadAccessor, index, why));
  };
  if (accessor.sparse.isSparse) bad(text::kSparse);
  const std::size_t size = ComponentSize(accessor.componentType);
  const int have = Components(accessor.type);
  if (size == 0 || have != components ||
      (floats_only && accessor.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT)) {
    bad(fmt::format(text::kWrongType, purpose));
  }
  const std::size_t count = accessor.count;
  std::vector<T> out;
  if (accessor.bufferView < 0) {  // no data: all zero
    if (count > (std::size_t{1} << 28)) bad(text::kOutOfRange);
    out.assign(count * components, T{});
    return out;
  }
  if (static_cast<std::size_t>(accessor.bufferView) >= gltf.bufferViews.size()) {
    bad(fmt::format(text::kBadReference, "accessor", index, "buffer view"));
  }
  const tinygltf::BufferView& view = gltf.bufferViews[accessor.bufferView];
  if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= gltf.buffers.size()) {
    bad(fmt::format(text::kBadReference, "buffer view", accessor.bufferView, "buffer"));
  }
  const std::vector<unsigned char>& data = gltf.buffers[view.buffer].data;
  const std::size_t element = size * components;
  const std::size_t stride = view.byteStride ? view.byteStride : element;
  if (stride < element || view.byteOffset > data.size() ||
      view.byteLength > data.size() - view.byteOffset || accessor.byteOffset > view.byteLength) {
    bad(text::kOutOfRange);
  }
  const std::size_t room = view.byteLength - accessor.byteOffset;
  if (count > 0 && (count - 1 > (room - std::min(room, element)) / stride || element > room)) {
    bad(text::kOutOfRange);
  }
  const unsigned char* base = data.data() + view.byteOffset + accessor.byteOffset;
  out.resize(count * components);
  // The common cases straight from the bytes: packed floats, packed 16-bit indices.
  if constexpr (std::is_same_v<T, float>) {
    if (accessor.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT && stride == element) {
      std::memcpy(out.data(), base, out.size() * sizeof(float));
      for (const float f : out) {
        if (!std::isfinite(f)) bad(text::kNonFinite);
      }
      return out;
    }
  }
  if constexpr (std::is_same_v<T, std::uint32_t>) {
    if (accessor.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT && stride == element &&
        !accessor.normalized) {
      for (std::size_t i = 0; i < out.size(); ++i) {
        std::uint16_t v;
        std::memcpy(&v, base + i * 2, 2);
        out[i] = v;
      }
      return out;
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* at = base + i * stride;
    for (int c = 0; c < components; ++c, at += size) {
      double value = 0;
      switch (accessor.componentType) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT: {
          float f;
          std::memcpy(&f, at, 4);
          if (!std::isfinite(f)) bad(text::kNonFinite);
          value = f;
          break;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
          value = accessor.normalized ? *at / 255.0 : *at;
          break;
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
          const auto v = static_cast<std::int8_t>(*at);
          value = accessor.normalized ? std::max(v / 127.0, -1.0) : v;
          break;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
          std::uint16_t v;
          std::memcpy(&v, at, 2);
          value = accessor.normalized ? v / 65535.0 : v;
          break;
        }
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
          std::int16_t v;
          std::memcpy(&v, at, 2);
          value = accessor.normalized ? std::max(v / 32767.0, -1.0) : v;
          break;
        }
        default: {  // 32-bit integers
          std::uint32_t v;
          std::memcpy(&v, at, 4);
          value = accessor.componentType == TINYGLTF_COMPONENT_TYPE_INT
                      ? static_cast<double>(static_cast<std::int32_t>(v))
                      : static_cast<double>(v);
        }
      }
      out[i * components + c] = static_cast<T>(value);
    }
  }
  return out;
}

// An accessor checked once and read value by value, straight into the model's records.
class AccessorReader {
 public:
  AccessorReader(const tinygltf::Model& gltf, int index, int components, const char* purpose)
      : components_(components) {
    // ReadAccessor's checks, on an empty request: an accessor of no data, or zero count, reads
    // nothing here either.
    if (index < 0 || static_cast<std::size_t>(index) >= gltf.accessors.size()) {
      Fail(fmt::format(text::kBadReference, purpose, "", "accessor"));
    }
    const tinygltf::Accessor& accessor = gltf.accessors[index];
    count_ = accessor.count;
    type_ = accessor.componentType;
    normalized_ = accessor.normalized;
    size_ = ComponentSize(type_);
    if (accessor.bufferView < 0 || accessor.sparse.isSparse ||
        Components(accessor.type) != components || size_ == 0) {
      fallback_ = ReadAccessor<float>(gltf, index, components, purpose);
      return;
    }
    // Bounds as ReadAccessor checks them (it throws on any fault).
    const tinygltf::BufferView* view = nullptr;
    if (static_cast<std::size_t>(accessor.bufferView) < gltf.bufferViews.size()) {
      view = &gltf.bufferViews[accessor.bufferView];
    }
    const std::size_t element = size_ * components;
    bool ok =
        view && view->buffer >= 0 && static_cast<std::size_t>(view->buffer) < gltf.buffers.size();
    if (ok) {
      const auto& data = gltf.buffers[view->buffer].data;
      stride_ = view->byteStride ? view->byteStride : element;
      const std::size_t room = view->byteOffset <= data.size() &&
                                       view->byteLength <= data.size() - view->byteOffset &&
                                       accessor.byteOffset <= view->byteLength
                                   ? view->byteLength - accessor.byteOffset
                                   : 0;
      ok = stride_ >= element &&
           (count_ == 0 || (element <= room && count_ - 1 <= (room - element) / stride_));
      if (ok) base_ = data.data() + view->byteOffset + accessor.byteOffset;
    }
    if (!ok) {
      ReadAccessor<float>(gltf, index, components, purpose);  // says what is wrong
      Fail(fmt::format(text::kBadAccessor, index, text::kOutOfRange));
    }
  }

  std::size_t count() const { return count_; }

  // Value i's components into `out`.
  void Read(std::size_t i, float* out) const {
    if (!base_) {
      std::memcpy(out, fallback_.data() + i * components_, components_ * sizeof(float));
      return;
    }
    const unsigned char* at = base_ + i * stride_;
    if (type_ == TINYGLTF_COMPONENT_TYPE_FLOAT) {
      std::memcpy(out, at, components_ * sizeof(float));
      for (int c = 0; c < components_; ++c) {
        if (!std::isfinite(out[c])) Fail(fmt::format(text::kBadAccessor, "", text::kNonFinite));
      }
      return;
    }
    for (int c = 0; c < components_; ++c, at += size_) {
      double value;
      switch (type_) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
          value = normalized_ ? *at / 255.0 : *at;
          break;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
          std::uint16_t v;
          std::memcpy(&v, at, 2);
          value = normalized_ ? v / 65535.0 : v;
          break;
        }
        default: {
          // Rare forms go the long way once.
          value = 0;
          break;
        }
      }
      out[c] = static_cast<float>(value);
    }
  }

  bool Simple() const {
    return !base_ || type_ == TINYGLTF_COMPONENT_TYPE_FLOAT ||
           type_ == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
           type_ == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
  }

 private:
  int components_;
  std::size_t count_ = 0, size_ = 0, stride_ = 0;
  int type_ = 0;
  bool normalized_ = false;
  const unsigned char* base_ = nullptr;
  std::vector<float> fallback_;
};

std::vector<std::uint32_t> ReadIndices(const tinygltf::Model& gltf, int index,
                                       std::size_t vertices) {
  if (index >= 0 && static_cast<std::size_t>(index) < gltf.accessors.size()) {
    const int type = gltf.accessors[index].componentType;
    if (type == TINYGLTF_COMPONENT_TYPE_FLOAT || type == TINYGLTF_COMPONENT_TYPE_BYTE ||
        type == TINYGLTF_COMPONENT_TYPE_SHORT || type == TINYGLTF_COMPONENT_TYPE_INT) {
      Fail(fmt::format(text::kBadAccessor, index, fmt::format(text::kWrongType, "indices")));
    }
  }
  std::vector<std::uint32_t> out = ReadAccessor<std::uint32_t>(gltf, index, 1, "indices");
  for (const std::uint32_t v : out) {
    if (v >= vertices) Fail(fmt::format(text::kBadAccessor, index, text::kIndexOutOfRange));
  }
  return out;
}

// The bytes of a buffer view, checked.
std::vector<std::uint8_t> ViewBytes(const tinygltf::Model& gltf, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= gltf.bufferViews.size()) {
    Fail(fmt::format(text::kBadReference, "texture level", "", "buffer view"));
  }
  const tinygltf::BufferView& view = gltf.bufferViews[index];
  if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= gltf.buffers.size()) {
    Fail(fmt::format(text::kBadReference, "buffer view", index, "buffer"));
  }
  const auto& data = gltf.buffers[view.buffer].data;
  if (view.byteOffset > data.size() || view.byteLength > data.size() - view.byteOffset) {
    Fail(fmt::format(text::kBadAccessor, index, text::kOutOfRange));
  }
  const auto first = data.begin() + static_cast<std::ptrdiff_t>(view.byteOffset);
  return std::vector<std::uint8_t>(first, first + static_cast<std::ptrdiff_t>(view.byteLength));
}

template <typename T>
std::vector<T> ViewArray(const tinygltf::Model& gltf, const json& view) {
  const int index = view.get<int>();
  if (index < 0) return {};
  const std::vector<std::uint8_t> bytes = ViewBytes(gltf, index);
  if (bytes.size() % sizeof(T) != 0)
    Fail(fmt::format(text::kBadAccessor, index, text::kOutOfRange));
  std::vector<T> out(bytes.size() / sizeof(T));
  std::memcpy(out.data(), bytes.data(), bytes.size());
  return out;
}

ScarMesh ScarFrom(const tinygltf::Model& gltf, const json& record) {
  ScarMesh scar;
  scar.Kind = record.at("Kind").get<Tag>();
  scar.ID = record.at("ID").get<Tag>();
  scar.DescriptionHeader = record.at("DescriptionHeader").get<ScarPartHeader>();
  scar.Description = record.at("Description").get<ScarDescription>();
  scar.BoxHeader = record.at("BoxHeader").get<ScarPartHeader>();
  scar.Box = record.at("Box").get<BoundingBox>();
  scar.SphereHeader = record.at("SphereHeader").get<ScarPartHeader>();
  scar.Sphere = record.at("Sphere").get<BoundingSphere>();
  scar.TrianglesHeader = record.at("TrianglesHeader").get<ScarPartHeader>();
  scar.Triangles.Vertices = ViewArray<Vector3>(gltf, record.at("TriangleVertices"));
  scar.Triangles.Indices = ViewArray<std::int16_t>(gltf, record.at("TriangleIndices"));
  scar.NormalsHeader = record.at("NormalsHeader").get<ScarPartHeader>();
  scar.Normals.Vertices = ViewArray<Vector3>(gltf, record.at("NormalVertices"));
  scar.Normals.Indices = ViewArray<std::int16_t>(gltf, record.at("NormalIndices"));
  scar.GridHeader = record.at("GridHeader").get<ScarPartHeader>();
  const auto sizes = record.at("Grid").get<std::array<std::int32_t, 3>>();
  scar.Grid.SizeX = sizes[0];
  scar.Grid.SizeY = sizes[1];
  scar.Grid.SizeZ = sizes[2];
  const std::vector<std::int32_t> cells = ViewArray<std::int32_t>(gltf, record.at("Cells"));
  const std::size_t cell_count = record.at("CellCount").get<std::size_t>();
  std::size_t at = 0;
  for (std::size_t c = 0; c < cell_count; ++c) {
    if (at >= cells.size() || cells[at] < 0 ||
        static_cast<std::size_t>(cells[at]) > cells.size() - at - 1) {
      Fail(fmt::format(text::kBadExtras, "a battle-scar mesh", text::kOutOfRange));
    }
    ScarCell cell;
    const auto count = static_cast<std::size_t>(cells[at]);
    for (std::size_t k = 0; k < count; ++k) {
      cell.Indices.push_back(static_cast<std::int16_t>(cells[at + 1 + k]));
    }
    at += count + 1;
    scar.Grid.Cells.push_back(std::move(cell));
  }
  return scar;
}

// ---- Rotations ----

// The Euler angles (X, then Y, then Z) of a unit quaternion x, y, z, w.
Vector3 EulerAngles(const std::vector<double>& q) {
  if (q.size() != 4) return {};
  double x = q[0], y = q[1], z = q[2], w = q[3];
  const double length = std::sqrt(x * x + y * y + z * z + w * w);
  if (!(length > 0) || !std::isfinite(length)) return {};
  x /= length, y /= length, z /= length, w /= length;
  const double r20 = 2 * (x * z - w * y);
  const double r21 = 2 * (y * z + w * x);
  const double r22 = 1 - 2 * (x * x + y * y);
  const double r10 = 2 * (x * y + w * z);
  const double r00 = 1 - 2 * (y * y + z * z);
  const double ay = std::asin(std::clamp(-r20, -1.0, 1.0));
  return {static_cast<float>(std::atan2(r21, r22)), static_cast<float>(ay),
          static_cast<float>(std::atan2(r10, r00))};
}

struct Placement {
  Vector3 position, angles, scale{1, 1, 1};
  bool identity = true;
};

Placement NodePlacement(const tinygltf::Node& node, std::vector<std::string>& notes) {
  Placement p;
  if (node.matrix.size() == 16) {
    const auto& m = node.matrix;  // column-major
    p.position = {static_cast<float>(m[12]), static_cast<float>(m[13]), static_cast<float>(m[14])};
    double s[3];
    double r[3][3];
    for (int c = 0; c < 3; ++c) {
      s[c] = std::sqrt(m[c * 4] * m[c * 4] + m[c * 4 + 1] * m[c * 4 + 1] +
                       m[c * 4 + 2] * m[c * 4 + 2]);
      for (int row = 0; row < 3; ++row) r[row][c] = s[c] > 0 ? m[c * 4 + row] / s[c] : 0;
    }
    p.scale = {static_cast<float>(s[0]), static_cast<float>(s[1]), static_cast<float>(s[2])};
    p.angles = {static_cast<float>(std::atan2(r[2][1], r[2][2])),
                static_cast<float>(std::asin(std::clamp(-r[2][0], -1.0, 1.0))),
                static_cast<float>(std::atan2(r[1][0], r[0][0]))};
    bool identity = true;
    for (int i = 0; i < 16; ++i) identity = identity && m[i] == (i % 5 == 0 ? 1.0 : 0.0);
    p.identity = identity;
    if (!identity) notes.push_back(fmt::format(text::kMatrixNode, Utf8ToCp1252(node.name)));
    return p;
  }
  if (node.translation.size() == 3) {
    p.position = {static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                  static_cast<float>(node.translation[2])};
    p.identity = p.identity && node.translation[0] == 0 && node.translation[1] == 0 &&
                 node.translation[2] == 0;
  }
  if (node.rotation.size() == 4) {
    p.angles = EulerAngles(node.rotation);
    p.identity =
        p.identity && node.rotation[0] == 0 && node.rotation[1] == 0 && node.rotation[2] == 0;
  }
  if (node.scale.size() == 3) {
    p.scale = {static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]),
               static_cast<float>(node.scale[2])};
    p.identity = p.identity && node.scale[0] == 1 && node.scale[1] == 1 && node.scale[2] == 1;
  }
  return p;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

template <typename Record>
void SetHeader(Record& record, Tag kind, Tag id = Tag()) {
  record.Kind = kind;
  record.Length = 0;
  record.ID = id;
}

// The counts and text lengths a model read from a file would have.
void FillCounts(HodModel& model) {
  const auto length = [](const std::string& s) { return static_cast<std::int32_t>(s.size()); };
  const auto count = [](const auto& list) { return static_cast<std::int32_t>(list.size()); };
  model.LightList.LightCount = count(model.LightList.Lights);
  for (Light& l : model.LightList.Lights) l.NameLength = length(l.Name);
  model.JointList.JointCount = count(model.JointList.Joints);
  for (Joint& j : model.JointList.Joints) {
    j.NameLength = length(j.Name);
    j.ParentLength = length(j.ParentName);
  }
  model.NavLightList.NavLightCount = count(model.NavLightList.NavLights);
  for (NavLight& n : model.NavLightList.NavLights) {
    n.NameLength = length(n.Name);
    n.StyleLength = length(n.Style);
  }
  model.DockPathList.PathCount = count(model.DockPathList.Paths);
  for (DockPath& p : model.DockPathList.Paths) {
    p.NameLength = length(p.Name);
    p.ParentLength = length(p.ParentName);
    p.FamiliesLength = length(p.Families);
    p.LinkedPathsLength = length(p.LinkedPaths);
    p.PointCount = count(p.Points);
  }
  BoundaryVertexRecord& b = model.BoundaryVertices;
  b.NameLength = length(b.Name);
  b.ParentLength = length(b.ParentName);
  b.VertexCount = count(b.Vertices);
  model.HodOwner.OwnerLength = length(model.HodOwner.Owner);
  for (Material& m : model.Materials) {
    m.NameLength = length(m.Name);
    m.ShaderLength = length(m.ShaderName);
    m.ParameterCount = count(m.Parameters);
    for (MaterialParameter& p : m.Parameters) p.LayerNameLength = length(p.LayerName);
  }
  for (Texture& t : model.Textures) {
    t.FileNameLength = length(t.FileName);
    t.MipCount = count(t.MipLevels);
  }
  const auto lod_counts = [&](LodMesh& lod) {
    lod.PartCount = count(lod.Parts);
    for (MeshPart& part : lod.Parts) {
      part.VertexCount = count(part.Vertices);
      part.FaceListCount = static_cast<std::int16_t>(part.FaceLists.size());
      for (FaceList& list : part.FaceLists) list.IndexCount = count(list.Indices);
    }
  };
  for (MultiMesh& m : model.Meshes) {
    m.NameLength = length(m.Name);
    m.ParentLength = length(m.ParentName);
    m.LodCount = count(m.Lods);
    for (LodMesh& lod : m.Lods) lod_counts(lod);
  }
  for (EngineGlow& g : model.EngineGlows) {
    g.NameLength = length(g.Name);
    g.ParentLength = length(g.ParentName);
    lod_counts(g.Mesh);
  }
  for (EngineShape& s : model.EngineShapes) {
    s.NameLength = length(s.Name);
    s.ParentLength = length(s.ParentName);
    for (ShapeOutline& o : s.Outlines) o.VertexCount = count(o.Vertices);
  }
  for (EngineBurn& b2 : model.EngineBurns) {
    b2.NameLength = length(b2.Name);
    b2.ParentLength = length(b2.ParentName);
  }
  for (Marker& m : model.Markers) {
    m.NameLength = length(m.Name);
    m.ParentLength = length(m.ParentName);
    for (KeyframeTrack& t : m.Tracks) {
      t.NameLength = length(t.Name);
      t.KeyCount = count(t.Keys);
    }
  }
  for (ScarMesh& s : model.ScarMeshes) {
    s.Description.NameLength = length(s.Description.Name);
    s.Description.ParentLength = length(s.Description.ParentName);
    for (TriangleMesh* t : {&s.Triangles, &s.Normals}) {
      t->VertexCount = count(t->Vertices);
      t->IndexCount = count(t->Indices);
    }
    for (ScarCell& cell : s.Grid.Cells) cell.IndexCount = count(cell.Indices);
  }
  for (CollisionMesh& c : model.CollisionMeshes) {
    c.ParentLength = length(c.ParentName);
    c.Triangles.VertexCount = count(c.Triangles.Vertices);
    c.Triangles.IndexCount = count(c.Triangles.Indices);
  }
  for (SimpleMesh& s : model.SimpleMeshes) {
    s.NameLength = length(s.Name);
    s.VertexCount = count(s.Vertices);
    s.IndexCount = count(s.Indices);
  }
  for (StarField& f : model.StarFields) f.StarCount = count(f.Stars);
  for (BackgroundSegment& b3 : model.BackgroundSegments) {
    b3.NameLength = length(b3.Name);
    b3.ElementCount = count(b3.Elements);
  }
  for (LodMesh& lod : model.BackgroundMeshSet.Meshes) lod_counts(lod);
  for (InfoEntry& e : model.Warnings) e.TextLength = length(e.Text);
  for (InfoEntry& e : model.Errors) e.TextLength = length(e.Text);
}

// Gantry's object in an element's extras, or null.
json GantryExtras(const tinygltf::Value& extras) {
  if (!extras.IsObject() || !extras.Has(names::kExtrasKey)) return nullptr;
  json fields = FromValue(extras.Get(names::kExtrasKey));
  return fields.is_object() ? fields : json(nullptr);
}

// A list of the extras. tinygltf writes an empty list as nothing, so a missing one is empty.
json ListAt(const json& fields, const char* key) {
  const auto found = fields.find(key);
  return found == fields.end() || found->is_null() ? json::array() : *found;
}

std::size_t IndexOf(const json& fields) {
  const auto found = fields.find("Index");
  if (found == fields.end() || !found->is_number_integer()) return 0;
  return static_cast<std::size_t>(std::max<std::int64_t>(found->get<std::int64_t>(), 0));
}

// Sorts (index, record) pairs by index and keeps the records.
template <typename Record>
std::vector<Record> InOrder(std::vector<std::pair<std::size_t, Record>> items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Record> out;
  out.reserve(items.size());
  for (auto& item : items) out.push_back(std::move(item.second));
  return out;
}

class Importer {
 public:
  Importer(const tinygltf::Model& gltf, GltfImport& result)
      : gltf_(gltf), model_(result.model), notes_(result.notes) {}

  void FromGantry(const json& scene_fields);
  void FromPlain();

 private:
  const tinygltf::Mesh* MeshOf(const tinygltf::Node& node) const {
    if (node.mesh < 0) return nullptr;
    if (static_cast<std::size_t>(node.mesh) >= gltf_.meshes.size()) {
      Fail(fmt::format(text::kBadReference, "node", Utf8ToCp1252(node.name), "mesh"));
    }
    return &gltf_.meshes[node.mesh];
  }
  LodMesh GantryLod(const json& fields, const tinygltf::Mesh* mesh);
  void PlainNode(int index, const std::string& joint, int depth);
  void PlainMesh(const tinygltf::Mesh& mesh, const std::string& node_name,
                 const std::string& joint);
  void PlainMaterials();
  void AddJoint(const std::string& name, const std::string& parent, const Placement& placement);

  const tinygltf::Model& gltf_;
  HodModel& model_;
  std::vector<std::string>& notes_;
  std::vector<bool> visited_;
  // Plain files: each mesh's levels by number, in the order the meshes appeared.
  std::vector<std::string> mesh_order_;
  std::map<std::string, std::map<int, LodMesh>> levels_;
  std::map<std::string, std::pair<std::string, bool>> mesh_parents_;  // parent joint, goblin
};

// ---- Files Gantry wrote ----

LodMesh Importer::GantryLod(const json& fields, const tinygltf::Mesh* mesh) {
  LodMesh lod;
  const json& level = fields.at("Level");
  lod.Kind = level.at("Kind").get<Tag>();
  lod.ID = level.at("ID").get<Tag>();
  lod.Version = level.at("Version").get<std::int32_t>();
  lod.LodLevel = level.at("LodLevel").get<std::int32_t>();
  const auto primitive = [&](int index) -> const tinygltf::Primitive& {
    if (!mesh || index < 0 || static_cast<std::size_t>(index) >= mesh->primitives.size()) {
      Fail(fmt::format(text::kBadReference, "part", "", "primitive"));
    }
    return mesh->primitives[index];
  };
  for (const json& record : ListAt(fields, "Parts")) {
    if (record.value("Whole", false)) {
      lod.Parts.push_back(record.get<MeshPart>());
      continue;
    }
    MeshPart part;
    part.MaterialIndex = record.at("MaterialIndex").get<std::int32_t>();
    part.VertexMask = record.at("VertexMask").get<std::int32_t>();
    int first = -1;
    if (record.contains("Points")) first = record.at("Points").get<int>();
    for (const json& list : ListAt(record, "Lists")) {
      if (list.contains("Primitive") && first < 0) first = list.at("Primitive").get<int>();
    }
    const tinygltf::Primitive& source = primitive(first);
    const auto reader = [&](const char* name, int components) -> std::optional<AccessorReader> {
      const auto found = source.attributes.find(name);
      if (found == source.attributes.end()) return std::nullopt;
      AccessorReader r(gltf_, found->second, components, name);
      if (!r.Simple()) {
        return AccessorReader(gltf_, -1, components, name);  // refused with its reason
      }
      return r;
    };
    const std::optional<AccessorReader> positions = reader("POSITION", 3);
    if (!positions || positions->count() == 0) Fail(fmt::format(text::kNoPositions, mesh->name));
    const std::size_t n = positions->count();
    part.Vertices.resize(n);
    float d[4];
    const auto fill = [&](const std::optional<AccessorReader>& r, auto&& set) {
      if (!r) return;
      if (r->count() != n) Fail(fmt::format(text::kBadAccessor, "", text::kOutOfRange));
      for (std::size_t i = 0; i < n; ++i) {
        r->Read(i, d);
        set(part.Vertices[i]);
      }
    };
    fill(positions, [&](MeshVertex& v) { v.Position = {d[0], d[1], d[2], 1}; });
    fill(reader("_POSITION_W", 1), [&](MeshVertex& v) { v.Position.w = d[0]; });
    std::optional<AccessorReader> normals = reader("NORMAL", 3);
    if (!normals) normals = reader("_HOD_NORMAL", 3);
    fill(normals, [&](MeshVertex& v) { v.Normal = {d[0], d[1], d[2], 0}; });
    fill(reader("_NORMAL_W", 1), [&](MeshVertex& v) { v.Normal.w = d[0]; });
    fill(reader("TEXCOORD_0", 2), [&](MeshVertex& v) { v.UV = {d[0], d[1]}; });
    fill(reader("_TANGENT", 3), [&](MeshVertex& v) { v.Tangent = {d[0], d[1], d[2]}; });
    fill(reader("_BINORMAL", 3), [&](MeshVertex& v) { v.Binormal = {d[0], d[1], d[2]}; });
    fill(reader("COLOR_0", 4), [&](MeshVertex& v) {
      for (int c = 0; c < 4; ++c) v.Colour[c] = static_cast<std::uint8_t>(std::lround(d[c] * 255));
    });
    for (const json& entry : ListAt(record, "Lists")) {
      FaceList list;
      list.Type = entry.at("Type").get<std::int32_t>();
      if (entry.contains("Primitive")) {
        const tinygltf::Primitive& p = primitive(entry.at("Primitive").get<int>());
        const std::vector<std::uint32_t> indices = ReadIndices(gltf_, p.indices, n);
        list.Indices.resize(indices.size());
        for (std::size_t k = 0; k < indices.size(); ++k) {
          list.Indices[k] = static_cast<std::int16_t>(static_cast<std::uint16_t>(indices[k]));
        }
      } else {
        list.Indices = ListAt(entry, "Indices").get<std::vector<std::int16_t>>();
      }
      part.FaceLists.push_back(std::move(list));
    }
    lod.Parts.push_back(std::move(part));
  }
  return lod;
}

void Importer::FromGantry(const json& scene_fields) {
  const ModelFields fields = scene_fields.at("Model").get<ModelFields>();
  model_.HodVersion.Version = fields.Version;
  model_.HodName.TypeName = fields.TypeName;
  static_cast<ChunkHeader&>(model_.HodOwner) = fields.OwnerHeader;
  model_.HodOwner.Owner = fields.Owner;
  static_cast<ChunkHeader&>(model_.LightList) = fields.LightsHeader;
  model_.LightList.Lights = fields.Lights;
  static_cast<ChunkHeader&>(model_.JointList) = fields.JointsHeader;
  static_cast<ChunkHeader&>(model_.NavLightList) = fields.NavLightsHeader;
  model_.NavLightList.Version = fields.NavLightVersion;
  static_cast<ChunkHeader&>(model_.DockPathList) = fields.DockPathsHeader;
  model_.Warnings = fields.Warnings;
  model_.Errors = fields.Errors;
  static_cast<ChunkHeader&>(model_.BackgroundLight) = fields.BackgroundLightHeader;
  model_.BackgroundLight.Length = fields.BackgroundLightLength;
  model_.BackgroundLight.SecondLength = fields.BackgroundLightSecond;
  static_cast<ChunkHeader&>(model_.BackgroundMeshSet) = fields.BackgroundMeshesHeader;
  model_.VaryMeshes = fields.VaryMeshes;
  for (const json& record : ListAt(scene_fields, "SimpleMeshes")) {
    SimpleMesh mesh;
    mesh.Kind = record.at("Kind").get<Tag>();
    mesh.ID = record.at("ID").get<Tag>();
    mesh.Name = record.value("Name", "");
    mesh.Vertices = ViewArray<SimpleVertex>(gltf_, record.at("Vertices"));
    mesh.Indices = ViewArray<std::int32_t>(gltf_, record.at("Indices"));
    model_.SimpleMeshes.push_back(std::move(mesh));
  }
  for (const json& record : ListAt(scene_fields, "StarFields")) {
    StarField field;
    field.Kind = record.at("Kind").get<Tag>();
    field.ID = record.at("ID").get<Tag>();
    field.Version = record.at("Version").get<std::int32_t>();
    field.Stars = ViewArray<Star>(gltf_, record.at("Stars"));
    model_.StarFields.push_back(std::move(field));
  }
  for (const json& record : ListAt(scene_fields, "BackgroundSegments")) {
    BackgroundSegment segment;
    segment.Kind = record.at("Kind").get<Tag>();
    segment.ID = record.at("ID").get<Tag>();
    segment.Name = record.value("Name", "");
    segment.Elements = ViewArray<BackgroundElement>(gltf_, record.at("Elements"));
    model_.BackgroundSegments.push_back(std::move(segment));
  }

  for (const json& record : ListAt(scene_fields, "Textures")) {
    Texture texture;
    texture.Kind = record.at("Kind").get<Tag>();
    texture.ID = record.at("ID").get<Tag>();
    texture.FileName = record.at("FileName").get<std::string>();
    texture.Format = record.at("Format").get<Tag>();
    texture.Width = record.at("Width").get<std::int32_t>();
    texture.Height = record.at("Height").get<std::int32_t>();
    for (const json& level : ListAt(record, "Levels")) {
      const int view = level.get<int>();
      texture.MipLevels.push_back(view < 0 ? MipLevel{} : ViewBytes(gltf_, view));
    }
    model_.Textures.push_back(std::move(texture));
  }
  model_.ScarMeshes.clear();
  for (const json& record : ListAt(scene_fields, "ScarMeshes")) {
    model_.ScarMeshes.push_back(ScarFrom(gltf_, record));
  }
  for (const tinygltf::Material& material : gltf_.materials) {
    const json extras = GantryExtras(material.extras);
    if (extras.is_null()) continue;
    model_.Materials.push_back(extras.get<Material>());
  }

  std::vector<std::pair<std::size_t, Joint>> joints;
  std::map<std::size_t, MultiMesh> meshes;
  std::map<std::size_t, std::map<std::size_t, LodMesh>> levels;
  std::vector<std::pair<std::size_t, EngineGlow>> glows;
  std::vector<std::pair<std::size_t, CollisionMesh>> collisions;
  std::vector<std::pair<std::size_t, EngineShape>> shapes;
  std::vector<std::pair<std::size_t, EngineBurn>> burns;
  std::vector<std::pair<std::size_t, Marker>> markers;
  std::vector<std::pair<std::size_t, DockPath>> paths;
  std::vector<std::pair<std::size_t, NavLight>> lights;
  std::vector<std::pair<std::size_t, LodMesh>> backgrounds;
  for (const tinygltf::Node& node : gltf_.nodes) {
    const json extras = GantryExtras(node.extras);
    if (extras.is_null()) continue;
    const std::string kind = extras.value(names::kKindKey, "");
    const std::size_t index = IndexOf(extras);
    if (kind == "joint") {
      joints.emplace_back(index, extras.get<Joint>());
    } else if (kind == "mesh") {
      MultiMesh& mesh = meshes[index];
      mesh.Kind = extras.at("Kind").get<Tag>();
      mesh.ID = extras.at("ID").get<Tag>();
      mesh.Version = extras.at("Version").get<std::int32_t>();
      mesh.Name = extras.at("Name").get<std::string>();
      mesh.ParentName = extras.at("ParentName").get<std::string>();
      if (extras.contains("Level")) {
        levels[index][extras.at("Lod").get<std::size_t>()] = GantryLod(extras, MeshOf(node));
      }
    } else if (kind == "glow") {
      EngineGlow glow;
      glow.Kind = extras.at("Kind").get<Tag>();
      glow.ID = extras.at("ID").get<Tag>();
      glow.InfoKind = extras.at("InfoKind").get<Tag>();
      glow.InfoID = extras.at("InfoID").get<Tag>();
      glow.Version = extras.at("Version").get<std::int32_t>();
      glow.Name = extras.at("Name").get<std::string>();
      glow.ParentName = extras.at("ParentName").get<std::string>();
      glow.LodLevel = extras.at("LodLevel").get<std::int32_t>();
      glow.Mesh = GantryLod(extras, MeshOf(node));
      glows.emplace_back(index, std::move(glow));
    } else if (kind == "collision") {
      CollisionMesh collision;
      collision.Kind = extras.at("Kind").get<Tag>();
      collision.ID = extras.at("ID").get<Tag>();
      collision.ParentName = extras.at("ParentName").get<std::string>();
      collision.BoxHeader = extras.at("BoxHeader").get<ChunkHeader>();
      collision.Box = extras.at("Box").get<BoundingBox>();
      collision.SphereHeader = extras.at("SphereHeader").get<ChunkHeader>();
      collision.Sphere = extras.at("Sphere").get<BoundingSphere>();
      collision.TrianglesHeader = extras.at("TrianglesHeader").get<ChunkHeader>();
      if (extras.contains("Triangles")) {
        collision.Triangles = extras.at("Triangles").get<TriangleMesh>();
      } else if (const tinygltf::Mesh* mesh = MeshOf(node); mesh && !mesh->primitives.empty()) {
        const tinygltf::Primitive& p = mesh->primitives.front();
        const auto found = p.attributes.find("POSITION");
        if (found == p.attributes.end()) Fail(fmt::format(text::kNoPositions, mesh->name));
        const std::vector<double> positions =
            ReadAccessor<double>(gltf_, found->second, 3, "POSITION");
        for (std::size_t i = 0; i + 2 < positions.size(); i += 3) {
          collision.Triangles.Vertices.push_back({static_cast<float>(positions[i]),
                                                  static_cast<float>(positions[i + 1]),
                                                  static_cast<float>(positions[i + 2])});
        }
        for (const std::uint32_t i : ReadIndices(gltf_, p.indices, positions.size() / 3)) {
          collision.Triangles.Indices.push_back(
              static_cast<std::int16_t>(static_cast<std::uint16_t>(i)));
        }
      }
      collisions.emplace_back(index, std::move(collision));
    } else if (kind == "background") {
      backgrounds.emplace_back(index, GantryLod(extras, MeshOf(node)));
    } else if (kind == "shape") {
      shapes.emplace_back(index, extras.get<EngineShape>());
    } else if (kind == "burn") {
      burns.emplace_back(index, extras.get<EngineBurn>());
    } else if (kind == "marker") {
      markers.emplace_back(index, extras.get<Marker>());
    } else if (kind == "navlight") {
      lights.emplace_back(index, extras.get<NavLight>());
    } else if (kind == "boundary") {
      model_.BoundaryVertices = extras.get<BoundaryVertexRecord>();
    } else if (kind == "dockpath") {
      const DockPathFields fields2 = extras.get<DockPathFields>();
      DockPath path;
      path.Name = fields2.Name;
      path.ParentName = fields2.ParentName;
      path.Families = fields2.Families;
      path.LinkedPaths = fields2.LinkedPaths;
      path.PathFormat = fields2.PathFormat;
      path.PointFormat = fields2.PointFormat;
      path.PathValue1 = fields2.PathValue1;
      path.PathValue2 = fields2.PathValue2;
      path.PathValue3 = fields2.PathValue3;
      path.PathValue4 = fields2.PathValue4;
      std::vector<std::pair<std::size_t, DockPoint>> points;
      for (const int child : node.children) {
        if (child < 0 || static_cast<std::size_t>(child) >= gltf_.nodes.size()) continue;
        const json point = GantryExtras(gltf_.nodes[child].extras);
        if (point.is_null() || point.value(names::kKindKey, "") != "dockpoint") continue;
        points.emplace_back(IndexOf(point), point.get<DockPoint>());
      }
      path.Points = InOrder(std::move(points));
      paths.emplace_back(index, std::move(path));
    }
  }
  model_.JointList.Joints = InOrder(std::move(joints));
  model_.Meshes.clear();
  for (auto& [index, mesh] : meshes) {
    for (auto& [l, lod] : levels[index]) mesh.Lods.push_back(std::move(lod));
    model_.Meshes.push_back(std::move(mesh));
  }
  model_.EngineGlows = InOrder(std::move(glows));
  model_.CollisionMeshes = InOrder(std::move(collisions));
  model_.EngineShapes = InOrder(std::move(shapes));
  model_.EngineBurns = InOrder(std::move(burns));
  model_.Markers = InOrder(std::move(markers));
  model_.DockPathList.Paths = InOrder(std::move(paths));
  model_.NavLightList.NavLights = InOrder(std::move(lights));
  model_.BackgroundMeshSet.Meshes = InOrder(std::move(backgrounds));
}

// ---- Files from other tools ----

void Importer::AddJoint(const std::string& name, const std::string& parent,
                        const Placement& placement) {
  for (Joint& joint : model_.JointList.Joints) {
    if (joint.Name == name) {  // Root, or a name used twice: the first keeps its place
      joint.Position = placement.position;
      joint.Rotation = placement.angles;
      return;
    }
  }
  Joint joint;
  joint.Name = name;
  joint.ParentName = parent;
  joint.Position = placement.position;
  joint.Rotation = placement.angles;
  joint.Scale = placement.scale;
  joint.Freedom = {1, 1, 1};
  model_.JointList.Joints.push_back(std::move(joint));
}

// Splits triangles into parts of at most kMaxPartVertices vertices each.
void AddTriangleParts(const std::vector<MeshVertex>& vertices,
                      const std::vector<std::uint32_t>& triangles, std::int32_t material,
                      std::int32_t mask, std::vector<MeshPart>& parts) {
  MeshPart part;
  std::vector<std::uint32_t> slot(vertices.size(), UINT32_MAX);
  std::vector<std::uint32_t> used;
  FaceList list;
  const auto flush = [&]() {
    if (list.Indices.empty()) return;
    part.MaterialIndex = material;
    part.VertexMask = mask;
    part.FaceLists.push_back(std::move(list));
    parts.push_back(std::move(part));
    part = MeshPart{};
    list = FaceList{};
    for (const std::uint32_t v : used) slot[v] = UINT32_MAX;
    used.clear();
  };
  for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
    int fresh = 0;
    for (int c = 0; c < 3; ++c) fresh += slot[triangles[t + c]] == UINT32_MAX ? 1 : 0;
    if (part.Vertices.size() + fresh > kMaxPartVertices) flush();
    for (int c = 0; c < 3; ++c) {
      const std::uint32_t v = triangles[t + c];
      if (slot[v] == UINT32_MAX) {
        slot[v] = static_cast<std::uint32_t>(part.Vertices.size());
        part.Vertices.push_back(vertices[v]);
        used.push_back(v);
      }
      list.Indices.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(slot[v])));
    }
  }
  flush();
}

void Importer::PlainMesh(const tinygltf::Mesh& mesh, const std::string& node_name,
                         const std::string& joint) {
  std::string name = node_name;
  int level = 0;
  bool goblin = false;
  const std::size_t lod_at = name.rfind(names::kLodInfix);
  if (lod_at != std::string::npos && lod_at > 0) {
    const std::string digits = name.substr(lod_at + std::strlen(names::kLodInfix));
    if (!digits.empty() && digits.size() < 4 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      level = std::stoi(digits);
      name.resize(lod_at);
    }
  }
  const std::size_t suffix = std::strlen(names::kGoblinSuffix);
  if (name.size() > suffix &&
      name.compare(name.size() - suffix, suffix, names::kGoblinSuffix) == 0) {
    goblin = true;
    name.resize(name.size() - suffix);
  }
  LodMesh lod;
  SetHeader(lod, "NRML", "BMSH");
  lod.Version = kMeshVersion;
  lod.LodLevel = level;
  for (const tinygltf::Primitive& p : mesh.primitives) {
    const auto found = p.attributes.find("POSITION");
    if (found == p.attributes.end()) Fail(fmt::format(text::kNoPositions, Utf8ToCp1252(mesh.name)));
    if (p.mode != TINYGLTF_MODE_TRIANGLES && p.mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
        p.mode != TINYGLTF_MODE_TRIANGLE_FAN && p.mode != -1) {
      notes_.push_back(fmt::format(text::kSkippedMode, Utf8ToCp1252(mesh.name)));
      continue;
    }
    const std::vector<double> positions =
        ReadAccessor<double>(gltf_, found->second, 3, "POSITION", true);
    const std::size_t n = positions.size() / 3;
    std::vector<MeshVertex> vertices(n);
    for (std::size_t i = 0; i < n; ++i) {
      vertices[i].Position = {static_cast<float>(positions[i * 3]),
                              static_cast<float>(positions[i * 3 + 1]),
                              static_cast<float>(positions[i * 3 + 2]), 1};
      vertices[i].Normal.w = 1;
    }
    std::int32_t mask = kImportedMask;
    if (const auto normal = p.attributes.find("NORMAL"); normal != p.attributes.end()) {
      const std::vector<double> values =
          ReadAccessor<double>(gltf_, normal->second, 3, "NORMAL", true);
      if (values.size() != positions.size())
        Fail(fmt::format(text::kBadAccessor, normal->second, text::kOutOfRange));
      for (std::size_t i = 0; i < n; ++i) {
        vertices[i].Normal = {static_cast<float>(values[i * 3]),
                              static_cast<float>(values[i * 3 + 1]),
                              static_cast<float>(values[i * 3 + 2]), 1};
      }
    }
    if (const auto uv = p.attributes.find("TEXCOORD_0"); uv != p.attributes.end()) {
      const std::vector<double> values = ReadAccessor<double>(gltf_, uv->second, 2, "TEXCOORD_0");
      if (values.size() != n * 2)
        Fail(fmt::format(text::kBadAccessor, uv->second, text::kOutOfRange));
      for (std::size_t i = 0; i < n; ++i) {
        vertices[i].UV = {static_cast<float>(values[i * 2]), static_cast<float>(values[i * 2 + 1])};
      }
    }
    if (const auto colour = p.attributes.find("COLOR_0"); colour != p.attributes.end()) {
      const int components = Components(
          colour->second >= 0 && static_cast<std::size_t>(colour->second) < gltf_.accessors.size()
              ? gltf_.accessors[colour->second].type
              : TINYGLTF_TYPE_VEC4);
      const std::vector<double> values =
          ReadAccessor<double>(gltf_, colour->second, components == 3 ? 3 : 4, "COLOR_0");
      const int k = components == 3 ? 3 : 4;
      if (values.size() != n * k)
        Fail(fmt::format(text::kBadAccessor, colour->second, text::kOutOfRange));
      for (std::size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 4; ++c) {
          const double value = c < k ? values[i * k + c] : 1.0;
          vertices[i].Colour[c] =
              static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
        }
      }
      mask |= kMaskColour;
    }
    std::vector<std::uint32_t> order;
    if (p.indices >= 0) {
      order = ReadIndices(gltf_, p.indices, n);
    } else {
      order.resize(n);
      for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<std::uint32_t>(i);
    }
    std::vector<std::uint32_t> triangles;
    if (p.mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
      for (std::size_t i = 2; i < order.size(); ++i) {
        const bool odd = i % 2 == 1;
        triangles.insert(triangles.end(),
                         {order[i - 2], order[odd ? i : i - 1], order[odd ? i - 1 : i]});
      }
    } else if (p.mode == TINYGLTF_MODE_TRIANGLE_FAN) {
      for (std::size_t i = 2; i < order.size(); ++i) {
        triangles.insert(triangles.end(), {order[0], order[i - 1], order[i]});
      }
    } else {
      triangles = std::move(order);
      triangles.resize(triangles.size() - triangles.size() % 3);
    }
    const std::int32_t material =
        p.material >= 0 && static_cast<std::size_t>(p.material) < model_.Materials.size()
            ? p.material
            : 0;
    AddTriangleParts(vertices, triangles, material, mask, lod.Parts);
  }
  if (!levels_.count(name)) mesh_order_.push_back(name);
  mesh_parents_.emplace(name, std::make_pair(joint, goblin));
  levels_[name][level] = std::move(lod);
}

void Importer::PlainNode(int index, const std::string& joint, int depth) {
  if (index < 0 || static_cast<std::size_t>(index) >= gltf_.nodes.size()) {
    Fail(fmt::format(text::kBadReference, "a node", "", "node"));
  }
  // A node reached twice (a cycle, or two parents) is taken once.
  if (visited_[index] || depth > 1000) return;
  visited_[index] = true;
  const tinygltf::Node& node = gltf_.nodes[index];
  std::string name = Utf8ToCp1252(node.name);
  if (name.empty()) name = "Node" + std::to_string(index);
  const Placement placement = NodePlacement(node, notes_);
  std::string child_joint = joint;
  if (StartsWith(name, names::kMarker)) {
    Marker marker;
    SetHeader(marker, "FORM", "MRKR");
    marker.HeadKind = "NRML";
    marker.HeadID = "HEAD";
    marker.Version = 1;
    marker.Name = name.substr(std::strlen(names::kMarker));
    marker.ParentName = joint;
    marker.Position = {placement.position.x, placement.position.y, placement.position.z};
    marker.Rotation = {placement.angles.x, placement.angles.y, placement.angles.z};
    marker.KeyfKind = "FORM";
    marker.KeyfID = "KEYF";
    model_.Markers.push_back(std::move(marker));
    return;
  }
  if (StartsWith(name, names::kDockPath)) {
    DockPath path;
    path.Name = name.substr(std::strlen(names::kDockPath));
    path.ParentName = joint;
    for (const int child : node.children) {
      if (child < 0 || static_cast<std::size_t>(child) >= gltf_.nodes.size()) {
        Fail(fmt::format(text::kBadReference, "node", name, "child"));
      }
      if (visited_[child]) continue;
      visited_[child] = true;
      const Placement at = NodePlacement(gltf_.nodes[child], notes_);
      DockPoint point;
      point.Position = at.position;
      point.Rotation = at.angles;
      path.Points.push_back(point);
    }
    model_.DockPathList.Paths.push_back(std::move(path));
    return;
  }
  for (const char* prefix : {names::kNavLight, names::kEngineBurn, names::kEngineShape,
                             names::kEngineGlow, names::kCollision, names::kBoundary}) {
    if (StartsWith(name, prefix)) {
      notes_.push_back(fmt::format(text::kNotCarried, name));
      return;
    }
  }
  if (const tinygltf::Mesh* mesh = MeshOf(node)) {
    // A mesh node that moves or has children stands for a joint of its own.
    if (!placement.identity || !node.children.empty()) {
      child_joint = name;
      AddJoint(name, joint, placement);
    }
    PlainMesh(*mesh, name, child_joint);
  } else {
    child_joint = name;
    AddJoint(name, joint, placement);
  }
  for (const int child : node.children) PlainNode(child, child_joint, depth + 1);
}

void Importer::PlainMaterials() {
  std::vector<int> texture_of_image(gltf_.images.size(), -1);
  for (std::size_t i = 0; i < gltf_.images.size(); ++i) {
    const tinygltf::Image& image = gltf_.images[i];
    if (image.width <= 0 || image.height <= 0 || image.component != 4 || image.bits != 8 ||
        image.image.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
      // Data URIs are the image itself, not a name to show.
      const std::string label = image.uri.rfind("data:", 0) == 0 ? image.name : image.uri;
      Fail(fmt::format(text::kImageMissing, i, Utf8ToCp1252(label)));
    }
    RgbaImage rgba;
    rgba.width = image.width;
    rgba.height = image.height;
    rgba.pixels.assign(image.image.begin(), image.image.end());
    std::string name = Utf8ToCp1252(image.name.empty() ? image.uri : image.name);
    if (name.empty()) name = "Texture" + std::to_string(i + 1);
    model_.Textures.push_back(EncodeTexture(rgba, name));
    texture_of_image[i] = static_cast<int>(model_.Textures.size() - 1);
  }
  for (std::size_t m = 0; m < gltf_.materials.size(); ++m) {
    const tinygltf::Material& source = gltf_.materials[m];
    Material material;
    SetHeader(material, "NRML", "STAT");
    material.Version = kMaterialVersion;
    material.Name = Utf8ToCp1252(source.name);
    if (material.Name.empty()) material.Name = "Material" + std::to_string(m + 1);
    material.ShaderName = shared_text::kDefault;
    const int texture = source.pbrMetallicRoughness.baseColorTexture.index;
    if (texture >= 0 && static_cast<std::size_t>(texture) < gltf_.textures.size()) {
      const int image = gltf_.textures[texture].source;
      if (image >= 0 && static_cast<std::size_t>(image) < texture_of_image.size() &&
          texture_of_image[image] >= 0) {
        MaterialParameter parameter;
        parameter.Type = kParameterTexture;
        parameter.TextureIndex = texture_of_image[image];
        parameter.LayerName = kDiffuseLayer;
        material.Parameters.push_back(std::move(parameter));
      }
    }
    model_.Materials.push_back(std::move(material));
  }
  if (model_.Materials.empty()) {  // every part needs a material
    Material material;
    SetHeader(material, "NRML", "STAT");
    material.Version = kMaterialVersion;
    material.Name = "Material1";
    material.ShaderName = shared_text::kDefault;
    model_.Materials.push_back(std::move(material));
  }
}

void Importer::FromPlain() {
  PlainMaterials();
  visited_.assign(gltf_.nodes.size(), false);
  std::vector<int> roots;
  if (!gltf_.scenes.empty()) {
    const int scene = gltf_.defaultScene >= 0 &&
                              static_cast<std::size_t>(gltf_.defaultScene) < gltf_.scenes.size()
                          ? gltf_.defaultScene
                          : 0;
    roots = gltf_.scenes[scene].nodes;
  } else {
    // No scene: every node that is no one's child.
    std::vector<bool> child(gltf_.nodes.size(), false);
    for (const auto& node : gltf_.nodes) {
      for (const int c : node.children) {
        if (c >= 0 && static_cast<std::size_t>(c) < child.size()) child[c] = true;
      }
    }
    for (std::size_t i = 0; i < child.size(); ++i) {
      if (!child[i]) roots.push_back(static_cast<int>(i));
    }
  }
  const std::string root = model_.JointList.Joints.front().Name;
  for (const int node : roots) {
    // A top node named like the root joint is the root joint.
    if (node >= 0 && static_cast<std::size_t>(node) < gltf_.nodes.size() &&
        Utf8ToCp1252(gltf_.nodes[node].name) == root && gltf_.nodes[node].mesh < 0) {
      visited_[node] = true;
      AddJoint(root, "", NodePlacement(gltf_.nodes[node], notes_));
      for (const int child : gltf_.nodes[node].children) PlainNode(child, root, 1);
      continue;
    }
    PlainNode(node, root, 0);
  }
  if (mesh_order_.empty() && model_.Markers.empty() && model_.DockPathList.Paths.empty() &&
      model_.JointList.Joints.size() <= 1) {
    Fail(text::kNoScene);
  }
  for (const std::string& name : mesh_order_) {
    MultiMesh mesh;
    const auto& [parent, goblin] = mesh_parents_.at(name);
    SetHeader(mesh, "NRML", goblin ? "GOBG" : "MULT");
    mesh.Version = kMeshVersion;
    mesh.Name = name;
    mesh.ParentName = parent;
    int expected = 0;
    for (auto& [level, lod] : levels_.at(name)) {
      if (level != expected) notes_.push_back(fmt::format(text::kMissingLevel, name));
      lod.LodLevel = expected++;
      mesh.Lods.push_back(std::move(lod));
      if (goblin) break;  // a goblin has one level
    }
    model_.Meshes.push_back(std::move(mesh));
  }
}

// ---- Loading ----

bool LoadImage(tinygltf::Image* image, const int index, std::string* error, std::string*, int, int,
               const unsigned char* bytes, int size, void*) {
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(bytes, size, &width, &height, &channels)) {
    // A missing or broken image leaves the material without its texture, with a note.
    if (error) *error += fmt::format(text::kImageUndecodable, index, stbi_failure_reason()) + "\n";
    return true;
  }
  if (width <= 0 || height <= 0 || width > kMaxDecodedSide || height > kMaxDecodedSide) {
    if (error) *error += std::string(text::kImageTooLarge) + "\n";
    return true;
  }
  unsigned char* pixels = stbi_load_from_memory(bytes, size, &width, &height, &channels, 4);
  if (!pixels) {
    if (error) *error += fmt::format(text::kImageUndecodable, index, stbi_failure_reason()) + "\n";
    return true;
  }
  image->width = width;
  image->height = height;
  image->component = 4;
  image->bits = 8;
  image->pixel_type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  image->image.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return true;
}

struct FileAccess {
  std::string folder;
};

bool Exists(const std::string& path, void*) {
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file) std::fclose(file);
  return file != nullptr;
}

std::string Expand(const std::string& path, void*) { return path; }

bool ReadWhole(std::vector<unsigned char>* out, std::string* error, const std::string& path,
               void* user) {
  const auto* access = static_cast<const FileAccess*>(user);
  if (access->folder.empty()) {
    if (error) *error += fmt::format(text::kNoExternalFiles, path);
    return false;
  }
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (!file) {
    if (error) *error += text::kExternalFileLead + path;
    return false;
  }
  std::vector<unsigned char> data;
  unsigned char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    data.insert(data.end(), chunk, chunk + got);
  std::fclose(file);
  *out = std::move(data);
  return true;
}

bool WriteNothing(std::string*, const std::string&, const std::vector<unsigned char>&, void*) {
  return false;
}

}  // namespace

std::optional<GltfImport> ImportGltf(std::span<const std::uint8_t> file, const std::string& folder,
                                     std::string* error) {
  tinygltf::Model gltf;
  tinygltf::TinyGLTF loader;
  FileAccess access{folder};
  loader.SetFsCallbacks({&Exists, &Expand, &ReadWhole, &WriteNothing, &access});
  loader.SetImageLoader(&LoadImage, nullptr);
  std::string load_error, warning;
  bool loaded = false;
  try {
    const bool binary = file.size() >= 4 && std::memcmp(file.data(), "glTF", 4) == 0;
    if (file.size() > std::numeric_limits<unsigned int>::max()) {
      loaded = false;
      load_error = "the file is too large";
    } else if (binary) {
      loaded = loader.LoadBinaryFromMemory(&gltf, &load_error, &warning, file.data(),
                                           static_cast<unsigned int>(file.size()), folder);
    } else {
      loaded = loader.LoadASCIIFromString(&gltf, &load_error, &warning,
                                          reinterpret_cast<const char*>(file.data()),
                                          static_cast<unsigned int>(file.size()), folder);
    }
  } catch (const std::exception& e) {
    loaded = false;
    load_error = e.what();
  }
  if (!loaded) {
    while (!load_error.empty() && (load_error.back() == '\n' || load_error.back() == '\r')) {
      load_error.pop_back();
    }
    if (error) *error = text::kNotGltf + load_error;
    return std::nullopt;
  }
  GltfImport result;
  ResetModel(result.model);
  for (std::size_t start = 0; start < load_error.size();) {  // image notes
    const std::size_t end = std::min(load_error.find('\n', start), load_error.size());
    if (end > start) result.notes.push_back(load_error.substr(start, end - start));
    start = end + 1;
  }
  try {
    Importer importer(gltf, result);
    json scene_fields;
    if (!gltf.scenes.empty()) scene_fields = GantryExtras(gltf.scenes.front().extras);
    if (scene_fields.is_object() && scene_fields.value(names::kKindKey, "") == "model") {
      result.from_gantry = true;
      importer.FromGantry(scene_fields);
    } else {
      importer.FromPlain();
    }
  } catch (const ImportError& e) {
    if (error) *error = e.what;
    return std::nullopt;
  } catch (const json::exception& e) {
    if (error) *error = fmt::format(text::kBadExtras, "the file", e.what());
    return std::nullopt;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return std::nullopt;
  }
  FillCounts(result.model);
  return result;
}

}  // namespace gantry
