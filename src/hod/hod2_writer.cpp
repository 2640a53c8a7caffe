// The later dialect's writer. Chunks are written into memory with their lengths patched in
// afterwards; pixels, vertices and indices go to the three pool streams in chunk order (the
// order a reader takes them back), and the POOL chunk, compressed, goes before them.
#include "hod/hod2_writer.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <span>
#include <system_error>

#include "common/byte_writer.h"
#include "hod/hod2_kdop.h"
#include "hod/hod2_scar.h"
#include "hod/mesh_layout.h"
#include "hod/model_fields.h"
#include "hod/pool_codec.h"
#include "hod/write_context.h"

namespace gantry {

namespace {

bool IsContainer(const Tag& kind) { return kind == Tag("FORM") || kind == Tag("NRML"); }
Tag NameOf(const OpaqueChunk& chunk) { return IsContainer(chunk.Kind) ? chunk.ID : chunk.Kind; }

// ---- What a scar mesh says about its mesh ----------------------------------------------------

// A scar mesh lists the triangles of level 0 of its mesh, part by part, with welded positions and
// each corner's vertex normal. True while the mesh still has exactly those triangles.
bool ScarMatchesMesh(const ScarMesh& scar, const MultiMesh& mesh) {
  if (mesh.Lods.empty()) return false;
  const std::vector<Vector3>& positions = scar.Triangles.Vertices;
  const std::vector<Vector3>& normals = scar.Normals.Vertices;
  const std::vector<std::int16_t>& corners = scar.Triangles.Indices;
  const std::vector<std::int16_t>& normal_corners = scar.Normals.Indices;
  if (corners.size() != normal_corners.size()) return false;
  std::size_t c = 0;
  for (const MeshPart& part : mesh.Lods[0].Parts) {
    for (const FaceList& list : part.FaceLists) {
      if (list.Type != kFaceListTriangles) return false;
      for (std::size_t i = 0; i + 2 < list.Indices.size(); i += 3) {
        for (std::size_t k = 0; k < 3; ++k, ++c) {
          if (c >= corners.size()) return false;
          const auto p = static_cast<std::uint16_t>(corners[c]);
          const auto n = static_cast<std::uint16_t>(normal_corners[c]);
          const auto v = static_cast<std::uint16_t>(list.Indices[i + k]);
          if (p >= positions.size() || n >= normals.size() || v >= part.Vertices.size()) {
            return false;
          }
          const MeshVertex& vertex = part.Vertices[v];
          const Vector4& q = vertex.Position;
          if (positions[p] != Vector3{q.x, q.y, q.z}) return false;
          const Vector4& m = vertex.Normal;
          if ((part.VertexMask & kMaskNormal) && normals[n] != Vector3{m.x, m.y, m.z}) {
            return false;
          }
        }
      }
    }
  }
  return c == corners.size();
}

// The checksum read with this scar mesh, while the scar mesh is still exactly as read.
const ScarChecksum* CheckedScar(const HodModel& m, const ScarMesh& scar,
                                std::optional<ScarBytes>* bytes_out = nullptr) {
  for (const ScarChecksum& kept : m.Hod2.ScarChecksums) {
    if (kept.Name != scar.Description.Name || kept.Fingerprint == 0) continue;
    std::optional<ScarBytes> bytes = ScarChunkBytes(scar, kept.Version, 0);
    if (bytes && ScarFingerprint(*bytes) == kept.Fingerprint) {
      if (bytes_out != nullptr) *bytes_out = std::move(bytes);
      return &kept;
    }
  }
  return nullptr;
}

bool IdentityJoint(const Joint& joint) {
  return joint.Scale == Vector3{1, 1, 1} && joint.Axis == Vector3{} &&
         joint.Freedom == std::array<std::uint8_t, 3>{};
}

bool KnownTextureFormat(const Tag& format) {
  return format == Tag("DXT1") || format == Tag("DXT3") || format == Tag("DXT5") ||
         format == Tag("8888");
}

void NormaliseLod(LodMesh& lod, bool from_classic) {
  for (MeshPart& part : lod.Parts) {
    // Bits 0x10 to 0x400 without their UV sets are the classic meaning of those bits (as OBJ
    // imports set them), which has no data here.
    if (part.ExtraUVs.size() != part.Vertices.size() * ExtraUVSets(part.VertexMask)) {
      part.VertexMask &= ~kMaskExtraUVs;
      part.ExtraUVs.clear();
    }
    if (part.FaceLists.size() != 1 || part.FaceLists[0].Type != kFaceListTriangles ||
        part.FaceLists[0].Indices.size() % 3 != 0) {
      part.FaceLists = {AsTriangleList(part)};
      part.FaceListCount = 1;
    }
    if (!from_classic) continue;
    // This dialect's positions and normals always carry w = 1.
    for (MeshVertex& v : part.Vertices) {
      v.Position.w = 1;
      v.Normal.w = 1;
    }
  }
}

struct FieldCopier {
  const HodModel& from;
  HodModel& to;
  template <typename T>
  void Field(const char*, T HodModel::*field, FieldRole) {
    if constexpr (!std::is_same_v<T, std::vector<gantry::Texture>>) to.*field = from.*field;
  }
};

// Every field of the model but its textures, whose pixels are most of a model's bytes: the
// writer takes them from the model as given.
HodModel WithoutTextures(const HodModel& m) {
  HodModel p;
  FieldCopier copier{m, p};
  Describe(copier, Kind<HodModel>{});
  return p;
}

// What is written in the dialect's layouts: goblins left out, every part one triangle list. The
// textures are not copied (see WithoutTextures).
HodModel Prepared(const HodModel& m) {
  HodModel p = WithoutTextures(m);
  const bool from_classic = m.Dialect != HodDialect::Hod2;
  std::erase_if(p.Meshes, [](const MultiMesh& mesh) { return IsGoblin(mesh); });
  for (MultiMesh& mesh : p.Meshes) {
    mesh.Kind = "NRML";
    mesh.ID = "MULT";
    if (mesh.Version == 0) mesh.Version = 1400;
    mesh.LodCount = static_cast<std::int32_t>(mesh.Lods.size());
    for (std::size_t i = 0; i < mesh.Lods.size(); ++i) {
      LodMesh& lod = mesh.Lods[i];
      if (from_classic) {
        lod.Version = 1401;
        lod.LodLevel = static_cast<std::int32_t>(i);
      }
      NormaliseLod(lod, from_classic);
    }
  }
  for (EngineGlow& glow : p.EngineGlows) {
    if (from_classic) glow.Mesh.Version = 1401;
    NormaliseLod(glow.Mesh, from_classic);
  }
  const char* layers[] = {"$diffuse", "$glow", "$team"};
  for (Material& material : p.Materials) {
    material.ParameterCount = static_cast<std::int32_t>(material.Parameters.size());
    material.Kind = "NRML";
    material.ID = "STAT";
    if (material.Version == 0) material.Version = 1001;
    std::size_t textures = 0;
    for (MaterialParameter& parameter : material.Parameters) {
      if (parameter.Type != kParameterTexture) continue;
      if (parameter.LayerName.empty() && textures < 3) parameter.LayerName = layers[textures];
      ++textures;
    }
  }
  if (p.NavLightList.Version == 0) p.NavLightList.Version = 3;
  return p;
}

struct ScarPlan {
  const ScarMesh* scar = nullptr;  // none: the mesh goes without TAGS and SCAR
  std::int32_t version = 0;
  std::uint32_t checksum = 0;
  bool rebuilt = false;
  std::optional<ScarBytes> bytes;  // the chunk's, made when planning, its checksum still 0
};

constexpr std::int32_t kScarVersion = 2015;

const MultiMesh* FindMeshIn(const HodModel& m, const std::string& name) {
  for (const MultiMesh& mesh : m.Meshes) {
    if (mesh.Name == name) return &mesh;
  }
  return nullptr;
}

const ScarMesh* ScarOf(const HodModel& m, const MultiMesh& mesh) {
  for (const ScarMesh& scar : m.ScarMeshes) {
    if (scar.Description.Name == mesh.Name) return &scar;
  }
  return nullptr;
}

// Per mesh of the prepared model: the scar mesh written with it.
std::vector<ScarPlan> PlanScars(const HodModel& m, const Hod2WriteOptions& options) {
  std::vector<ScarPlan> plans(m.Meshes.size());
  for (std::size_t i = 0; i < m.Meshes.size(); ++i) {
    const MultiMesh& mesh = m.Meshes[i];
    const ScarMesh* scar = ScarOf(m, mesh);
    if (scar == nullptr || !ScarMatchesMesh(*scar, mesh)) continue;
    std::optional<ScarBytes> bytes;
    if (const ScarChecksum* kept = CheckedScar(m, *scar, &bytes)) {
      plans[i] = {scar, kept->Version, kept->Checksum, false, std::move(bytes)};
    } else if (options.rebuilt_scars &&
               (bytes = ScarChunkBytes(*scar, kScarVersion, kPlaceholderScarChecksum))) {
      plans[i] = {scar, kScarVersion, kPlaceholderScarChecksum, true, std::move(bytes)};
    }
  }
  return plans;
}

bool HasTagsChunk(const HodModel& m, const std::string& mesh) {
  for (const MeshChunks& tags : m.Hod2.MeshTags) {
    if (tags.MeshName != mesh) continue;
    for (const OpaqueChunk& chunk : tags.Chunks) {
      if (NameOf(chunk) == Tag("TAGS")) return true;
    }
  }
  return false;
}

// ---- Writing --------------------------------------------------------------------------------

struct Streams {
  std::vector<std::uint8_t> texture, mesh, face;
};

void Append(std::vector<std::uint8_t>& stream, const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  stream.insert(stream.end(), p, p + n);
}

// A stream compressed afresh from this size on takes long enough to be worth a thread of its
// own (a repack, keeping most of the earlier tokens, is done here).
constexpr std::size_t kThreadedStream = std::size_t{128} << 10;

class Writer {
 public:
  Writer(HodModel& m, const std::vector<gantry::Texture>& textures, std::vector<ScarPlan> scars)
      : m_(m), textures_(textures), scars_(std::move(scars)) {}

  std::vector<std::uint8_t> Run() {
    ByteWriter head;
    std::size_t mark = head.BeginContainer("FORM", "VERS");
    head.WriteLong(kModelHodVersion);
    head.EndChunk(mark);
    mark = head.BeginContainer("FORM", "NAME");
    head.WriteChars(kMultiMeshTypeName);
    head.EndChunk(mark);

    ReserveStreams();
    WriteHvmd();
    WriteDtrm();
    WriteInfo();

    // The texture stream is the model's pixels as they are: it is put together only when it
    // has to be compressed.
    std::size_t texture_size = 0;
    for (const std::span<const std::uint8_t> piece : texture_pieces_) texture_size += piece.size();
    const std::size_t sizes[] = {texture_size, s_.mesh.size(), s_.face.size()};
    const std::vector<std::uint8_t>* streams[] = {&s_.texture, &s_.mesh, &s_.face};
    std::vector<std::uint8_t> packed[3];
    const std::vector<std::uint8_t>* payloads[3] = {};
    std::function<std::vector<std::uint8_t>()> work[3];
    for (std::size_t i = 0; i < 3; ++i) {
      if (sizes[i] > UINT32_MAX) throw WriteError("a pool stream is larger than 4 GB");
      const PoolStreamAsRead* as_read =
          m_.Hod2.Pool.Streams ? &(*m_.Hod2.Pool.Streams)[i] : nullptr;
      if (as_read != nullptr && as_read->Size == sizes[i]) {
        PoolDigester digester;
        if (i == 0) {
          for (const std::span<const std::uint8_t> piece : texture_pieces_) digester.Add(piece);
        } else {
          digester.Add(*streams[i]);
        }
        if (digester.Finish() == as_read->Digest) {
          payloads[i] = &as_read->Payload;  // unchanged since read: written back as it was
          continue;
        }
      }
      if (i == 0) {
        s_.texture.reserve(texture_size);
        for (const std::span<const std::uint8_t> piece : texture_pieces_) {
          Append(s_.texture, piece.data(), piece.size());
        }
      }
      payloads[i] = &packed[i];
      const std::vector<std::uint8_t>& stream = *streams[i];
      work[i] = [&stream, as_read] {
        return as_read != nullptr ? RepackPoolStream(stream, as_read->Payload, as_read->Size)
                                  : PackPoolStream(stream);
      };
    }
    // The streams are independent: a large one compressed afresh goes to a thread of its own
    // while the next is compressed here.
    std::future<std::vector<std::uint8_t>> later[3];
    for (std::size_t i = 0; i < 3; ++i) {
      if (!work[i]) continue;
      const bool more = (i < 1 && work[1]) || (i < 2 && work[2]);
      const bool fresh = !m_.Hod2.Pool.Streams;
      if (more && fresh && sizes[i] >= kThreadedStream) {
        try {
          later[i] = std::async(std::launch::async, work[i]);
          continue;
        } catch (const std::system_error&) {
          // No thread to be had: compressed here.
        }
      }
      packed[i] = work[i]();
    }
    std::size_t total = out_.size() + 64;
    for (std::size_t i = 0; i < 3; ++i) {
      if (later[i].valid()) packed[i] = later[i].get();
      total += payloads[i]->size();
    }
    head.Reserve(head.size() + total);
    mark = head.BeginPlain("POOL");
    head.WriteRaw32(kPoolVersion);
    for (std::size_t i = 0; i < 3; ++i) {
      head.WriteRaw32(static_cast<std::uint32_t>(payloads[i]->size()));
      head.WriteRaw32(static_cast<std::uint32_t>(sizes[i]));
      head.WriteBytes(*payloads[i]);
    }
    head.EndChunk(mark);
    head.WriteBytes(out_.bytes());
    return head.Release();
  }

 private:
  // The mesh and face streams' sizes, or near them, so they are not copied as they grow.
  void ReserveStreams() {
    std::size_t mesh = 0, face = 0;
    const auto add = [&](const LodMesh& lod) {
      for (const MeshPart& part : lod.Parts) {
        mesh += part.Vertices.size() * Hod2VertexBytes(part.VertexMask);
        for (const FaceList& list : part.FaceLists) face += list.Indices.size() * 2;
      }
    };
    for (const MultiMesh& m : m_.Meshes) {
      for (const LodMesh& lod : m.Lods) add(lod);
    }
    for (const EngineGlow& glow : m_.EngineGlows) add(glow.Mesh);
    for (const CollisionMesh& c : m_.CollisionMeshes) {
      mesh += c.Triangles.Vertices.size() * 12;
      face += c.Triangles.Indices.size() * 2;
    }
    for (const ScarPlan& plan : scars_) {
      if (plan.scar == nullptr) continue;
      mesh += (plan.scar->Triangles.Vertices.size() + plan.scar->Normals.Vertices.size()) * 12;
      face += plan.scar->Triangles.Indices.size() * 4;
    }
    s_.mesh.reserve(mesh);
    s_.face.reserve(face);
  }

  void Text(const std::string& text) {
    out_.WriteText(static_cast<std::int32_t>(text.size()), text);
  }

  void Opaque(const OpaqueChunk& chunk) {
    const std::size_t mark = IsContainer(chunk.Kind) ? out_.BeginContainer(chunk.Kind, chunk.ID)
                                                     : out_.BeginPlain(chunk.Kind);
    out_.WriteBytes(chunk.Body);
    out_.EndChunk(mark);
  }
  // The kept chunks of a container whose meaning is unknown (the k-DOP has its own place).
  void UnknownChunks(const Tag& container) {
    for (const OpaqueChunk& chunk : m_.Hod2.Chunks) {
      if (chunk.Container == container && NameOf(chunk) != Tag("KDOP")) Opaque(chunk);
    }
  }

  void Texture(const gantry::Texture& texture) {
    const std::size_t mark = out_.BeginPlain("LMIP");
    Text(texture.FileName);
    out_.WriteTag(texture.Format);
    out_.WriteLong(static_cast<std::int32_t>(texture.MipLevels.size()));
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
      texture_pieces_.emplace_back(level.data(), level.size());
    }
    out_.EndChunk(mark);
  }

  void Lod(const LodMesh& lod) {
    const std::size_t mark = out_.BeginContainer("NRML", "BMSH");
    out_.WriteBigLong(lod.Version);
    out_.WriteLong(lod.LodLevel);
    out_.WriteLong(static_cast<std::int32_t>(lod.Parts.size()));
    for (const MeshPart& part : lod.Parts) {
      const FaceList& list = part.FaceLists.at(0);
      out_.WriteLong(part.MaterialIndex);
      out_.WriteLong(part.VertexMask);
      out_.WriteLong(static_cast<std::int32_t>(part.Vertices.size()));
      out_.WriteInteger(-1);
      out_.WriteLong(static_cast<std::int32_t>(list.Indices.size()));
      Vertices(part);
      Append(s_.face, list.Indices.data(), list.Indices.size() * 2);
    }
    out_.EndChunk(mark);
  }

  void Vertices(const MeshPart& part) {
    const std::int32_t mask = part.VertexMask;
    const std::uint32_t extra = ExtraUVSets(mask);
    const std::size_t start = s_.mesh.size();
    s_.mesh.resize(start + part.Vertices.size() * Hod2VertexBytes(mask));
    std::uint8_t* p = s_.mesh.data() + start;
    const auto put = [&p](const void* data, std::size_t n) {
      std::memcpy(p, data, n);
      p += n;
    };
    for (std::size_t i = 0; i < part.Vertices.size(); ++i) {
      const MeshVertex& v = part.Vertices[i];
      if (mask & kMaskPosition) put(&v.Position, 16);
      if (mask & kMaskColour) put(v.Colour.data(), 4);
      if (mask & kMaskNormal) put(&v.Normal, 16);
      if (mask & kMaskUV) put(&v.UV, 8);
      for (std::uint32_t k = 0; k < extra; ++k) {
        const std::size_t at = i * extra + k;
        const Vector2 uv = at < part.ExtraUVs.size() ? part.ExtraUVs[at] : Vector2{};
        put(&uv, 8);
      }
      if (mask & kMaskTangent) put(&v.Tangent, 12);
      if (mask & kMaskBinormal) put(&v.Binormal, 12);
    }
  }

  void Mesh(const MultiMesh& mesh, const ScarPlan& scar) {
    const std::size_t mark = out_.BeginContainer("NRML", "MULT");
    out_.WriteBigLong(mesh.Version);
    Text(mesh.Name);
    Text(mesh.ParentName);
    out_.WriteLong(static_cast<std::int32_t>(mesh.Lods.size()));
    bool tagged = false;
    for (const MeshChunks& tags : m_.Hod2.MeshTags) {
      if (tags.MeshName != mesh.Name) continue;
      for (const OpaqueChunk& chunk : tags.Chunks) {
        // A mesh without its scar mesh must not ask for scars.
        const bool is_tags = NameOf(chunk) == Tag("TAGS");
        if (is_tags && scar.scar == nullptr) continue;
        tagged = tagged || is_tags;
        Opaque(chunk);
      }
      break;
    }
    if (scar.scar != nullptr && !tagged) {
      const std::size_t tags = out_.BeginContainer("FORM", "TAGS");
      Text("DoScars");
      out_.EndChunk(tags);
    }
    for (const LodMesh& lod : mesh.Lods) Lod(lod);
    out_.EndChunk(mark);
  }

  void WriteHvmd() {
    if (m_.Materials.empty() && textures_.empty() && m_.Meshes.empty()) return;
    const std::size_t mark = out_.BeginContainer("FORM", "HVMD");
    for (const gantry::Texture& texture : textures_) Texture(texture);
    for (Material& material : m_.Materials) {
      ComputeMaterialLengths(material);
      WriteMaterialChunk(ctx_, material);
    }
    for (std::size_t i = 0; i < m_.Meshes.size(); ++i) Mesh(m_.Meshes[i], scars_[i]);
    UnknownChunks("HVMD");
    out_.EndChunk(mark);
  }

  void Joints() {
    const JointListRecord& list = m_.JointList;
    const std::size_t mark = out_.BeginContainer("FORM", "HIER");
    out_.WriteLong(-static_cast<std::int32_t>(list.Joints.size()));
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

  // Kept as read while the meshes give the same slabs; otherwise recomputed.
  void Kdop() {
    // The slabs decide; the hull is built only when they differ.
    gantry::Kdop computed = KdopSlabs(m_);
    const std::size_t mark = out_.BeginPlain("KDOP");
    for (const OpaqueChunk& chunk : m_.Hod2.Chunks) {
      if (NameOf(chunk) != Tag("KDOP") || chunk.Container != Tag("DTRM")) continue;
      const std::optional<gantry::Kdop> stored = ParseKdop(chunk.Body);
      if (stored && SameSlabs(*stored, computed)) {
        out_.WriteBytes(chunk.Body);
        out_.EndChunk(mark);
        return;
      }
    }
    CompleteKdop(computed);
    out_.WriteBytes(KdopBody(computed));
    out_.EndChunk(mark);
  }

  void Glow(const EngineGlow& glow) {
    const std::size_t mark = out_.BeginContainer("FORM", "GLOW");
    const std::size_t info = out_.BeginContainer("NRML", "INFO");
    out_.WriteBigLong(glow.Version == 0 ? 1000 : glow.Version);
    Text(glow.Name);
    Text(glow.ParentName);
    out_.WriteLong(glow.LodLevel);
    out_.EndChunk(info);
    Lod(glow.Mesh);
    out_.EndChunk(mark);
  }

  void Collision(const CollisionMesh& mesh) {
    const TriangleMesh& tris = mesh.Triangles;
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
    out_.WriteLong(static_cast<std::int32_t>(tris.Vertices.size()));
    out_.WriteLong(static_cast<std::int32_t>(tris.Indices.size()));
    out_.EndChunk(sub);
    out_.EndChunk(mark);
    Append(s_.mesh, tris.Vertices.data(), tris.Vertices.size() * 12);
    Append(s_.face, tris.Indices.data(), tris.Indices.size() * 2);
  }

  void Scar(ScarPlan& plan) {
    std::optional<ScarBytes>& bytes = plan.bytes;
    if (!bytes || bytes->body.size() < 4) {
      throw WriteError("a battle-scar mesh's triangles or grid do not fit together");
    }
    // The checksum ends the body (little-endian, as written).
    std::memcpy(bytes->body.data() + bytes->body.size() - 4, &plan.checksum, 4);
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
    if (!m_.NavLightList.NavLights.empty()) {
      m_.NavLightList.NavLightCount = static_cast<std::int32_t>(m_.NavLightList.NavLights.size());
      ComputeNavLightLengths(m_.NavLightList);
      WriteNavLightChunk(ctx_, m_.NavLightList);
    }
    if (!m_.DockPathList.Paths.empty()) {
      m_.DockPathList.PathCount = static_cast<std::int32_t>(m_.DockPathList.Paths.size());
      ComputeDockLengths(m_.DockPathList);
      WriteDockChunk(ctx_, m_.DockPathList);
    }
    Markers();
    Kdop();
    for (const CollisionMesh& mesh : m_.CollisionMeshes) Collision(mesh);
    for (ScarPlan& plan : scars_) {
      if (plan.scar != nullptr) Scar(plan);
    }
    UnknownChunks("DTRM");
    out_.EndChunk(mark);
  }

  void WriteInfo() {
    const std::size_t mark = out_.BeginContainer("FORM", "INFO");
    ComputeOwnerLengths(m_.HodOwner);
    WriteOwnerChunk(ctx_, m_.HodOwner);
    UnknownChunks("INFO");
    out_.EndChunk(mark);
  }

  HodModel& m_;
  const std::vector<gantry::Texture>& textures_;  // the model's own (not copied)
  std::vector<ScarPlan> scars_;
  ByteWriter out_;
  WriteContext ctx_{out_};
  Streams s_;
  std::vector<std::span<const std::uint8_t>> texture_pieces_;  // the texture stream, in order
};

std::string MeshList(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "\"" : ", \"") + name + "\"";
  return text;
}

}  // namespace

bool ScarStillHolds(const HodModel& model, const ScarMesh& scar, const MultiMesh& mesh) {
  return CheckedScar(model, scar) != nullptr && ScarMatchesMesh(scar, mesh);
}

std::vector<std::int16_t> UnrolledStrip(const std::vector<std::int16_t>& i) {
  std::vector<std::int16_t> out;
  for (std::size_t k = 0; k + 2 < i.size(); ++k) {
    if (i[k] == i[k + 1] || i[k + 1] == i[k + 2] || i[k] == i[k + 2]) continue;
    if (k % 2 == 0) {
      out.insert(out.end(), {i[k], i[k + 1], i[k + 2]});
    } else {
      out.insert(out.end(), {i[k + 1], i[k], i[k + 2]});
    }
  }
  return out;
}

FaceList AsTriangleList(const MeshPart& part) {
  FaceList out;
  for (const FaceList& list : part.FaceLists) {
    const std::vector<std::int16_t>& i = list.Indices;
    if (list.Type == kFaceListStrip) {
      const std::vector<std::int16_t> unrolled = UnrolledStrip(i);
      out.Indices.insert(out.Indices.end(), unrolled.begin(), unrolled.end());
    } else {
      out.Indices.insert(out.Indices.end(), i.begin(), i.begin() + (i.size() / 3 * 3));
    }
  }
  out.IndexCount = static_cast<std::int32_t>(out.Indices.size());
  return out;
}

std::vector<std::string> Hod2WriteBlockers(const HodModel& m) {
  std::vector<std::string> reasons;
  if (const HodType type = TypeOf(m); type != HodType::MultiMesh) {
    reasons.push_back(
        fmt::format("it is a {} HOD, and the HOD 2.0 dialect has no known form for "
                    "simple, wireframe or background models",
                    TypeKeyword(type)));
    return reasons;
  }
  const auto check_lod = [&](const LodMesh& lod, const std::string& name) {
    for (const MeshPart& part : lod.Parts) {
      if ((part.VertexMask & ~kHod2MaskBits) != 0) {
        reasons.push_back(
            fmt::format("mesh \"{}\": vertex mask {:#x} has components of unknown "
                        "size",
                        name, static_cast<std::uint32_t>(part.VertexMask)));
        return;
      }
      for (const FaceList& list : part.FaceLists) {
        if (list.Type != kFaceListTriangles && list.Type != kFaceListStrip) {
          reasons.push_back(fmt::format("mesh \"{}\": a face list of type {:#x}", name,
                                        static_cast<std::uint32_t>(list.Type)));
          return;
        }
      }
    }
  };
  for (const MultiMesh& mesh : m.Meshes) {
    if (IsGoblin(mesh)) continue;
    for (const LodMesh& lod : mesh.Lods) check_lod(lod, mesh.Name);
  }
  for (const EngineGlow& glow : m.EngineGlows) check_lod(glow.Mesh, glow.Name);
  for (const gantry::Texture& texture : m.Textures) {
    if (!KnownTextureFormat(texture.Format)) {
      reasons.push_back(
          fmt::format("texture \"{}\": format \"{}\"", texture.FileName, texture.Format.str()));
    }
  }
  return reasons;
}

std::vector<std::string> Hod2Losses(const HodModel& model, const Hod2WriteOptions& options) {
  std::vector<std::string> losses;
  const HodModel& m = model;
  if (!m.LightList.Lights.empty()) {
    losses.push_back(fmt::format("{} light(s) (LITE)", m.LightList.Lights.size()));
  }
  if (!m.BoundaryVertices.Vertices.empty()) losses.push_back("the boundary vertices (BNDV)");
  for (const MultiMesh& mesh : m.Meshes) {
    if (IsGoblin(mesh)) losses.push_back(fmt::format("the goblin \"{}\" (GOBG)", mesh.Name));
  }
  if (!m.SimpleMeshes.empty()) {
    losses.push_back(fmt::format("{} simple mesh(es) (SIMP)", m.SimpleMeshes.size()));
  }
  if (!m.VaryMeshes.empty()) {
    losses.push_back(fmt::format("{} VARY mesh(es)", m.VaryMeshes.size()));
  }
  for (const Joint& joint : m.JointList.Joints) {
    if (!IdentityJoint(joint)) {
      losses.push_back(fmt::format("the scale, axis and freedom of joint \"{}\"", joint.Name));
    }
  }
  for (const Marker& marker : m.Markers) {
    if (!marker.Tracks.empty() || marker.Flags1 != 0 || marker.Flags2 != 0) {
      losses.push_back(
          fmt::format("the animation of marker \"{}\" (times and keyframes)", marker.Name));
    }
  }
  const std::size_t notes = m.Warnings.size() + m.Errors.size();
  if (notes > 0) losses.push_back(fmt::format("{} warning and error note(s) (WARN, ERRR)", notes));
  for (const gantry::Texture& texture : m.Textures) {
    if (texture.Format == Tag("8888")) {
      losses.push_back(
          fmt::format("texture \"{}\" stays uncompressed (8888), a format no known "
                      "HOD 2.0 file uses",
                      texture.FileName));
    }
  }

  // Parts that come without tangents and binormals (imported from OBJ or glTF without them, or
  // from a classic model) are written without them: nothing computes them, and the game's
  // shaders may want them for normal maps.
  std::vector<std::string> untangented;
  for (const MultiMesh& mesh : m.Meshes) {
    if (IsGoblin(mesh)) continue;
    for (std::size_t l = 0; l < mesh.Lods.size(); ++l) {
      const std::vector<MeshPart>& parts = mesh.Lods[l].Parts;
      for (std::size_t k = 0; k < parts.size(); ++k) {
        const MeshPart& part = parts[k];
        const bool bare_uv_bits =  // the classic meaning of these bits, as imports set them
            (part.VertexMask & kMaskExtraUVs) != 0 &&
            part.ExtraUVs.size() != part.Vertices.size() * ExtraUVSets(part.VertexMask);
        if ((part.VertexMask & kMaskTangent) == 0 &&
            (m.Dialect != HodDialect::Hod2 || bare_uv_bits)) {
          untangented.push_back(fmt::format("\"{}\" level {} part {}", mesh.Name, l, k + 1));
        }
      }
    }
  }
  if (!untangented.empty()) {
    std::string list;
    for (const std::string& part : untangented) list += (list.empty() ? "" : ", ") + part;
    losses.push_back(fmt::format(
        "tangents and binormals for {}: these parts have none (imported or classic) and they are "
        "not computed; how the game shades them is untested",
        list));
  }

  const HodModel p = Prepared(m);
  const std::vector<ScarPlan> plans = PlanScars(p, options);
  std::vector<std::string> unscarred;
  std::vector<std::string> rebuilt;
  for (std::size_t i = 0; i < p.Meshes.size(); ++i) {
    const MultiMesh& mesh = p.Meshes[i];
    if (plans[i].rebuilt) rebuilt.push_back(mesh.Name);
    if (plans[i].scar == nullptr && (ScarOf(p, mesh) != nullptr || HasTagsChunk(p, mesh.Name))) {
      unscarred.push_back(mesh.Name);
    }
  }
  if (!unscarred.empty()) {
    losses.push_back(fmt::format(
        "the battle scars of {}: written without TAGS and SCAR, because level 0 changed (or "
        "the model is classic) and a scar mesh's checksum cannot be computed",
        MeshList(unscarred)));
  }
  if (!rebuilt.empty()) {
    losses.push_back(
        fmt::format("the scar meshes of {} are rebuilt with a placeholder checksum; "
                    "untested in the game",
                    MeshList(rebuilt)));
  }
  for (const ScarMesh& scar : p.ScarMeshes) {
    if (FindMeshIn(p, scar.Description.Name) == nullptr) {
      losses.push_back(
          fmt::format("the scar mesh \"{}\", whose mesh is gone", scar.Description.Name));
    }
  }
  return losses;
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
      losses.push_back(fmt::format("{} chunk(s) {} of unknown meaning", count, name));
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
  for (const MultiMesh& mesh : m.Meshes) {
    for (const LodMesh& lod : mesh.Lods) {
      for (const MeshPart& part : lod.Parts) {
        if ((part.VertexMask & kMaskExtraUVs) != 0) {
          losses.push_back(fmt::format("the further UV sets of mesh \"{}\"", mesh.Name));
          goto next_mesh;
        }
      }
    }
  next_mesh:;
  }
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

std::string Hod2LossText(const std::vector<std::string>& losses) {
  return Listed("The HOD 2.0 file being saved leaves out or changes these parts of the model:",
                losses);
}

std::string ConvertQuestionText(HodDialect target, const std::vector<std::string>& losses) {
  std::string text = target == HodDialect::Hod2
                         ? "This model is a classic HOD. Convert it and save it as HOD 2.0?"
                         : "This model was read from a HOD 2.0 file. Convert it and save it as a "
                           "classic HOD?";
  if (losses.empty()) return text;
  return Listed(text + "\r\nThe converted file would lose:", losses);
}

std::string Hod2RefusalText(const std::vector<std::string>& reasons) {
  return Listed("The model cannot be saved as a HOD 2.0 file; nothing was written:", reasons);
}

bool EncodeHod2(const HodModel& model, std::vector<std::uint8_t>& bytes, std::string* error,
                const Hod2WriteOptions& options) {
  const std::vector<std::string> reasons = Hod2WriteBlockers(model);
  if (!reasons.empty()) {
    if (error != nullptr) *error = reasons.front();
    return false;
  }
  try {
    HodModel prepared = Prepared(model);
    std::vector<ScarPlan> plans = PlanScars(prepared, options);
    bytes = Writer(prepared, model.Textures, std::move(plans)).Run();
    return true;
  } catch (const WriteError& e) {
    if (error != nullptr) *error = e.what();
  } catch (const std::out_of_range&) {
    if (error != nullptr) *error = "a mesh part has no face list";
  } catch (const std::bad_alloc&) {
    if (error != nullptr) *error = "not enough memory to write the file";
  }
  return false;
}

}  // namespace gantry
