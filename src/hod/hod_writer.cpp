#include "hod/hod_writer.h"

#include "hod/reader_limits.h"
#include "hod/write_context.h"
#include "hod/write_order.h"

namespace gantry {

namespace {

// A child chunk adds its header (8 bytes) and its length to its container.
template <typename List, typename Compute>
std::int64_t Children(List& list, Compute compute) {
  std::int64_t bytes = 0;
  for (auto& element : list) bytes += 8 + std::int64_t{compute(element)};
  return bytes;
}

void ComputeAll(HodModel& m) {
  Frame(m.HodVersion, "FORM", "VERS");
  Frame(m.HodName, "FORM", "NAME");
  Frame(m.BackgroundLight, "NRML", "BGLT");
  Frame(m.BackgroundMeshSet, "FORM", "BGMS");
  Frame(m.HvmdHeader, "FORM", "HVMD");
  Frame(m.DtrmHeader, "FORM", "DTRM");
  Frame(m.InfoHeader, "FORM", "INFO");
  m.HodVersion.Length = 8;
  StoreLength(m.HodName.Length, 4 + static_cast<std::int64_t>(m.HodName.TypeName.size()),
              "the NAME text");

  std::int64_t bgms = 4 + Children(m.BackgroundMeshSet.Meshes, ComputeLodMeshLengths);
  StoreLength(m.BackgroundMeshSet.Length, bgms, "the background meshes");

  const std::int32_t lights = ComputeLightLengths(m.LightList);
  std::int64_t hvmd = 4;
  if (WritesLights(m)) hvmd += 8 + std::int64_t{lights};
  hvmd += Children(m.Materials, ComputeMaterialLengths);
  hvmd += Children(m.Textures, ComputeTextureLengths);
  hvmd += Children(m.VaryMeshes, ComputeVaryLengths);
  hvmd += Children(m.Meshes, ComputeMultiMeshLengths);
  hvmd += Children(m.SimpleMeshes, ComputeSimpleMeshLengths);
  StoreLength(m.HvmdHeader.Length, hvmd, "the HVMD container");

  for (BackgroundSegment& segment : m.BackgroundSegments) ComputeBackgroundSegmentLengths(segment);
  for (StarField& field : m.StarFields) ComputeStarFieldLengths(field);

  const std::int32_t joints = ComputeJointLengths(m.JointList);
  const std::int32_t nav_lights = ComputeNavLightLengths(m.NavLightList);
  const std::int32_t dock = ComputeDockLengths(m.DockPathList);
  const std::int32_t boundary = ComputeBoundaryVertexLengths(m.BoundaryVertices);
  std::int64_t dtrm = 4;
  if (WritesJoints(m)) dtrm += 8 + std::int64_t{joints};
  dtrm += Children(m.EngineShapes, ComputeEngineShapeLengths);
  dtrm += Children(m.EngineGlows, ComputeEngineGlowLengths);
  dtrm += Children(m.EngineBurns, ComputeEngineBurnLengths);
  if (WritesNavLights(m)) dtrm += 8 + std::int64_t{nav_lights};
  if (WritesDock(m)) dtrm += 8 + std::int64_t{dock};
  dtrm += Children(m.Markers, ComputeMarkerLengths);
  if (WritesBoundary(m)) dtrm += 8 + std::int64_t{boundary};
  dtrm += Children(m.CollisionMeshes, ComputeCollisionLengths);
  dtrm += Children(m.ScarMeshes, ComputeScarLengths);
  StoreLength(m.DtrmHeader.Length, dtrm, "the DTRM container");

  // These chunks' tags follow from the list they are in.
  for (InfoEntry& entry : m.Warnings) entry.Kind = "WARN";
  for (InfoEntry& entry : m.Errors) entry.Kind = "ERRR";
  std::int64_t info = 4;
  info += Children(m.Warnings, ComputeInfoEntryLengths);
  info += Children(m.Errors, ComputeInfoEntryLengths);
  info += 8 + std::int64_t{ComputeOwnerLengths(m.HodOwner)};
  StoreLength(m.InfoHeader.Length, info, "the INFO container");
}

void WriteHeader(WriteContext& ctx, const FormHeader& header, const Tag& id) {
  ctx.out.WriteTag("FORM");
  ctx.out.WriteBigLong(header.Length);
  ctx.out.WriteTag(id);
}

void WriteInfo(WriteContext& ctx, const HodModel& m) {
  WriteHeader(ctx, m.InfoHeader, "INFO");
  for (const InfoEntry& entry : m.Warnings) WriteInfoEntryChunk(ctx, entry);
  for (const InfoEntry& entry : m.Errors) WriteInfoEntryChunk(ctx, entry);
  WriteOwnerChunk(ctx, m.HodOwner);
}

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

void WriteAll(WriteContext& ctx, const HodModel& m) {
  CheckCounts(m);
  std::size_t mark = ctx.BeginContainer("FORM", m.HodVersion.Length, "VERS");
  ctx.out.WriteLong(m.HodVersion.Version);
  ctx.End(mark, m.HodVersion.Length, "the version");

  if (IsBackground(m)) {
    WriteBackgroundLightChunk(ctx, m.BackgroundLight);
    if (!m.BackgroundMeshSet.Meshes.empty()) {
      mark = ctx.BeginContainer("FORM", m.BackgroundMeshSet.Length, "BGMS");
      for (const LodMesh& mesh : m.BackgroundMeshSet.Meshes) WriteLodMesh(ctx, mesh);
      ctx.End(mark, m.BackgroundMeshSet.Length, "the background meshes");
    }
  } else {
    mark = ctx.BeginContainer("FORM", m.HodName.Length, "NAME");
    ctx.out.WriteChars(m.HodName.TypeName);
    ctx.End(mark, m.HodName.Length, "the NAME text");
  }

  // Containers of chunks are not walked when read, so only their headers are written here; the
  // children follow at the top level.
  WriteHeader(ctx, m.HvmdHeader, "HVMD");
  if (WritesLights(m)) WriteLightChunk(ctx, m.LightList);
  for (const Material& material : m.Materials) WriteMaterialChunk(ctx, material);
  for (const Texture& texture : m.Textures) WriteTextureChunk(ctx, texture);
  for (const VaryMesh& vary : m.VaryMeshes) WriteVaryChunk(ctx, vary);
  for (const MultiMesh& mesh : m.Meshes) WriteMultiMeshChunk(ctx, mesh);
  for (const SimpleMesh& mesh : m.SimpleMeshes) WriteSimpleMeshChunk(ctx, mesh);

  if (EndsAfterStars(m)) {
    for (const BackgroundSegment& segment : m.BackgroundSegments) {
      if (segment.ElementCount > 0) WriteBackgroundSegmentChunk(ctx, segment);
    }
    for (const StarField& field : m.StarFields) {
      if (field.StarCount > 0) WriteStarFieldChunk(ctx, field);
    }
    if (WritesInfo(m)) WriteInfo(ctx, m);
    return;
  }

  WriteHeader(ctx, m.DtrmHeader, "DTRM");
  if (WritesJoints(m)) WriteJointChunk(ctx, m.JointList);
  for (const EngineShape& shape : m.EngineShapes) WriteEngineShapeChunk(ctx, shape);
  for (const EngineGlow& glow : m.EngineGlows) WriteEngineGlowChunk(ctx, glow);
  for (const EngineBurn& burn : m.EngineBurns) WriteEngineBurnChunk(ctx, burn);
  if (WritesNavLights(m)) WriteNavLightChunk(ctx, m.NavLightList);
  if (WritesDock(m)) WriteDockChunk(ctx, m.DockPathList);
  for (const Marker& marker : m.Markers) WriteMarkerChunk(ctx, marker);
  if (WritesBoundary(m)) WriteBoundaryVertexChunk(ctx, m.BoundaryVertices);
  for (const CollisionMesh& mesh : m.CollisionMeshes) WriteCollisionChunk(ctx, mesh);
  for (const ScarMesh& mesh : m.ScarMeshes) WriteScarChunk(ctx, mesh);

  WriteInfo(ctx, m);
}

// A chunk's header and content, sized from the data it holds.
template <typename Record>
std::int64_t Chunk(const Record& record) {
  return 8 + ChunkBytes(record);
}
template <typename List>
std::int64_t Chunks(const List& list) {
  std::int64_t bytes = 0;
  for (const auto& element : list) bytes += Chunk(element);
  return bytes;
}

// The file's size as its data makes it, for the one allocation of the whole file. Stored lengths
// play no part: they may say anything, and a model whose lengths are wrong is refused anyway.
std::int64_t WrittenSize(const HodModel& m) {
  constexpr std::int64_t kBareHeader = 12;
  std::int64_t bytes = 16;  // VERS
  if (IsBackground(m)) {
    bytes += 16;  // BGLT
    const auto& meshes = m.BackgroundMeshSet.Meshes;
    if (!meshes.empty()) bytes += kBareHeader + Chunks(meshes);
  } else {
    bytes += kBareHeader + static_cast<std::int64_t>(m.HodName.TypeName.size());
  }
  bytes += kBareHeader;  // HVMD
  if (WritesLights(m)) bytes += Chunk(m.LightList);
  bytes += Chunks(m.Materials) + Chunks(m.Textures) + Chunks(m.VaryMeshes) + Chunks(m.Meshes) +
           Chunks(m.SimpleMeshes);
  if (EndsAfterStars(m)) {
    for (const BackgroundSegment& segment : m.BackgroundSegments) {
      if (segment.ElementCount > 0) bytes += Chunk(segment);
    }
    for (const StarField& field : m.StarFields) {
      if (field.StarCount > 0) bytes += Chunk(field);
    }
  } else {
    bytes += kBareHeader;  // DTRM
    if (WritesJoints(m)) bytes += Chunk(m.JointList);
    bytes += Chunks(m.EngineShapes) + Chunks(m.EngineGlows) + Chunks(m.EngineBurns);
    if (WritesNavLights(m)) bytes += Chunk(m.NavLightList);
    if (WritesDock(m)) bytes += Chunk(m.DockPathList);
    bytes += Chunks(m.Markers);
    if (WritesBoundary(m)) bytes += Chunk(m.BoundaryVertices);
    bytes += Chunks(m.CollisionMeshes) + Chunks(m.ScarMeshes);
  }
  if (WritesInfo(m)) {
    bytes += kBareHeader + Chunks(m.Warnings) + Chunks(m.Errors) + Chunk(m.HodOwner);
  }
  return bytes;
}

}  // namespace

bool ComputeLengths(HodModel& model, std::string* error) {
  try {
    ComputeAll(model);
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
    ByteWriter out;
    out.Reserve(static_cast<std::size_t>(WrittenSize(model)));
    WriteContext ctx(out);
    WriteAll(ctx, model);
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
