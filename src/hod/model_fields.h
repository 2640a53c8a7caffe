// Every field of every model record, by name, in file order: one description that the model
// comparison (gantry-cli diff, round-trip tests) and other generic walks share, so a field added
// to a record is added here once.
//
// Describe(v, Kind<Record>{}) calls v.Field(name, member-pointer, role) for each field. Derived
// fields are those a save recomputes (lengths, text lengths, data sizes, dock formats); the
// owner text is compared without the NUL a save appends.
#pragma once

#include <utility>

#include "hod/model.h"

namespace gantry {

// Colour and Texture fields of a material parameter exist on disk only for parameters of that
// type (4 colour, 5 texture); the others are whatever the program left there.
// Framing fields are a chunk's Kind and ID, which follow from the file's dialect: compared
// between models of one dialect only.
enum class FieldRole { Data, Derived, OwnerText, ColourParameter, TextureParameter, Framing };

template <typename T>
struct Kind {};

template <typename V, typename R>
void DescribeHeader(V& v) {
  v.Field("Kind", static_cast<Tag R::*>(&ChunkHeader::Kind), FieldRole::Framing);
  v.Field("Length", static_cast<std::int32_t R::*>(&ChunkHeader::Length), FieldRole::Derived);
  v.Field("ID", static_cast<Tag R::*>(&ChunkHeader::ID), FieldRole::Framing);
}

#define GANTRY_FIELD(Record, name) v.Field(#name, &Record::name, FieldRole::Data)
#define GANTRY_DERIVED(Record, name) v.Field(#name, &Record::name, FieldRole::Derived)

template <typename V>
void Describe(V& v, Kind<Vector2>) {
  GANTRY_FIELD(Vector2, u);
  GANTRY_FIELD(Vector2, v);
}
template <typename V>
void Describe(V& v, Kind<Vector3>) {
  GANTRY_FIELD(Vector3, x);
  GANTRY_FIELD(Vector3, y);
  GANTRY_FIELD(Vector3, z);
}
template <typename V>
void Describe(V& v, Kind<Vector4>) {
  GANTRY_FIELD(Vector4, x);
  GANTRY_FIELD(Vector4, y);
  GANTRY_FIELD(Vector4, z);
  GANTRY_FIELD(Vector4, w);
}
template <typename V>
void Describe(V& v, Kind<ColourRGB>) {
  GANTRY_FIELD(ColourRGB, r);
  GANTRY_FIELD(ColourRGB, g);
  GANTRY_FIELD(ColourRGB, b);
}
template <typename V>
void Describe(V& v, Kind<ColourRGBA>) {
  GANTRY_FIELD(ColourRGBA, r);
  GANTRY_FIELD(ColourRGBA, g);
  GANTRY_FIELD(ColourRGBA, b);
  GANTRY_FIELD(ColourRGBA, a);
}
template <typename V>
void Describe(V& v, Kind<ChunkHeader>) {
  DescribeHeader<V, ChunkHeader>(v);
}
template <typename V>
void Describe(V& v, Kind<HodVersionRecord>) {
  DescribeHeader<V, HodVersionRecord>(v);
  GANTRY_FIELD(HodVersionRecord, Version);
}
template <typename V>
void Describe(V& v, Kind<HodNameRecord>) {
  DescribeHeader<V, HodNameRecord>(v);
  GANTRY_FIELD(HodNameRecord, TypeName);
}
template <typename V>
void Describe(V& v, Kind<FormHeader>) {
  DescribeHeader<V, FormHeader>(v);
}
template <typename V>
void Describe(V& v, Kind<Light>) {
  GANTRY_DERIVED(Light, NameLength);
  GANTRY_FIELD(Light, Name);
  GANTRY_FIELD(Light, Type);
  GANTRY_FIELD(Light, Position);
  GANTRY_FIELD(Light, Colour);
  GANTRY_FIELD(Light, Specular);
  GANTRY_FIELD(Light, Attenuation);
  GANTRY_FIELD(Light, AttenuationDistance);
}
template <typename V>
void Describe(V& v, Kind<LightListRecord>) {
  DescribeHeader<V, LightListRecord>(v);
  GANTRY_FIELD(LightListRecord, LightCount);
  GANTRY_FIELD(LightListRecord, Lights);
}
template <typename V>
void Describe(V& v, Kind<Joint>) {
  GANTRY_DERIVED(Joint, NameLength);
  GANTRY_FIELD(Joint, Name);
  GANTRY_DERIVED(Joint, ParentLength);
  GANTRY_FIELD(Joint, ParentName);
  GANTRY_FIELD(Joint, Position);
  GANTRY_FIELD(Joint, Rotation);
  GANTRY_FIELD(Joint, Scale);
  GANTRY_FIELD(Joint, Axis);
  GANTRY_FIELD(Joint, Freedom);
}
template <typename V>
void Describe(V& v, Kind<JointListRecord>) {
  DescribeHeader<V, JointListRecord>(v);
  GANTRY_FIELD(JointListRecord, JointCount);
  GANTRY_FIELD(JointListRecord, Joints);
}
template <typename V>
void Describe(V& v, Kind<NavLight>) {
  GANTRY_DERIVED(NavLight, NameLength);
  GANTRY_FIELD(NavLight, Name);
  GANTRY_FIELD(NavLight, Section);
  GANTRY_FIELD(NavLight, Size);
  GANTRY_FIELD(NavLight, Phase);
  GANTRY_FIELD(NavLight, Frequency);
  GANTRY_DERIVED(NavLight, StyleLength);
  GANTRY_FIELD(NavLight, Style);
  GANTRY_FIELD(NavLight, Colour);
  GANTRY_FIELD(NavLight, Distance);
  GANTRY_FIELD(NavLight, VisibleSprite);
  GANTRY_FIELD(NavLight, CastLightOnHES);
}
template <typename V>
void Describe(V& v, Kind<NavLightListRecord>) {
  DescribeHeader<V, NavLightListRecord>(v);
  GANTRY_FIELD(NavLightListRecord, Version);
  GANTRY_FIELD(NavLightListRecord, NavLightCount);
  GANTRY_FIELD(NavLightListRecord, NavLights);
}
template <typename V>
void Describe(V& v, Kind<DockPoint>) {
  GANTRY_FIELD(DockPoint, Position);
  GANTRY_FIELD(DockPoint, Rotation);
  GANTRY_FIELD(DockPoint, LocalFlag1);
  GANTRY_FIELD(DockPoint, PointTolerance);
  GANTRY_FIELD(DockPoint, LocalFlag2);
  GANTRY_FIELD(DockPoint, MaxSpeed);
  GANTRY_FIELD(DockPoint, LocalFlag3);
  GANTRY_FIELD(DockPoint, PointValue6);
  GANTRY_FIELD(DockPoint, PointValue7);
  GANTRY_FIELD(DockPoint, PointValue8);
  GANTRY_FIELD(DockPoint, PointValue9);
  GANTRY_FIELD(DockPoint, PointValue10);
}
template <typename V>
void Describe(V& v, Kind<DockPath>) {
  GANTRY_DERIVED(DockPath, NameLength);
  GANTRY_FIELD(DockPath, Name);
  GANTRY_DERIVED(DockPath, ParentLength);
  GANTRY_FIELD(DockPath, ParentName);
  GANTRY_DERIVED(DockPath, PathFormat);
  GANTRY_DERIVED(DockPath, PointFormat);
  GANTRY_FIELD(DockPath, PathValue1);
  GANTRY_FIELD(DockPath, PathValue2);
  GANTRY_FIELD(DockPath, PathValue3);
  GANTRY_DERIVED(DockPath, FamiliesLength);
  GANTRY_FIELD(DockPath, Families);
  GANTRY_FIELD(DockPath, PathValue4);
  GANTRY_DERIVED(DockPath, LinkedPathsLength);
  GANTRY_FIELD(DockPath, LinkedPaths);
  GANTRY_FIELD(DockPath, PointCount);
  GANTRY_FIELD(DockPath, Points);
}
template <typename V>
void Describe(V& v, Kind<DockPathListRecord>) {
  DescribeHeader<V, DockPathListRecord>(v);
  GANTRY_FIELD(DockPathListRecord, PathCount);
  GANTRY_FIELD(DockPathListRecord, Paths);
}
template <typename V>
void Describe(V& v, Kind<BoundaryVertexRecord>) {
  DescribeHeader<V, BoundaryVertexRecord>(v);
  GANTRY_DERIVED(BoundaryVertexRecord, NameLength);
  GANTRY_FIELD(BoundaryVertexRecord, Name);
  GANTRY_DERIVED(BoundaryVertexRecord, ParentLength);
  GANTRY_FIELD(BoundaryVertexRecord, ParentName);
  GANTRY_FIELD(BoundaryVertexRecord, VertexCount);
  GANTRY_FIELD(BoundaryVertexRecord, Vertices);
  GANTRY_FIELD(BoundaryVertexRecord, Trailer);
}
template <typename V>
void Describe(V& v, Kind<HodOwnerRecord>) {
  DescribeHeader<V, HodOwnerRecord>(v);
  GANTRY_DERIVED(HodOwnerRecord, OwnerLength);
  v.Field("Owner", &HodOwnerRecord::Owner, FieldRole::OwnerText);
}
template <typename V>
void Describe(V& v, Kind<BackgroundLightRecord>) {
  // Both lengths are written as read, so they are data here.
  v.Field("Kind", static_cast<Tag BackgroundLightRecord::*>(&ChunkHeader::Kind), FieldRole::Data);
  v.Field("Length", static_cast<std::int32_t BackgroundLightRecord::*>(&ChunkHeader::Length),
          FieldRole::Data);
  v.Field("ID", static_cast<Tag BackgroundLightRecord::*>(&ChunkHeader::ID), FieldRole::Data);
  GANTRY_FIELD(BackgroundLightRecord, SecondLength);
}
template <typename V>
void Describe(V& v, Kind<MaterialParameter>) {
  GANTRY_FIELD(MaterialParameter, Type);
  GANTRY_DERIVED(MaterialParameter, DataSize);
  v.Field("Colour", &MaterialParameter::Colour, FieldRole::ColourParameter);
  v.Field("TextureIndex", &MaterialParameter::TextureIndex, FieldRole::TextureParameter);
  GANTRY_DERIVED(MaterialParameter, LayerNameLength);
  v.Field("LayerName", &MaterialParameter::LayerName, FieldRole::TextureParameter);
}
template <typename V>
void Describe(V& v, Kind<Material>) {
  // Materials are always saved NRML-framed, whatever framing they were read with.
  v.Field("Kind", static_cast<Tag Material::*>(&ChunkHeader::Kind), FieldRole::Derived);
  v.Field("Length", static_cast<std::int32_t Material::*>(&ChunkHeader::Length),
          FieldRole::Derived);
  v.Field("ID", static_cast<Tag Material::*>(&ChunkHeader::ID), FieldRole::Derived);
  GANTRY_FIELD(Material, Version);
  GANTRY_DERIVED(Material, NameLength);
  GANTRY_FIELD(Material, Name);
  GANTRY_DERIVED(Material, ShaderLength);
  GANTRY_FIELD(Material, ShaderName);
  GANTRY_FIELD(Material, ParameterCount);
  GANTRY_FIELD(Material, Parameters);
}
template <typename V>
void Describe(V& v, Kind<Texture>) {
  DescribeHeader<V, Texture>(v);
  GANTRY_DERIVED(Texture, FileNameLength);
  GANTRY_FIELD(Texture, FileName);
  GANTRY_FIELD(Texture, Format);
  GANTRY_FIELD(Texture, MipCount);
  GANTRY_FIELD(Texture, Width);
  GANTRY_FIELD(Texture, Height);
  GANTRY_FIELD(Texture, MipLevels);
}
template <typename V>
void Describe(V& v, Kind<MeshVertex>) {
  GANTRY_FIELD(MeshVertex, Position);
  GANTRY_FIELD(MeshVertex, Colour);
  GANTRY_FIELD(MeshVertex, Normal);
  GANTRY_FIELD(MeshVertex, UV);
  GANTRY_FIELD(MeshVertex, Tangent);
  GANTRY_FIELD(MeshVertex, Binormal);
}
template <typename V>
void Describe(V& v, Kind<FaceList>) {
  GANTRY_FIELD(FaceList, Type);
  GANTRY_FIELD(FaceList, IndexCount);
  GANTRY_FIELD(FaceList, Indices);
}
template <typename V>
void Describe(V& v, Kind<MeshPart>) {
  GANTRY_FIELD(MeshPart, MaterialIndex);
  GANTRY_FIELD(MeshPart, VertexMask);
  GANTRY_FIELD(MeshPart, VertexCount);
  GANTRY_FIELD(MeshPart, Vertices);
  GANTRY_FIELD(MeshPart, FaceListCount);
  GANTRY_FIELD(MeshPart, FaceLists);
}
template <typename V>
void Describe(V& v, Kind<LodMesh>) {
  DescribeHeader<V, LodMesh>(v);
  GANTRY_FIELD(LodMesh, Version);
  GANTRY_FIELD(LodMesh, LodLevel);
  GANTRY_FIELD(LodMesh, PartCount);
  GANTRY_FIELD(LodMesh, Parts);
}
template <typename V>
void Describe(V& v, Kind<MultiMesh>) {
  DescribeHeader<V, MultiMesh>(v);
  GANTRY_FIELD(MultiMesh, Version);
  GANTRY_DERIVED(MultiMesh, NameLength);
  GANTRY_FIELD(MultiMesh, Name);
  GANTRY_DERIVED(MultiMesh, ParentLength);
  GANTRY_FIELD(MultiMesh, ParentName);
  GANTRY_FIELD(MultiMesh, LodCount);
  GANTRY_FIELD(MultiMesh, Lods);
}
template <typename V>
void Describe(V& v, Kind<SimpleVertex>) {
  GANTRY_FIELD(SimpleVertex, Position);
  GANTRY_FIELD(SimpleVertex, Normal);
  GANTRY_FIELD(SimpleVertex, UV);
}
template <typename V>
void Describe(V& v, Kind<SimpleMesh>) {
  DescribeHeader<V, SimpleMesh>(v);
  GANTRY_DERIVED(SimpleMesh, NameLength);
  GANTRY_FIELD(SimpleMesh, Name);
  GANTRY_FIELD(SimpleMesh, VertexCount);
  GANTRY_FIELD(SimpleMesh, Vertices);
  GANTRY_FIELD(SimpleMesh, IndexCount);
  GANTRY_FIELD(SimpleMesh, Indices);
}
template <typename V>
void Describe(V& v, Kind<VaryRecordB>) {
  GANTRY_FIELD(VaryRecordB, Values);
  GANTRY_FIELD(VaryRecordB, Bytes);
}
template <typename V>
void Describe(V& v, Kind<VaryGroupRecord>) {
  GANTRY_FIELD(VaryGroupRecord, First);
  GANTRY_FIELD(VaryGroupRecord, Second);
  GANTRY_FIELD(VaryGroupRecord, Third);
  GANTRY_FIELD(VaryGroupRecord, Fourth);
}
template <typename V>
void Describe(V& v, Kind<VaryGroup>) {
  GANTRY_FIELD(VaryGroup, GroupCount);
  GANTRY_FIELD(VaryGroup, Records);
}
template <typename V>
void Describe(V& v, Kind<VaryMesh>) {
  // A VARY's length is written as read.
  v.Field("Kind", static_cast<Tag VaryMesh::*>(&ChunkHeader::Kind), FieldRole::Data);
  v.Field("Length", static_cast<std::int32_t VaryMesh::*>(&ChunkHeader::Length), FieldRole::Data);
  GANTRY_DERIVED(VaryMesh, NameLength);
  GANTRY_FIELD(VaryMesh, Name);
  GANTRY_DERIVED(VaryMesh, ParentLength);
  GANTRY_FIELD(VaryMesh, ParentName);
  GANTRY_FIELD(VaryMesh, CountA);
  GANTRY_FIELD(VaryMesh, CountB);
  GANTRY_FIELD(VaryMesh, CountC);
  GANTRY_FIELD(VaryMesh, CountD);
  GANTRY_FIELD(VaryMesh, Extra);
  GANTRY_FIELD(VaryMesh, ListA);
  GANTRY_FIELD(VaryMesh, ListB);
  GANTRY_FIELD(VaryMesh, ListC);
  GANTRY_FIELD(VaryMesh, ListD);
}
template <typename V>
void Describe(V& v, Kind<ShapeOutline>) {
  GANTRY_FIELD(ShapeOutline, VertexCount);
  GANTRY_FIELD(ShapeOutline, Vertices);
}
template <typename V>
void Describe(V& v, Kind<EngineShape>) {
  DescribeHeader<V, EngineShape>(v);
  GANTRY_DERIVED(EngineShape, NameLength);
  GANTRY_FIELD(EngineShape, Name);
  GANTRY_DERIVED(EngineShape, ParentLength);
  GANTRY_FIELD(EngineShape, ParentName);
  GANTRY_FIELD(EngineShape, Outlines);
}
template <typename V>
void Describe(V& v, Kind<EngineBurn>) {
  DescribeHeader<V, EngineBurn>(v);
  GANTRY_DERIVED(EngineBurn, NameLength);
  GANTRY_FIELD(EngineBurn, Name);
  GANTRY_DERIVED(EngineBurn, ParentLength);
  GANTRY_FIELD(EngineBurn, ParentName);
  GANTRY_FIELD(EngineBurn, VertexCount);
  GANTRY_FIELD(EngineBurn, CurveCount);
  GANTRY_FIELD(EngineBurn, Vertices);
}
template <typename V>
void Describe(V& v, Kind<EngineGlow>) {
  DescribeHeader<V, EngineGlow>(v);
  GANTRY_FIELD(EngineGlow, InfoKind);
  GANTRY_DERIVED(EngineGlow, InfoLength);
  GANTRY_FIELD(EngineGlow, InfoID);
  GANTRY_FIELD(EngineGlow, Version);
  GANTRY_DERIVED(EngineGlow, NameLength);
  GANTRY_FIELD(EngineGlow, Name);
  GANTRY_DERIVED(EngineGlow, ParentLength);
  GANTRY_FIELD(EngineGlow, ParentName);
  GANTRY_FIELD(EngineGlow, LodLevel);
  GANTRY_FIELD(EngineGlow, Mesh);
}
template <typename V>
void Describe(V& v, Kind<Keyframe>) {
  GANTRY_FIELD(Keyframe, Time);
  GANTRY_FIELD(Keyframe, Value);
  GANTRY_FIELD(Keyframe, Extra);
}
template <typename V>
void Describe(V& v, Kind<KeyframeTrack>) {
  DescribeHeader<V, KeyframeTrack>(v);
  GANTRY_FIELD(KeyframeTrack, Version);
  GANTRY_DERIVED(KeyframeTrack, NameLength);
  GANTRY_FIELD(KeyframeTrack, Name);
  GANTRY_FIELD(KeyframeTrack, KeyCount);
  GANTRY_FIELD(KeyframeTrack, Keys);
  GANTRY_FIELD(KeyframeTrack, PreI);
  GANTRY_FIELD(KeyframeTrack, PostI);
}
template <typename V>
void Describe(V& v, Kind<Marker>) {
  DescribeHeader<V, Marker>(v);
  GANTRY_FIELD(Marker, HeadKind);
  GANTRY_DERIVED(Marker, HeadLength);
  GANTRY_FIELD(Marker, HeadID);
  GANTRY_FIELD(Marker, Version);
  GANTRY_DERIVED(Marker, NameLength);
  GANTRY_FIELD(Marker, Name);
  GANTRY_DERIVED(Marker, ParentLength);
  GANTRY_FIELD(Marker, ParentName);
  GANTRY_FIELD(Marker, Flags1);
  GANTRY_FIELD(Marker, Flags2);
  GANTRY_FIELD(Marker, Position);
  GANTRY_FIELD(Marker, Rotation);
  GANTRY_FIELD(Marker, KeyfKind);
  GANTRY_DERIVED(Marker, KeyfLength);
  GANTRY_FIELD(Marker, KeyfID);
  GANTRY_FIELD(Marker, Tracks);
}
template <typename V>
void Describe(V& v, Kind<BoundingBox>) {
  GANTRY_FIELD(BoundingBox, Minimum);
  GANTRY_FIELD(BoundingBox, Maximum);
}
template <typename V>
void Describe(V& v, Kind<BoundingSphere>) {
  GANTRY_FIELD(BoundingSphere, Centre);
  GANTRY_FIELD(BoundingSphere, Radius);
}
template <typename V>
void Describe(V& v, Kind<TriangleMesh>) {
  GANTRY_FIELD(TriangleMesh, VertexCount);
  GANTRY_FIELD(TriangleMesh, Vertices);
  GANTRY_FIELD(TriangleMesh, IndexCount);
  GANTRY_FIELD(TriangleMesh, Indices);
}
template <typename V>
void Describe(V& v, Kind<CollisionMesh>) {
  DescribeHeader<V, CollisionMesh>(v);
  GANTRY_DERIVED(CollisionMesh, ParentLength);
  GANTRY_FIELD(CollisionMesh, ParentName);
  GANTRY_FIELD(CollisionMesh, BoxHeader);
  GANTRY_FIELD(CollisionMesh, Box);
  GANTRY_FIELD(CollisionMesh, SphereHeader);
  GANTRY_FIELD(CollisionMesh, Sphere);
  GANTRY_FIELD(CollisionMesh, TrianglesHeader);
  GANTRY_FIELD(CollisionMesh, Triangles);
}
template <typename V>
void Describe(V& v, Kind<ScarPartHeader>) {
  GANTRY_FIELD(ScarPartHeader, Kind);
  GANTRY_DERIVED(ScarPartHeader, Length);
  GANTRY_FIELD(ScarPartHeader, PartTag);
  GANTRY_FIELD(ScarPartHeader, Version);
}
template <typename V>
void Describe(V& v, Kind<ScarDescription>) {
  GANTRY_DERIVED(ScarDescription, NameLength);
  GANTRY_FIELD(ScarDescription, Name);
  GANTRY_DERIVED(ScarDescription, ParentLength);
  GANTRY_FIELD(ScarDescription, ParentName);
  GANTRY_FIELD(ScarDescription, LodLevel);
}
template <typename V>
void Describe(V& v, Kind<ScarCell>) {
  GANTRY_FIELD(ScarCell, IndexCount);
  GANTRY_FIELD(ScarCell, Indices);
}
template <typename V>
void Describe(V& v, Kind<ScarGrid>) {
  GANTRY_FIELD(ScarGrid, SizeX);
  GANTRY_FIELD(ScarGrid, SizeY);
  GANTRY_FIELD(ScarGrid, SizeZ);
  GANTRY_FIELD(ScarGrid, Cells);
}
template <typename V>
void Describe(V& v, Kind<ScarMesh>) {
  DescribeHeader<V, ScarMesh>(v);
  GANTRY_FIELD(ScarMesh, DescriptionHeader);
  GANTRY_FIELD(ScarMesh, Description);
  GANTRY_FIELD(ScarMesh, BoxHeader);
  GANTRY_FIELD(ScarMesh, Box);
  GANTRY_FIELD(ScarMesh, SphereHeader);
  GANTRY_FIELD(ScarMesh, Sphere);
  GANTRY_FIELD(ScarMesh, TrianglesHeader);
  GANTRY_FIELD(ScarMesh, Triangles);
  GANTRY_FIELD(ScarMesh, NormalsHeader);
  GANTRY_FIELD(ScarMesh, Normals);
  GANTRY_FIELD(ScarMesh, GridHeader);
  GANTRY_FIELD(ScarMesh, Grid);
}
template <typename V>
void Describe(V& v, Kind<InfoEntry>) {
  DescribeHeader<V, InfoEntry>(v);
  GANTRY_DERIVED(InfoEntry, TextLength);
  GANTRY_FIELD(InfoEntry, Text);
}
template <typename V>
void Describe(V& v, Kind<BackgroundMeshSetRecord>) {
  DescribeHeader<V, BackgroundMeshSetRecord>(v);
  GANTRY_FIELD(BackgroundMeshSetRecord, Meshes);
}
template <typename V>
void Describe(V& v, Kind<BackgroundSegment>) {
  DescribeHeader<V, BackgroundSegment>(v);
  GANTRY_DERIVED(BackgroundSegment, NameLength);
  GANTRY_FIELD(BackgroundSegment, Name);
  GANTRY_FIELD(BackgroundSegment, ElementCount);
  GANTRY_FIELD(BackgroundSegment, Elements);
}
template <typename V>
void Describe(V& v, Kind<StarField>) {
  DescribeHeader<V, StarField>(v);
  GANTRY_FIELD(StarField, Version);
  GANTRY_FIELD(StarField, StarCount);
  GANTRY_FIELD(StarField, Stars);
}

// The model's top level, named as `gantry-cli info` names its families.
template <typename V>
void Describe(V& v, Kind<HodModel>) {
  v.Field("version", &HodModel::HodVersion, FieldRole::Data);
  v.Field("name", &HodModel::HodName, FieldRole::Data);
  v.Field("hvmd", &HodModel::HvmdHeader, FieldRole::Data);
  v.Field("dtrm", &HodModel::DtrmHeader, FieldRole::Data);
  v.Field("info", &HodModel::InfoHeader, FieldRole::Data);
  v.Field("lights", &HodModel::LightList, FieldRole::Data);
  v.Field("joints", &HodModel::JointList, FieldRole::Data);
  v.Field("nav_lights", &HodModel::NavLightList, FieldRole::Data);
  v.Field("dock_paths", &HodModel::DockPathList, FieldRole::Data);
  v.Field("boundary_vertices", &HodModel::BoundaryVertices, FieldRole::Data);
  v.Field("owner", &HodModel::HodOwner, FieldRole::Data);
  v.Field("background_light", &HodModel::BackgroundLight, FieldRole::Data);
  v.Field("background_meshes", &HodModel::BackgroundMeshSet, FieldRole::Data);
  v.Field("materials", &HodModel::Materials, FieldRole::Data);
  v.Field("textures", &HodModel::Textures, FieldRole::Data);
  v.Field("meshes", &HodModel::Meshes, FieldRole::Data);
  v.Field("simple_meshes", &HodModel::SimpleMeshes, FieldRole::Data);
  v.Field("vary_meshes", &HodModel::VaryMeshes, FieldRole::Data);
  v.Field("engine_shapes", &HodModel::EngineShapes, FieldRole::Data);
  v.Field("engine_burns", &HodModel::EngineBurns, FieldRole::Data);
  v.Field("engine_glows", &HodModel::EngineGlows, FieldRole::Data);
  v.Field("markers", &HodModel::Markers, FieldRole::Data);
  v.Field("collision_meshes", &HodModel::CollisionMeshes, FieldRole::Data);
  v.Field("scar_meshes", &HodModel::ScarMeshes, FieldRole::Data);
  v.Field("warnings", &HodModel::Warnings, FieldRole::Data);
  v.Field("errors", &HodModel::Errors, FieldRole::Data);
  v.Field("background_segments", &HodModel::BackgroundSegments, FieldRole::Data);
  v.Field("star_fields", &HodModel::StarFields, FieldRole::Data);
}

#undef GANTRY_FIELD
#undef GANTRY_DERIVED

// True for the record types Describe knows.
template <typename T>
concept Described = requires(T*) {
  {Describe(std::declval<int&>(), Kind<T>{})};
};

}  // namespace gantry
