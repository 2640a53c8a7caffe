// Mesh chunks: the BMSH level-of-detail mesh and the chunks that carry one or more of them
// (MULT/GOBG, GLOW, BGMS), plus SIMP simple and wireframe meshes.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "hod/mesh_layout.h"
#include "hod/messages.h"
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

namespace {

constexpr std::uint64_t kMinLodMeshBytes = 4 + 4 + 4 + 4 + 4 + 4;
constexpr std::uint64_t kMinPartBytes = 4 + 4 + 4 + 2;

inline Vector4 LoadVector4(const std::uint8_t* p) {
  Vector4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline Vector3 LoadVector3(const std::uint8_t* p) {
  Vector3 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Decodes a whole block of vertices at once: the per-field reads of a plain reader cost more
// than the file access on big meshes.
void DecodeVertices(const std::uint8_t* p, std::int32_t mask, std::vector<MeshVertex>& out) {
  for (MeshVertex& v : out) {
    if (mask & kMaskPosition) {
      v.Position = LoadVector4(p);
      p += 16;
    }
    if (mask & kMaskColour) {
      std::memcpy(v.Colour.data(), p, 4);
      p += 4;
    }
    if (mask & kMaskNormal) {
      v.Normal = LoadVector4(p);
      p += 16;
    }
    if (mask & kMaskUV) {
      std::memcpy(&v.UV, p, 8);
      p += 8;
    }
    if (mask & kMaskTangent) {
      v.Tangent = LoadVector3(p);
      p += 12;
    }
    if (mask & kMaskBinormal) {
      v.Binormal = LoadVector3(p);
      p += 12;
    }
  }
}

void ReadIndices16(ReadContext& ctx, std::int64_t count, std::vector<std::int16_t>& out,
                   std::string_view what) {
  ctx.Require(count, 2, what);
  out.resize(static_cast<std::size_t>(count));
  if (count > 0) std::memcpy(out.data(), ctx.in.Take(out.size() * 2), out.size() * 2);
}

MeshPart ReadPart(ReadContext& ctx) {
  MeshPart part;
  part.MaterialIndex = ctx.in.ReadLong();
  ctx.Note("Material Index for THIS mesh: ", part.MaterialIndex);
  part.VertexMask = ctx.in.ReadLong();
  ctx.Note("Vertex Mask: ", part.VertexMask);
  part.VertexCount = ctx.in.ReadLong();
  ctx.Note("Number of Vertices: ", part.VertexCount);

  const std::uint64_t stride = VertexBytes(part.VertexMask);
  if (stride == 0) {
    // Vertices of an empty mask take no bytes, so the file cannot vouch for their number; a
    // budget for the whole read keeps such counts from costing memory the file never paid for.
    ctx.Require(part.VertexCount, 0, "vertex count");
    ctx.empty_vertex_budget -= part.VertexCount;
    if (ctx.empty_vertex_budget < 0) {
      throw ReadStop(fmt::format("more than {} vertices without data (vertex mask {})",
                                 kMaxEmptyVertices, part.VertexMask),
                     Icon::Critical);
    }
  } else {
    ctx.Require(part.VertexCount, stride, "vertex count");
  }
  part.Vertices.resize(static_cast<std::size_t>(part.VertexCount));
  if (stride != 0 && part.VertexCount > 0) {
    const std::uint8_t* block = ctx.in.Take(part.Vertices.size() * stride);
    DecodeVertices(block, part.VertexMask, part.Vertices);
  }
  ctx.Tick();

  part.FaceListCount = ctx.in.ReadInteger();
  ctx.Note("Number of Face Lists\\Strips: ", part.FaceListCount);
  ctx.Require(part.FaceListCount, 8, "face list count");
  part.FaceLists.resize(static_cast<std::size_t>(part.FaceListCount));
  int number = 0;
  for (FaceList& list : part.FaceLists) {
    ++number;
    list.Type = ctx.in.ReadLong();
    if (list.Type == kFaceListTriangles) {
      ctx.Note(fmt::format("Face List\\Strip number {} is a List!", number));
    } else if (list.Type == kFaceListStrip) {
      ctx.Note(fmt::format("Face List\\Strip number {} is a Strip!", number));
    } else {
      // Nothing after an unknown face-list type can be trusted.
      throw ReadStop(fmt::format("{}{}", messages::kInvalidFaceList, number), Icon::None,
                     ReadStop::Framing::Verbatim);
    }
    list.IndexCount = ctx.in.ReadLong();
    if (ctx.detailed) {
      ctx.log.Log(
          fmt::format("Number of face verts in face list\\strip {} = {}", number, list.IndexCount));
    }
    ReadIndices16(ctx, list.IndexCount, list.Indices, "face index count");
  }
  return part;
}

}  // namespace

LodMesh ReadLodMesh(ReadContext& ctx) {
  LodMesh mesh;
  mesh.Kind = ctx.in.ReadTag();
  ctx.Note("Sub-Form ID: ", mesh.Kind);
  mesh.Length = ctx.in.ReadBigLong();
  ctx.Note("FORM Length = ", mesh.Length);
  mesh.ID = ctx.in.ReadTag();
  ctx.Note("Sub-Form ID: ", mesh.ID);
  mesh.Version = ctx.in.ReadBigLong();
  ctx.Note("Version: ", mesh.Version);
  mesh.LodLevel = ctx.in.ReadLong();
  ctx.Note("LoD of THIS mesh: ", mesh.LodLevel);
  mesh.PartCount = ctx.in.ReadLong();
  ctx.Note("Number of objects: ", mesh.PartCount);
  ctx.Limit(mesh.PartCount, kMaxMeshParts, "The number of parts of a mesh");
  ctx.Require(mesh.PartCount, kMinPartBytes, "part count");
  mesh.Parts.reserve(static_cast<std::size_t>(mesh.PartCount));
  for (std::int32_t i = 0; i < mesh.PartCount; ++i) mesh.Parts.push_back(ReadPart(ctx));
  return mesh;
}

void ReadMultiMeshChunk(ReadContext& ctx) {
  MultiMesh mesh;
  TakeHeader(ctx, mesh);
  // Without its NRML container the chunk's tag says which kind of mesh it is.
  if (!ctx.container) mesh.ID = ctx.header.Kind;
  mesh.Kind = "NRML";
  mesh.Version = ctx.in.ReadBigLong();
  mesh.Name = ctx.ReadText(mesh.NameLength);
  mesh.ParentName = ctx.ReadText(mesh.ParentLength);
  ctx.Note("MULTiMesh FORM ID: ", ctx.header.Kind);
  ctx.Note("MULTiMesh FORM Length: ", mesh.Length);
  ctx.Note("MULTiMesh FORM ID2: ", mesh.ID);
  ctx.Note("MULTi-Mesh Version: ", mesh.Version);
  ctx.Note("Length of name: ", mesh.NameLength);
  ctx.Note("Name: ", mesh.Name);
  ctx.Note("Length of name of parent: ", mesh.ParentLength);
  ctx.Note("Parent's Name: ", mesh.ParentName);
  if (mesh.ID == Tag("GOBG")) {
    mesh.LodCount = 1;  // a goblin has exactly one level and no count on disk
  } else {
    mesh.LodCount = ctx.in.ReadLong();
    ctx.Note("Number of BMSH Sub-Forms ( mostly LODs ): ", mesh.LodCount);
    ctx.Limit(mesh.LodCount, kMaxShortCount, "The number of levels of detail");
  }
  ctx.Require(mesh.LodCount, kMinLodMeshBytes, "level-of-detail count");
  mesh.Lods.reserve(static_cast<std::size_t>(mesh.LodCount));
  for (std::int32_t i = 0; i < mesh.LodCount; ++i) mesh.Lods.push_back(ReadLodMesh(ctx));
  ctx.model.Meshes.push_back(std::move(mesh));
}

void ReadEngineGlowChunk(ReadContext& ctx) {
  EngineGlow glow;
  TakeHeader(ctx, glow);
  glow.Kind = "FORM";
  glow.InfoKind = ctx.in.ReadTag();
  ctx.Note("Sub-Form ID2: ", glow.InfoKind);
  glow.InfoLength = ctx.in.ReadBigLong();
  ctx.Note("Sub-Form Length: ", glow.InfoLength);
  glow.InfoID = ctx.in.ReadTag();
  ctx.Note("Sub-Form ID3: ", glow.InfoID);
  glow.Version = ctx.in.ReadBigLong();
  ctx.Note("Version: ", glow.Version);
  glow.Name = ctx.ReadText(glow.NameLength);
  ctx.Note("Name: ", glow.Name);
  glow.ParentName = ctx.ReadText(glow.ParentLength);
  ctx.Note("Parent Name: ", glow.ParentName);
  glow.LodLevel = ctx.in.ReadLong();
  ctx.Note("Level of detail: ", glow.LodLevel);
  glow.Mesh = ReadLodMesh(ctx);
  ctx.model.EngineGlows.push_back(std::move(glow));
}

void ReadBackgroundMeshChunk(ReadContext& ctx) {
  BackgroundMeshSetRecord& set = ctx.model.BackgroundMeshSet;
  set.Meshes.clear();
  TakeHeader(ctx, set);
  set.Kind = "FORM";
  ctx.Note("BGMS Form: ", ctx.header.Kind);
  ctx.Note("BGMS Form Length: ", set.Length);
  ctx.Note("BGMS Form ID: ", set.ID);
  std::int64_t consumed = 0;
  while (consumed < std::int64_t{set.Length} - 4) {
    ctx.in.ReadTag();
    ctx.in.ReadBigLong();
    const Tag id = ctx.in.ReadTag();
    ctx.in.Back(12);
    // Any other child ends the list; the main walk reads it as the next chunk.
    if (id != Tag("BMSH")) break;
    LodMesh mesh = ReadLodMesh(ctx);
    consumed += std::int64_t{mesh.Length} + 8;
    set.Meshes.push_back(std::move(mesh));
    ctx.Tick();
  }
}

void ReadSimpleMeshChunk(ReadContext& ctx) {
  SimpleMesh mesh;
  TakeHeader(ctx, mesh);
  mesh.Name = ctx.ReadText(mesh.NameLength);
  ctx.Note("SIMP Name: ", mesh.Name);
  mesh.VertexCount = ctx.in.ReadLong();
  ctx.Note("Number of vertices: ", mesh.VertexCount);
  ctx.Require(mesh.VertexCount, sizeof(SimpleVertex), "vertex count");
  mesh.Vertices.resize(static_cast<std::size_t>(mesh.VertexCount));
  static_assert(sizeof(SimpleVertex) == 40, "a simple vertex is stored as it lies in the file");
  if (!mesh.Vertices.empty()) {
    std::memcpy(mesh.Vertices.data(), ctx.in.Take(mesh.Vertices.size() * 40),
                mesh.Vertices.size() * 40);
  }
  mesh.IndexCount = ctx.in.ReadLong();
  ctx.Note("Number of face indices: ", mesh.IndexCount);
  ctx.Require(mesh.IndexCount, 4, "index count");
  mesh.Indices.resize(static_cast<std::size_t>(mesh.IndexCount));
  if (!mesh.Indices.empty()) {
    std::memcpy(mesh.Indices.data(), ctx.in.Take(mesh.Indices.size() * 4), mesh.Indices.size() * 4);
  }
  ctx.model.SimpleMeshes.push_back(std::move(mesh));
}

namespace {

// The components a vertex mask selects, as bits in file order (which is also their order in
// MeshVertex): position, colour, normal, uv, tangent, binormal.
constexpr unsigned kPosition = 1, kColour = 2, kNormal = 4, kUV = 8, kTangent = 16, kBinormal = 32,
                   kAll = 63;

unsigned Components(std::int32_t mask) {
  return (mask & kMaskPosition ? kPosition : 0u) | (mask & kMaskColour ? kColour : 0u) |
         (mask & kMaskNormal ? kNormal : 0u) | (mask & kMaskUV ? kUV : 0u) |
         (mask & kMaskTangent ? kTangent : 0u) | (mask & kMaskBinormal ? kBinormal : 0u);
}

// A vertex with every component lies in memory exactly as in the file.
static_assert(sizeof(MeshVertex) == VertexBytes(0x600F) && offsetof(MeshVertex, Colour) == 16 &&
              offsetof(MeshVertex, Normal) == 20 && offsetof(MeshVertex, UV) == 36 &&
              offsetof(MeshVertex, Tangent) == 44 && offsetof(MeshVertex, Binormal) == 56);

// One instantiation per combination of components: the loop copies pieces of fixed size and
// tests nothing per vertex.
template <unsigned kSelect>
void PackVertices(const MeshVertex* v, std::size_t count, std::uint8_t* p) {
  for (const MeshVertex* end = v + count; v != end; ++v) {
    if constexpr ((kSelect & kPosition) != 0) {
      std::memcpy(p, &v->Position, 16);
      p += 16;
    }
    if constexpr ((kSelect & kColour) != 0) {
      std::memcpy(p, v->Colour.data(), 4);
      p += 4;
    }
    if constexpr ((kSelect & kNormal) != 0) {
      std::memcpy(p, &v->Normal, 16);
      p += 16;
    }
    if constexpr ((kSelect & kUV) != 0) {
      std::memcpy(p, &v->UV, 8);
      p += 8;
    }
    if constexpr ((kSelect & kTangent) != 0) {
      std::memcpy(p, &v->Tangent, 12);
      p += 12;
    }
    if constexpr ((kSelect & kBinormal) != 0) {
      std::memcpy(p, &v->Binormal, 12);
      p += 12;
    }
  }
}

using Packer = void (*)(const MeshVertex*, std::size_t, std::uint8_t*);

template <unsigned... kSelect>
constexpr std::array<Packer, sizeof...(kSelect)> MakePackers(
    std::integer_sequence<unsigned, kSelect...>) {
  return {&PackVertices<kSelect>...};
}
constexpr auto kPackers = MakePackers(std::make_integer_sequence<unsigned, kAll + 1>{});

// Encodes a part's vertices with only the components its mask selects, in file order. Packed a
// block at a time through a buffer that stays in cache.
void EncodeVertices(WriteContext& ctx, std::int32_t mask, const std::vector<MeshVertex>& vertices) {
  const std::uint32_t stride = VertexBytes(mask);
  if (stride == 0 || vertices.empty()) return;
  const unsigned select = Components(mask);
  if (select == kAll) {
    ctx.out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(vertices.data()),
                                 vertices.size() * sizeof(MeshVertex)));
    return;
  }
  constexpr std::size_t kBlock = 1024;
  ctx.scratch.resize(kBlock * sizeof(MeshVertex));
  const Packer pack = kPackers[select];
  for (std::size_t first = 0; first < vertices.size(); first += kBlock) {
    const std::size_t count = std::min(kBlock, vertices.size() - first);
    pack(vertices.data() + first, count, ctx.scratch.data());
    ctx.out.WriteBytes(std::span(ctx.scratch.data(), count * stride));
  }
}

void WriteIndices16(ByteWriter& out, const std::vector<std::int16_t>& indices) {
  out.WriteBytes(
      std::span(reinterpret_cast<const std::uint8_t*>(indices.data()), indices.size() * 2));
}

}  // namespace

std::int64_t ChunkBytes(const LodMesh& mesh) {
  std::int64_t bytes = 4 + 4 + 4 + 4;
  for (const MeshPart& part : mesh.Parts) {
    bytes += 12 + static_cast<std::int64_t>(part.Vertices.size()) * VertexBytes(part.VertexMask);
    bytes += 2;
    for (const FaceList& list : part.FaceLists) {
      bytes += 8 + 2 * static_cast<std::int64_t>(list.Indices.size());
    }
  }
  return bytes;
}

std::int32_t ComputeLodMeshLengths(LodMesh& mesh) {
  mesh.ID = "BMSH";  // always written so: readers find meshes by it
  return StoreLength(mesh.Length, ChunkBytes(mesh), "a level-of-detail mesh");
}

void WriteLodMesh(WriteContext& ctx, const LodMesh& mesh) {
  WriteContext::CheckCount(mesh.PartCount, mesh.Parts.size(), "mesh parts");
  const std::size_t mark = ctx.BeginContainer(mesh.Kind, mesh.Length, "BMSH");
  ctx.out.WriteBigLong(mesh.Version);
  ctx.out.WriteLong(mesh.LodLevel);
  ctx.out.WriteLong(mesh.PartCount);
  for (const MeshPart& part : mesh.Parts) {
    WriteContext::CheckCount(part.VertexCount, part.Vertices.size(), "part vertices");
    WriteContext::CheckCount(part.FaceListCount, part.FaceLists.size(), "face lists");
    ctx.out.WriteLong(part.MaterialIndex);
    ctx.out.WriteLong(part.VertexMask);
    ctx.out.WriteLong(part.VertexCount);
    EncodeVertices(ctx, part.VertexMask, part.Vertices);
    ctx.out.WriteInteger(part.FaceListCount);
    for (const FaceList& list : part.FaceLists) {
      WriteContext::CheckCount(list.IndexCount, list.Indices.size(), "face indices");
      if (list.Type != kFaceListTriangles && list.Type != kFaceListStrip) {
        throw WriteError(
            fmt::format("a face list of type {} is neither a list nor a strip", list.Type));
      }
      ctx.out.WriteLong(list.Type);
      ctx.out.WriteLong(list.IndexCount);
      WriteIndices16(ctx.out, list.Indices);
    }
  }
  ctx.End(mark, mesh.Length, "a level-of-detail mesh");
}

std::int64_t ChunkBytes(const MultiMesh& mesh) {
  std::int64_t bytes = 4 + 4 + TextBytes(mesh.Name) + TextBytes(mesh.ParentName);
  if (mesh.ID != Tag("GOBG")) bytes += 4;
  for (const LodMesh& lod : mesh.Lods) bytes += 8 + ChunkBytes(lod);
  return bytes;
}

std::int32_t ComputeMultiMeshLengths(MultiMesh& mesh) {
  mesh.Kind = "NRML";  // the ID, MULT or GOBG, says what the mesh is
  SyncText(mesh.NameLength, mesh.Name);
  SyncText(mesh.ParentLength, mesh.ParentName);
  for (LodMesh& lod : mesh.Lods) ComputeLodMeshLengths(lod);
  return StoreLength(mesh.Length, ChunkBytes(mesh), "a mesh");
}

void WriteMultiMeshChunk(WriteContext& ctx, const MultiMesh& mesh) {
  const bool goblin = mesh.ID == Tag("GOBG");
  WriteContext::CheckCount(mesh.LodCount, mesh.Lods.size(), "levels of detail");
  // A goblin has no count on disk and is read back with exactly one level.
  if (goblin && mesh.Lods.size() != 1) {
    throw WriteError(fmt::format("the goblin \"{}\" has {} levels of detail; a goblin has one",
                                 mesh.Name, mesh.Lods.size()));
  }
  const std::size_t mark = ctx.BeginContainer("NRML", mesh.Length, mesh.ID);
  ctx.out.WriteBigLong(mesh.Version);
  ctx.Text(mesh.NameLength, mesh.Name);
  ctx.Text(mesh.ParentLength, mesh.ParentName);
  if (!goblin) ctx.out.WriteLong(mesh.LodCount);
  for (const LodMesh& lod : mesh.Lods) WriteLodMesh(ctx, lod);
  ctx.End(mark, mesh.Length, "a mesh");
}

namespace {
std::int64_t GlowInfoBytes(const EngineGlow& glow) {
  return 4 + 4 + TextBytes(glow.Name) + TextBytes(glow.ParentName) + 4;
}
}  // namespace

std::int64_t ChunkBytes(const EngineGlow& glow) {
  return 4 + 8 + GlowInfoBytes(glow) + 8 + ChunkBytes(glow.Mesh);
}

std::int32_t ComputeEngineGlowLengths(EngineGlow& glow) {
  Frame(glow, "FORM", "GLOW");
  glow.InfoKind = "NRML";
  SyncText(glow.NameLength, glow.Name);
  SyncText(glow.ParentLength, glow.ParentName);
  StoreLength(glow.InfoLength, GlowInfoBytes(glow), "an engine glow's description");
  ComputeLodMeshLengths(glow.Mesh);
  return StoreLength(glow.Length, ChunkBytes(glow), "an engine glow");
}

void WriteEngineGlowChunk(WriteContext& ctx, const EngineGlow& glow) {
  const std::size_t mark = ctx.BeginContainer("FORM", glow.Length, "GLOW");
  const std::size_t info = ctx.BeginContainer("NRML", glow.InfoLength, glow.InfoID);
  ctx.out.WriteBigLong(glow.Version);
  ctx.Text(glow.NameLength, glow.Name);
  ctx.Text(glow.ParentLength, glow.ParentName);
  ctx.out.WriteLong(glow.LodLevel);
  ctx.End(info, glow.InfoLength, "an engine glow's description");
  WriteLodMesh(ctx, glow.Mesh);
  ctx.End(mark, glow.Length, "an engine glow");
}

std::int64_t ChunkBytes(const SimpleMesh& mesh) {
  return TextBytes(mesh.Name) + 4 + 40 * static_cast<std::int64_t>(mesh.Vertices.size()) + 4 +
         4 * static_cast<std::int64_t>(mesh.Indices.size());
}

std::int32_t ComputeSimpleMeshLengths(SimpleMesh& mesh) {
  Frame(mesh, "SIMP");
  SyncText(mesh.NameLength, mesh.Name);
  return StoreLength(mesh.Length, ChunkBytes(mesh), "a simple mesh");
}

void WriteSimpleMeshChunk(WriteContext& ctx, const SimpleMesh& mesh) {
  WriteContext::CheckCount(mesh.VertexCount, mesh.Vertices.size(), "simple-mesh vertices");
  WriteContext::CheckCount(mesh.IndexCount, mesh.Indices.size(), "simple-mesh indices");
  const std::size_t mark = ctx.BeginPlain("SIMP", mesh.Length);
  ctx.Text(mesh.NameLength, mesh.Name);
  ctx.out.WriteLong(mesh.VertexCount);
  ctx.out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(mesh.Vertices.data()),
                               mesh.Vertices.size() * sizeof(SimpleVertex)));
  ctx.out.WriteLong(mesh.IndexCount);
  ctx.out.WriteBytes(std::span(reinterpret_cast<const std::uint8_t*>(mesh.Indices.data()),
                               mesh.Indices.size() * 4));
  ctx.End(mark, mesh.Length, "a simple mesh");
}

}  // namespace gantry
