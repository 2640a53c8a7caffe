// Texts the OBJ import, the text file rewrite and the Replace commands show or ask, kept in one
// place.
#pragma once

#include "common/shared_text.h"

namespace gantry::obj_messages {

inline constexpr const char* kLineBreak = shared_text::kLineBreak;

// Text file rewrite.
inline constexpr const char* kFileIsEmpty = "File is empty!";
inline constexpr const char* kBackupInfix = "_BAK";
inline constexpr const char* kCannotReadLead = "Could not read the file '";
inline constexpr const char* kCannotReadTail = "': ";

// Import questions.
inline constexpr const char* kZeroLength = "Given file's length = 0 (!)";
inline constexpr const char* kVertexThresholdPrompt = "Vertex(es) nearer than this will be merged";
inline constexpr const char* kNormalThresholdPrompt =
    "Vertex(es) with normal(s) nearer than this will be merged";
inline constexpr const char* kUVThresholdPrompt =
    "Vertex(es) with UV(s) nearer than this will be merged\r\n"
    "( For a 128x128 texture, use 0.01;\r\n"
    " for a 1024x1024 texture, use 0.001; etc. )";
inline constexpr const char* kVertexThresholdDefault = "0.01";
inline constexpr const char* kNormalThresholdDefault = "0.1";
inline constexpr const char* kUVThresholdDefault = "0.001";
inline constexpr const char* kReverseUVs = "Reverse UVs? (Usually Yes)";
inline constexpr const char* kSubstituteLead = "Choose a substitute for material: '";
inline constexpr const char* kSubstituteTail = "'";

// Summary.
inline constexpr const char* kNoMaterialsUsed = "No materials used by object(s)";
inline constexpr const char* kNoMaterialsLead = " -> NO material(s) used by ANY object(s). ";
inline constexpr const char* kMaterialsFound = " materials, ";
inline constexpr const char* kVerticesFound = " vertices, ";
inline constexpr const char* kFacesFound = " faces, ";
inline constexpr const char* kUVsFound = " UV-Coordinates, ";
inline constexpr const char* kNormalsFound = " vertex normals found.";
inline constexpr const char* kPleaseVerify = "Please verify whether this is correct. ";

// Files the importer refuses; the model is left as it was.
inline constexpr const char* kLinePrefix = "OBJ line ";
inline constexpr const char* kTooFewNumbers = " has too few numbers: ";
inline constexpr const char* kNotFinite = " holds a number that is out of range or not a number: ";
inline constexpr const char* kNegativeIndex = " has a negative index: ";
inline constexpr const char* kRefersTo = " refers to ";
inline constexpr const char* kPositionWord = "position ";
inline constexpr const char* kUVWord = "texture coordinate ";
inline constexpr const char* kNormalWord = "normal ";
inline constexpr const char* kOnlyLead = ", but the file has only ";
inline constexpr const char* kOnlyTail = ".";
inline constexpr const char* kTooManyVerticesLead = "Material '";
inline constexpr const char* kTooManyVerticesTail =
    "' needs more than 65536 vertices, more than one part can address. "
    "Please split it between several materials.";
inline constexpr const char* kTooManyMaterialsLead = "The file uses ";
inline constexpr const char* kTooManyMaterialsTail =
    " materials, but a mesh can hold at most 254 parts, one per material. "
    "Please merge some of its materials.";
inline constexpr const char* kNothingImported = shared_text::kNothingImported;

// Replace commands.
inline constexpr const char* kObjFilter =
    "Wavefront Object files (*.obj) |*.obj|All Files (*.*) |*.*";
inline constexpr const char* kSelectMeshAndLod = "Plese select a mesh and a LoD to replace!";
inline constexpr const char* kNoLodsToReplace = "No LoDs defined to replace!";
inline constexpr const char* kNoMaterials = "No materials defined! Can't replace LoD";
inline constexpr const char* kSelectObject = shared_text::kSelectObjectFirst;
inline constexpr const char* kConverting = shared_text::kConvertingToBmsh;
inline constexpr const char* kMergeVertices = "Merge Vertices?";
// An engine shape is counted in 16-bit bytes when it is read back.
inline constexpr const char* kShapeTooLargeLead = "The engine shape would take ";
inline constexpr const char* kShapeTooLargeTail =
    " bytes, but a HOD holds at most 32767 bytes per engine shape (about 800 triangles). "
    "Please use a simpler mesh.";
inline constexpr const char* kReady = shared_text::kReady;

}  // namespace gantry::obj_messages
