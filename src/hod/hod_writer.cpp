#include "hod/hod_writer.h"

#include "hod/reader_limits.h"
#include "hod/write_context.h"
#include "hod/write_order.h"

namespace gantry {

namespace {

// VERS, NAME, BGLT and BGMS as chunk families like the others: the bytes their data takes, their
// length pass and their write.
std::int64_t ChunkBytes(const HodVersionRecord&) { return 8; }
std::int32_t ComputeVersionLengths(HodVersionRecord& record) {
  Frame(record, "FORM", "VERS");
  return record.Length = 8;
}
void WriteVersionChunk(WriteContext& ctx, const HodVersionRecord& record) {
  const std::size_t mark = ctx.BeginContainer("FORM", record.Length, "VERS");
  ctx.out.WriteLong(record.Version);
  ctx.End(mark, record.Length, "the version");
}

std::int64_t ChunkBytes(const HodNameRecord& record) {
  return 4 + static_cast<std::int64_t>(record.TypeName.size());
}
std::int32_t ComputeNameLengths(HodNameRecord& record) {
  Frame(record, "FORM", "NAME");
  return StoreLength(record.Length, ChunkBytes(record), "the NAME text");
}
void WriteNameChunk(WriteContext& ctx, const HodNameRecord& record) {
  const std::size_t mark = ctx.BeginContainer("FORM", record.Length, "NAME");
  ctx.out.WriteChars(record.TypeName);
  ctx.End(mark, record.Length, "the NAME text");
}

// BGLT's lengths are kept as read (WriteBackgroundLightChunk).
std::int64_t ChunkBytes(const BackgroundLightRecord&) { return 8; }
std::int32_t ComputeBackgroundLightLengths(BackgroundLightRecord& record) {
  Frame(record, "NRML", "BGLT");
  return record.Length;
}

std::int64_t ChunkBytes(const BackgroundMeshSetRecord& set) {
  std::int64_t bytes = 4;
  for (const LodMesh& mesh : set.Meshes) bytes += 8 + ChunkBytes(mesh);
  return bytes;
}
std::int32_t ComputeBackgroundMeshLengths(BackgroundMeshSetRecord& set) {
  Frame(set, "FORM", "BGMS");
  std::int64_t bytes = 4;
  for (LodMesh& mesh : set.Meshes) bytes += 8 + std::int64_t{ComputeLodMeshLengths(mesh)};
  return StoreLength(set.Length, bytes, "the background meshes");
}
void WriteBackgroundMeshChunk(WriteContext& ctx, const BackgroundMeshSetRecord& set) {
  const std::size_t mark = ctx.BeginContainer("FORM", set.Length, "BGMS");
  for (const LodMesh& mesh : set.Meshes) WriteLodMesh(ctx, mesh);
  ctx.End(mark, set.Length, "the background meshes");
}

// The file's chunks in the order they are written, each with its length pass, its write and
// whether the model's type and counts have it written. Every record is visited, written or not,
// so that the length pass keeps all of them up to date. HVMD, DTRM and INFO are bare headers:
// containers are not walked when read, so their children follow at the top level, and their
// lengths count the children written under them.
template <typename Model, typename Pass>
void VisitChunks(Model& m, Pass& pass) {
  const auto each = [&pass](auto& list, auto compute, auto write) {
    for (auto& element : list) pass.Chunk(element, true, compute, write);
  };
  const bool background = IsBackground(m);
  const bool ends_after_stars = EndsAfterStars(m);
  pass.Chunk(m.HodVersion, true, ComputeVersionLengths, WriteVersionChunk);
  pass.Chunk(m.BackgroundLight, background, ComputeBackgroundLightLengths,
             WriteBackgroundLightChunk);
  pass.Chunk(m.BackgroundMeshSet, background && !m.BackgroundMeshSet.Meshes.empty(),
             ComputeBackgroundMeshLengths, WriteBackgroundMeshChunk);
  pass.Chunk(m.HodName, !background, ComputeNameLengths, WriteNameChunk);

  pass.Container(m.HvmdHeader, "HVMD", true, "the HVMD container", [&] {
    pass.Chunk(m.LightList, WritesLights(m), ComputeLightLengths, WriteLightChunk);
    each(m.Materials, ComputeMaterialLengths, WriteMaterialChunk);
    each(m.Textures, ComputeTextureLengths, WriteTextureChunk);
    each(m.VaryMeshes, ComputeVaryLengths, WriteVaryChunk);
    each(m.Meshes, ComputeMultiMeshLengths, WriteMultiMeshChunk);
    each(m.SimpleMeshes, ComputeSimpleMeshLengths, WriteSimpleMeshChunk);
  });
  for (auto& segment : m.BackgroundSegments) {
    pass.Chunk(segment, ends_after_stars && segment.ElementCount > 0,
               ComputeBackgroundSegmentLengths, WriteBackgroundSegmentChunk);
  }
  for (auto& field : m.StarFields) {
    pass.Chunk(field, ends_after_stars && field.StarCount > 0, ComputeStarFieldLengths,
               WriteStarFieldChunk);
  }

  pass.Container(m.DtrmHeader, "DTRM", !ends_after_stars, "the DTRM container", [&] {
    pass.Chunk(m.JointList, WritesJoints(m), ComputeJointLengths, WriteJointChunk);
    each(m.EngineShapes, ComputeEngineShapeLengths, WriteEngineShapeChunk);
    each(m.EngineGlows, ComputeEngineGlowLengths, WriteEngineGlowChunk);
    each(m.EngineBurns, ComputeEngineBurnLengths, WriteEngineBurnChunk);
    pass.Chunk(m.NavLightList, WritesNavLights(m), ComputeNavLightLengths, WriteNavLightChunk);
    pass.Chunk(m.DockPathList, WritesDock(m), ComputeDockLengths, WriteDockChunk);
    each(m.Markers, ComputeMarkerLengths, WriteMarkerChunk);
    pass.Chunk(m.BoundaryVertices, WritesBoundary(m), ComputeBoundaryVertexLengths,
               WriteBoundaryVertexChunk);
    each(m.CollisionMeshes, ComputeCollisionLengths, WriteCollisionChunk);
    each(m.ScarMeshes, ComputeScarLengths, WriteScarChunk);
  });

  pass.Container(m.InfoHeader, "INFO", WritesInfo(m), "the INFO container", [&] {
    each(m.Warnings, ComputeInfoEntryLengths, WriteInfoEntryChunk);
    each(m.Errors, ComputeInfoEntryLengths, WriteInfoEntryChunk);
    pass.Chunk(m.HodOwner, true, ComputeOwnerLengths, WriteOwnerChunk);
  });
}

// Sets every derived field; a container's length counts the chunks written under it.
struct LengthPass {
  std::int64_t counted = 0;  // the open container's bytes; each container starts it again

  template <typename Record, typename Compute, typename Write>
  void Chunk(Record& record, bool written, Compute compute, Write) {
    const std::int32_t length = compute(record);
    if (written) counted += 8 + std::int64_t{length};
  }
  template <typename Children>
  void Container(FormHeader& header, const Tag& id, bool, std::string_view what,
                 Children children) {
    Frame(header, "FORM", id);
    counted = 4;
    children();
    StoreLength(header.Length, counted, what);
  }
};

// The file's size as its data makes it, for the one allocation of the whole file. Stored lengths
// play no part: they may say anything, and a model whose lengths are wrong is refused anyway.
struct SizePass {
  std::int64_t bytes = 0;

  template <typename Record, typename Compute, typename Write>
  void Chunk(const Record& record, bool written, Compute, Write) {
    if (written) bytes += 8 + ChunkBytes(record);
  }
  template <typename Children>
  void Container(const FormHeader&, const Tag&, bool written, std::string_view, Children children) {
    if (!written) return;
    bytes += 12;
    children();
  }
};

// Emits the chunks the model's type and counts call for (CheckCounts has held the counts to
// their lists).
struct WritePass {
  WriteContext& ctx;

  template <typename Record, typename Compute, typename Write>
  void Chunk(const Record& record, bool written, Compute, Write write) {
    if (written) write(ctx, record);
  }
  template <typename Children>
  void Container(const FormHeader& header, const Tag& id, bool written, std::string_view,
                 Children children) {
    if (!written) return;
    ctx.out.WriteTag("FORM");
    ctx.out.WriteBigLong(header.Length);
    ctx.out.WriteTag(id);
    children();
  }
};

// Whether a list is written at all depends on its count, so a count that disagrees with its
// list must be caught before the write order can leave the list out unseen.
void CheckCounts(const HodModel& m) {
  WriteContext::CheckCount(m.LightList.LightCount, m.LightList.Lights.size(), "lights");
  WriteContext::CheckCount(m.JointList.JointCount, m.JointList.Joints.size(), "joints");
  WriteContext::CheckCount(m.NavLightList.NavLightCount, m.NavLightList.NavLights.size(),
                           "nav lights");
  WriteContext::CheckCount(m.DockPathList.PathCount, m.DockPathList.Paths.size(), "dock paths");
  for (const BackgroundSegment& segment : m.BackgroundSegments) {
    WriteContext::CheckCount(segment.ElementCount, segment.Elements.size(), "segment elements");
  }
  for (const StarField& field : m.StarFields) {
    WriteContext::CheckCount(field.StarCount, field.Stars.size(), "stars");
  }
}

}  // namespace

bool ComputeLengths(HodModel& model, std::string* error) {
  try {
    // These chunks' tags follow from the list they are in.
    for (InfoEntry& entry : model.Warnings) entry.Kind = "WARN";
    for (InfoEntry& entry : model.Errors) entry.Kind = "ERRR";
    LengthPass pass;
    VisitChunks(model, pass);
    return true;
  } catch (const WriteError& e) {
    if (error != nullptr) *error = e.what();
    return false;
  }
}

bool WriteHod(const HodModel& model, std::vector<std::uint8_t>& bytes, std::string* error) {
  const auto refuse = [error](std::string text) {
    if (error != nullptr) *error = std::move(text);
    return false;
  };
  try {
    // A file the reader would stop in is no file at all.
    if (std::optional<std::string> limit = FirstReaderLimitBroken(model)) return refuse(*limit);
    SizePass size;
    VisitChunks(model, size);
    ByteWriter out;
    out.Reserve(static_cast<std::size_t>(size.bytes));
    CheckCounts(model);
    WriteContext ctx(out);
    WritePass write{ctx};
    VisitChunks(model, write);
    bytes = out.Release();
    return true;
  } catch (const WriteError& e) {
    return refuse(e.what());
  } catch (const std::bad_alloc&) {
    return refuse("not enough memory to write the file");
  } catch (const std::length_error&) {
    return refuse("not enough memory to write the file");
  }
}

bool EncodeHod(const HodModel& model, std::vector<std::uint8_t>& bytes, std::string* error) {
  return EncodeHod(HodModel(model), bytes, error);
}

bool EncodeHod(HodModel&& model, std::vector<std::uint8_t>& bytes, std::string* error) {
  return ComputeLengths(model, error) && WriteHod(model, bytes, error);
}

}  // namespace gantry
