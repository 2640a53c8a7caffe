// Texts the element commands (add, remove, move, duplicate, the geometry tab) show, log or give
// new elements, kept in one place.
#pragma once

#include "common/shared_text.h"

namespace gantry::element_messages {

// Names and defaults of new elements; the element's number follows the stem.
inline constexpr const char* kNewTexture = "New Texture ";
inline constexpr const char* kNewMesh = "NewObject";
inline constexpr const char* kNewEngineShape = "NewEngineShape";
inline constexpr const char* kNewEngineBurn = "NewEngineBurn";
inline constexpr const char* kNewEngineGlow = "NewEngineGlow";
inline constexpr const char* kNewCollisionMesh = "NewCM_";
inline constexpr const char* kNewDockPath = "NewPath";
inline constexpr const char* kNewMarker = "Marker";
inline constexpr const char* kNewSimpleMesh = "SimpleMesh";
inline constexpr const char* kNewNavLight = "NavLight";
inline constexpr const char* kNewLight = "Light";
inline constexpr const char* kNavLightStyle = shared_text::kDefault;
inline constexpr const char* kRootJoint = shared_text::kRootJoint;
inline constexpr const char* kDockParent = shared_text::kWorldParent;

// Level-of-detail list entries.
inline constexpr const char* kNoLods = "No LoDs defined";
inline constexpr const char* kLodEntry = "LOD: ";
inline constexpr const char* kGoblinEntry = "GOBlin Group ";

// Refusals.
inline constexpr const char* kSelectMeshForLod = "Please select a mesh to add a LoD";
inline constexpr const char* kNoLodsOnGoblin = "Can't add LoDs to a Goblin!";
inline constexpr const char* kGoblinWithLods = "Can't make an object with LoDs a Goblin!";
inline constexpr const char* kSelectTexture =
    "Please select a texture in the texture section first!";
inline constexpr const char* kSelectGeometry = shared_text::kSelectGeometryFirst;
inline constexpr const char* kSelectLodToRemove = "Please select a LoD to remove!";
inline constexpr const char* kNoLodsToRemove = "No LoDs defined to remove!";
inline constexpr const char* kSelectObject = shared_text::kSelectObjectFirst;

// Duplication.
inline constexpr const char* kEnterUniqueName = "Enter a unique name for the new object: ";
inline constexpr const char* kNameExistsLead = "Object with name '";
inline constexpr const char* kNameExistsTail = "' already exists!";
inline constexpr const char* kLineBreak = shared_text::kLineBreak;
inline constexpr const char* kEnterAnotherName = "Please enter a unique name.";

// Debug log.
inline constexpr const char* kRemovingLastForm = shared_text::kRemovingLastForm;
inline constexpr const char* kMovedMesh = "Moved MULTForm #";
inline constexpr const char* kToMesh = " to MULTForm #";
inline constexpr const char* kMovingMesh = "Moving MULTForm #";
inline constexpr const char* kLodFrom = "'s BMSH Form from ";
inline constexpr const char* kLodTo = " to ";
inline constexpr const char* kMovingTexture = "Moving Texture #";
inline constexpr const char* kToTexture = " to Texture #";
inline constexpr const char* kEllipsis = "...";
inline constexpr const char* kMovingMip = "Moving MIP:";

// Material reassignment and the material chooser.
inline constexpr const char* kChooseMaterialLead =
    "Choose a material for part with current material '";
inline constexpr const char* kChooseMaterialTail = "'";
inline constexpr const char* kUnknownMaterial = "<Couldn't retrieve material name (!)>";
inline constexpr const char* kNoMaterialsEntry = "No materials defined...";
inline constexpr const char* kSelectMaterial = "Please select a material!";

// Number of boundary vertices.
inline constexpr const char* kEnterNumber = "Please enter a numerical value!";
inline constexpr const char* kTwoBoundaryVertices = "Need atleast TWO vertices for Boundaries!";
inline constexpr const char* kWholeNumbersOnly = "Please enter integeral values only!";

}  // namespace gantry::element_messages
