// The in-memory image of one HOD file. Every chunk of the file has a record here, and each record
// keeps the chunk's header (Kind, Length, ID) beside its data so the writer can emit the chunks
// again. Records are plain values: copyable (undo snapshots) and comparable with ==.
//
// Lists are 0-based vectors; indices stored inside records (material, texture and vertex
// indices) count from 0 as in the file. Count and length fields are data, kept as read: the
// writer recomputes what it needs and the validator mends the rest.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/tag.h"
#include "hod/pool_codec.h"

namespace gantry {

// Texts that tell the HOD type (with the version) and the version that marks a model HOD.
inline constexpr const char* kMultiMeshTypeName = "Homeworld2 Multi Mesh File";
inline constexpr const char* kSimpleMeshTypeName = "Homeworld2 Simple Mesh File";
inline constexpr const char* kWireframeMeshTypeName = "Homeworld2 Wireframe Mesh File";
inline constexpr std::int32_t kModelHodVersion = 512;

// Mask bits of a level-of-detail mesh part's vertices.
enum VertexMaskBits : std::int32_t {
  kMaskPosition = 0x1,
  kMaskNormal = 0x2,
  kMaskColour = 0x4,
  kMaskUV = 0x8,
  kMaskTangent = 0x2000,
  kMaskBinormal = 0x4000,
};

// Face-list types.
inline constexpr std::int32_t kFaceListTriangles = 0x202;
inline constexpr std::int32_t kFaceListStrip = 0x206;

struct Vector2 {
  float u = 0, v = 0;
  friend bool operator==(const Vector2&, const Vector2&) = default;
};
struct Vector3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Vector3&, const Vector3&) = default;
};
struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;
  friend bool operator==(const Vector4&, const Vector4&) = default;
};
struct ColourRGB {
  float r = 0, g = 0, b = 0;
  friend bool operator==(const ColourRGB&, const ColourRGB&) = default;
};
struct ColourRGBA {
  float r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const ColourRGBA&, const ColourRGBA&) = default;
};

// Kind: "FORM"/"NRML" for a container, the chunk's own tag for a plain chunk. Length: the chunk
// length as read (recomputed before writing). ID: the form type after a container's length;
// unused for plain chunks.
struct ChunkHeader {
  Tag Kind;
  std::int32_t Length = 0;
  Tag ID;
  friend bool operator==(const ChunkHeader&, const ChunkHeader&) = default;
};

// ---- Single records -------------------------------------------------------------------------

struct HodVersionRecord : ChunkHeader {  // VERS
  std::int32_t Version = 0;
  friend bool operator==(const HodVersionRecord&, const HodVersionRecord&) = default;
};

struct HodNameRecord : ChunkHeader {  // NAME; the text has no count on disk
  std::string TypeName;
  friend bool operator==(const HodNameRecord&, const HodNameRecord&) = default;
};

struct FormHeader : ChunkHeader {  // HVMD, DTRM, INFO: containers without data of their own
  friend bool operator==(const FormHeader&, const FormHeader&) = default;
};

struct Light {
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t Type = 0;
  Vector3 Position;
  ColourRGB Colour;
  ColourRGB Specular;
  std::int32_t Attenuation = 0;
  float AttenuationDistance = 0;
  friend bool operator==(const Light&, const Light&) = default;
};

struct LightListRecord : ChunkHeader {  // LITE
  std::int32_t LightCount = 0;
  std::vector<Light> Lights;
  friend bool operator==(const LightListRecord&, const LightListRecord&) = default;
};

struct Joint {
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;  // empty for the root
  Vector3 Position;
  Vector3 Rotation;
  Vector3 Scale;
  Vector3 Axis;  // radians
  std::array<std::uint8_t, 3> Freedom{};
  friend bool operator==(const Joint&, const Joint&) = default;
};

struct JointListRecord : ChunkHeader {  // HIER
  std::int32_t JointCount = 0;
  std::vector<Joint> Joints;
  friend bool operator==(const JointListRecord&, const JointListRecord&) = default;
};

struct NavLight {
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t Section = 0;
  float Size = 0;
  float Phase = 0;
  float Frequency = 0;
  std::int32_t StyleLength = 0;
  std::string Style;
  ColourRGBA Colour;
  float Distance = 0;
  std::uint8_t VisibleSprite = 0;
  std::uint8_t CastLightOnHES = 0;
  friend bool operator==(const NavLight&, const NavLight&) = default;
};

struct NavLightListRecord : ChunkHeader {  // NAVL
  std::int32_t Version = 0;
  std::int32_t NavLightCount = 0;
  std::vector<NavLight> NavLights;
  friend bool operator==(const NavLightListRecord&, const NavLightListRecord&) = default;
};

// Sixteen 4-byte values; the ten after position and rotation were added one per point format.
struct DockPoint {
  Vector3 Position;
  Vector3 Rotation;  // radians
  std::int32_t LocalFlag1 = 0;
  float PointTolerance = 10.0f;
  std::int32_t LocalFlag2 = 0;
  float MaxSpeed = 500.0f;
  std::int32_t LocalFlag3 = 0;
  std::int32_t PointValue6 = 0;
  std::int32_t PointValue7 = 0;
  std::int32_t PointValue8 = 0;
  std::int32_t PointValue9 = 0;
  std::int32_t PointValue10 = 0;
  friend bool operator==(const DockPoint&, const DockPoint&) = default;
};

// The newest layout: the reader fills what older formats lack, so PathFormat is 6 and
// PointFormat 10 after reading.
inline constexpr std::int32_t kNewestDockPathFormat = 6;
inline constexpr std::int32_t kNewestDockPointFormat = 10;

struct DockPath {
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::int32_t PathFormat = kNewestDockPathFormat;
  std::int32_t PointFormat = kNewestDockPointFormat;
  std::int32_t PathValue1 = 0;
  std::int32_t PathValue2 = 0;
  std::int32_t PathValue3 = 0;
  std::int32_t FamiliesLength = 0;
  std::string Families;
  std::int32_t PathValue4 = 0;
  std::int32_t LinkedPathsLength = 0;
  std::string LinkedPaths;
  std::int32_t PointCount = 0;
  std::vector<DockPoint> Points;
  friend bool operator==(const DockPath&, const DockPath&) = default;
};

struct DockPathListRecord : ChunkHeader {  // DOCK
  std::int32_t PathCount = 0;
  std::vector<DockPath> Paths;
  friend bool operator==(const DockPathListRecord&, const DockPathListRecord&) = default;
};

struct BoundaryVertexRecord : ChunkHeader {  // BNDV
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::int32_t VertexCount = 0;
  std::vector<Vector3> Vertices;
  std::int32_t Trailer = 0;  // read and written as is
  friend bool operator==(const BoundaryVertexRecord&, const BoundaryVertexRecord&) = default;
};

struct HodOwnerRecord : ChunkHeader {  // OWNR
  std::int32_t OwnerLength = 0;
  std::string Owner;
  friend bool operator==(const HodOwnerRecord&, const HodOwnerRecord&) = default;
};

struct BackgroundLightRecord : ChunkHeader {  // BGLT (background HODs)
  std::int32_t SecondLength = 0;              // big-endian on disk, like a length
  friend bool operator==(const BackgroundLightRecord&, const BackgroundLightRecord&) = default;
};

// A chunk of the later dialect kept as read because nothing in the model stands for it (KDOP, a
// mesh's TAGS, chunks this program does not know). Body: every byte after the header
// (after a container's ID). Such a chunk takes nothing from the pool: a file whose unknown chunk
// did would leave pool bytes unread, which the reader refuses.
struct OpaqueChunk : ChunkHeader {
  Tag Container;  // "HVMD", "DTRM" or "INFO": the container it was read in
  std::vector<std::uint8_t> Body;
  friend bool operator==(const OpaqueChunk&, const OpaqueChunk&) = default;
};

// ---- Materials and textures -----------------------------------------------------------------

inline constexpr std::int32_t kParameterColour = 4;
inline constexpr std::int32_t kParameterTexture = 5;

struct MaterialParameter {
  std::int32_t Type = 0;          // 4 colour, 5 texture
  std::int32_t DataSize = 0;      // recomputed before writing
  ColourRGBA Colour;              // type 4
  std::int32_t TextureIndex = 0;  // type 5: 0-based into Textures
  std::int32_t LayerNameLength = 0;
  std::string LayerName;  // type 5, read only from NRML-framed materials
  friend bool operator==(const MaterialParameter&, const MaterialParameter&) = default;
};

struct Material : ChunkHeader {  // STAT
  std::int32_t Version = 0;      // 1001 when the chunk came without an NRML container
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ShaderLength = 0;
  std::string ShaderName;
  std::int32_t ParameterCount = 0;
  std::vector<MaterialParameter> Parameters;
  friend bool operator==(const Material&, const Material&) = default;
};

// A mip level's raw data as in the file: DXT blocks or 4 bytes per pixel.
using MipLevel = std::vector<std::uint8_t>;

struct Texture : ChunkHeader {  // LMIP
  std::int32_t FileNameLength = 0;
  std::string FileName;
  Tag Format;  // "DXT1", "DXT3", "DXT5" or "8888"
  std::int32_t MipCount = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<MipLevel> MipLevels;  // largest first
  friend bool operator==(const Texture&, const Texture&) = default;
};

// ---- Meshes ---------------------------------------------------------------------------------

// All components live in memory; only those selected by the part's mask are read and written.
struct MeshVertex {
  Vector4 Position;
  std::array<std::uint8_t, 4> Colour{};
  Vector4 Normal;
  Vector2 UV;
  Vector3 Tangent;
  Vector3 Binormal;
  friend bool operator==(const MeshVertex&, const MeshVertex&) = default;
};

struct FaceList {
  std::int32_t Type = kFaceListTriangles;
  std::int32_t IndexCount = 0;
  std::vector<std::int16_t> Indices;  // into the part's vertices, from 0
  friend bool operator==(const FaceList&, const FaceList&) = default;
};

struct MeshPart {
  std::int32_t MaterialIndex = 0;  // 0-based into Materials
  std::int32_t VertexMask = 0;
  std::int32_t VertexCount = 0;
  std::vector<MeshVertex> Vertices;
  std::int16_t FaceListCount = 0;
  std::vector<FaceList> FaceLists;
  // The later dialect's further UV sets (mask bits 0x10 to 0x400), vertex after vertex.
  std::vector<Vector2> ExtraUVs{};
  friend bool operator==(const MeshPart&, const MeshPart&) = default;
};

struct LodMesh : ChunkHeader {  // BMSH; keeps the kind it was read with
  std::int32_t Version = 0;
  std::int32_t LodLevel = 0;
  std::int32_t PartCount = 0;
  std::vector<MeshPart> Parts;
  friend bool operator==(const LodMesh&, const LodMesh&) = default;
};

struct MultiMesh : ChunkHeader {  // MULT, or GOBG (a goblin mesh, one level, no count on disk)
  std::int32_t Version = 0;
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;  // the joint it hangs on
  std::int32_t LodCount = 0;
  std::vector<LodMesh> Lods;
  friend bool operator==(const MultiMesh&, const MultiMesh&) = default;
};

// A goblin mesh is a MULT whose ID says "GOBG"; it has one level and no count on disk.
inline bool IsGoblin(const MultiMesh& mesh) { return mesh.ID == Tag("GOBG"); }

struct SimpleVertex {
  Vector4 Position;
  Vector4 Normal;
  Vector2 UV;
  friend bool operator==(const SimpleVertex&, const SimpleVertex&) = default;
};

struct SimpleMesh : ChunkHeader {  // SIMP (simple and wireframe meshes)
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t VertexCount = 0;
  std::vector<SimpleVertex> Vertices;
  std::int32_t IndexCount = 0;
  std::vector<std::int32_t> Indices;
  friend bool operator==(const SimpleMesh&, const SimpleMesh&) = default;
};

// VARY records: kept and written back, used by nothing else.
struct VaryRecordB {
  std::array<float, 6> Values{};
  std::array<std::uint8_t, 4> Bytes{};
  friend bool operator==(const VaryRecordB&, const VaryRecordB&) = default;
};
struct VaryGroupRecord {
  std::int32_t First = 0;
  std::int32_t Second = 0;
  std::int16_t Third = 0;
  std::int16_t Fourth = 0;
  friend bool operator==(const VaryGroupRecord&, const VaryGroupRecord&) = default;
};
struct VaryGroup {
  std::int32_t GroupCount = 0;
  std::vector<VaryGroupRecord> Records;
  friend bool operator==(const VaryGroup&, const VaryGroup&) = default;
};

struct VaryMesh : ChunkHeader {  // VARY
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::int32_t CountA = 0;
  std::int32_t CountB = 0;
  std::int32_t CountC = 0;
  std::int32_t CountD = 0;
  std::int32_t Extra = 0;
  std::vector<Vector3> ListA;
  std::vector<VaryRecordB> ListB;
  std::vector<std::array<std::uint32_t, 7>> ListC;
  std::vector<VaryGroup> ListD;
  friend bool operator==(const VaryMesh&, const VaryMesh&) = default;
};

// ---- Engine parts ---------------------------------------------------------------------------

struct ShapeOutline {
  std::int32_t VertexCount = 0;
  std::vector<Vector3> Vertices;
  friend bool operator==(const ShapeOutline&, const ShapeOutline&) = default;
};

struct EngineShape : ChunkHeader {  // ETSH
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::vector<ShapeOutline> Outlines;
  friend bool operator==(const EngineShape&, const EngineShape&) = default;
};

struct EngineBurn : ChunkHeader {  // BURN
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::int32_t VertexCount = 0;   // vertices per curve
  std::int32_t CurveCount = 0;    // NURBS curves
  std::vector<Vector3> Vertices;  // curve after curve
  friend bool operator==(const EngineBurn&, const EngineBurn&) = default;
};

struct EngineGlow : ChunkHeader {  // GLOW
  Tag InfoKind;                    // the inner info chunk's header, normally "NRML"
  std::int32_t InfoLength = 0;
  Tag InfoID;
  std::int32_t Version = 0;
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::int32_t LodLevel = 0;
  LodMesh Mesh;
  friend bool operator==(const EngineGlow&, const EngineGlow&) = default;
};

// ---- Markers --------------------------------------------------------------------------------

struct Keyframe {
  double Time = 0;
  double Value = 0;
  std::array<float, 4> Extra{};  // kept as read
  friend bool operator==(const Keyframe&, const Keyframe&) = default;
};

struct KeyframeTrack : ChunkHeader {  // an NRML chunk inside KEYF; new tracks are "ANIM"
  std::int32_t Version = 0;
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t KeyCount = 0;
  std::vector<Keyframe> Keys;
  std::int32_t PreI = 0;
  std::int32_t PostI = 0;
  friend bool operator==(const KeyframeTrack&, const KeyframeTrack&) = default;
};

struct Marker : ChunkHeader {  // MRKR
  Tag HeadKind;                // inner NRML header whose ID is "HEAD"
  std::int32_t HeadLength = 0;
  Tag HeadID;
  std::int32_t Version = 0;
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ParentLength = 0;
  std::string ParentName;
  float Flags1 = 0;  // animation start time
  float Flags2 = 0;  // animation end time
  std::array<double, 3> Position{};
  std::array<double, 3> Rotation{};  // radians
  Tag KeyfKind;                      // inner FORM header whose ID is "KEYF"
  std::int32_t KeyfLength = 0;
  Tag KeyfID;
  std::vector<KeyframeTrack> Tracks;
  friend bool operator==(const Marker&, const Marker&) = default;
};

// ---- Collision and battle-scar meshes -------------------------------------------------------

struct BoundingBox {
  Vector3 Minimum;
  Vector3 Maximum;
  friend bool operator==(const BoundingBox&, const BoundingBox&) = default;
};

struct BoundingSphere {
  Vector3 Centre;
  float Radius = 0;
  friend bool operator==(const BoundingSphere&, const BoundingSphere&) = default;
};

struct TriangleMesh {  // TRIS or VNRM
  std::int32_t VertexCount = 0;
  std::vector<Vector3> Vertices;
  std::int32_t IndexCount = 0;
  std::vector<std::int16_t> Indices;
  friend bool operator==(const TriangleMesh&, const TriangleMesh&) = default;
};

struct CollisionMesh : ChunkHeader {  // COLD
  std::int32_t ParentLength = 0;
  std::string ParentName;
  // The three plain sub-chunks in fixed order: BBOX, BSPH, TRIS (Kind = tag, Length).
  ChunkHeader BoxHeader;
  BoundingBox Box;
  ChunkHeader SphereHeader;
  BoundingSphere Sphere;
  ChunkHeader TrianglesHeader;
  TriangleMesh Triangles;
  friend bool operator==(const CollisionMesh&, const CollisionMesh&) = default;
};

// Each of a scar mesh's six parts: an outer header (normally "NRML" and a length, no ID), then
// the part's own tag and a big-endian Long (1000 in new scar meshes; DESC's version).
struct ScarPartHeader {
  Tag Kind;
  std::int32_t Length = 0;
  Tag PartTag;
  std::int32_t Version = 0;
  friend bool operator==(const ScarPartHeader&, const ScarPartHeader&) = default;
};

struct ScarDescription {  // DESC
  std::int32_t NameLength = 0;
  std::string Name;  // the MultiMesh it belongs to
  std::int32_t ParentLength = 0;
  std::string ParentName;
  std::int32_t LodLevel = 0;
  friend bool operator==(const ScarDescription&, const ScarDescription&) = default;
};

struct ScarCell {
  std::int32_t IndexCount = 0;
  std::vector<std::int16_t> Indices;
  friend bool operator==(const ScarCell&, const ScarCell&) = default;
};

struct ScarGrid {  // SSUB
  std::int32_t SizeX = 0;
  std::int32_t SizeY = 0;
  std::int32_t SizeZ = 0;
  std::vector<ScarCell> Cells;  // SizeX * SizeY * SizeZ cells
  friend bool operator==(const ScarGrid&, const ScarGrid&) = default;
};

struct ScarMesh : ChunkHeader {  // BSRM
  ScarPartHeader DescriptionHeader;
  ScarDescription Description;
  ScarPartHeader BoxHeader;
  BoundingBox Box;
  ScarPartHeader SphereHeader;
  BoundingSphere Sphere;
  ScarPartHeader TrianglesHeader;
  TriangleMesh Triangles;
  ScarPartHeader NormalsHeader;
  TriangleMesh Normals;
  ScarPartHeader GridHeader;
  ScarGrid Grid;
  friend bool operator==(const ScarMesh&, const ScarMesh&) = default;
};

// ---- Info, background -----------------------------------------------------------------------

struct InfoEntry : ChunkHeader {  // WARN or ERRR
  std::int32_t TextLength = 0;
  std::string Text;
  friend bool operator==(const InfoEntry&, const InfoEntry&) = default;
};

struct BackgroundMeshSetRecord : ChunkHeader {  // BGMS
  std::vector<LodMesh> Meshes;
  friend bool operator==(const BackgroundMeshSetRecord&, const BackgroundMeshSetRecord&) = default;
};

// Position x, y, z, a fourth value, then colour r, g, b and alpha.
using BackgroundElement = std::array<float, 8>;

struct BackgroundSegment : ChunkHeader {  // BGSG
  std::int32_t NameLength = 0;
  std::string Name;
  std::int32_t ElementCount = 0;
  std::vector<BackgroundElement> Elements;
  friend bool operator==(const BackgroundSegment&, const BackgroundSegment&) = default;
};

// Position (3) and four further values.
using Star = std::array<float, 7>;

struct StarField : ChunkHeader {  // STRF
  std::int32_t Version = 0;       // big-endian on disk
  std::int32_t StarCount = 0;
  std::vector<Star> Stars;
  friend bool operator==(const StarField&, const StarField&) = default;
};

// ---- The model ------------------------------------------------------------------------------

// The classic files, or the later ones (Homeworld Remastered) whose pixels, vertices and indices
// live in a compressed POOL chunk.
enum class HodDialect { Classic, Hod2 };

inline constexpr std::uint32_t kPoolVersion = 3518;

// A battle-scar mesh of the later dialect ends with a checksum of unknown rule: it holds for the
// scar mesh exactly as read, which the fingerprint identifies.
struct ScarChecksum {
  std::string Name;  // the scar mesh's name when read
  std::int32_t Version = 0;
  std::uint32_t Checksum = 0;
  std::uint64_t Fingerprint = 0;
  friend bool operator==(const ScarChecksum&, const ScarChecksum&) = default;
};

// A mesh's children before its levels of detail (its TAGS), found again by the mesh's name.
struct MeshChunks {
  std::string MeshName;
  std::vector<OpaqueChunk> Chunks;
  friend bool operator==(const MeshChunks&, const MeshChunks&) = default;
};

// A POOL stream as read: its stored payload and a digest of the bytes it gives. A save whose
// stream comes out with the same digest writes the payload back instead of compressing again;
// one whose stream changed keeps the payload's tokens where they still hold.
struct PoolStreamAsRead {
  std::uint64_t Size = 0;
  PoolDigest Digest;
  std::vector<std::uint8_t> Payload;
};

// The three streams as read (texture, mesh, face). Not part of the model's content: the model
// compares equal whatever it holds here, and copies (the undo history) share it.
struct PoolAsRead {
  std::shared_ptr<const std::array<PoolStreamAsRead, 3>> Streams;
  friend bool operator==(const PoolAsRead&, const PoolAsRead&) { return true; }
};

// What only the later dialect holds, kept so such a file can be written back as it came.
struct Hod2Record {
  std::uint32_t PoolVersion = kPoolVersion;
  ChunkHeader MarkerListHeader;      // MRKS; Kind blank when the file had none
  std::vector<Vector3> JointExtras;  // each joint's third vector (zero in every known file)
  std::vector<OpaqueChunk> Chunks;   // in file order
  std::vector<ScarChecksum> ScarChecksums;
  std::vector<MeshChunks> MeshTags;
  PoolAsRead Pool;
  friend bool operator==(const Hod2Record&, const Hod2Record&) = default;
};

enum class HodType { MultiMesh, SimpleMesh, WireframeMesh, Background };

struct HodModel {
  HodVersionRecord HodVersion;
  HodNameRecord HodName;
  FormHeader HvmdHeader;
  FormHeader DtrmHeader;
  FormHeader InfoHeader;
  LightListRecord LightList;
  JointListRecord JointList;
  NavLightListRecord NavLightList;
  DockPathListRecord DockPathList;
  BoundaryVertexRecord BoundaryVertices;
  HodOwnerRecord HodOwner;
  BackgroundLightRecord BackgroundLight;
  BackgroundMeshSetRecord BackgroundMeshSet;

  std::vector<Material> Materials;
  std::vector<Texture> Textures;
  std::vector<MultiMesh> Meshes;
  std::vector<SimpleMesh> SimpleMeshes;
  std::vector<VaryMesh> VaryMeshes;
  std::vector<EngineShape> EngineShapes;
  std::vector<EngineBurn> EngineBurns;
  std::vector<EngineGlow> EngineGlows;
  std::vector<Marker> Markers;
  std::vector<CollisionMesh> CollisionMeshes;
  std::vector<ScarMesh> ScarMeshes;
  std::vector<InfoEntry> Warnings;
  std::vector<InfoEntry> Errors;
  std::vector<BackgroundSegment> BackgroundSegments;
  std::vector<StarField> StarFields;

  HodDialect Dialect = HodDialect::Classic;
  Hod2Record Hod2;

  friend bool operator==(const HodModel&, const HodModel&) = default;
};

// The type follows from the version and the NAME text; there is no type field.
HodType TypeOf(const HodModel& model);
const char* TypeKeyword(HodType type);  // "multi-mesh", "simple-mesh", ...

}  // namespace gantry
