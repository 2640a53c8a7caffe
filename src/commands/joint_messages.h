// Texts the joint, hardpoint, marker-animation and dock-point commands show, and the fixed names
// they give, kept in one place.
#pragma once

#include <array>

#include "commands/messages.h"
#include "common/shared_text.h"

namespace gantry::joint_messages {

inline constexpr const char* kSelectObjectFirst = editing_messages::kSelectObjectFirst;
inline constexpr const char* kNoNodesDefined = "Error: No nodes defined!";
inline constexpr const char* kCantRemoveRoot = "Can't remove Root (level) joint!";
inline constexpr const char* kRemovingLastForm = shared_text::kRemovingLastForm;

inline constexpr const char* kRootJointName = shared_text::kRootJoint;
inline constexpr const char* kWorldParentName = shared_text::kWorldParent;
inline constexpr const char* kNewJointStem = "New Joint";

// The hardpoint dialog.
inline constexpr const char* kHardpointCaption = "Add Hardpoint";
inline constexpr const char* kHardpointNameLabel = "Name:";
inline constexpr const char* kHardpointNameInitial = "<Base Name>";
inline constexpr const char* kHardpointTypeFrame = "Type";
inline constexpr const char* kHardpointCancel = shared_text::kCancel;
inline constexpr std::array<const char*, 7> kHardpointTypeCaptions = {
    "Weapon",
    "Turret",
    "Hardpoint",
    "Capture point",
    "Repair point",
    "Resourcing Orientation",
    "Capture Orientation",
};

// Pieces of the hardpoint joints' names.
inline constexpr const char* kWeaponPrefix = "Weapon_";
inline constexpr const char* kHardpointPrefix = "Hardpoint_";
inline constexpr const char* kPositionSuffix = "_Position";
inline constexpr const char* kRestSuffix = "_Rest";
inline constexpr const char* kDirectionSuffix = "_Direction";
inline constexpr const char* kLatitudeSuffix = "_Latitude";
inline constexpr const char* kMuzzleSuffix = "_Muzzle";
inline constexpr const char* kCapturePointPrefix = "CapturePoint";
inline constexpr const char* kRepairPointPrefix = "RepairPoint";
inline constexpr const char* kLatchOrientation = "LatchOrientation";
inline constexpr const char* kSalvageOrientation = "SalvageOrientation";
inline constexpr const char* kHeadingSuffix = "Heading";
inline constexpr const char* kUpSuffix = "Up";
inline constexpr const char* kLeftSuffix = "Left";

// Marker animation and dock points.
inline constexpr const char* kDeleteAnimationQuestion =
    "Can't delete last two key-frames! Delete Animation Information?";
inline constexpr const char* kCantDeleteLastTwoPoints = "Can't delete last two keyframes!";
inline constexpr const char* kTrackKind = "NRML";
inline constexpr const char* kTrackId = "ANIM";
inline constexpr const char* kRotateMark = "rotate";
inline constexpr std::array<const char*, 6> kTrackSuffixes = {
    "_translateX", "_translateY", "_translateZ", "_rotateX", "_rotateY", "_rotateZ"};

}  // namespace gantry::joint_messages
