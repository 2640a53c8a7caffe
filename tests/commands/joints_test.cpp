#include "commands/joints.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "hod/reset.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

Joint& Add(HodModel& model, const std::string& name, const std::string& parent) {
  Joint& joint = model.JointList.Joints.emplace_back();
  joint.Name = name;
  joint.ParentName = parent;
  model.JointList.JointCount = static_cast<std::int32_t>(model.JointList.Joints.size());
  return joint;
}

std::vector<std::string> Names(const HodModel& model) {
  std::vector<std::string> names;
  for (const Joint& j : model.JointList.Joints) names.push_back(j.Name + "<" + j.ParentName);
  return names;
}

TEST(Joints, AddedUnderTheSelectedJoint) {
  HodModel model = MakeDefaultModel();
  for (const char* name : {"A", "B", "C"}) Add(model, name, "Root");
  testing::ScriptedUi ui;
  EXPECT_EQ(AddJoint(model, 2, ui).select, 2u);
  ASSERT_EQ(model.JointList.JointCount, 5);
  const Joint& added = model.JointList.Joints[4];
  EXPECT_EQ(std::tuple(added.Name, added.ParentName, added.Scale, added.Freedom, added.Position),
            std::tuple("New Joint5", "B", Vector3{1, 1, 1}, std::array<std::uint8_t, 3>{1, 1, 1},
                       Vector3{}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Joints, NothingSelectedSelectsTheFirstNode) {
  HodModel model = MakeDefaultModel();
  testing::ScriptedUi ui;
  const CommandResult refused = AddJoint(model, std::nullopt, ui);
  EXPECT_EQ(std::tuple(refused.select, refused.changed), std::tuple(0u, false));
  Workspace workspace;
  workspace.model.JointList.Joints.clear();
  EXPECT_EQ(RemoveJoint(workspace, 0, ui).select, std::nullopt);  // no node to select
  EXPECT_EQ(model.JointList.Joints.size(), 1u);
  ASSERT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Please select a object first!",
                                                         "Please select a object first!",
                                                         "Error: No nodes defined!"}));
  EXPECT_EQ(std::tuple(ui.messages[0].icon, ui.messages[2].icon),
            std::tuple(Icon::Exclamation, Icon::Critical));
}

TEST(Joints, RemovalTakesTheSubtreeAndOrphans) {
  Workspace workspace;
  HodModel& model = workspace.model;
  Add(model, "A", "Root");
  Add(model, "B", "A");
  Add(model, "Keep", "WoRlD");
  Add(model, "C", "B");
  Add(model, "Free", "");
  Add(model, "Ghost", "Nobody");  // an orphan already: the sweep takes it too
  Add(model, "Self", "Self");
  Add(model, "D", "Root");
  testing::ScriptedUi ui;
  EXPECT_TRUE(RemoveJoint(workspace, 1, ui).changed);
  EXPECT_EQ(Names(model),
            (std::vector<std::string>{"Root<", "Keep<WoRlD", "Free<", "Self<Self", "D<Root"}));
  EXPECT_EQ(model.JointList.JointCount, 5);
  EXPECT_EQ(workspace.log.messages().size(), 4u);  // one line per joint removed

  const HodModel before = model;
  EXPECT_FALSE(RemoveJoint(workspace, 0, ui).changed);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Can't remove Root (level) joint!"});
  EXPECT_EQ(model, before);
}

// Each joint a type adds as name<parent@position; every other field must be zero.
std::vector<std::string> Added(HardpointType type) {
  HodModel model = MakeDefaultModel();
  Add(model, "Hull", "Root");
  testing::ScriptedUi ui;
  EXPECT_EQ(AddHardpoint(model, 1, type, "Gun1", ui).select, 1u);
  EXPECT_EQ(model.JointList.JointCount, static_cast<std::int32_t>(model.JointList.Joints.size()));
  std::vector<std::string> added;
  for (std::size_t i = 2; i < model.JointList.Joints.size(); ++i) {
    const Joint& j = model.JointList.Joints[i];
    EXPECT_TRUE(j.Scale == Vector3{} && j.Rotation == Vector3{} && j.Axis == Vector3{});
    EXPECT_EQ(j.Freedom, (std::array<std::uint8_t, 3>{}));
    added.push_back(fmt::format("{}<{}@{},{},{}", j.Name, j.ParentName, j.Position.x, j.Position.y,
                                j.Position.z));
  }
  return added;
}

std::vector<std::string> Oriented(const std::string& b, const std::string& parent) {
  return {b + "<" + parent + "@0,0,0", b + "Heading<" + b + "@0,0,10", b + "Up<" + b + "@0,10,0",
          b + "Left<" + b + "@10,0,0"};
}

TEST(Hardpoints, EveryTypeNamesItsJoints) {
  const std::string p = "Weapon_Gun1_Position";
  std::vector<std::string> weapon = {p + "<Hull@0,0,0", "Weapon_Gun1_Rest<" + p + "@0,0,10",
                                     "Weapon_Gun1_Direction<" + p + "@0,10,0"};
  EXPECT_EQ(Added(HardpointType::kWeapon), weapon);
  weapon.push_back("Weapon_Gun1_Latitude<" + p + "@0,10,0");
  weapon.push_back("Weapon_Gun1_Muzzle<Weapon_Gun1_Latitude@0,10,0");
  EXPECT_EQ(Added(HardpointType::kTurret), weapon);
  const std::string h = "Hardpoint_Gun1_Position";
  EXPECT_EQ(Added(HardpointType::kHardpoint),
            (std::vector<std::string>{h + "<Hull@0,0,0", "Hardpoint_Gun1_Rest<" + h + "@0,0,10",
                                      "Hardpoint_Gun1_Direction<" + h + "@0,10,0"}));
  EXPECT_EQ(Added(HardpointType::kCapturePoint), Oriented("CapturePointGun1", "Hull"));
  EXPECT_EQ(Added(HardpointType::kRepairPoint), Oriented("RepairPointGun1", "Hull"));
  EXPECT_EQ(Added(HardpointType::kResourcingOrientation), Oriented("LatchOrientation", "Root"));
  EXPECT_EQ(Added(HardpointType::kCaptureOrientation), Oriented("SalvageOrientation", "Root"));
  EXPECT_EQ(HardpointJoints(HardpointType::kWeapon, "", "Hull")[0].Name, "Weapon__Position");
}

TEST(RenameJoint, RaisesTheEndingAndCarriesTheChildren) {
  HodModel model = MakeDefaultModel();
  Add(model, "Gun0009", "Root");
  Add(model, "Barrel", "Root");
  Add(model, "Tip", "Barrel");
  Add(model, "Sight", "Gun0009");
  testing::ScriptedUi ui;
  EXPECT_EQ(RenameJoint(model, 2, "Gun0009", ui), "Gun10");
  // The clash is told as Names.ClashesAreToldOnceAndTheSearchRepeats checks.
  EXPECT_EQ(Names(model), (std::vector<std::string>{"Root<", "Gun0009<Root", "Gun10<Root",
                                                    "Tip<Gun10", "Sight<Gun0009"}));

  // Case differences are no clash here; the validator refuses them before a save.
  EXPECT_EQ(RenameJoint(model, 2, "gun0009", ui), "gun0009");
  EXPECT_EQ(model.JointList.Joints[3].ParentName, "gun0009");
  // Renaming a nameless joint leaves the root without a parent.
  model.JointList.Joints[4].Name.clear();
  EXPECT_EQ(RenameJoint(model, 4, "Scope", ui), "Scope");
  EXPECT_EQ(model.JointList.Joints[0].ParentName, "");
  EXPECT_EQ(RenameJoint(model, 5, "X", ui), std::nullopt);
}

TEST(PlaceJoint, ViewerWorksInTheModelFrame) {
  HodModel model = MakeDefaultModel();
  Joint& p = Add(model, "P", "Root");
  p.Position = {10, 0, 0};
  p.Rotation = {0, 0, std::numbers::pi_v<float> / 2};
  Add(model, "J", "P").Position = {1, 0, 0};
  const ViewerPose start = JointViewerPose(model, 2);
  EXPECT_NEAR(start.position.x, 10, 1e-5);
  EXPECT_NEAR(start.position.y, 1, 1e-5);
  EXPECT_TRUE(PlaceJoint(model, 2, {{10, 2, 0}, {0.5f, 0, 0}}).changed);
  EXPECT_NEAR(model.JointList.Joints[2].Position.x, 2, 1e-5);
  EXPECT_NEAR(model.JointList.Joints[2].Position.y, 0, 1e-5);
  EXPECT_EQ(model.JointList.Joints[2].Rotation, (Vector3{0.5f, 0, 0}));
}

}  // namespace
}  // namespace gantry
