#include "view/viewer_scene.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>

#include "geometry/mesh_triangles.h"
#include "geometry/rotations.h"

namespace gantry {
namespace {

constexpr std::int32_t kTextureParameter = 5;

bool HoldsDiffuse(const std::string& name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("diffuse") != std::string::npos;
}

using Frame = JointFrame;

void AddLevel(const LodMesh& level, const std::optional<Frame>& frame,
              std::map<std::int32_t, SceneBuffer>& buffers) {
  constexpr std::uint32_t kNotPlaced = 0xFFFFFFFF;
  for (const MeshPart& part : level.Parts) {
    SceneBuffer& buffer = buffers[part.MaterialIndex];
    buffer.material = part.MaterialIndex;
    const bool coloured = (part.VertexMask & kMaskColour) != 0;
    // Each corner the triangles use is placed once; the triangles name it by its number.
    std::vector<std::uint32_t> placed(part.Vertices.size(), kNotPlaced);
    for (const CornerIndices& triangle : PartTriangles(part)) {
      for (const std::int32_t corner : triangle) {
        std::uint32_t& at = placed[static_cast<std::size_t>(corner)];
        if (at == kNotPlaced) {
          const MeshVertex& v = part.Vertices[static_cast<std::size_t>(corner)];
          SceneVertex out;
          const Vector3 p{v.Position.x, v.Position.y, v.Position.z};
          out.position = frame ? frame->Place(p) : p;
          // Stored blue, green, red, alpha; meshes without colours draw their texture as it is.
          out.colour = coloured ? std::array<std::uint8_t, 4>{v.Colour[2], v.Colour[1], v.Colour[0],
                                                              v.Colour[3]}
                                : std::array<std::uint8_t, 4>{255, 255, 255, 255};
          out.u = v.UV.u;
          out.v = v.UV.v;
          at = static_cast<std::uint32_t>(buffer.vertices.size());
          buffer.vertices.push_back(out);
        }
        buffer.indices.push_back(at);
      }
    }
  }
}

}  // namespace

JointFrame JointFrame::Of(const JointListRecord& joints, const std::string& joint) {
  const Vector3 o = JointToWorld(joints, {0, 0, 0}, joint);
  const auto axis = [&](const Vector3& unit) {
    const Vector3 e = JointToWorld(joints, unit, joint);
    return Vector3{e.x - o.x, e.y - o.y, e.z - o.z};
  };
  return {o, axis({1, 0, 0}), axis({0, 1, 0}), axis({0, 0, 1})};
}

SceneTicks DefaultSceneTicks(const HodModel& model) {
  SceneTicks ticks;
  for (const MultiMesh& mesh : model.Meshes) {
    std::vector<bool> levels(mesh.Lods.size(), false);
    if (!levels.empty()) levels[0] = true;
    ticks.lods.push_back(std::move(levels));
  }
  ticks.background.assign(model.BackgroundMeshSet.Meshes.size(), true);
  return ticks;
}

std::vector<SceneBuffer> BuildScene(const HodModel& model, bool multi_meshes,
                                    const SceneTicks& ticks) {
  std::map<std::int32_t, SceneBuffer> buffers;
  if (multi_meshes) {
    for (std::size_t m = 0; m < model.Meshes.size() && m < ticks.lods.size(); ++m) {
      const MultiMesh& mesh = model.Meshes[m];
      std::optional<Frame> frame;
      for (std::size_t l = 0; l < mesh.Lods.size() && l < ticks.lods[m].size(); ++l) {
        if (!ticks.lods[m][l]) continue;
        if (!frame) frame = Frame::Of(model.JointList, mesh.ParentName);
        AddLevel(mesh.Lods[l], frame, buffers);
      }
    }
  } else {
    const auto& meshes = model.BackgroundMeshSet.Meshes;
    for (std::size_t b = 0; b < meshes.size() && b < ticks.background.size(); ++b) {
      if (ticks.background[b]) AddLevel(meshes[b], std::nullopt, buffers);
    }
  }
  std::vector<SceneBuffer> out;
  for (auto& [material, buffer] : buffers) {
    if (!buffer.vertices.empty()) out.push_back(std::move(buffer));
  }
  return out;
}

std::size_t SceneTriangles(const std::vector<SceneBuffer>& scene) {
  std::size_t triangles = 0;
  for (const SceneBuffer& buffer : scene) {
    triangles += (buffer.indices.empty() ? buffer.vertices.size() : buffer.indices.size()) / 3;
  }
  return triangles;
}

std::vector<SceneBuffer> SimplifiedScene(const std::vector<SceneBuffer>& scene, int cells) {
  Vector3 low{0, 0, 0}, high{0, 0, 0};
  bool first = true;
  for (const SceneBuffer& buffer : scene) {
    for (const SceneVertex& v : buffer.vertices) {
      const Vector3& p = v.position;
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) continue;
      if (first) low = high = p;
      first = false;
      low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
  }
  const double side =
      std::max({static_cast<double>(high.x) - low.x, static_cast<double>(high.y) - low.y,
                static_cast<double>(high.z) - low.z});
  const double per_unit = side > 0 ? std::max(cells, 1) / side : 0;
  const auto cell_of = [&](const Vector3& p) -> std::uint64_t {
    const auto axis = [&](float value, float from) -> std::uint64_t {
      const double at = std::isfinite(value) ? (value - from) * per_unit : 0;
      return static_cast<std::uint64_t>(std::clamp(at, 0.0, 2097151.0));  // 21 bits
    };
    return axis(p.x, low.x) << 42 | axis(p.y, low.y) << 21 | axis(p.z, low.z);
  };

  std::vector<SceneBuffer> out;
  for (const SceneBuffer& buffer : scene) {
    SceneBuffer coarse;
    coarse.material = buffer.material;
    std::unordered_map<std::uint64_t, std::uint32_t> kept;
    std::vector<std::uint32_t> moved(buffer.vertices.size());
    for (std::size_t i = 0; i < buffer.vertices.size(); ++i) {
      const auto [at, fresh] = kept.try_emplace(cell_of(buffer.vertices[i].position),
                                                static_cast<std::uint32_t>(coarse.vertices.size()));
      if (fresh) coarse.vertices.push_back(buffer.vertices[i]);
      moved[i] = at->second;
    }
    const std::size_t corners =
        buffer.indices.empty() ? buffer.vertices.size() : buffer.indices.size();
    const auto corner = [&](std::size_t k) {
      return moved[buffer.indices.empty() ? k : buffer.indices[k]];
    };
    // Many fine triangles become the same coarse one: it is kept once (turned so its smallest
    // corner comes first, which keeps its winding).
    std::set<std::array<std::uint32_t, 3>> seen;
    for (std::size_t k = 0; k + 2 < corners; k += 3) {
      std::array<std::uint32_t, 3> t = {corner(k), corner(k + 1), corner(k + 2)};
      if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) continue;
      std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
      if (!seen.insert(t).second) continue;
      coarse.indices.insert(coarse.indices.end(), t.begin(), t.end());
    }
    if (!coarse.indices.empty()) out.push_back(std::move(coarse));
  }
  return out;
}

std::optional<std::size_t> DiffuseTexture(const HodModel& model, std::size_t material) {
  if (material >= model.Materials.size()) return std::nullopt;
  const std::vector<MaterialParameter>& parameters = model.Materials[material].Parameters;
  const auto valid = [&](std::int32_t index) -> std::optional<std::size_t> {
    if (index < 0 || static_cast<std::size_t>(index) >= model.Textures.size()) return std::nullopt;
    return static_cast<std::size_t>(index);
  };
  for (const MaterialParameter& parameter : parameters) {
    if (parameter.Type == kTextureParameter && HoldsDiffuse(parameter.LayerName)) {
      return valid(parameter.TextureIndex);
    }
  }
  if (parameters.size() == 1) return valid(parameters[0].TextureIndex);
  return std::nullopt;
}

}  // namespace gantry
