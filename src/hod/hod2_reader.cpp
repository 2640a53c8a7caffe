// The later dialect's chunks: the POOL chunk's three streams, the chunks that take their data
// from them (LMIP, MULT/BMSH, GLOW, COLD, SCAR) and those that changed shape (FORM HIER, MRKS).
// KDOP, a mesh's TAGS and unknown chunks are kept as read.
// Every chunk must end exactly where its length says; every count is checked against what the
// file or the stream still holds before anything is allocated for it.
#include <cstring>

#include "hod/hod2_read.h"
#include "hod/hod2_scar.h"
#include "hod/mesh_layout.h"
#include "hod/pool_codec.h"

namespace gantry {

namespace {

constexpr std::int32_t kMaxParts = 254;
constexpr std::int32_t kMaxMipLevels = 32767;
constexpr std::int32_t kMarkerHeadVersion = 1;
constexpr std::int32_t kScarPartVersion = 1000;
constexpr std::uint64_t kPartBytes = 4 + 4 + 4 + 2 + 4;
constexpr std::uint64_t kJointBytes = 4 + 4 + 9 * 4;
constexpr std::uint64_t kMarkerBytes = 4 + 4 + 6 * 8;
constexpr std::uint64_t kScarTriangleBytes = 6 * 2;

bool IsContainer(const Tag& kind) { return kind == Tag("FORM") || kind == Tag("NRML"); }

// Where the current chunk's body ends; the body must lie inside the file.
std::uint64_t BodyEnd(const ReadContext& ctx) {
  std::uint64_t length = static_cast<std::uint32_t>(ctx.header.Length);
  if (ctx.container) {
    if (length < 4) {
      throw ReadError(fmt::format("a container's length of {} does not cover its ID", length),
                      ctx.in.position());
    }
    length -= 4;
  }
  if (length > ctx.in.remaining()) {
    throw ReadError(
        fmt::format("the chunk claims {} bytes but only {} remain", length, ctx.in.remaining()),
        ctx.in.position());
  }
  return ctx.in.position() + length;
}

void ExpectEnd(const ReadContext& ctx, std::uint64_t end, std::string_view what) {
  if (ctx.in.position() != end) {
    throw ReadError(fmt::format("{} ends at byte {} where its length says byte {}", what,
                                ctx.in.position(), end),
                    ctx.in.position());
  }
}

// The next count * item bytes of a stream.
const std::uint8_t* TakeFromStream(ReadContext& ctx, PoolStreamId id, std::uint64_t count,
                                   std::uint64_t item, std::string_view what) {
  Hod2ReadState::Stream& stream = ctx.hod2->streams[id];
  const std::uint64_t left = stream.data.size() - stream.used;
  if (item != 0 && count > left / item) {
    throw ReadError(fmt::format("{} need {} x {} bytes of the {} stream from its byte {}, where "
                                "only {} remain",
                                what, count, item, stream.name, stream.used, left),
                    ctx.in.position());
  }
  const std::uint8_t* p = stream.data.data() + stream.used;
  stream.used += static_cast<std::size_t>(count * item);
  return p;
}

std::vector<std::uint8_t> CopyFromStream(ReadContext& ctx, PoolStreamId id, std::uint64_t count,
                                         std::uint64_t item, std::string_view what) {
  const std::uint8_t* p = TakeFromStream(ctx, id, count, item, what);
  return std::vector<std::uint8_t>(p, p + count * item);
}

std::int32_t ReadCount(ReadContext& ctx, std::string_view what) {
  const std::int32_t count = ctx.in.ReadLong();
  if (count < 0) {
    throw ReadError(fmt::format("the {} is {}", what, count), ctx.in.position() - 4);
  }
  return count;
}

// ---- Kept as read ---------------------------------------------------------------------------

std::vector<std::uint8_t> ReadBody(ReadContext& ctx, std::uint64_t end) {
  std::vector<std::uint8_t> body(static_cast<std::size_t>(end - ctx.in.position()));
  if (!body.empty()) ctx.in.ReadBytes(body.data(), body.size());
  return body;
}

// A whole child chunk (header and body) inside a container that ends at parent_end.
OpaqueChunk ReadChildChunk(ReadContext& ctx, std::uint64_t parent_end) {
  OpaqueChunk chunk;
  chunk.Container = ctx.hod2->container;
  chunk.Kind = ctx.in.ReadTag();
  chunk.Length = ctx.in.ReadBigLong();
  std::uint64_t length = static_cast<std::uint32_t>(chunk.Length);
  if (IsContainer(chunk.Kind)) {
    chunk.ID = ctx.in.ReadTag();
    if (length < 4) {
      throw ReadError(fmt::format("a container's length of {} does not cover its ID", length),
                      ctx.in.position());
    }
    length -= 4;
  }
  const std::uint64_t pos = ctx.in.position();
  if (pos > parent_end || length > parent_end - pos) {
    throw ReadError(
        fmt::format("the {} chunk inside claims {} bytes beyond what its container holds",
                    (IsContainer(chunk.Kind) ? chunk.ID : chunk.Kind).str(), length),
        pos);
  }
  chunk.Body = ReadBody(ctx, pos + length);
  ctx.Note("Kept as read: ",
           fmt::format("{} {} ({} bytes)", chunk.Kind.str(), chunk.ID.str(), chunk.Body.size()));
  return chunk;
}

void KeepChunk(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  OpaqueChunk chunk;
  TakeHeader(ctx, chunk);
  chunk.Container = ctx.hod2->container;
  chunk.Body = ReadBody(ctx, end);
  const Tag name = ctx.container ? chunk.ID : chunk.Kind;
  ctx.Note("Kept as read: ", fmt::format("{} ({} bytes)", name.str(), chunk.Body.size()));
  ctx.model.Hod2.Chunks.push_back(std::move(chunk));
}

// ---- Textures -------------------------------------------------------------------------------

// Bytes per 4 x 4 block, or per pixel for "8888".
std::uint64_t BlockBytes(const Tag& format) {
  if (format == Tag("DXT1")) return 8;
  if (format == Tag("DXT3") || format == Tag("DXT5")) return 16;
  if (format == Tag("8888")) return 4;
  return 0;
}

void ReadPooledTexture(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  Texture texture;
  TakeHeader(ctx, texture);
  texture.FileName = ctx.ReadText(texture.FileNameLength);
  ctx.Note("Texture Name: ", texture.FileName);
  texture.Format = ctx.in.ReadTag();
  ctx.Note("Compression Type: ", texture.Format);
  const std::uint64_t block = BlockBytes(texture.Format);
  if (block == 0) {
    throw ReadError(fmt::format("the texture format \"{}\" is none of DXT1, DXT3, DXT5, 8888",
                                texture.Format.str()),
                    ctx.in.position() - 4);
  }
  texture.MipCount = ReadCount(ctx, "mip level count");
  ctx.Note("Number of Mip Maps: ", texture.MipCount);
  ctx.Limit(texture.MipCount, kMaxMipLevels, "The number of mip levels");
  ctx.Require(texture.MipCount, 8, "mip level count");

  std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes(
      static_cast<std::size_t>(texture.MipCount));
  for (std::size_t level = 0; level < sizes.size(); ++level) {
    const std::uint32_t w = ctx.in.ReadRaw32();
    const std::uint32_t h = ctx.in.ReadRaw32();
    if (level == 0) {
      if (w > INT32_MAX || h > INT32_MAX) {
        throw ReadError(fmt::format("a texture of {} x {} pixels", w, h), ctx.in.position() - 8);
      }
      if (w == 0 || h == 0) {
        throw ReadError(fmt::format("the texture \"{}\" is {} x {} pixels", texture.FileName, w, h),
                        ctx.in.position() - 8);
      }
      texture.Width = static_cast<std::int32_t>(w);
      texture.Height = static_cast<std::int32_t>(h);
    }
    // The model keeps the largest size only; the others must follow from it.
    const auto half = [&](std::int32_t size) {
      return level >= 31 ? 1u : std::max(1u, static_cast<std::uint32_t>(size) >> level);
    };
    if (w != half(texture.Width) || h != half(texture.Height)) {
      throw ReadError(fmt::format("mip level {} of \"{}\" is {} x {} where halving {} x {} gives "
                                  "{} x {}",
                                  level + 1, texture.FileName, w, h, texture.Width, texture.Height,
                                  half(texture.Width), half(texture.Height)),
                      ctx.in.position() - 8);
    }
    sizes[level] = {w, h};
    ctx.Note(fmt::format("Mip level {}: {} x {}", level + 1, w, h));
  }
  ExpectEnd(ctx, end, "the texture");

  texture.MipLevels.resize(sizes.size());
  for (std::size_t level = 0; level < sizes.size(); ++level) {
    const auto [w, h] = sizes[level];
    const bool pixels = texture.Format == Tag("8888");
    const std::uint64_t across = pixels ? std::max(1u, w) : std::max(1u, (w + 3) / 4);
    const std::uint64_t down = pixels ? std::max(1u, h) : std::max(1u, (h + 3) / 4);
    const std::string what =
        fmt::format("the blocks of mip level {} of \"{}\"", level + 1, texture.FileName);
    if (across > UINT64_MAX / down) throw ReadError(what + " are too many", ctx.in.position());
    texture.MipLevels[level] = CopyFromStream(ctx, kTextureStream, across * down, block, what);
    ctx.Tick();
  }
  ctx.model.Textures.push_back(std::move(texture));
}

// ---- Meshes ---------------------------------------------------------------------------------

void DecodePooledVertices(const std::uint8_t* p, std::int32_t mask, std::vector<MeshVertex>& out,
                          std::vector<Vector2>& extra_uvs) {
  const std::uint32_t extra = ExtraUVSets(mask);
  extra_uvs.resize(out.size() * extra);
  Vector2* uv = extra_uvs.data();
  for (MeshVertex& v : out) {
    if (mask & kMaskPosition) {
      std::memcpy(&v.Position, p, 16);
      p += 16;
    }
    if (mask & kMaskColour) {
      std::memcpy(v.Colour.data(), p, 4);
      p += 4;
    }
    if (mask & kMaskNormal) {
      std::memcpy(&v.Normal, p, 16);
      p += 16;
    }
    if (mask & kMaskUV) {
      std::memcpy(&v.UV, p, 8);
      p += 8;
    }
    for (std::uint32_t k = 0; k < extra; ++k, ++uv) {
      std::memcpy(uv, p, 8);
      p += 8;
    }
    if (mask & kMaskTangent) {
      std::memcpy(&v.Tangent, p, 12);
      p += 12;
    }
    if (mask & kMaskBinormal) {
      std::memcpy(&v.Binormal, p, 12);
      p += 12;
    }
  }
}

MeshPart ReadPooledPart(ReadContext& ctx) {
  MeshPart part;
  part.MaterialIndex = ctx.in.ReadLong();
  ctx.Note("Material Index for THIS mesh: ", part.MaterialIndex);
  part.VertexMask = ctx.in.ReadLong();
  ctx.Note("Vertex Mask: ", part.VertexMask);
  if ((part.VertexMask & ~kHod2MaskBits) != 0) {
    throw ReadError(fmt::format("vertex mask {:#x} has components of unknown size",
                                static_cast<std::uint32_t>(part.VertexMask)),
                    ctx.in.position() - 4);
  }
  part.VertexCount = ReadCount(ctx, "vertex count");
  ctx.Note("Number of Vertices: ", part.VertexCount);
  const std::int16_t marker = ctx.in.ReadInteger();
  if (marker != -1) {
    throw ReadError(fmt::format("a pooled part has {} where -1 stands for its face list", marker),
                    ctx.in.position() - 2);
  }
  FaceList list;
  list.Type = kFaceListTriangles;
  list.IndexCount = ReadCount(ctx, "index count");
  ctx.Note("Number of face indices: ", list.IndexCount);

  const std::uint32_t stride = Hod2VertexBytes(part.VertexMask);
  if (stride == 0) {
    // Vertices without components take no pool bytes: a budget for the whole read bounds them.
    ctx.empty_vertex_budget -= part.VertexCount;
    if (ctx.empty_vertex_budget < 0) {
      throw ReadStop(fmt::format("more than {} vertices without data (vertex mask {})",
                                 kMaxEmptyVertices, part.VertexMask),
                     Icon::Critical);
    }
  }
  const std::uint8_t* vertices =
      TakeFromStream(ctx, kMeshStream, static_cast<std::uint64_t>(part.VertexCount), stride,
                     "the part's vertices");
  part.Vertices.resize(static_cast<std::size_t>(part.VertexCount));
  if (stride != 0) DecodePooledVertices(vertices, part.VertexMask, part.Vertices, part.ExtraUVs);
  const std::uint8_t* indices = TakeFromStream(
      ctx, kFaceStream, static_cast<std::uint64_t>(list.IndexCount), 2, "the part's indices");
  list.Indices.resize(static_cast<std::size_t>(list.IndexCount));
  if (!list.Indices.empty()) std::memcpy(list.Indices.data(), indices, list.Indices.size() * 2);
  part.FaceListCount = 1;
  part.FaceLists.push_back(std::move(list));
  ctx.Tick();
  return part;
}

LodMesh ReadPooledLodMesh(ReadContext& ctx, std::uint64_t parent_end) {
  LodMesh mesh;
  mesh.Kind = ctx.in.ReadTag();
  mesh.Length = ctx.in.ReadBigLong();
  mesh.ID = ctx.in.ReadTag();
  ctx.Note("Sub-Form ID: ", mesh.ID);
  const std::uint64_t start = ctx.in.position() - 4;
  const std::uint64_t length = static_cast<std::uint32_t>(mesh.Length);
  if (mesh.Kind != Tag("NRML") || mesh.ID != Tag("BMSH")) {
    throw ReadError(
        fmt::format("a level-of-detail mesh starts with {} {}", mesh.Kind.str(), mesh.ID.str()),
        start - 8);
  }
  if (length < 4 || start > parent_end || length > parent_end - start) {
    throw ReadError(fmt::format("a level-of-detail mesh claims {} bytes beyond what its "
                                "container holds",
                                length),
                    start);
  }
  mesh.Version = ctx.in.ReadBigLong();
  ctx.Note("Version: ", mesh.Version);
  mesh.LodLevel = ctx.in.ReadLong();
  ctx.Note("LoD of THIS mesh: ", mesh.LodLevel);
  mesh.PartCount = ReadCount(ctx, "part count");
  ctx.Note("Number of objects: ", mesh.PartCount);
  ctx.Limit(mesh.PartCount, kMaxParts, "The number of parts of a mesh");
  ctx.Require(mesh.PartCount, kPartBytes, "part count");
  mesh.Parts.reserve(static_cast<std::size_t>(mesh.PartCount));
  for (std::int32_t i = 0; i < mesh.PartCount; ++i) mesh.Parts.push_back(ReadPooledPart(ctx));
  ExpectEnd(ctx, start + length, "the level-of-detail mesh");
  return mesh;
}

void ReadPooledMultiMesh(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  MultiMesh mesh;
  TakeHeader(ctx, mesh);
  mesh.Version = ctx.in.ReadBigLong();
  mesh.Name = ctx.ReadText(mesh.NameLength);
  mesh.ParentName = ctx.ReadText(mesh.ParentLength);
  mesh.LodCount = ReadCount(ctx, "level-of-detail count");
  ctx.Note("MULTi-Mesh Version: ", mesh.Version);
  ctx.Note("Name: ", mesh.Name);
  ctx.Note("Parent's Name: ", mesh.ParentName);
  ctx.Note("Number of BMSH Sub-Forms ( mostly LODs ): ", mesh.LodCount);
  MeshChunks extra{mesh.Name, {}};
  while (ctx.in.position() < end) {
    const std::uint64_t child = ctx.in.position();
    const Tag kind = ctx.in.ReadTag();
    ctx.in.ReadBigLong();
    const Tag id = IsContainer(kind) ? ctx.in.ReadTag() : Tag();
    ctx.in.Seek(child);
    if (IsContainer(kind) && id == Tag("BMSH")) {
      mesh.Lods.push_back(ReadPooledLodMesh(ctx, end));
    } else {
      extra.Chunks.push_back(ReadChildChunk(ctx, end));
    }
  }
  ExpectEnd(ctx, end, "the mesh");
  if (static_cast<std::size_t>(mesh.LodCount) != mesh.Lods.size()) {
    throw ReadError(fmt::format("the mesh \"{}\" says it has {} levels of detail but holds {}",
                                mesh.Name, mesh.LodCount, mesh.Lods.size()),
                    end);
  }
  if (!extra.Chunks.empty()) ctx.model.Hod2.MeshTags.push_back(std::move(extra));
  ctx.model.Meshes.push_back(std::move(mesh));
}

void ReadPooledGlow(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  EngineGlow glow;
  TakeHeader(ctx, glow);
  glow.InfoKind = ctx.in.ReadTag();
  glow.InfoLength = ctx.in.ReadBigLong();
  const std::uint64_t info_end = ctx.in.position() + static_cast<std::uint32_t>(glow.InfoLength);
  glow.InfoID = ctx.in.ReadTag();
  glow.Version = ctx.in.ReadBigLong();
  glow.Name = ctx.ReadText(glow.NameLength);
  ctx.Note("Glow Name: ", glow.Name);
  glow.ParentName = ctx.ReadText(glow.ParentLength);
  ctx.Note("Parent Name: ", glow.ParentName);
  glow.LodLevel = ctx.in.ReadLong();
  ExpectEnd(ctx, info_end, "the glow's description");
  glow.Mesh = ReadPooledLodMesh(ctx, end);
  ExpectEnd(ctx, end, "the glow");
  ctx.model.EngineGlows.push_back(std::move(glow));
}

// ---- Joints, markers, collision -------------------------------------------------------------

void ReadJointForm(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  JointListRecord record;
  TakeHeader(ctx, record);
  const std::int32_t stored = ctx.in.ReadLong();
  if (stored > 0) {
    throw ReadError(fmt::format("the joint count is stored as {} where this kind of file stores "
                                "it negated",
                                stored),
                    ctx.in.position() - 4);
  }
  const std::int64_t count = -std::int64_t{stored};
  ctx.Require(count, kJointBytes, "joint count");
  record.JointCount = static_cast<std::int32_t>(count);
  ctx.Note("Number of joints: ", record.JointCount);
  record.Joints.resize(static_cast<std::size_t>(count));
  std::vector<Vector3> extras(record.Joints.size());
  for (std::size_t i = 0; i < record.Joints.size(); ++i) {
    Joint& joint = record.Joints[i];
    joint.Name = ctx.ReadText(joint.NameLength);
    joint.ParentName = ctx.ReadText(joint.ParentLength);
    joint.Position = ctx.ReadVector3();
    joint.Rotation = ctx.ReadVector3();
    joint.Scale = {1, 1, 1};  // this dialect has no scale: a joint's scale is the identity
    extras[i] = ctx.ReadVector3();
    ctx.Note("Joint: ", joint.Name);
    ctx.Note("Parent: ", joint.ParentName);
    ctx.Tick();
  }
  ExpectEnd(ctx, end, "the joint list");
  ctx.model.JointList = std::move(record);
  ctx.model.Hod2.JointExtras = std::move(extras);
}

void ReadMarkerList(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  ctx.model.Hod2.MarkerListHeader = ctx.header;
  const std::int32_t count = ReadCount(ctx, "marker count");
  ctx.Require(count, kMarkerBytes, "marker count");
  ctx.Note("Number of markers: ", count);
  for (std::int32_t i = 0; i < count; ++i) {
    Marker marker;
    marker.Kind = "FORM";
    marker.ID = "MRKR";
    marker.HeadKind = "NRML";
    marker.HeadID = "HEAD";
    marker.Version = kMarkerHeadVersion;
    marker.KeyfKind = "FORM";
    marker.KeyfID = "KEYF";
    marker.Name = ctx.ReadText(marker.NameLength);
    ctx.Note("Marker Name: ", marker.Name);
    marker.ParentName = ctx.ReadText(marker.ParentLength);
    ctx.Note("Marker's Parent Name: ", marker.ParentName);
    for (double& p : marker.Position) p = ctx.in.ReadDouble();
    for (double& r : marker.Rotation) r = ctx.in.ReadDouble();
    ctx.model.Markers.push_back(std::move(marker));
    ctx.Tick();
  }
  ExpectEnd(ctx, end, "the marker list");
}

ChunkHeader ReadSubHeader(ReadContext& ctx, const Tag& tag, std::int32_t length) {
  ChunkHeader header;
  header.Kind = ctx.in.ReadTag();
  header.Length = ctx.in.ReadBigLong();
  if (header.Kind != tag || header.Length != length) {
    throw ReadError(fmt::format("found {} of {} bytes where {} of {} belongs", header.Kind.str(),
                                header.Length, tag.str(), length),
                    ctx.in.position() - 8);
  }
  return header;
}

void ReadPooledCollision(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  CollisionMesh mesh;
  TakeHeader(ctx, mesh);
  mesh.ParentName = ctx.ReadText(mesh.ParentLength);
  ctx.Note("Parent name: ", mesh.ParentName);
  mesh.BoxHeader = ReadSubHeader(ctx, "BBOX", 24);
  mesh.Box.Minimum = ctx.ReadVector3();
  mesh.Box.Maximum = ctx.ReadVector3();
  mesh.SphereHeader = ReadSubHeader(ctx, "BSPH", 16);
  mesh.Sphere.Centre = ctx.ReadVector3();
  mesh.Sphere.Radius = ctx.in.ReadSingle();
  mesh.TrianglesHeader = ReadSubHeader(ctx, "TRIS", 8);
  TriangleMesh& tris = mesh.Triangles;
  tris.VertexCount = ReadCount(ctx, "collision vertex count");
  tris.IndexCount = ReadCount(ctx, "collision index count");
  ctx.Note("Collision vertices: ", tris.VertexCount);
  ctx.Note("Collision indices: ", tris.IndexCount);
  ExpectEnd(ctx, end, "the collision mesh");
  const std::uint8_t* vertices =
      TakeFromStream(ctx, kMeshStream, static_cast<std::uint64_t>(tris.VertexCount), 12,
                     "the collision mesh's vertices");
  tris.Vertices.resize(static_cast<std::size_t>(tris.VertexCount));
  if (!tris.Vertices.empty())
    std::memcpy(tris.Vertices.data(), vertices, tris.Vertices.size() * 12);
  const std::uint8_t* indices =
      TakeFromStream(ctx, kFaceStream, static_cast<std::uint64_t>(tris.IndexCount), 2,
                     "the collision mesh's indices");
  tris.Indices.resize(static_cast<std::size_t>(tris.IndexCount));
  if (!tris.Indices.empty()) std::memcpy(tris.Indices.data(), indices, tris.Indices.size() * 2);
  ctx.model.CollisionMeshes.push_back(std::move(mesh));
}

ScarPartHeader ScarPart(const Tag& tag) {
  ScarPartHeader header;
  header.Kind = "NRML";
  header.PartTag = tag;
  header.Version = kScarPartVersion;
  return header;
}

std::vector<Vector3> TakeVectors(ReadContext& ctx, std::uint64_t count, std::string_view what) {
  const std::uint8_t* p = TakeFromStream(ctx, kMeshStream, count, 12, what);
  std::vector<Vector3> out(static_cast<std::size_t>(count));
  if (!out.empty()) std::memcpy(out.data(), p, out.size() * 12);
  return out;
}

std::int32_t GridSize(ReadContext& ctx) {
  const std::uint32_t size = ctx.in.ReadRaw32();
  if (size > INT32_MAX) {
    throw ReadError(fmt::format("a scar grid {} cells wide", size), ctx.in.position() - 4);
  }
  return static_cast<std::int32_t>(size);
}

// SCAR: read into the classic record (its six parts merged into one chunk); the checksum, whose
// rule is unknown, is kept with a fingerprint of what it was read with.
void ReadScar(ReadContext& ctx) {
  const std::uint64_t end = BodyEnd(ctx);
  ScarMesh scar;
  TakeHeader(ctx, scar);
  ScarChecksum kept;
  kept.Version = ctx.in.ReadBigLong();
  ScarDescription& d = scar.Description;
  d.Name = ctx.ReadText(d.NameLength);
  ctx.Note("Scar mesh: ", d.Name);
  d.ParentName = ctx.ReadText(d.ParentLength);
  d.LodLevel = ctx.in.ReadLong();
  scar.Box.Minimum = ctx.ReadVector3();
  scar.Box.Maximum = ctx.ReadVector3();
  scar.Sphere.Centre = ctx.ReadVector3();
  scar.Sphere.Radius = ctx.in.ReadSingle();
  const std::int32_t positions = ReadCount(ctx, "scar position count");
  const std::int32_t normals = ReadCount(ctx, "scar normal count");
  const std::int32_t triangles = ReadCount(ctx, "scar triangle count");
  const std::int32_t entries = ReadCount(ctx, "scar cell entry count");
  ctx.Require(entries, 2, "scar cell entry count");
  std::vector<std::int16_t> entry_list(static_cast<std::size_t>(entries));
  if (entries > 0) ctx.in.ReadBytes(entry_list.data(), entry_list.size() * 2);
  ScarGrid& grid = scar.Grid;
  grid.SizeX = GridSize(ctx);
  grid.SizeY = GridSize(ctx);
  grid.SizeZ = GridSize(ctx);
  const std::int64_t xy = std::int64_t{grid.SizeX} * grid.SizeY;
  const std::int64_t room = static_cast<std::int64_t>(ctx.in.remaining() / 2);
  if (xy > room || (xy > 0 && grid.SizeZ > room / xy)) {
    throw ReadError(fmt::format("a scar grid of {} x {} x {} cells is larger than the file",
                                grid.SizeX, grid.SizeY, grid.SizeZ),
                    ctx.in.position() - 12);
  }
  grid.Cells.resize(static_cast<std::size_t>(xy * grid.SizeZ));
  std::size_t next = 0;
  for (ScarCell& cell : grid.Cells) {
    const auto count = static_cast<std::uint16_t>(ctx.in.ReadInteger());
    if (count > entry_list.size() - next) {
      throw ReadError("the scar grid's cells list more entries than the scar mesh holds",
                      ctx.in.position() - 2);
    }
    cell.IndexCount = count;
    cell.Indices.assign(entry_list.begin() + static_cast<std::ptrdiff_t>(next),
                        entry_list.begin() + static_cast<std::ptrdiff_t>(next + count));
    next += count;
  }
  if (next != entry_list.size()) {
    throw ReadError(
        fmt::format("the scar grid's cells list {} of its {} entries", next, entry_list.size()),
        ctx.in.position());
  }
  kept.Checksum = ctx.in.ReadRaw32();
  ExpectEnd(ctx, end, "the scar mesh");
  ctx.Note(fmt::format(
      "Scar positions {}, normals {}, triangles {}, grid {} x {} x {}, "
      "checksum {:#010x}",
      positions, normals, triangles, grid.SizeX, grid.SizeY, grid.SizeZ, kept.Checksum));

  scar.Triangles.Vertices =
      TakeVectors(ctx, static_cast<std::uint64_t>(positions), "the scar mesh's positions");
  scar.Normals.Vertices =
      TakeVectors(ctx, static_cast<std::uint64_t>(normals), "the scar mesh's normals");
  const std::uint8_t* corners =
      TakeFromStream(ctx, kFaceStream, static_cast<std::uint64_t>(triangles), kScarTriangleBytes,
                     "the scar mesh's triangles");
  scar.Triangles.Indices.resize(static_cast<std::size_t>(triangles) * 3);
  scar.Normals.Indices.resize(scar.Triangles.Indices.size());
  for (std::size_t t = 0; t < static_cast<std::size_t>(triangles); ++t) {
    std::memcpy(&scar.Triangles.Indices[t * 3], corners + t * 12, 6);
    std::memcpy(&scar.Normals.Indices[t * 3], corners + t * 12 + 6, 6);
  }
  scar.Triangles.VertexCount = positions;
  scar.Normals.VertexCount = normals;
  scar.Triangles.IndexCount = static_cast<std::int32_t>(scar.Triangles.Indices.size());
  scar.Normals.IndexCount = scar.Triangles.IndexCount;
  scar.DescriptionHeader = ScarPart("DESC");
  scar.BoxHeader = ScarPart("BBOX");
  scar.SphereHeader = ScarPart("BSPH");
  scar.TrianglesHeader = ScarPart("TRIS");
  scar.NormalsHeader = ScarPart("VNRM");
  scar.GridHeader = ScarPart("SSUB");

  kept.Name = d.Name;
  const std::optional<ScarBytes> bytes = ScarChunkBytes(scar, kept.Version, kept.Checksum);
  if (bytes) kept.Fingerprint = ScarFingerprint(*bytes);
  ctx.model.Hod2.ScarChecksums.push_back(std::move(kept));
  ctx.model.ScarMeshes.push_back(std::move(scar));
  ctx.Tick();
}

}  // namespace

void ReadPoolChunk(ReadContext& ctx) {
  const HodModel& m = ctx.model;
  if (ctx.hod2) throw ReadError("a second POOL chunk", ctx.chunk_start);
  if (!m.Textures.empty() || !m.Meshes.empty() || !m.EngineGlows.empty() ||
      !m.CollisionMeshes.empty()) {
    throw ReadError("the POOL chunk follows chunks that would have taken their data from it",
                    ctx.chunk_start);
  }
  if (ctx.container) throw ReadError("POOL is framed as a container", ctx.chunk_start);
  const std::uint64_t end = BodyEnd(ctx);
  auto state = std::make_shared<Hod2ReadState>();
  Hod2Record& record = ctx.model.Hod2;
  record = Hod2Record{};
  // The POOL chunk makes the file one of the later dialect, even when a stream then fails.
  ctx.model.Dialect = HodDialect::Hod2;
  // These files have no boundary vertices: the blank model's placeholder box is not theirs.
  ctx.model.BoundaryVertices.Vertices.clear();
  ctx.model.BoundaryVertices.VertexCount = 0;
  record.PoolVersion = ctx.in.ReadRaw32();
  ctx.Note("Pool Version: ", record.PoolVersion);
  if (record.PoolVersion != kPoolVersion) {
    throw ReadError(
        fmt::format("the pool's version is {}; only {} is known", record.PoolVersion, kPoolVersion),
        ctx.in.position() - 4);
  }
  // Kept with the model, so a save can tell an unchanged stream and write it back as it was.
  auto as_read = std::make_shared<std::array<PoolStreamAsRead, 3>>();
  for (std::size_t i = 0; i < state->streams.size(); ++i) {
    Hod2ReadState::Stream& stream = state->streams[i];
    const std::uint64_t packed = ctx.in.ReadRaw32();
    const std::uint64_t size = ctx.in.ReadRaw32();
    ctx.Note(fmt::format("Pool {} stream: {} bytes, {} stored", stream.name, size, packed));
    const std::uint64_t at = ctx.in.position();
    if (at > end || packed > end - at) {
      throw ReadError(fmt::format("the {} stream claims {} bytes but the POOL chunk holds {} more",
                                  stream.name, packed, at > end ? 0 : end - at),
                      at - 8);
    }
    if (packed != size && size > packed * kPoolMaxExpansion) {
      throw ReadError(fmt::format("the {} stream claims {} bytes from {} compressed bytes, more "
                                  "than they can hold",
                                  stream.name, size, packed),
                      at - 4);
    }
    const std::uint8_t* payload = packed > 0 ? ctx.in.Take(packed) : nullptr;
    const auto failure = UnpackPoolStream(std::span<const std::uint8_t>(payload, packed),
                                          static_cast<std::size_t>(size), stream.data, stream.name);
    if (failure) throw ReadError(failure->message, at + failure->offset);
    PoolStreamAsRead& kept = (*as_read)[i];
    kept.Size = size;
    kept.Digest = DigestPoolStream(stream.data);
    if (packed > 0) kept.Payload.assign(payload, payload + packed);
    ctx.Tick();
  }
  record.Pool.Streams = std::move(as_read);
  ExpectEnd(ctx, end, "the POOL chunk");
  ctx.hod2 = std::move(state);
}

bool ReadHod2Chunk(ReadContext& ctx, const Tag& tag) {
  const std::string_view t = tag.view();
  if (t == "HVMD" || t == "DTRM" || t == "INFO") {
    // The containers follow one another: each begins where the one before ends.
    if (ctx.hod2->container_end != 0 && ctx.chunk_start != ctx.hod2->container_end) {
      throw ReadError(
          fmt::format("the {} container begins at byte {}, where the {} container's "
                      "length says it ends at byte {}",
                      t, ctx.chunk_start, ctx.hod2->container.str(), ctx.hod2->container_end),
          ctx.chunk_start);
    }
    ctx.hod2->container = tag;
    ctx.hod2->container_end = ctx.in.position() + static_cast<std::uint32_t>(ctx.header.Length) - 4;
    return false;  // the ordinary container header
  }
  // Unchanged from the classic files.
  if (t == "VERS" || t == "NAME" || t == "STAT" || t == "ETSH" || t == "BURN" || t == "NAVL" ||
      t == "DOCK" || t == "OWNR" || t == "ERRR" || t == "WARN") {
    return false;
  }
  if (t == "LMIP") {
    ReadPooledTexture(ctx);
  } else if (t == "MULT" && ctx.container) {
    ReadPooledMultiMesh(ctx);
  } else if (t == "GLOW" && ctx.container) {
    ReadPooledGlow(ctx);
  } else if (t == "HIER" && ctx.container) {
    ReadJointForm(ctx);
  } else if (t == "MRKS") {
    ReadMarkerList(ctx);
  } else if (t == "COLD" && ctx.container) {
    ReadPooledCollision(ctx);
  } else if (t == "SCAR" && ctx.container) {
    ReadScar(ctx);
  } else {
    KeepChunk(ctx);
  }
  return true;
}

void FinishHod2(const ReadContext& ctx) {
  // These files end with INFO, exactly at the end of its last chunk.
  if (ctx.in.position() != ctx.in.size()) {
    throw ReadStop(fmt::format("The last {} bytes of the file do not make a chunk.",
                               ctx.in.size() - ctx.in.position()),
                   Icon::Critical, ReadStop::Framing::Verbatim);
  }
  if (ctx.hod2->container != Tag("INFO")) {
    throw ReadStop("The file ends before its INFO container.", Icon::Critical,
                   ReadStop::Framing::Verbatim);
  }
  if (ctx.hod2->container_end != ctx.in.size()) {
    throw ReadStop(fmt::format("The {} container claims to end at byte {}, but the file ends at "
                               "byte {}.",
                               ctx.hod2->container.str(), ctx.hod2->container_end, ctx.in.size()),
                   Icon::Critical, ReadStop::Framing::Verbatim);
  }
  for (const Hod2ReadState::Stream& stream : ctx.hod2->streams) {
    if (stream.used != stream.data.size()) {
      throw ReadStop(fmt::format("The POOL chunk's {} stream holds {} bytes but the file's chunks "
                                 "take only {} of them.",
                                 stream.name, stream.data.size(), stream.used),
                     Icon::Critical, ReadStop::Framing::Verbatim);
    }
  }
}

}  // namespace gantry
