#include "hod/validate.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "hod/reader_limits.h"
#include "hod/reset.h"
#include "hod/textures.h"
#include "hod/validate_messages.h"

namespace gantry {

namespace {

using namespace messages;

constexpr std::int32_t kBackgroundVersion = 1000;

// Joint names clash regardless of case.
std::string Lowered(const std::string& name) {
  std::string lowered = name;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

// The first pair of joints with the same name, in the order a pairwise scan would meet them
// (the smallest first joint that has a namesake, then that namesake's nearest successor), found
// in one pass so that files with tens of thousands of joints validate at once.
std::optional<std::pair<std::size_t, std::size_t>> FirstSameNamedJoints(
    const std::vector<Joint>& joints) {
  struct Seen {
    std::size_t first;
    std::optional<std::size_t> second;
  };
  std::unordered_map<std::string, Seen> seen;
  seen.reserve(joints.size());
  std::optional<std::pair<std::size_t, std::size_t>> best;
  for (std::size_t j = 0; j < joints.size(); ++j) {
    auto [it, inserted] = seen.try_emplace(Lowered(joints[j].Name), Seen{j, std::nullopt});
    if (inserted || it->second.second) continue;
    it->second.second = j;
    if (!best || it->second.first < best->first) best = std::make_pair(it->second.first, j);
  }
  return best;
}

class Validator {
 public:
  Validator(HodModel& model, Ui& ui, const ValidationContext& context)
      : m_(model), ui_(ui), context_(context) {}

  ValidationResult Run() {
    ValidationResult result;
    if (m_.HodVersion.Version == kBackgroundVersion) {
      result.valid = ReaderLimits() && Textures() && Background();
    } else if (m_.HodName.TypeName == kMultiMeshTypeName) {
      result.valid = ReaderLimits() && MultiMesh(result);
    } else if (m_.HodName.TypeName == kSimpleMeshTypeName ||
               m_.HodName.TypeName == kWireframeMeshTypeName) {
      result.valid = ReaderLimits() && Textures() && Simple();
    } else {
      result.valid = true;  // a NAME text of the user's own: nothing to check against
    }
    return result;
  }

 private:
  bool Fail(const std::string& text, Icon icon = Icon::Critical) {
    ui_.Message(text, icon);
    return false;
  }

  // Counts beyond what the reader can hold would give a file that stops reading part way.
  bool ReaderLimits() {
    const std::optional<std::string> broken = FirstReaderLimitBroken(m_);
    return !broken || Fail(*broken);
  }

  bool Background() {
    const auto& meshes = m_.BackgroundMeshSet.Meshes;
    if (meshes.empty()) {
      ui_.Message(kNoGeometry, Icon::Exclamation);
      return true;
    }
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      if (meshes[i].PartCount == 0)
        return Fail(fmt::format("{}{}{}", kBgmsPart, i + 1, kBgmsEmpty));
    }
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      for (const MeshPart& part : meshes[i].Parts) {
        const auto fault = [&](const char* what) {
          return Fail(fmt::format("{}{}{}", kBgmsPart, i + 1, what));
        };
        if (part.VertexCount == 0) return fault(kBgmsNoVertices);
        if (part.FaceListCount == 0) return fault(kBgmsNoFaces);
        for (const FaceList& list : part.FaceLists) {
          if (list.IndexCount == 0) return fault(kBgmsNoFaces);
        }
      }
    }
    return true;
  }

  bool Simple() {
    const auto& meshes = m_.SimpleMeshes;
    if (meshes.empty()) {
      ui_.Message(kNoGeometrySimple, Icon::Exclamation);
      return true;
    }
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      if (meshes[i].VertexCount < 1) {
        return Fail(fmt::format("{}{}{}", kSimpleMesh, i + 1, kSimpleNoVertices));
      }
    }
    // Wireframes are lines through their vertices and need no faces.
    if (m_.HodName.TypeName == kWireframeMeshTypeName) return true;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      if (meshes[i].IndexCount == 0) {
        return Fail(fmt::format("{}{}{}", kSimpleMesh, i + 1, kSimpleNoFaces));
      }
    }
    return true;
  }

  bool MultiMesh(ValidationResult& result) {
    Materials(result);
    References();
    ContentFaults();
    return Textures() && Geometry() && Joints() && ScarMeshes() && CollisionMeshes() &&
           KeptWithLights();
  }

  // Asked last, once the model could otherwise be written; No (the preselected answer) keeps
  // the file from being written without the joints.
  bool KeptWithLights() {
    const std::string loss = LightLossText(m_);
    if (loss.empty()) return true;
    if (context_.drop_for_lights) {
      ui_.Message(loss, Icon::Exclamation);
      return true;
    }
    return ui_.Ask(loss + kLightsDropQuestion, Icon::Exclamation, Buttons::YesNo, Answer::No) ==
           Answer::Yes;
  }

  void Materials(ValidationResult& result) {
    for (std::size_t i = 0; i < m_.Materials.size(); ++i) {
      Material& material = m_.Materials[i];
      if (material.ParameterCount <= 0) continue;
      if (material.Parameters.size() != static_cast<std::size_t>(material.ParameterCount)) {
        ui_.Message(kParameterCount, Icon::Information);
        material.ParameterCount = static_cast<std::int32_t>(material.Parameters.size());
      }
      if (context_.editor_material_entries && *context_.editor_material_entries < i + 1) {
        ui_.Message(kNoValidMaterials, Icon::Exclamation);
        if (*context_.editor_material_entries > 0) {
          result.select_material = *context_.editor_material_entries - 1;
        }
      }
    }
  }

  // Removing a material or texture renumbers nothing, so indices may point past their list.
  // The file can still be written, so this is a warning; the user may point them all at the
  // first element instead. Only ship meshes are checked: the game's own glow and background
  // meshes use indices of their own beyond the material list, and a negative texture index is
  // the usual "no texture".
  void References() {
    Dangling parts;
    const auto material_count = static_cast<std::int64_t>(m_.Materials.size());
    for (gantry::MultiMesh& mesh : m_.Meshes) {
      for (std::size_t j = 0; j < mesh.Lods.size(); ++j) {
        for (std::size_t k = 0; k < mesh.Lods[j].Parts.size(); ++k) {
          std::int32_t& index = mesh.Lods[j].Parts[k].MaterialIndex;
          if (index >= 0 && index < material_count) continue;
          parts.Add(index, [&] {
            return fmt::format("mesh '{}' LoD {} part {}", mesh.Name, j + 1, k + 1);
          });
        }
      }
    }
    Offer(parts, kMissingMaterials, kUseMaterialOne, material_count);

    Dangling textures;
    const auto texture_count = static_cast<std::int64_t>(m_.Textures.size());
    for (Material& material : m_.Materials) {
      for (std::size_t k = 0; k < material.Parameters.size(); ++k) {
        MaterialParameter& parameter = material.Parameters[k];
        if (parameter.Type != kParameterTexture || parameter.TextureIndex < texture_count) continue;
        textures.Add(parameter.TextureIndex, [&] {
          return fmt::format("material '{}' parameter {}", material.Name, k + 1);
        });
      }
    }
    Offer(textures, kMissingTextures, kUseTextureOne, texture_count);
  }

  // Indices that name nothing, and where the first of them is.
  struct Dangling {
    std::vector<std::int32_t*> indices;
    std::string first;
    template <typename Describe>
    void Add(std::int32_t& index, Describe describe) {
      if (indices.empty()) first = describe();
      indices.push_back(&index);
    }
  };

  // Reports dangling indices; with the user's yes (asked only when there is an element to point
  // at) every one of them becomes 0.
  void Offer(const Dangling& dangling, const char* text, const char* question,
             std::int64_t list_size) {
    if (dangling.indices.empty()) return;
    const std::string report =
        fmt::format(fmt::runtime(text), dangling.indices.size(), dangling.first,
                    std::int64_t{*dangling.indices.front()} + 1, list_size);
    if (list_size == 0) {
      ui_.Message(report, Icon::Exclamation);
      return;
    }
    if (ui_.Message(report + question, Icon::Exclamation, Buttons::YesNo) != Answer::Yes) return;
    for (std::int32_t* index : dangling.indices) *index = 0;
  }

  // A texture without a name, without size or levels, or whose levels do not hold the bytes its
  // format and size call for would be written as a file that cannot be read back.
  bool Textures() {
    for (std::size_t i = 0; i < m_.Textures.size(); ++i) {
      const Texture& t = m_.Textures[i];
      bool invalid = t.FileName == std::string(4, '\0') || t.Width == 0 || t.Height == 0 ||
                     t.MipCount == 0 ||
                     static_cast<std::size_t>(std::max(t.MipCount, 0)) != t.MipLevels.size();
      for (std::size_t level = 0; !invalid && level < t.MipLevels.size(); ++level) {
        invalid = static_cast<std::int64_t>(t.MipLevels[level].size()) !=
                  MipLevelBytes(t.Format, t.Width, t.Height, static_cast<int>(level) + 1);
      }
      if (invalid) return Fail(fmt::format("{}{}{}", kInvalidTexture, i + 1, kInvalidTextureEnd));
    }
    return true;
  }

  bool Geometry() {
    if (m_.Meshes.empty()) ui_.Message(kNoGeometry, Icon::Exclamation);
    for (std::size_t i = 0; i < m_.Meshes.size(); ++i) {
      const gantry::MultiMesh& mesh = m_.Meshes[i];
      const std::string object =
          fmt::format("{}{} (name: {} ) ", kGeometryObject, i + 1, mesh.Name);
      if (mesh.LodCount == 0) return Fail(object + " is empty. Please Remove");
      if (mesh.Lods.empty()) return Fail(kMultBmshIndex, Icon::Information);
      for (std::size_t j = 0; j < mesh.Lods.size(); ++j) {
        const LodMesh& lod = mesh.Lods[j];
        if (lod.PartCount == 0) {
          return Fail(fmt::format("{} LoD {} has no parts! Please ensure that geometry is present.",
                                  object, j + 1));
        }
        for (std::size_t k = 0; k < lod.Parts.size(); ++k) {
          const MeshPart& part = lod.Parts[k];
          if (part.VertexCount == 0 || part.FaceListCount == 0) {
            return Fail(fmt::format(
                "{} LoD {} part {} has no vertices\\faces!\r\nPlease ensure that Vertices\\Faces "
                "are present.",
                object, j + 1, k + 1));
          }
        }
      }
    }
    return true;
  }

  bool Joints() {
    JointListRecord& list = m_.JointList;
    if (list.JointCount == 0) return Fail(kNoJoints);
    if (list.Joints.empty()) {
      ui_.Message(kHierIndex, Icon::Information);
      list.Joints.assign(1, Joint{});
    }
    if (list.Joints.size() != static_cast<std::size_t>(list.JointCount)) {
      ui_.Message(kJointCountMismatch, Icon::Information);
      list.JointCount = static_cast<std::int32_t>(list.Joints.size());
    }
    if (const auto pair = FirstSameNamedJoints(list.Joints)) {
      return Fail(fmt::format("Joint #{} and Joint #{}have same names! Please fix.",
                              pair->first + 1, pair->second + 1),
                  Icon::Information);
    }
    return true;
  }

  // Indices past their vertices, numbers that are not numbers, parents that name no joint: the
  // reader keeps them as the file has them, and a save writes them back; the user should know.
  void ContentFaults() {
    std::vector<std::string> faults;
    std::size_t more = 0;
    const auto add = [&](std::string text) {
      if (faults.size() < 8) {
        faults.push_back(std::move(text));
      } else {
        ++more;
      }
    };
    for (const gantry::MultiMesh& mesh : m_.Meshes) {
      for (std::size_t j = 0; j < mesh.Lods.size(); ++j) {
        for (std::size_t k = 0; k < mesh.Lods[j].Parts.size(); ++k) {
          const MeshPart& part = mesh.Lods[j].Parts[k];
          bool reported = false;
          for (const FaceList& list : part.FaceLists) {
            for (const std::int16_t index : list.Indices) {
              const auto at = static_cast<std::uint16_t>(index);
              if (at < part.Vertices.size() || reported) continue;
              add(fmt::format(fmt::runtime(kIndexOutOfRange), mesh.Name, j + 1, k + 1, at,
                              part.Vertices.size()));
              reported = true;
            }
          }
          for (std::size_t v = 0; v < part.Vertices.size(); ++v) {
            const MeshVertex& x = part.Vertices[v];
            const float values[] = {x.Position.x, x.Position.y, x.Position.z, x.Normal.x,
                                    x.Normal.y,   x.Normal.z,   x.UV.u,       x.UV.v};
            if (std::all_of(std::begin(values), std::end(values),
                            [](float f) { return std::isfinite(f); })) {
              continue;
            }
            add(fmt::format(fmt::runtime(kNonFinite), mesh.Name, j + 1, k + 1, v + 1,
                            "a number that is not finite"));
            break;
          }
        }
      }
    }
    // Classic models name parents loosely (an empty name, the model itself); in the later
    // dialect every one is a joint.
    if (m_.Dialect != HodDialect::Hod2) return Report(faults, more);
    std::unordered_map<std::string, bool> joints;
    for (const Joint& joint : m_.JointList.Joints) joints[joint.Name] = true;
    const auto parent = [&](const char* what, const std::string& name, const std::string& of) {
      if (!joints.contains(of)) add(fmt::format(fmt::runtime(kUnknownParent), what, name, of));
    };
    for (const gantry::MultiMesh& mesh : m_.Meshes) parent("mesh", mesh.Name, mesh.ParentName);
    for (const EngineGlow& glow : m_.EngineGlows) parent("glow", glow.Name, glow.ParentName);
    for (const EngineBurn& burn : m_.EngineBurns) parent("burn", burn.Name, burn.ParentName);
    for (const EngineShape& shape : m_.EngineShapes) parent("shape", shape.Name, shape.ParentName);
    for (const Marker& marker : m_.Markers) parent("marker", marker.Name, marker.ParentName);
    Report(faults, more);
  }

  void Report(const std::vector<std::string>& faults, std::size_t more) {
    if (faults.empty()) return;
    std::string text = kContentFaults;
    for (const std::string& fault : faults) text += "\r\n - " + fault;
    if (more > 0) text += "\r\n - " + fmt::format(fmt::runtime(kMoreFaults), more);
    ui_.Message(text, Icon::Exclamation);
  }

  bool ScarMeshes() {
    const auto& scars = m_.ScarMeshes;
    const auto& meshes = m_.Meshes;
    // The later dialect keeps a scar mesh only for the meshes tagged for scars, found by name.
    if (m_.Dialect == HodDialect::Hod2) return true;
    if (scars.size() != meshes.size()) {
      return Fail(fmt::format("{}{} and {} respectively\r\nPlease correct.", kScarCountMismatch,
                              scars.size(), meshes.size()));
    }
    for (std::size_t i = 0; i < scars.size(); ++i) {
      if (meshes[i].Name != scars[i].Description.Name) {
        return Fail(fmt::format("{}{} ( {} {} respectively ). \r\nPlease correct.",
                                kScarNameMismatch, i + 1, meshes[i].Name,
                                scars[i].Description.Name));
      }
    }
    for (std::size_t i = 0; i < scars.size(); ++i) {
      const ScarMesh& scar = scars[i];
      if (scar.Triangles.IndexCount == 0 || scar.Triangles.VertexCount == 0 ||
          scar.Normals.VertexCount == 0 || scar.Normals.IndexCount == 0) {
        return Fail(fmt::format("{}{} doesn't have vertex\\face data!\r\nPlease Correct.",
                                kScarNoData, i + 1));
      }
    }
    return true;
  }

  bool CollisionMeshes() {
    for (std::size_t i = 0; i < m_.CollisionMeshes.size(); ++i) {
      const CollisionMesh& mesh = m_.CollisionMeshes[i];
      if (mesh.Triangles.VertexCount == 0 || mesh.Triangles.IndexCount == 0) {
        // The editor lists a collision mesh as its joint's name followed by "_CM".
        return Fail(
            fmt::format("{}{} ( called as '{}_CM' ) has no  vertices\\faces!\r\n Please "
                        "correct.",
                        kCollisionMesh, i + 1, mesh.ParentName));
      }
    }
    return true;
  }

  HodModel& m_;
  Ui& ui_;
  const ValidationContext& context_;
};

}  // namespace

std::string LightLossText(const HodModel& model) {
  if (model.LightList.LightCount <= 0 || model.HodName.TypeName != kMultiMeshTypeName) return {};
  const HodModel defaults = MakeDefaultModel();
  std::vector<std::string> lost;
  // A lone root is what a file without joints reads as, whatever a transform did to it.
  const std::vector<Joint>& joints = model.JointList.Joints;
  const Joint& root = defaults.JointList.Joints.front();
  if (model.JointList.JointCount > 0 &&
      (joints.size() > 1 ||
       (joints.size() == 1 && (joints[0].Name != root.Name || !joints[0].ParentName.empty())))) {
    lost.push_back(fmt::format(fmt::runtime(kLightsDropJoints), joints.size()));
  }
  // Likewise the new model's placeholder box, of which only two corners are set (a rescale or
  // rotation moves those and leaves the six at the origin there).
  const BoundaryVertexRecord& boundary = model.BoundaryVertices;
  const BoundaryVertexRecord& fresh = defaults.BoundaryVertices;
  bool placeholder = boundary.Name == fresh.Name && boundary.ParentName == fresh.ParentName &&
                     boundary.Trailer == fresh.Trailer &&
                     boundary.Vertices.size() == fresh.Vertices.size();
  for (std::size_t i = 0; placeholder && i < fresh.Vertices.size(); ++i) {
    placeholder = fresh.Vertices[i] != Vector3{} || boundary.Vertices[i] == Vector3{};
  }
  if (!placeholder) {
    lost.push_back(fmt::format(fmt::runtime(kLightsDropBoundary), boundary.Vertices.size()));
  }
  if (lost.empty()) return {};
  return fmt::format(fmt::runtime(kLightsDrop), model.LightList.LightCount,
                     lost.size() == 1 ? lost[0] : lost[0] + " and " + lost[1]);
}

ValidationResult ValidateHod(HodModel& model, Ui& ui, const ValidationContext& context) {
  return Validator(model, ui, context).Run();
}

}  // namespace gantry
