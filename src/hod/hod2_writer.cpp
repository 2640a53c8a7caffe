// The later dialect's writer. Chunks are written into memory with their lengths patched in
// afterwards; pixels, vertices and indices go to the three pool streams in chunk order (the
// order a reader takes them back), and the POOL chunk, compressed, goes before them.
#include "hod/hod2_writer.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

#include "common/byte_writer.h"
#include "hod/hod2_scar.h"
#include "hod/mesh_layout.h"
#include "hod/pool_codec.h"
#include "hod/write_context.h"

namespace gantry {

namespace {

constexpr std::int32_t kKnownMaskBits =
    kMaskPosition | kMaskNormal | kMaskColour | kMaskUV | kMaskTangent | kMaskBinormal;

bool IsContainer(const Tag& kind) { return kind == Tag("FORM") || kind == Tag("NRML"); }
Tag NameOf(const OpaqueChunk& chunk) { return IsContainer(chunk.Kind) ? chunk.ID : chunk.Kind; }

// ---- What a scar mesh and the k-DOP say about the geometry ------------------------------------

struct LittleReader {
  const std::vector<std::uint8_t>& bytes;
  std::size_t pos = 0;
  bool ok = true;
  std::uint32_t U32() {
    std::uint32_t v = 0;
    if (pos + 4 > bytes.size()) {
      ok = false;
      return 0;
    }
    std::memcpy(&v, bytes.data() + pos, 4);
    pos += 4;
    return v;
  }
  float F32() {
    const std::uint32_t u = U32();
    float f;
    std::memcpy(&f, &u, 4);
    return f;
  }
  std::string Text() {
    const std::uint32_t n = U32();
    if (!ok || n > bytes.size() - pos) {
      ok = false;
      return {};
    }
    std::string s(reinterpret_cast<const char*>(bytes.data() + pos), n);
    pos += n;
    return s;
  }
};

const MultiMesh* FindMesh(const HodModel& m, const std::string& name) {
  for (const MultiMesh& mesh : m.Meshes) {
    if (mesh.Name == name) return &mesh;
  }
  return nullptr;
}

// A scar mesh lists the triangles of level 0 of its mesh, part by part, with welded positions.
// True while the mesh still has exactly those triangles.
bool ScarMatchesMesh(const ScarMesh& scar, const MultiMesh& mesh) {
  if (mesh.Lods.empty()) return false;
  const std::vector<Vector3>& positions = scar.Triangles.Vertices;
  const std::vector<std::int16_t>& corners = scar.Triangles.Indices;
  std::size_t c = 0;
  for (const MeshPart& part : mesh.Lods[0].Parts) {
    for (const FaceList& list : part.FaceLists) {
      if (list.Type != kFaceListTriangles) return false;
      for (std::size_t i = 0; i + 2 < list.Indices.size(); i += 3) {
        for (std::size_t k = 0; k < 3; ++k, ++c) {
          if (c >= corners.size()) return false;
          const auto p = static_cast<std::uint16_t>(corners[c]);
          const auto v = static_cast<std::uint16_t>(list.Indices[i + k]);
          if (p >= positions.size() || v >= part.Vertices.size()) return false;
          const Vector4& q = part.Vertices[v].Position;
          if (positions[p] != Vector3{q.x, q.y, q.z}) return false;
        }
      }
    }
  }
  return c == corners.size();
}

// The checksum read with this scar mesh, while the mesh is still exactly as read.
const ScarChecksum* CheckedScar(const HodModel& m, const ScarMesh& scar) {
  for (const ScarChecksum& kept : m.Hod2.ScarChecksums) {
    if (kept.Name != scar.Description.Name || kept.Fingerprint == 0) continue;
    const std::optional<ScarBytes> bytes = ScarChunkBytes(scar, kept.Version, 0);
    if (bytes && ScarFingerprint(*bytes) == kept.Fingerprint) return &kept;
  }
  return nullptr;
}

// The k-DOP's box is the box of every mesh vertex; false when the meshes have moved out of it.
bool KdopMatchesMeshes(const OpaqueChunk& kdop, const HodModel& m) {
  LittleReader r{kdop.Body};
  r.F32();  // radius
  float box[6];
  for (float& f : box) f = r.F32();
  if (!r.ok) return false;
  float low[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF};
  float high[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
  bool any = false;
  for (const MultiMesh& mesh : m.Meshes) {
    for (const LodMesh& lod : mesh.Lods) {
      for (const MeshPart& part : lod.Parts) {
        for (const MeshVertex& v : part.Vertices) {
          const float p[3] = {v.Position.x, v.Position.y, v.Position.z};
          for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], p[k]);
            high[k] = std::max(high[k], p[k]);
          }
          any = true;
        }
      }
    }
  }
  if (!any) return box[0] > box[3];  // an empty model's box is inside out
  float size = 0;
  for (int k = 0; k < 3; ++k) size = std::max(size, high[k] - low[k]);
  const float tolerance = 1e-5f * std::max(size, 1.0f);
  for (int k = 0; k < 3; ++k) {
    if (std::fabs(box[k] - low[k]) > tolerance || std::fabs(box[3 + k] - high[k]) > tolerance) {
      return false;
    }
  }
  return true;
}

bool IdentityJoint(const Joint& joint) {
  return joint.Scale == Vector3{1, 1, 1} && joint.Axis == Vector3{} &&
         joint.Freedom == std::array<std::uint8_t, 3>{};
}

// ---- Writing --------------------------------------------------------------------------------

struct Streams {
  std::vector<std::uint8_t> texture, mesh, face;
};

void Append(std::vector<std::uint8_t>& stream, const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  stream.insert(stream.end(), p, p + n);
}

class Writer {
 public:
  explicit Writer(HodModel& m) : m_(m) {}

  std::vector<std::uint8_t> Run() {
    ByteWriter head;
    std::size_t mark = head.BeginContainer("FORM", "VERS");
    head.WriteLong(m_.HodVersion.Version);
    head.EndChunk(mark);
    mark = head.BeginContainer("FORM", "NAME");
    head.WriteChars(m_.HodName.TypeName);
    head.EndChunk(mark);

    WriteHvmd();
    WriteDtrm();
    WriteInfo();

    mark = head.BeginPlain("POOL");
    head.WriteRaw32(m_.Hod2.PoolVersion);
    for (const std::vector<std::uint8_t>* stream : {&s_.texture, &s_.mesh, &s_.face}) {
      if (stream->size() > UINT32_MAX) throw WriteError("a pool stream is larger than 4 GB");
      const std::vector<std::uint8_t> packed = PackPoolStream(*stream);
      head.WriteRaw32(static_cast<std::uint32_t>(packed.size()));
      head.WriteRaw32(static_cast<std::uint32_t>(stream->size()));
      head.WriteBytes(packed);
    }
    head.EndChunk(mark);
    std::vector<std::uint8_t> bytes = head.Release();
    bytes.insert(bytes.end(), out_.bytes().begin(), out_.bytes().end());
    return bytes;
  }

 private:
  void Text(const std::string& text) {
    out_.WriteText(static_cast<std::int32_t>(text.size()), text);
  }

  void Opaque(const OpaqueChunk& chunk) {
    const std::size_t mark = IsContainer(chunk.Kind) ? out_.BeginContainer(chunk.Kind, chunk.ID)
                                                     : out_.BeginPlain(chunk.Kind);
    out_.WriteBytes(chunk.Body);
    out_.EndChunk(mark);
    Append(s_.mesh, chunk.MeshData.data(), chunk.MeshData.size());
    Append(s_.face, chunk.FaceData.data(), chunk.FaceData.size());
  }
  // The kept chunks of one container: those named, or (names empty) all the others.
  void Opaques(const Tag& container, std::initializer_list<Tag> names, bool others = false) {
    for (const OpaqueChunk& chunk : m_.Hod2.Chunks) {
      if (chunk.Container != container) continue;
      const bool named = std::find(names.begin(), names.end(), NameOf(chunk)) != names.end();
      if (named != others) Opaque(chunk);
    }
  }

  void Texture(const gantry::Texture& texture) {
    WriteContext::CheckCount(texture.MipCount, texture.MipLevels.size(), "mip levels");
    const std::size_t mark = out_.BeginPlain("LMIP");
    Text(texture.FileName);
    out_.WriteTag(texture.Format);
    out_.WriteLong(texture.MipCount);
    const bool pixels = texture.Format == Tag("8888");
    const std::uint64_t block = pixels ? 4 : texture.Format == Tag("DXT1") ? 8 : 16;
    for (std::size_t i = 0; i < texture.MipLevels.size(); ++i) {
      const auto half = [&](std::int32_t size) {
        return i >= 31 ? 1u : std::max(1u, static_cast<std::uint32_t>(size) >> i);
      };
      const std::uint32_t w = half(texture.Width);
      const std::uint32_t h = half(texture.Height);
      out_.WriteRaw32(w);
      out_.WriteRaw32(h);
      const std::uint64_t across = pixels ? w : std::max(1u, (w + 3) / 4);
      const std::uint64_t down = pixels ? h : std::max(1u, (h + 3) / 4);
      const MipLevel& level = texture.MipLevels[i];
      if (level.size() != across * down * block) {
        throw WriteError(
            fmt::format("mip level {} of \"{}\" holds {} bytes where {} x {} calls "
                        "for {}",
                        i + 1, texture.FileName, level.size(), w, h, across * down * block));
      }
      Append(s_.texture, level.data(), level.size());
    }
    out_.EndChunk(mark);
  }

  void Lod(const LodMesh& lod) {
    WriteContext::CheckCount(lod.PartCount, lod.Parts.size(), "mesh parts");
    const std::size_t mark = out_.BeginContainer("NRML", "BMSH");
    out_.WriteBigLong(lod.Version);
    out_.WriteLong(lod.LodLevel);
    out_.WriteLong(lod.PartCount);
    for (const MeshPart& part : lod.Parts) {
      WriteContext::CheckCount(part.VertexCount, part.Vertices.size(), "part vertices");
      if (part.FaceLists.size() != 1 || part.FaceLists[0].Type != kFaceListTriangles) {
        throw WriteError("a mesh part is not a single triangle list");
      }
      if ((part.VertexMask & ~kKnownMaskBits) != 0) {
        throw WriteError(fmt::format("vertex mask {:#x} has components of unknown size",
                                     static_cast<std::uint32_t>(part.VertexMask)));
      }
      const FaceList& list = part.FaceLists[0];
      WriteContext::CheckCount(list.IndexCount, list.Indices.size(), "face indices");
      out_.WriteLong(part.MaterialIndex);
      out_.WriteLong(part.VertexMask);
      out_.WriteLong(part.VertexCount);
      out_.WriteInteger(-1);
      out_.WriteLong(list.IndexCount);
      Vertices(part);
      Append(s_.face, list.Indices.data(), list.Indices.size() * 2);
    }
    out_.EndChunk(mark);
  }

  void Vertices(const MeshPart& part) {
    const std::int32_t mask = part.VertexMask;
    for (const MeshVertex& v : part.Vertices) {
      if (mask & kMaskPosition) Append(s_.mesh, &v.Position, 16);
      if (mask & kMaskColour) Append(s_.mesh, v.Colour.data(), 4);
      if (mask & kMaskNormal) Append(s_.mesh, &v.Normal, 16);
      if (mask & kMaskUV) Append(s_.mesh, &v.UV, 8);
      if (mask & kMaskTangent) Append(s_.mesh, &v.Tangent, 12);
      if (mask & kMaskBinormal) Append(s_.mesh, &v.Binormal, 12);
    }
  }

  void Mesh(const MultiMesh& mesh) {
    WriteContext::CheckCount(mesh.LodCount, mesh.Lods.size(), "levels of detail");
    const std::size_t mark = out_.BeginContainer("NRML", "MULT");
    out_.WriteBigLong(mesh.Version);
    Text(mesh.Name);
    Text(mesh.ParentName);
    out_.WriteLong(mesh.LodCount);
    for (const MeshChunks& tags : m_.Hod2.MeshTags) {
      if (tags.MeshName != mesh.Name) continue;
      for (const OpaqueChunk& chunk : tags.Chunks) Opaque(chunk);
      break;
    }
    for (const LodMesh& lod : mesh.Lods) Lod(lod);
    out_.EndChunk(mark);
  }

  void WriteHvmd() {
    const bool any = m_.HvmdHeader.Length > 0 || !m_.Materials.empty() || !m_.Textures.empty() ||
                     !m_.Meshes.empty();
    if (!any) return;
    const std::size_t mark = out_.BeginContainer("FORM", "HVMD");
    for (const gantry::Texture& texture : m_.Textures) Texture(texture);
    for (Material& material : m_.Materials) {
      ComputeMaterialLengths(material);
      WriteMaterialChunk(ctx_, material);
    }
    for (const MultiMesh& mesh : m_.Meshes) Mesh(mesh);
    Opaques("HVMD", {}, true);
    out_.EndChunk(mark);
  }

  void Joints() {
    const JointListRecord& list = m_.JointList;
    WriteContext::CheckCount(list.JointCount, list.Joints.size(), "joints");
    const std::size_t mark = out_.BeginContainer("FORM", "HIER");
    out_.WriteLong(-list.JointCount);
    for (std::size_t i = 0; i < list.Joints.size(); ++i) {
      const Joint& joint = list.Joints[i];
      Text(joint.Name);
      Text(joint.ParentName);
      ctx_.Vector(joint.Position);
      ctx_.Vector(joint.Rotation);
      ctx_.Vector(i < m_.Hod2.JointExtras.size() ? m_.Hod2.JointExtras[i] : Vector3{});
    }
    out_.EndChunk(mark);
  }

  void Markers() {
    if (m_.Markers.empty() && m_.Hod2.MarkerListHeader.Kind == Tag()) return;
    const std::size_t mark = out_.BeginPlain("MRKS");
    out_.WriteLong(static_cast<std::int32_t>(m_.Markers.size()));
    for (const Marker& marker : m_.Markers) {
      Text(marker.Name);
      Text(marker.ParentName);
      for (const double p : marker.Position) out_.WriteDouble(p);
      for (const double r : marker.Rotation) out_.WriteDouble(r);
    }
    out_.EndChunk(mark);
  }

  void Glow(const EngineGlow& glow) {
    const std::size_t mark = out_.BeginContainer("FORM", "GLOW");
    const std::size_t info = out_.BeginContainer(glow.InfoKind, glow.InfoID);
    out_.WriteBigLong(glow.Version);
    Text(glow.Name);
    Text(glow.ParentName);
    out_.WriteLong(glow.LodLevel);
    out_.EndChunk(info);
    Lod(glow.Mesh);
    out_.EndChunk(mark);
  }

  void Collision(const CollisionMesh& mesh) {
    const TriangleMesh& tris = mesh.Triangles;
    WriteContext::CheckCount(tris.VertexCount, tris.Vertices.size(), "collision vertices");
    WriteContext::CheckCount(tris.IndexCount, tris.Indices.size(), "collision indices");
    const std::size_t mark = out_.BeginContainer("FORM", "COLD");
    Text(mesh.ParentName);
    std::size_t sub = out_.BeginPlain("BBOX");
    ctx_.Vector(mesh.Box.Minimum);
    ctx_.Vector(mesh.Box.Maximum);
    out_.EndChunk(sub);
    sub = out_.BeginPlain("BSPH");
    ctx_.Vector(mesh.Sphere.Centre);
    out_.WriteSingle(mesh.Sphere.Radius);
    out_.EndChunk(sub);
    sub = out_.BeginPlain("TRIS");
    out_.WriteLong(tris.VertexCount);
    out_.WriteLong(tris.IndexCount);
    out_.EndChunk(sub);
    out_.EndChunk(mark);
    Append(s_.mesh, tris.Vertices.data(), tris.Vertices.size() * 12);
    Append(s_.face, tris.Indices.data(), tris.Indices.size() * 2);
  }

  void Scar(const ScarMesh& scar) {
    const ScarChecksum* kept = CheckedScar(m_, scar);
    if (kept == nullptr) throw WriteError("a battle-scar mesh changed since it was read");
    const std::optional<ScarBytes> bytes = ScarChunkBytes(scar, kept->Version, kept->Checksum);
    const std::size_t mark = out_.BeginContainer("NRML", "SCAR");
    out_.WriteBytes(bytes->body);
    out_.EndChunk(mark);
    Append(s_.mesh, bytes->mesh.data(), bytes->mesh.size());
    Append(s_.face, bytes->face.data(), bytes->face.size());
  }

  void WriteDtrm() {
    const std::size_t mark = out_.BeginContainer("FORM", "DTRM");
    Joints();
    for (EngineShape& shape : m_.EngineShapes) {
      ComputeEngineShapeLengths(shape);
      WriteEngineShapeChunk(ctx_, shape);
    }
    for (EngineBurn& burn : m_.EngineBurns) {
      ComputeEngineBurnLengths(burn);
      WriteEngineBurnChunk(ctx_, burn);
    }
    for (const EngineGlow& glow : m_.EngineGlows) Glow(glow);
    if (m_.NavLightList.NavLightCount > 0) {
      ComputeNavLightLengths(m_.NavLightList);
      WriteNavLightChunk(ctx_, m_.NavLightList);
    }
    if (m_.DockPathList.PathCount > 0) {
      ComputeDockLengths(m_.DockPathList);
      WriteDockChunk(ctx_, m_.DockPathList);
    }
    Markers();
    Opaques("DTRM", {"KDOP"});
    for (const CollisionMesh& mesh : m_.CollisionMeshes) Collision(mesh);
    for (const ScarMesh& scar : m_.ScarMeshes) Scar(scar);
    Opaques("DTRM", {"KDOP"}, true);
    out_.EndChunk(mark);
  }

  void WriteInfo() {
    const std::size_t mark = out_.BeginContainer("FORM", "INFO");
    for (InfoEntry& entry : m_.Warnings) {
      entry.Kind = "WARN";
      ComputeInfoEntryLengths(entry);
      WriteInfoEntryChunk(ctx_, entry);
    }
    for (InfoEntry& entry : m_.Errors) {
      entry.Kind = "ERRR";
      ComputeInfoEntryLengths(entry);
      WriteInfoEntryChunk(ctx_, entry);
    }
    ComputeOwnerLengths(m_.HodOwner);
    WriteOwnerChunk(ctx_, m_.HodOwner);
    Opaques("INFO", {}, true);
    out_.EndChunk(mark);
  }

  HodModel& m_;
  ByteWriter out_;
  WriteContext ctx_{out_};
  Streams s_;
};

}  // namespace

std::vector<std::string> Hod2WriteBlockers(const HodModel& m) {
  std::vector<std::string> reasons;
  if (m.Dialect != HodDialect::Hod2) {
    reasons.push_back(
        "the model was not read from a HOD 2.0 file, and its k-DOP hull (KDOP) cannot be made");
    return reasons;
  }
  if (TypeOf(m) != HodType::MultiMesh) reasons.push_back("it is not a multi-mesh HOD");
  if (!m.LightList.Lights.empty()) reasons.push_back("its lights (LITE)");
  if (!m.SimpleMeshes.empty()) reasons.push_back("its simple meshes (SIMP)");
  if (!m.VaryMeshes.empty()) reasons.push_back("its VARY meshes");
  if (!m.BackgroundSegments.empty() || !m.StarFields.empty() ||
      !m.BackgroundMeshSet.Meshes.empty()) {
    reasons.push_back("its background segments, star fields or background meshes");
  }
  for (const Joint& joint : m.JointList.Joints) {
    if (!IdentityJoint(joint)) {
      reasons.push_back(fmt::format("the scale, axis or freedom of joint \"{}\"", joint.Name));
    }
  }
  for (const Marker& marker : m.Markers) {
    if (!marker.Tracks.empty() || marker.Flags1 != 0 || marker.Flags2 != 0) {
      reasons.push_back(fmt::format("the animation of marker \"{}\"", marker.Name));
    }
  }
  const auto check_lod = [&](const LodMesh& lod, const std::string& name) {
    for (const MeshPart& part : lod.Parts) {
      if (part.FaceLists.size() != 1 || part.FaceLists[0].Type != kFaceListTriangles) {
        reasons.push_back(fmt::format("mesh \"{}\": a part that is not one triangle list", name));
        return;
      }
      if ((part.VertexMask & ~kKnownMaskBits) != 0) {
        reasons.push_back(fmt::format("mesh \"{}\": vertex mask {:#x}", name,
                                      static_cast<std::uint32_t>(part.VertexMask)));
        return;
      }
    }
  };
  for (const MultiMesh& mesh : m.Meshes) {
    if (mesh.ID != Tag("MULT")) reasons.push_back(fmt::format("the goblin \"{}\"", mesh.Name));
    for (const LodMesh& lod : mesh.Lods) check_lod(lod, mesh.Name);
  }
  for (const EngineGlow& glow : m.EngineGlows) check_lod(glow.Mesh, glow.Name);

  for (const ScarMesh& scar : m.ScarMeshes) {
    const std::string& name = scar.Description.Name;
    if (CheckedScar(m, scar) == nullptr) {
      reasons.push_back(
          fmt::format("the battle-scar mesh of \"{}\" is not the one read from the "
                      "file, and its checksum (SCAR) cannot be computed",
                      name));
    } else if (const MultiMesh* mesh = FindMesh(m, name);
               mesh == nullptr || !ScarMatchesMesh(scar, *mesh)) {
      reasons.push_back(
          fmt::format("the battle-scar mesh of \"{}\" no longer matches its mesh, "
                      "and its checksum (SCAR) cannot be computed",
                      name));
    }
  }
  for (const OpaqueChunk& chunk : m.Hod2.Chunks) {
    if (NameOf(chunk) == Tag("KDOP") && !KdopMatchesMeshes(chunk, m)) {
      reasons.push_back(
          "the k-DOP hull (KDOP) no longer bounds the meshes, and its hull cannot be recomputed");
    }
  }
  return reasons;
}

std::vector<std::string> ClassicLosses(const HodModel& m) {
  std::vector<std::string> losses;
  if (m.Dialect != HodDialect::Hod2) return losses;
  std::map<std::string, int> kept;
  for (const OpaqueChunk& chunk : m.Hod2.Chunks) ++kept[NameOf(chunk).str()];
  for (const auto& [name, count] : kept) {
    if (name == "KDOP") {
      losses.push_back("the k-DOP hull (KDOP)");
    } else {
      losses.push_back(fmt::format("{} {} chunk(s), kept as read", count, name));
    }
  }
  for (const MeshChunks& tags : m.Hod2.MeshTags) {
    losses.push_back(fmt::format("the tags (TAGS) of mesh \"{}\"", tags.MeshName));
  }
  if (!m.Hod2.ScarChecksums.empty()) {
    losses.push_back(fmt::format("the checksums of {} battle-scar mesh(es) (SCAR)",
                                 m.Hod2.ScarChecksums.size()));
  }
  int extras = 0;
  for (const Vector3& v : m.Hod2.JointExtras) extras += v == Vector3{} ? 0 : 1;
  if (extras > 0) losses.push_back(fmt::format("the third vector of {} joint(s)", extras));
  return losses;
}

namespace {
std::string Listed(std::string text, const std::vector<std::string>& items) {
  for (const std::string& item : items) text += "\r\n - " + item;
  return text;
}
}  // namespace

std::string ClassicLossText(const std::vector<std::string>& losses) {
  return Listed(
      "This model was read from a HOD 2.0 file. A classic HOD cannot hold these parts of it, so "
      "the file being saved leaves them out:",
      losses);
}

std::string Hod2RefusalText(const std::vector<std::string>& reasons) {
  return Listed("The model cannot be saved as a HOD 2.0 file; nothing was written:", reasons);
}

bool EncodeHod2(const HodModel& model, std::vector<std::uint8_t>& bytes, std::string* error) {
  const std::vector<std::string> reasons = Hod2WriteBlockers(model);
  if (!reasons.empty()) {
    if (error != nullptr) *error = reasons.front();
    return false;
  }
  HodModel copy = model;
  try {
    bytes = Writer(copy).Run();
    return true;
  } catch (const WriteError& e) {
    if (error != nullptr) *error = e.what();
  } catch (const std::bad_alloc&) {
    if (error != nullptr) *error = "not enough memory to write the file";
  }
  return false;
}

}  // namespace gantry
