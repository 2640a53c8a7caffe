#include "commands/joints.h"

#include <cctype>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "commands/joint_messages.h"
#include "commands/names.h"
#include "geometry/rotations.h"

namespace gantry {

namespace {

namespace text = joint_messages;

std::int32_t LengthOf(const std::string& s) { return static_cast<std::int32_t>(s.size()); }

void SetName(Joint& joint, std::string name) {
  joint.Name = std::move(name);
  joint.NameLength = LengthOf(joint.Name);
}

void SetParent(Joint& joint, std::string parent) {
  joint.ParentName = std::move(parent);
  joint.ParentLength = LengthOf(joint.ParentName);
}

void SyncCount(JointListRecord& joints) {
  joints.JointCount = static_cast<std::int32_t>(joints.Joints.size());
}

bool IsWorld(std::string_view name) {
  const std::string_view world = text::kWorldParentName;
  if (name.size() != world.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != world[i]) return false;
  }
  return true;
}

// Every field not given is zero, scale and freedom included: hardpoint joints are made so.
Joint ZeroJoint(std::string name, std::string parent, const Vector3& position) {
  Joint joint;
  SetName(joint, std::move(name));
  SetParent(joint, std::move(parent));
  joint.Position = position;
  return joint;
}

// A group whose first joint carries three pointers 10 units along z, y and x.
void AddOrientedGroup(std::vector<Joint>& out, const std::string& base, const std::string& parent) {
  out.push_back(ZeroJoint(base, parent, {}));
  out.push_back(ZeroJoint(base + text::kHeadingSuffix, base, {0, 0, 10}));
  out.push_back(ZeroJoint(base + text::kUpSuffix, base, {0, 10, 0}));
  out.push_back(ZeroJoint(base + text::kLeftSuffix, base, {10, 0, 0}));
}

}  // namespace

std::optional<CommandResult> RefuseWithoutJoint(const HodModel& model,
                                                std::optional<std::size_t> selected, Ui& ui) {
  const std::vector<Joint>& joints = model.JointList.Joints;
  if (selected && *selected < joints.size()) return std::nullopt;
  ui.Message(text::kSelectObjectFirst, Icon::Exclamation);
  if (!joints.empty()) return CommandResult{false, 0};
  ui.Message(text::kNoNodesDefined, Icon::Critical);
  return CommandResult::Unchanged();
}

CommandResult AddJoint(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  if (auto refused = RefuseWithoutJoint(model, selected, ui)) return *refused;
  JointListRecord& list = model.JointList;
  Joint joint = ZeroJoint(text::kNewJointStem + std::to_string(list.Joints.size() + 1),
                          list.Joints[*selected].Name, {});
  joint.Scale = {1, 1, 1};
  joint.Freedom = {1, 1, 1};
  list.Joints.push_back(std::move(joint));
  SyncCount(list);
  return CommandResult::Changed(selected);
}

std::size_t RemoveOrphanJoints(JointListRecord& joints, DebugLog& log) {
  // Removing the first joint that fails never changes the verdict on the joints before it, so
  // one pass over the survivors gives what rescanning from the top after each removal gives.
  std::unordered_set<std::string> kept_names;
  std::vector<Joint> kept;
  kept.reserve(joints.Joints.size());
  for (Joint& joint : joints.Joints) {
    const std::string& parent = joint.ParentName;
    if (parent.empty() || IsWorld(parent) || parent == joint.Name || kept_names.contains(parent)) {
      kept_names.insert(joint.Name);
      kept.push_back(std::move(joint));
    } else {
      log.Log(text::kRemovingLastForm);
    }
  }
  const std::size_t removed = joints.Joints.size() - kept.size();
  joints.Joints = std::move(kept);
  SyncCount(joints);
  return removed;
}

CommandResult RemoveJoint(Workspace& workspace, std::optional<std::size_t> selected, Ui& ui) {
  if (auto refused = RefuseWithoutJoint(workspace.model, selected, ui)) return *refused;
  JointListRecord& list = workspace.model.JointList;
  if (list.Joints[*selected].Name == text::kRootJointName) {
    ui.Message(text::kCantRemoveRoot, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  workspace.log.Log(text::kRemovingLastForm);
  list.Joints.erase(list.Joints.begin() + static_cast<std::ptrdiff_t>(*selected));
  SyncCount(list);
  RemoveOrphanJoints(list, workspace.log);
  return CommandResult::Changed();
}

std::vector<Joint> HardpointJoints(HardpointType type, const std::string& name,
                                   const std::string& parent) {
  std::vector<Joint> out;
  switch (type) {
    case HardpointType::kWeapon:
    case HardpointType::kTurret:
    case HardpointType::kHardpoint: {
      const std::string base =
          (type == HardpointType::kHardpoint ? text::kHardpointPrefix : text::kWeaponPrefix) + name;
      const std::string position = base + text::kPositionSuffix;
      out.push_back(ZeroJoint(position, parent, {}));
      out.push_back(ZeroJoint(base + text::kRestSuffix, position, {0, 0, 10}));
      out.push_back(ZeroJoint(base + text::kDirectionSuffix, position, {0, 10, 0}));
      if (type == HardpointType::kTurret) {
        const std::string latitude = base + text::kLatitudeSuffix;
        out.push_back(ZeroJoint(latitude, position, {0, 10, 0}));
        out.push_back(ZeroJoint(base + text::kMuzzleSuffix, latitude, {0, 10, 0}));
      }
      break;
    }
    case HardpointType::kCapturePoint:
      AddOrientedGroup(out, text::kCapturePointPrefix + name, parent);
      break;
    case HardpointType::kRepairPoint:
      AddOrientedGroup(out, text::kRepairPointPrefix + name, parent);
      break;
    case HardpointType::kResourcingOrientation:
      AddOrientedGroup(out, text::kLatchOrientation, text::kRootJointName);
      break;
    case HardpointType::kCaptureOrientation:
      AddOrientedGroup(out, text::kSalvageOrientation, text::kRootJointName);
      break;
  }
  return out;
}

CommandResult AddHardpoint(HodModel& model, std::optional<std::size_t> selected, HardpointType type,
                           const std::string& name, Ui& ui) {
  if (auto refused = RefuseWithoutJoint(model, selected, ui)) return *refused;
  JointListRecord& list = model.JointList;
  std::vector<Joint> added = HardpointJoints(type, name, list.Joints[*selected].Name);
  list.Joints.insert(list.Joints.end(), std::make_move_iterator(added.begin()),
                     std::make_move_iterator(added.end()));
  SyncCount(list);
  return CommandResult::Changed(selected);
}

ViewerPose JointViewerPose(const HodModel& model, std::size_t joint) {
  const JointListRecord& list = model.JointList;
  if (joint >= list.Joints.size()) return {};
  const Joint& j = list.Joints[joint];
  return {JointToWorld(list, j.Position, j.ParentName), j.Rotation};
}

CommandResult PlaceJoint(HodModel& model, std::size_t joint, const ViewerPose& picked) {
  JointListRecord& list = model.JointList;
  if (joint >= list.Joints.size()) return CommandResult::Unchanged();
  // Convert before writing: the joint's own fields are not part of its parent's chain, but a
  // damaged file could make them so.
  const Vector3 position = WorldToJoint(list, picked.position, list.Joints[joint].ParentName);
  list.Joints[joint].Position = position;
  list.Joints[joint].Rotation = picked.rotation;
  return CommandResult::Changed(joint);
}

std::optional<std::string> RenameJoint(HodModel& model, std::size_t joint, const std::string& text,
                                       Ui& ui) {
  JointListRecord& list = model.JointList;
  if (joint >= list.Joints.size()) return std::nullopt;
  std::vector<std::string> names;
  names.reserve(list.Joints.size());
  for (const Joint& j : list.Joints) names.push_back(j.Name);
  std::string accepted = MakeUniqueJointName(names, joint, text, ui);

  const std::string old_name = list.Joints[joint].Name;
  SetName(list.Joints[joint], accepted);
  // An empty parent name means "no parent", not a joint without a name: the root stays a root.
  if (!old_name.empty()) {
    for (Joint& j : list.Joints) {
      if (j.ParentName == old_name) SetParent(j, accepted);
    }
  }
  return accepted;
}

}  // namespace gantry
