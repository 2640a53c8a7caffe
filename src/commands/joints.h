// The Hierarchy tab's commands: adding, removing (with the joint's subtree), placing and renaming
// joints, and the hardpoint wizard that appends a named group of joints.
//
// Selections are 0-based joint indices, the order of the joint tree's nodes; nullopt (or an index
// past the list) means no node is selected. Every command keeps JointCount equal to the list.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

// What the object viewer is opened with and hands back: a position in the model's frame and
// angles in radians.
struct ViewerPose {
  Vector3 position;
  Vector3 rotation;
  friend bool operator==(const ViewerPose&, const ViewerPose&) = default;
};

// The hardpoint dialog's option buttons, in their order; the first is the dialog's default.
enum class HardpointType {
  kWeapon,
  kTurret,
  kHardpoint,
  kCapturePoint,
  kRepairPoint,
  kResourcingOrientation,
  kCaptureOrientation,
};

// The check every Hierarchy command makes first. With nothing selected it says so and returns the
// result the editor applies (the first node selected, when there is one); nullopt when a joint is
// selected and the command may go on (the editor calls this before opening a dialog or the
// object viewer).
std::optional<CommandResult> RefuseWithoutJoint(const HodModel& model,
                                                std::optional<std::size_t> selected, Ui& ui);

// Appends "New Joint<count>" under the selected joint; the selection stays.
CommandResult AddJoint(HodModel& model, std::optional<std::size_t> selected, Ui& ui);

// Removes the selected joint (never "Root"), then every joint left without a parent.
CommandResult RemoveJoint(Workspace& workspace, std::optional<std::size_t> selected, Ui& ui);

// Removes joints whose parent is not an empty name, "world" (any case) or a joint at or before
// them, first failure first, until all stay. Returns how many went.
std::size_t RemoveOrphanJoints(JointListRecord& joints, DebugLog& log);

// The joints one hardpoint type adds for base name `name` under joint `parent`, in order.
std::vector<Joint> HardpointJoints(HardpointType type, const std::string& name,
                                   const std::string& parent);

// The wizard's OK: appends HardpointJoints(type, name, selected joint's name). Names are not
// checked for clashes here; the validator refuses duplicates before a save.
CommandResult AddHardpoint(HodModel& model, std::optional<std::size_t> selected, HardpointType type,
                           const std::string& name, Ui& ui);

// Placing a joint: the pose the viewer opens with, and storing what it returned (the position
// brought back into the parent's frame).
ViewerPose JointViewerPose(const HodModel& model, std::size_t joint);
CommandResult PlaceJoint(HodModel& model, std::size_t joint, const ViewerPose& picked);

// A node's label edited to `text`: made unique among the other joints (case-sensitive, numeric
// endings raised), stored as the joint's name and in every joint that named the old name as its
// parent. Returns the accepted name; nullopt (nothing changed) when there is no such joint.
std::optional<std::string> RenameJoint(HodModel& model, std::size_t joint, const std::string& text,
                                       Ui& ui);

}  // namespace gantry
