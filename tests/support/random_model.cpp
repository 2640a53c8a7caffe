#include "support/random_model.h"

#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "hod/reset.h"
#include "hod/textures.h"

namespace gantry::testing {

namespace {

// Draws from mt19937 directly: its sequence is fixed by the standard, unlike the distributions'.
class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}

  int Int(int lo, int hi) {  // inclusive
    return lo + static_cast<int>(engine_() % static_cast<std::uint32_t>(hi - lo + 1));
  }
  bool Chance() { return Int(0, 1) == 1; }
  std::uint32_t Raw() { return static_cast<std::uint32_t>(engine_()); }
  std::int32_t Long() { return static_cast<std::int32_t>(Raw()); }
  std::int16_t Short() { return static_cast<std::int16_t>(Raw()); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Raw()); }
  // Finite, with fractions, in [-1000, 1000].
  float Single() { return static_cast<float>(Int(-1000000, 1000000)) / 1000.0f; }
  double Double() { return static_cast<double>(Long()) / 4096.0; }
  std::string Name() {
    std::string text(static_cast<std::size_t>(Int(0, 12)), ' ');
    for (char& c : text) c = static_cast<char>(Int(0x20, 0x7E));
    return text;
  }
  Vector3 Vec3() { return {Single(), Single(), Single()}; }
  Vector4 Vec4() { return {Single(), Single(), Single(), Single()}; }
  ColourRGBA Rgba() { return {Single(), Single(), Single(), Single()}; }
  ColourRGB Rgb() { return {Single(), Single(), Single()}; }
  BoundingBox Box() { return {Vec3(), Vec3()}; }
  BoundingSphere Sphere() { return {Vec3(), Single()}; }
  template <typename Array>
  Array Fill() {
    Array values{};
    for (auto& v : values) {
      if constexpr (std::is_same_v<decltype(+v), float>) {
        v = Single();
      } else {
        v = static_cast<std::remove_reference_t<decltype(v)>>(Raw());
      }
    }
    return values;
  }

  template <typename T, typename Make>
  std::vector<T> List(int lo, int hi, Make make) {
    std::vector<T> list(static_cast<std::size_t>(Int(lo, hi)));
    for (T& item : list) item = make();
    return list;
  }
  // A list whose count field is set to its size.
  template <typename T, typename N, typename Make>
  std::vector<T> Counted(int lo, int hi, N& count, Make make) {
    std::vector<T> list = List<T>(lo, hi, make);
    count = static_cast<N>(list.size());
    return list;
  }

 private:
  std::mt19937 engine_;
};

// Plain chunks keep their tag as Kind and no ID; containers "FORM"/"NRML" and their tag as ID.
ChunkHeader Head(Tag kind, Tag id = Tag()) { return {kind, 0, id}; }

// Components outside the mask are never written, so they stay zero.
MeshVertex RandomVertex(Random& r, std::int32_t mask) {
  MeshVertex v;
  if (mask & kMaskPosition) v.Position = r.Vec4();
  if (mask & kMaskColour) v.Colour = r.Fill<std::array<std::uint8_t, 4>>();
  if (mask & kMaskNormal) v.Normal = r.Vec4();
  if (mask & kMaskUV) v.UV = {r.Single(), r.Single()};
  if (mask & kMaskTangent) v.Tangent = r.Vec3();
  if (mask & kMaskBinormal) v.Binormal = r.Vec3();
  return v;
}

LodMesh RandomLod(Random& r) {
  LodMesh mesh{Head(r.Chance() ? "FORM" : "NRML", "BMSH"), r.Long(), r.Int(0, 4), 0, {}};
  mesh.Parts = r.Counted<MeshPart>(0, 3, mesh.PartCount, [&] {
    MeshPart part;
    part.MaterialIndex = r.Int(0, 7);
    for (const std::int32_t bit :
         {kMaskPosition, kMaskNormal, kMaskColour, kMaskUV, kMaskTangent, kMaskBinormal}) {
      if (r.Chance()) part.VertexMask |= bit;
    }
    part.Vertices = r.Counted<MeshVertex>(0, 5, part.VertexCount,
                                          [&] { return RandomVertex(r, part.VertexMask); });
    part.FaceLists = r.Counted<FaceList>(0, 2, part.FaceListCount, [&] {
      FaceList list{r.Chance() ? kFaceListTriangles : kFaceListStrip, 0, {}};
      list.Indices = r.Counted<std::int16_t>(0, 9, list.IndexCount, [&] { return r.Short(); });
      return list;
    });
    return part;
  });
  return mesh;
}

MultiMesh RandomMultiMesh(Random& r, bool goblin) {
  MultiMesh mesh{Head("NRML", goblin ? "GOBG" : "MULT"), r.Long(), 0, r.Name(), 0, r.Name(), 0, {}};
  mesh.Lods = r.Counted<LodMesh>(goblin ? 1 : 0, goblin ? 1 : 3, mesh.LodCount,
                                 [&] { return RandomLod(r); });
  return mesh;
}

Material RandomMaterial(Random& r) {
  Material material{Head("NRML", "STAT"), r.Long(), 0, r.Name(), 0, r.Name(), 0, {}};
  material.Parameters = r.Counted<MaterialParameter>(0, 4, material.ParameterCount, [&] {
    if (r.Chance()) return MaterialParameter{kParameterColour, 0, r.Rgba(), 0, 0, ""};
    return MaterialParameter{kParameterTexture, 0, {}, r.Int(0, 7), 0, r.Name()};
  });
  return material;
}

Texture RandomTexture(Random& r) {
  static constexpr const char* kFormats[] = {"DXT1", "DXT3", "DXT5", "8888"};
  Texture texture{Head("LMIP"), 0, r.Name(), kFormats[r.Int(0, 3)], r.Int(1, 4), r.Int(1, 32),
                  r.Int(1, 32), {}};
  for (int level = 1; level <= texture.MipCount; ++level) {
    MipLevel& data = texture.MipLevels.emplace_back(static_cast<std::size_t>(
        MipLevelBytes(texture.Format, texture.Width, texture.Height, level)));
    for (std::uint8_t& b : data) b = r.Byte();
  }
  return texture;
}

VaryMesh RandomVary(Random& r) {
  VaryMesh v;
  static_cast<ChunkHeader&>(v) = Head("VARY");
  v.Length = r.Int(0, 100000);  // written as stored, never checked
  v.Name = r.Name();
  v.ParentName = r.Name();
  v.Extra = r.Long();
  v.ListA = r.Counted<Vector3>(0, 3, v.CountA, [&] { return r.Vec3(); });
  v.ListB = r.Counted<VaryRecordB>(0, 2, v.CountB, [&] {
    return VaryRecordB{r.Fill<std::array<float, 6>>(), r.Fill<std::array<std::uint8_t, 4>>()};
  });
  v.ListC = r.Counted<std::array<std::uint32_t, 7>>(
      0, 2, v.CountC, [&] { return r.Fill<std::array<std::uint32_t, 7>>(); });
  v.ListD = r.Counted<VaryGroup>(0, 2, v.CountD, [&] {
    VaryGroup group;
    group.Records = r.Counted<VaryGroupRecord>(0, 2, group.GroupCount, [&] {
      return VaryGroupRecord{r.Long(), r.Long(), r.Short(), r.Short()};
    });
    return group;
  });
  return v;
}

SimpleMesh RandomSimpleMesh(Random& r) {
  SimpleMesh mesh{Head("SIMP"), 0, r.Name(), 0, {}, 0, {}};
  mesh.Vertices = r.Counted<SimpleVertex>(0, 5, mesh.VertexCount, [&] {
    return SimpleVertex{r.Vec4(), r.Vec4(), {r.Single(), r.Single()}};
  });
  mesh.Indices = r.Counted<std::int32_t>(0, 9, mesh.IndexCount, [&] { return r.Long(); });
  return mesh;
}

Light RandomLight(Random& r) {
  return {0, r.Name(), r.Int(0, 3), r.Vec3(), r.Rgb(), r.Rgb(), r.Long(), r.Single()};
}

Marker RandomMarker(Random& r, bool tracks) {
  Marker marker{Head("FORM", "MRKR"), "NRML",     0,  "HEAD", r.Long(), 0, r.Name(), 0, r.Name(),
                r.Single(),           r.Single(), {}, {},     "FORM",   0, "KEYF",   {}};
  for (double& p : marker.Position) p = r.Double();
  for (double& p : marker.Rotation) p = r.Double();
  if (!tracks) return marker;
  marker.Tracks = r.List<KeyframeTrack>(1, 3, [&] {
    KeyframeTrack track{Head("NRML", "ANIM"), r.Long(), 0, r.Name(), 0, {}, 0, 0};
    track.Keys = r.Counted<Keyframe>(0, 3, track.KeyCount, [&] {
      return Keyframe{r.Double(), r.Double(), r.Fill<std::array<float, 4>>()};
    });
    track.PreI = r.Long();
    track.PostI = r.Long();
    return track;
  });
  return marker;
}

DockPath RandomDockPath(Random& r, int least_points) {
  DockPath path;
  path.Name = r.Name();
  path.ParentName = r.Name();
  path.PathValue1 = r.Long();
  path.PathValue2 = r.Long();
  path.PathValue3 = r.Long();
  path.Families = r.Name();
  path.PathValue4 = r.Long();
  path.LinkedPaths = r.Name();
  path.Points = r.Counted<DockPoint>(least_points, 3, path.PointCount, [&] {
    return DockPoint{r.Vec3(), r.Vec3(), r.Long(), r.Single(), r.Long(), r.Single(),
                     r.Long(), r.Long(), r.Long(), r.Long(),   r.Long(), r.Long()};
  });
  return path;
}

TriangleMesh RandomTriangles(Random& r) {
  TriangleMesh mesh;
  mesh.Vertices = r.Counted<Vector3>(0, 4, mesh.VertexCount, [&] { return r.Vec3(); });
  mesh.Indices = r.Counted<std::int16_t>(0, 6, mesh.IndexCount, [&] { return r.Short(); });
  return mesh;
}

ScarMesh RandomScar(Random& r) {
  const auto part = [](Tag tag) { return ScarPartHeader{"NRML", 0, tag, 1000}; };
  const ScarDescription description{0, r.Name(), 0, r.Name(), r.Int(0, 4)};
  ScarMesh mesh{Head("FORM", "BSRM"), part("DESC"), description,  part("BBOX"),       r.Box(),
                part("BSPH"),         r.Sphere(),   part("TRIS"), RandomTriangles(r), part("VNRM"),
                RandomTriangles(r),   part("SSUB"), ScarGrid()};
  mesh.Grid = {r.Int(0, 2), r.Int(0, 2), r.Int(0, 2), {}};
  ScarGrid& grid = mesh.Grid;
  grid.Cells.resize(static_cast<std::size_t>(grid.SizeX * grid.SizeY * grid.SizeZ));
  for (ScarCell& cell : grid.Cells) {
    cell.Indices = r.Counted<std::int16_t>(0, 3, cell.IndexCount, [&] { return r.Short(); });
  }
  return mesh;
}

InfoEntry RandomInfo(Random& r, Tag kind) { return {Head(kind), 0, r.Name()}; }

// The chunks written only by multi-mesh HODs (inside DTRM), and their INFO.
void FillMultiMesh(Random& r, HodModel& m, bool lights) {
  if (!lights) {
    m.JointList.Joints = r.Counted<Joint>(1, 4, m.JointList.JointCount, [&] {
      return Joint{0,        r.Name(), 0,
                   r.Name(), r.Vec3(), r.Vec3(),
                   r.Vec3(), r.Vec3(), r.Fill<std::array<std::uint8_t, 3>>()};
    });
    BoundaryVertexRecord& bndv = m.BoundaryVertices;
    bndv.Name = r.Name();
    bndv.ParentName = r.Name();
    bndv.Vertices = r.Counted<Vector3>(0, 8, bndv.VertexCount, [&] { return r.Vec3(); });
    bndv.Trailer = r.Long();
  }
  m.EngineShapes = r.List<EngineShape>(1, 2, [&] {
    EngineShape shape{Head("ETSH"), 0, r.Name(), 0, r.Name(), {}};
    shape.Outlines = r.List<ShapeOutline>(0, 3, [&] {
      ShapeOutline outline;
      outline.Vertices = r.Counted<Vector3>(0, 4, outline.VertexCount, [&] { return r.Vec3(); });
      return outline;
    });
    return shape;
  });
  m.EngineBurns = r.List<EngineBurn>(1, 2, [&] {
    EngineBurn burn{Head("BURN"), 0, r.Name(), 0, r.Name(), r.Int(0, 3), r.Int(0, 3), {}};
    burn.Vertices = r.List<Vector3>(burn.VertexCount * burn.CurveCount,
                                    burn.VertexCount * burn.CurveCount, [&] { return r.Vec3(); });
    return burn;
  });
  m.EngineGlows = r.List<EngineGlow>(1, 2, [&] {
    return EngineGlow{
        Head("FORM", "GLOW"), "NRML",      0, "INFO", r.Long(), 0, r.Name(), 0, r.Name(),
        r.Int(0, 4),          RandomLod(r)};
  });
  m.NavLightList.Version = r.Long();
  m.NavLightList.NavLights = r.Counted<NavLight>(1, 3, m.NavLightList.NavLightCount, [&] {
    return NavLight{0, r.Name(), r.Long(), r.Single(), r.Single(), r.Single(),
                    0, r.Name(), r.Rgba(), r.Single(), r.Byte(),   r.Byte()};
  });
  m.DockPathList.Paths.push_back(RandomDockPath(r, 1));
  if (r.Chance()) m.DockPathList.Paths.push_back(RandomDockPath(r, 0));
  m.DockPathList.PathCount = static_cast<std::int32_t>(m.DockPathList.Paths.size());
  m.Markers = {RandomMarker(r, true), RandomMarker(r, false)};
  if (r.Chance()) m.Markers.push_back(RandomMarker(r, r.Chance()));
  m.CollisionMeshes = r.List<CollisionMesh>(1, 2, [&] {
    return CollisionMesh{Head("FORM", "COLD"), 0,          r.Name(),     Head("BBOX"),      r.Box(),
                         Head("BSPH"),         r.Sphere(), Head("TRIS"), RandomTriangles(r)};
  });
  m.ScarMeshes = r.List<ScarMesh>(1, 2, [&] { return RandomScar(r); });
  m.Warnings = r.List<InfoEntry>(1, 2, [&] { return RandomInfo(r, "WARN"); });
  m.Errors = r.List<InfoEntry>(1, 2, [&] { return RandomInfo(r, "ERRR"); });
  m.HodOwner.Owner = r.Name();
}

}  // namespace

HodModel RandomModel(std::uint32_t seed, HodType type) {
  Random r(seed ^ static_cast<std::uint32_t>(type) << 24);
  HodModel m = MakeDefaultModel();
  const bool multi = type == HodType::MultiMesh;
  const bool lights = multi ? seed % 2 == 1 : r.Chance();
  if (lights) {
    m.LightList.Lights =
        r.Counted<Light>(1, 3, m.LightList.LightCount, [&] { return RandomLight(r); });
  }

  // HVMD's children are written for every type.
  const int least = multi ? 1 : 0;
  m.Materials = r.List<Material>(least, 3, [&] { return RandomMaterial(r); });
  m.Textures = r.List<Texture>(least, 2, [&] { return RandomTexture(r); });
  m.VaryMeshes = r.List<VaryMesh>(least, 2, [&] { return RandomVary(r); });
  if (multi) m.Meshes = {RandomMultiMesh(r, false), RandomMultiMesh(r, true)};
  if (r.Chance()) m.Meshes.push_back(RandomMultiMesh(r, r.Chance()));
  const bool simple = type == HodType::SimpleMesh || type == HodType::WireframeMesh;
  m.SimpleMeshes =
      r.List<SimpleMesh>(simple ? 1 : 0, simple ? 3 : 1, [&] { return RandomSimpleMesh(r); });

  switch (type) {
    case HodType::MultiMesh:
      FillMultiMesh(r, m, lights);
      return m;
    case HodType::SimpleMesh:
    case HodType::WireframeMesh:
      m.HodName.TypeName =
          type == HodType::SimpleMesh ? kSimpleMeshTypeName : kWireframeMeshTypeName;
      break;
    case HodType::Background:
      m.HodVersion.Version = 1000;
      m.BackgroundLight.Length = r.Int(0, 100000);  // both written as stored
      m.BackgroundLight.SecondLength = r.Long();
      m.BackgroundMeshSet.Meshes = r.List<LodMesh>(1, 3, [&] { return RandomLod(r); });
      break;
  }
  // Often none of these, so that the file then ends after its star fields.
  m.Warnings = r.List<InfoEntry>(0, 2, [&] { return RandomInfo(r, "WARN"); });
  m.Errors = r.List<InfoEntry>(0, 2, [&] { return RandomInfo(r, "ERRR"); });
  m.HodOwner.Owner = r.Chance() ? r.Name() : std::string();
  // Segments without elements and fields without stars are not written, so each has some.
  m.BackgroundSegments = r.List<BackgroundSegment>(1, 2, [&] {
    BackgroundSegment segment{Head("FORM", "BGSG"), 0, r.Name(), 0, {}};
    segment.Elements = r.Counted<BackgroundElement>(1, 3, segment.ElementCount,
                                                    [&] { return r.Fill<BackgroundElement>(); });
    return segment;
  });
  m.StarFields = r.List<StarField>(1, 2, [&] {
    StarField field{Head("NRML", "STRF"), r.Long(), 0, {}};
    field.Stars = r.Counted<Star>(1, 4, field.StarCount, [&] { return r.Fill<Star>(); });
    return field;
  });
  return m;
}

std::vector<TopChunk> TopChunks(const std::vector<std::uint8_t>& bytes) {
  std::vector<TopChunk> chunks;
  std::size_t at = 0;
  while (at + 12 <= bytes.size()) {
    TopChunk chunk{std::string(bytes.begin() + at, bytes.begin() + at + 4), at,
                   static_cast<std::int32_t>(bytes[at + 4] << 24 | bytes[at + 5] << 16 |
                                             bytes[at + 6] << 8 | bytes[at + 7])};
    const bool container = chunk.id == "FORM" || chunk.id == "NRML";
    if (container) chunk.id.assign(bytes.begin() + at + 8, bytes.begin() + at + 12);
    const bool bare = chunk.id == "HVMD" || chunk.id == "DTRM" || chunk.id == "INFO";
    at += bare ? 12 : 8 + static_cast<std::uint32_t>(chunk.length);
    chunks.push_back(std::move(chunk));
  }
  if (at != bytes.size()) chunks.push_back({"<end>", at, 0});
  return chunks;
}

std::vector<std::string> TopChunkIds(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::string> ids;
  for (const TopChunk& chunk : TopChunks(bytes)) ids.push_back(chunk.id);
  return ids;
}

}  // namespace gantry::testing
