// Texts the OBJ, MTL and boundary-vertex exports write, show or log, kept in one place.
#pragma once

#include "common/shared_text.h"
#include "interchange/obj_messages.h"

namespace gantry::export_messages {

inline constexpr const char* kLineBreak = shared_text::kLineBreak;

// The comment header every exported OBJ file starts with.
inline constexpr const char* kConvertedFrom = "# Converted from '";
inline constexpr const char* kConvertedFromClose = "'";
inline constexpr const char* kCreatedBy = "# Wavfront OBJect created by ";
inline constexpr const char* kProgramTitle = shared_text::kProgramTitle;
inline constexpr const char* kByVarnel = "#\t- By Varnel";
inline constexpr const char* kDate = "# Date: ";
inline constexpr const char* kTime = shared_text::kTime;
inline constexpr const char* kHeaderEnd = "#";

// OBJ and MTL syntax.
inline constexpr const char* kVertex = "v ";
inline constexpr const char* kNormal = "vn ";
inline constexpr const char* kTexture = "vt ";
inline constexpr const char* kColour = "#vc ";
inline constexpr const char* kSecondUV = " #";
inline constexpr const char* kFace = "f ";
inline constexpr const char* kFaceKeyword = "f";
inline constexpr const char* kGroup = "g ";
inline constexpr const char* kUseMaterial = "usemtl ";
inline constexpr const char* kMaterialLibrary = "mtllib ";
inline constexpr const char* kMtlExtension = ".mtl";
inline constexpr const char* kObjExtension = ".obj";

// Level-of-detail and simple-mesh files.
inline constexpr const char* kObject = "# Object: ";
inline constexpr const char* kPartGroup = "g group";
inline constexpr const char* kCommentLead = "# ";
inline constexpr const char* kVertices = " vertice(s)";
inline constexpr const char* kStrippedFaces = " stripped faces";
inline constexpr const char* kListedFaces = " listed faces";
inline constexpr const char* kEnd = "# End";

// Material library.
inline constexpr const char* kNewMaterial = "newmtl ";
inline constexpr const char* kIllumination = "illum 4";
inline constexpr const char* kDiffuse = "Kd 0.50 0.50 0.50";
inline constexpr const char* kAmbient = "Ka 0.00 0.00 0.00";
inline constexpr const char* kTransmission = "Tf 1.00 1.00 1.00";
inline constexpr const char* kRefraction = "Ni 1.00";
inline constexpr const char* kDiffuseMap = "map_Kd .\\";
inline constexpr const char* kDdsExtension = shared_text::kDdsExtension;

// Names of exported files and objects.
inline constexpr const char* kLodSuffix = "_LOD";
inline constexpr const char* kGoblinSuffix = "_GOBG";
inline constexpr const char* kGlowSuffix = "_GLOW";
inline constexpr const char* kWireMesh = shared_text::kWireMesh;
inline constexpr const char* kBackgroundPart = shared_text::kBackgroundPart;
inline constexpr const char* kGeneratedMesh = "BGMS Generated BMSH ";
inline constexpr const char* kCollisionSuffix = "_COLD";
inline constexpr const char* kScarSuffix = "_BSRM";
inline constexpr const char* kEngineShapeSuffix = "_ETSH";
inline constexpr const char* kEngineBurnSuffix = "_BURN";
inline constexpr const char* kBoundarySuffix = "_BNDV";

// Element files.
inline constexpr const char* kCollisionFor = "# COLlision Mesh for joint: ";
inline constexpr const char* kNoTexture = "//";
inline constexpr const char* kEngineShape = "#  Engine Shape: ";
inline constexpr const char* kEngineBurn = "#  Engine Burn: ";
inline constexpr const char* kBoundaryInfo = "# File containing BouNDary Values information.";

// Questions, status texts and the debug log.
inline constexpr const char* kReverseUV = "Reverse UV?";
inline constexpr const char* kWritingObj = "Writing wOBJ file...";
inline constexpr const char* kWritingVertices = "Writing Vertex data...";
inline constexpr const char* kReady = shared_text::kReady;
inline constexpr const char* kMeshWritten = "Writing wOBJ for MULT\\GOBG num. ";
inline constexpr const char* kSuccessfullyCompleted = " Successfully completed!";
inline constexpr const char* kSuccess = "Success!";
inline constexpr const char* kDone = "Done.";
inline constexpr const char* kObjectWritten = "Writing wOBJ for object named: ";

// Boundary-vertex import.
inline constexpr const char* kObjFilter = obj_messages::kObjFilter;
inline constexpr const char* kNoBoundaryVerticesLead = "No vertex lines (\"v x y z\") found in ";
inline constexpr const char* kNoBoundaryVerticesTail = ". The boundary vertices are unchanged.";

// A file that could not be written: the path, then what the system said.
inline constexpr const char* kCouldntWrite = shared_text::kCouldntWrite;

}  // namespace gantry::export_messages
