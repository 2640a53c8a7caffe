// Texts the validator and the save command show, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::messages {

inline constexpr const char* kNoGeometry = "No Geometry in HOD (!)";
inline constexpr const char* kNoGeometrySimple = "No geometry in HOD (!)";
inline constexpr const char* kBgmsPart = "BGMS part #";
inline constexpr const char* kBgmsEmpty = " is empty. Please fix...";
inline constexpr const char* kBgmsNoVertices = " has no vertices. Please fix...";
inline constexpr const char* kBgmsNoFaces = " has no faces. Please fix...";
inline constexpr const char* kSimpleMesh = "SIMP\\WIRE mesh #";
inline constexpr const char* kSimpleNoVertices = " has no vertices. Please correct.";
inline constexpr const char* kSimpleNoFaces = " has no faces. Please correct.";
inline constexpr const char* kParameterCount =
    "Invalid number of parameters for STAT Form. Trying to correct...";
inline constexpr const char* kNoValidMaterials =
    "Looks like this HOD has NO valid materials. Please fix this";
inline constexpr const char* kInvalidTexture = "Invalid texture detected ( index: ";
inline constexpr const char* kInvalidTextureEnd = " )\r\nPlease remove";
inline constexpr const char* kGeometryObject = "Geometry Object number ";
inline constexpr const char* kMultBmshIndex =
    "Invalid starting indice for MULT\\BMSH Form. Please correct...";
inline constexpr const char* kNoJoints = "No Joints defined! Please define atleast ONE joint";
inline constexpr const char* kHierIndex =
    "Invalid starting indice for HIER Form. Trying to correct...";
inline constexpr const char* kJointCountMismatch =
    "Total joint count\\actual joint count mismatch. Trying to correct...";
inline constexpr const char* kScarCountMismatch =
    "Battle Scar Reference Mesh\\Multi-Mesh or Goblin count mismatch. ( ";
inline constexpr const char* kScarNameMismatch =
    "Multi-Mesh\\Goblin Name and Battle Scar Reference name mismatch for object number ";
inline constexpr const char* kScarNoData = "Battle Scar Reference mesh number ";
inline constexpr const char* kCollisionMesh = "Collision Mesh number ";

// Indices that no longer name an element (a material or texture removed after it was used).
inline constexpr const char* kMissingMaterials =
    "{} mesh part(s) use a material this HOD does not have (the first: {} uses material {}; "
    "the HOD has {}).";
inline constexpr const char* kMissingTextures =
    "{} texture parameter(s) use a texture this HOD does not have (the first: {} uses texture "
    "{}; the HOD has {}).";
inline constexpr const char* kUseMaterialOne = "\r\nUse material 1 for them?";
inline constexpr const char* kUseTextureOne = "\r\nUse texture 1 for them?";

// Content a file can hold but the game cannot use: written as it is, with a warning.
inline constexpr const char* kContentFaults =
    "Some of the model's content cannot be right; it is saved as it is:";
inline constexpr const char* kIndexOutOfRange =
    "mesh '{}' LoD {} part {}: index {} names a vertex beyond its {}";
inline constexpr const char* kNonFinite = "mesh '{}' LoD {} part {}: vertex {} holds {}";
inline constexpr const char* kUnknownParent = "{} '{}' hangs on '{}', which is no joint";
inline constexpr const char* kMoreFaults = "and {} more";

// A file with lights holds neither joints nor boundary vertices.
inline constexpr const char* kLightsDrop =
    "This HOD has {} light(s), and a HOD with lights keeps neither joints nor boundary "
    "vertices: saving it drops {}.";
inline constexpr const char* kLightsDropJoints = "its {} joint(s)";
inline constexpr const char* kLightsDropBoundary = "its {} boundary vertices";
inline constexpr const char* kLightsDropQuestion = "\r\nDrop them and save anyway?";
inline constexpr const char* kLightsAddQuestion = "\r\nAdd the light anyway?";

inline constexpr const char* kCantWrite = "Can't Write. One or more errors are present in the HOD";
inline constexpr const char* kCouldntOpen = "Couldn't open file: ";
inline constexpr const char* kCouldntRemove = "Couldn't remove file: ";
inline constexpr const char* kCouldntWrite = shared_text::kCouldntWrite;
inline constexpr const char* kProgramTitle = shared_text::kProgramTitle;

}  // namespace gantry::messages
