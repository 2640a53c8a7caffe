// The HOD records a glTF file carries in `extras`, as JSON. Shared by the glTF export and import
// so both sides name the same fields. Lengths and counts are left out: the writer recomputes them.
// Texts stay the model's single-byte strings here; ToValue/FromValue turn them into UTF-8 and back.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "hod/model.h"

namespace gantry {

inline void to_json(nlohmann::json& j, const Tag& tag) { j = tag.str(); }
inline void from_json(const nlohmann::json& j, Tag& tag) { tag = Tag(j.get<std::string>()); }

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Vector2, u, v)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Vector3, x, y, z)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Vector4, x, y, z, w)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ColourRGB, r, g, b)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ColourRGBA, r, g, b, a)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ChunkHeader, Kind, ID)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Light, Name, Type, Position, Colour, Specular,
                                                Attenuation, AttenuationDistance)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Joint, Name, ParentName, Position, Rotation, Scale,
                                                Axis, Freedom)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(NavLight, Name, Section, Size, Phase, Frequency,
                                                Style, Colour, Distance, VisibleSprite,
                                                CastLightOnHES)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(DockPoint, Position, Rotation, LocalFlag1,
                                                PointTolerance, LocalFlag2, MaxSpeed, LocalFlag3,
                                                PointValue6, PointValue7, PointValue8, PointValue9,
                                                PointValue10)
// A dock path's points travel as child nodes, each with its DockPoint.
struct DockPathFields {
  std::string Name, ParentName, Families, LinkedPaths;
  std::int32_t PathFormat = kNewestDockPathFormat, PointFormat = kNewestDockPointFormat;
  std::int32_t PathValue1 = 0, PathValue2 = 0, PathValue3 = 0, PathValue4 = 0;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(DockPathFields, Name, ParentName, Families,
                                                LinkedPaths, PathFormat, PointFormat, PathValue1,
                                                PathValue2, PathValue3, PathValue4)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(MaterialParameter, Type, Colour, TextureIndex,
                                                LayerName)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Material, Kind, ID, Version, Name, ShaderName,
                                                Parameters)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(MeshVertex, Position, Colour, Normal, UV, Tangent,
                                                Binormal)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(FaceList, Type, Indices)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(MeshPart, MaterialIndex, VertexMask, Vertices,
                                                FaceLists)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(TriangleMesh, Vertices, Indices)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ShapeOutline, Vertices)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(EngineShape, Kind, ID, Name, ParentName, Outlines)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(EngineBurn, Kind, ID, Name, ParentName, VertexCount,
                                                CurveCount, Vertices)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Keyframe, Time, Value, Extra)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(KeyframeTrack, Kind, ID, Version, Name, Keys, PreI,
                                                PostI)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(Marker, Kind, ID, HeadKind, HeadID, Version, Name,
                                                ParentName, Flags1, Flags2, Position, Rotation,
                                                KeyfKind, KeyfID, Tracks)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(BoundingBox, Minimum, Maximum)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(BoundingSphere, Centre, Radius)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(InfoEntry, Kind, ID, Text)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ScarPartHeader, Kind, PartTag, Version)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ScarDescription, Name, ParentName, LodLevel)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(BoundaryVertexRecord, Kind, ID, Name, ParentName,
                                                Vertices, Trailer)

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VaryRecordB, Values, Bytes)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VaryGroupRecord, First, Second, Third, Fourth)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VaryGroup, GroupCount, Records)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(VaryMesh, Kind, Length, ID, Name, ParentName,
                                                CountA, CountB, CountC, CountD, Extra, ListA, ListB,
                                                ListC, ListD)

// What a whole model keeps beside its nodes: the file's type and the records no node stands for.
struct ModelFields {
  std::int32_t Version = kModelHodVersion;
  std::string TypeName = kMultiMeshTypeName;
  std::string Owner;
  std::int32_t NavLightVersion = 3;
  std::vector<Light> Lights;
  std::vector<InfoEntry> Warnings;
  std::vector<InfoEntry> Errors;
  // The headers of the single records, blank Kind where the file had none.
  ChunkHeader LightsHeader, JointsHeader, NavLightsHeader, DockPathsHeader, OwnerHeader;
  ChunkHeader BackgroundLightHeader, BackgroundMeshesHeader;
  std::int32_t BackgroundLightLength = 0, BackgroundLightSecond = 0;  // both written as kept
  std::vector<VaryMesh> VaryMeshes;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ModelFields, Version, TypeName, Owner,
                                                NavLightVersion, Lights, Warnings, Errors,
                                                LightsHeader, JointsHeader, NavLightsHeader,
                                                DockPathsHeader, OwnerHeader, BackgroundLightHeader,
                                                BackgroundMeshesHeader, BackgroundLightLength,
                                                BackgroundLightSecond, VaryMeshes)

}  // namespace gantry
