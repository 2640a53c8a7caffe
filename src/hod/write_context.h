// Shared state of one HOD write and the helpers every chunk writer uses. The writer emits the
// lengths and counts the model holds (ComputeLengths brings them up to date first); each chunk
// checks that what it wrote matches its stored length, and each list that its count matches, so
// a model that would give a corrupt file is refused instead of written. Internal to hod/.
#pragma once

#include <fmt/format.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_writer.h"
#include "hod/model.h"
#include "hod/read_context.h"

namespace gantry {

class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct WriteContext {
  explicit WriteContext(ByteWriter& writer) : out(writer) {}
  ByteWriter& out;
  // Room to pack data into before it is appended, kept across chunks.
  std::vector<std::uint8_t> scratch;

  // Starts a container (kind, length, id) or a plain chunk (tag, length); the mark is where the
  // counted bytes begin.
  std::size_t BeginContainer(const Tag& kind, std::int32_t length, const Tag& id) {
    out.WriteTag(kind);
    out.WriteBigLong(length);
    const std::size_t mark = out.size();
    out.WriteTag(id);
    return mark;
  }
  std::size_t BeginPlain(const Tag& tag, std::int32_t length) {
    out.WriteTag(tag);
    out.WriteBigLong(length);
    return out.size();
  }
  void End(std::size_t mark, std::int32_t length, std::string_view what) const {
    const std::size_t written = out.size() - mark;
    if (written != static_cast<std::size_t>(static_cast<std::uint32_t>(length))) {
      throw WriteError(
          fmt::format("{}: its length says {} bytes but {} were written", what, length, written));
    }
  }
  // A count written as stored must describe the list written after it.
  static void CheckCount(std::int64_t count, std::size_t size, std::string_view what) {
    if (count < 0 || static_cast<std::size_t>(count) != size) {
      throw WriteError(fmt::format("{}: the count says {} but {} are held", what, count, size));
    }
  }

  void Text(std::int32_t length, const std::string& text) {
    if (length < 0 || static_cast<std::size_t>(length) != text.size()) {
      throw WriteError(fmt::format("the text \"{}\" has a length field of {}", text, length));
    }
    out.WriteText(length, text);
  }
  void Vector(const Vector3& v) {
    out.WriteSingle(v.x);
    out.WriteSingle(v.y);
    out.WriteSingle(v.z);
  }
};

// Sizes used by the length pass: a counted text takes its count and its characters.
inline std::int64_t TextBytes(const std::string& text) {
  return 4 + static_cast<std::int64_t>(text.size());
}
// Gives a record the header it is written with (a chunk may be read through a FORM or NRML
// container, or without one, where the writer has a fixed framing), so that a read of the file
// gives the record back as it stands.
inline void Frame(ChunkHeader& header, const Tag& kind, const Tag& id = Tag()) {
  header.Kind = kind;
  header.ID = id;
}

// Sets a text's length field and returns the bytes it takes.
inline std::int64_t SyncText(std::int32_t& length, const std::string& text) {
  length = static_cast<std::int32_t>(text.size());
  return TextBytes(text);
}
// Stores a computed chunk length; a HOD cannot describe more than 2 GB in one chunk.
inline std::int32_t StoreLength(std::int32_t& field, std::int64_t bytes, std::string_view what) {
  if (bytes > INT32_MAX) throw WriteError(fmt::format("{} is larger than 2 GB", what));
  field = static_cast<std::int32_t>(bytes);
  return field;
}

// Length pass and write pass per chunk family. ChunkBytes gives the bytes the chunk's content
// takes when written (what its length field should say), from the data alone; Compute* set
// every length and text-length field of the record (and of what it holds) and return the
// chunk's length; Write* emit the chunk. VisitChunks (hod_writer.cpp) puts them in file order.
std::int64_t ChunkBytes(const LightListRecord& lights);
std::int64_t ChunkBytes(const Material& material);
std::int64_t ChunkBytes(const Texture& texture);
std::int64_t ChunkBytes(const JointListRecord& joints);
std::int64_t ChunkBytes(const EngineShape& shape);
std::int64_t ChunkBytes(const EngineBurn& burn);
std::int64_t ChunkBytes(const BoundaryVertexRecord& record);
std::int64_t ChunkBytes(const Marker& marker);
std::int64_t ChunkBytes(const NavLightListRecord& record);
std::int64_t ChunkBytes(const DockPathListRecord& record);
std::int64_t ChunkBytes(const BackgroundSegment& segment);
std::int64_t ChunkBytes(const StarField& field);
std::int64_t ChunkBytes(const VaryMesh& vary);
std::int64_t ChunkBytes(const LodMesh& mesh);
std::int64_t ChunkBytes(const MultiMesh& mesh);
std::int64_t ChunkBytes(const EngineGlow& glow);
std::int64_t ChunkBytes(const SimpleMesh& mesh);
std::int64_t ChunkBytes(const CollisionMesh& mesh);
std::int64_t ChunkBytes(const ScarMesh& mesh);
std::int64_t ChunkBytes(const InfoEntry& entry);
std::int64_t ChunkBytes(const HodOwnerRecord& owner);

std::int32_t ComputeLightLengths(LightListRecord& lights);
void WriteLightChunk(WriteContext& ctx, const LightListRecord& lights);
std::int32_t ComputeMaterialLengths(Material& material);
void WriteMaterialChunk(WriteContext& ctx, const Material& material);
std::int32_t ComputeTextureLengths(Texture& texture);
void WriteTextureChunk(WriteContext& ctx, const Texture& texture);
std::int32_t ComputeJointLengths(JointListRecord& joints);
void WriteJointChunk(WriteContext& ctx, const JointListRecord& joints);
std::int32_t ComputeEngineShapeLengths(EngineShape& shape);
void WriteEngineShapeChunk(WriteContext& ctx, const EngineShape& shape);
std::int32_t ComputeEngineBurnLengths(EngineBurn& burn);
void WriteEngineBurnChunk(WriteContext& ctx, const EngineBurn& burn);
std::int32_t ComputeBoundaryVertexLengths(BoundaryVertexRecord& record);
void WriteBoundaryVertexChunk(WriteContext& ctx, const BoundaryVertexRecord& record);
std::int32_t ComputeMarkerLengths(Marker& marker);
void WriteMarkerChunk(WriteContext& ctx, const Marker& marker);
std::int32_t ComputeNavLightLengths(NavLightListRecord& record);
void WriteNavLightChunk(WriteContext& ctx, const NavLightListRecord& record);
std::int32_t ComputeDockLengths(DockPathListRecord& record);
void WriteDockChunk(WriteContext& ctx, const DockPathListRecord& record);
std::int32_t ComputeBackgroundSegmentLengths(BackgroundSegment& segment);
void WriteBackgroundSegmentChunk(WriteContext& ctx, const BackgroundSegment& segment);
std::int32_t ComputeStarFieldLengths(StarField& field);
void WriteStarFieldChunk(WriteContext& ctx, const StarField& field);
void WriteBackgroundLightChunk(WriteContext& ctx, const BackgroundLightRecord& record);
std::int32_t ComputeVaryLengths(VaryMesh& vary);
void WriteVaryChunk(WriteContext& ctx, const VaryMesh& vary);
std::int32_t ComputeLodMeshLengths(LodMesh& mesh);
void WriteLodMesh(WriteContext& ctx, const LodMesh& mesh);
std::int32_t ComputeMultiMeshLengths(MultiMesh& mesh);
void WriteMultiMeshChunk(WriteContext& ctx, const MultiMesh& mesh);
std::int32_t ComputeEngineGlowLengths(EngineGlow& glow);
void WriteEngineGlowChunk(WriteContext& ctx, const EngineGlow& glow);
std::int32_t ComputeSimpleMeshLengths(SimpleMesh& mesh);
void WriteSimpleMeshChunk(WriteContext& ctx, const SimpleMesh& mesh);
std::int32_t ComputeCollisionLengths(CollisionMesh& mesh);
void WriteCollisionChunk(WriteContext& ctx, const CollisionMesh& mesh);
std::int32_t ComputeScarLengths(ScarMesh& mesh);
void WriteScarChunk(WriteContext& ctx, const ScarMesh& mesh);
std::int32_t ComputeInfoEntryLengths(InfoEntry& entry);
void WriteInfoEntryChunk(WriteContext& ctx, const InfoEntry& entry);
std::int32_t ComputeOwnerLengths(HodOwnerRecord& owner);
void WriteOwnerChunk(WriteContext& ctx, const HodOwnerRecord& owner);

}  // namespace gantry
