#include "commands/keyframes.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "commands/create.h"
#include "hod/validate.h"
#include "hod/validate_messages.h"
#include "support/read_back.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

constexpr double kPi = std::numbers::pi;

// A marker and a dock path as the editor's Add buttons make them.
struct Fixture {
  Fixture() {
    AddMarker(model);
    AddDockPath(model);
    ResetMarkerAnimation(model, 0);
  }
  Workspace workspace;
  HodModel& model = workspace.model;
  testing::ScriptedUi ui;
  Marker& marker() { return model.Markers[0]; }
};

TEST(MarkerAnimation, ResetGivesSixTwoKeyTracks) {
  Fixture f;
  f.marker().Flags1 = 3;
  f.marker().Tracks[0].Keys.resize(5);
  EXPECT_TRUE(ResetMarkerAnimation(f.model, 0).changed);
  ASSERT_EQ(f.marker().Tracks.size(), 6u);
  const char* names[] = {"Marker1_translateX", "Marker1_translateY", "Marker1_translateZ",
                         "Marker1_rotateX",    "Marker1_rotateY",    "Marker1_rotateZ"};
  for (std::size_t i = 0; i < 6; ++i) {
    const KeyframeTrack& t = f.marker().Tracks[i];
    EXPECT_EQ(std::tuple(t.Name, t.Kind, t.ID, t.Version, t.KeyCount, t.Keys),
              std::tuple(names[i], Tag("NRML"), Tag("ANIM"), 1, 2, std::vector<Keyframe>(2)));
  }
  EXPECT_EQ(std::tuple(f.marker().Flags1, f.marker().Flags2), std::tuple(0, 1.0f));
  EXPECT_FALSE(ResetMarkerAnimation(f.model, std::nullopt).changed);
}

TEST(MarkerKeys, AddAndRemoveKeepTwoKeys) {
  Fixture f;
  const KeySelection track1{0, 1, 1};
  EXPECT_EQ(KeySliderKeyPress(f.workspace, track1, 'a', f.ui).select, 2u);
  f.marker().Tracks[1].Keys[2].Value = 7;
  EXPECT_TRUE(KeySliderKeyPress(f.workspace, track1, 'R', f.ui).changed);
  EXPECT_EQ(std::tuple(f.marker().Tracks[1].KeyCount, f.marker().Tracks[1].Keys[1].Value),
            std::tuple(2, 7));
  EXPECT_TRUE(f.ui.messages.empty());
  f.ui.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(RemoveKey(f.workspace, track1, f.ui).changed);
  EXPECT_EQ(f.marker().Tracks.size(), 6u);
  f.marker().Flags1 = 2;
  EXPECT_TRUE(RemoveKey(f.workspace, track1, f.ui).changed);
  EXPECT_EQ(std::tuple(f.marker().Tracks.size(), f.marker().Flags1, f.marker().Flags2),
            std::tuple(0u, 0, 0));
  ASSERT_EQ(f.ui.messages.size(), 2u);
  EXPECT_EQ(std::tuple(f.ui.messages[0].text, f.ui.messages[0].icon, f.ui.messages[0].buttons),
            std::tuple("Can't delete last two key-frames! Delete Animation Information?",
                       Icon::Question, Buttons::YesNo));
}

TEST(MarkerKeys, TypedTimesWidenTheRange) {
  Fixture f;
  ASSERT_TRUE(SetKeyTime(f.model, {0, 0, 1}, -4.5));
  EXPECT_EQ(std::tuple(f.marker().Tracks[0].Keys[1].Time, f.marker().Flags2), std::tuple(4, 4));
  ASSERT_TRUE(SetKeyTime(f.model, {0, 5, 1}, 2.7));  // never narrows
  EXPECT_EQ(std::tuple(f.marker().Tracks[5].Keys[1].Time, f.marker().Flags2), std::tuple(2, 4));
  f.marker().Flags1 = 3;
  ASSERT_TRUE(SetKeyTime(f.model, {0, 5, 1}, 9));
  // The other keys still stand at 0.
  EXPECT_EQ(std::tuple(f.marker().Flags1, f.marker().Flags2), std::tuple(0, 9));
  EXPECT_FALSE(SetKeyTime(f.model, {0, std::nullopt, 0}, 1));
}

TEST(MarkerKeys, RotateTracksTakeDegrees) {
  Fixture f;
  ASSERT_TRUE(SetKeyValue(f.model, {0, 4, 0}, 90));  // Marker1_rotateY
  ASSERT_TRUE(SetKeyValue(f.model, {0, 1, 0}, 90));  // Marker1_translateY
  ASSERT_TRUE(SetKeyValue(f.model, {0, 5, 0}, -90));
  EXPECT_NEAR(f.marker().Tracks[4].Keys[0].Value, kPi / 2, 1e-6);
  EXPECT_EQ(f.marker().Tracks[1].Keys[0].Value, 90);
  EXPECT_NEAR(f.marker().Tracks[5].Keys[0].Value, 3 * kPi / 2, 1e-6);
  EXPECT_NEAR(KeyValueShown(f.marker().Tracks[4], f.marker().Tracks[4].Keys[0]), 90, 1e-9);
  EXPECT_FALSE(SetKeyExtra(f.model, {0, 0, 1}, 4, 1));
  ASSERT_TRUE(SetTrackPreI(f.model, {0, 0, 0}, 2.5));  // halves go to the even neighbour
  ASSERT_TRUE(SetTrackPostI(f.model, {0, 0, 0}, -1.6));
  EXPECT_EQ(std::tuple(f.marker().Tracks[0].PreI, f.marker().Tracks[0].PostI), std::tuple(2, -2));
}

TEST(AutoOrient, PointsAtThePosition) {
  Fixture f;
  f.marker().Position = {1, 1, 1};
  const auto shown = AutoOrientMarker(f.model, 0);
  ASSERT_TRUE(shown);
  EXPECT_EQ(*shown, (std::array<double, 3>{315, 45, 0}));
  EXPECT_DOUBLE_EQ(f.marker().Rotation[0], -kPi / 4);
  EXPECT_DOUBLE_EQ(f.marker().Rotation[1], kPi / 4);
  f.marker().Position = {5, 2, 0};
  f.marker().Rotation = {1, 2, 3};
  EXPECT_EQ(AutoOrientMarker(f.model, 0), (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(f.marker().Rotation, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(AutoOrientMarker(f.model, 1), std::nullopt);
}

TEST(DockPoints, AddedZeroAndNeverFewerThanTwo) {
  Fixture f;
  const HodModel before = f.model;
  EXPECT_FALSE(RemoveDockPoint(f.workspace, 0, 0, f.ui).changed);
  EXPECT_EQ(f.model, before);
  EXPECT_EQ(f.ui.MessageTexts(), std::vector<std::string>{"Can't delete last two keyframes!"});
  EXPECT_EQ(f.ui.messages[0].icon, Icon::Exclamation);
  EXPECT_EQ(AddDockPoint(f.model, 0).select, 2u);
  DockPath& path = f.model.DockPathList.Paths[0];
  EXPECT_EQ(path.PointCount, 3);
  EXPECT_EQ(path.Points[2], path.Points[0]);  // every field zero, tolerance and speed too
  path.Points[2].Position.x = 8;
  EXPECT_EQ(RemoveDockPoint(f.workspace, 0, 0, f.ui).select, 0u);
  EXPECT_EQ(std::tuple(path.PointCount, path.Points[1].Position.x), std::tuple(2, 8));
  EXPECT_FALSE(AddDockPoint(f.model, std::nullopt).changed);
  EXPECT_EQ(f.ui.messages.size(), 1u);
}

TEST(Placing, MarkersAndDockPointsGoThroughTheParentChain) {
  Fixture f;
  Joint& p = f.model.JointList.Joints.emplace_back(f.model.JointList.Joints[0]);
  p.Name = "P";
  p.ParentName = "Root";
  p.Position = {10, 0, 0};
  p.Rotation = {0, 0, std::numbers::pi_v<float> / 2};
  f.model.JointList.JointCount = 2;
  f.marker().ParentName = "P";
  f.marker().Position = {1, 0, 0};
  EXPECT_NEAR(MarkerViewerPose(f.model, 0).position.y, 1, 1e-5);
  EXPECT_TRUE(PlaceMarker(f.model, 0, {{10, 2, 0}, {0, 0.5f, 0}}).changed);
  EXPECT_NEAR(f.marker().Position[0], 2, 1e-5);
  EXPECT_EQ(f.marker().Rotation[1], 0.5f);
  DockPath& path = f.model.DockPathList.Paths[0];
  path.ParentName = "P";
  path.Points[1].Position = {3, 4, 5};
  path.Points[1].Rotation = {0, static_cast<float>(kPi), 0};
  const ViewerPose start = DockPointViewerPose(f.model, 0, 1);
  EXPECT_NEAR(start.position.x, 6, 1e-5);
  EXPECT_TRUE(PlaceDockPoint(f.model, 0, 1, start).changed);  // accepted unmoved
  EXPECT_NEAR(path.Points[1].Position.y, 4, 1e-5);
  EXPECT_NEAR(DockPointFields(path.Points[1])[4], 180, 1e-4);
  EXPECT_TRUE(RefusePlacingWithoutSelection(std::nullopt, 1, f.ui));
  EXPECT_FALSE(RefusePlacingWithoutSelection(0, 1, f.ui));
  EXPECT_EQ(f.ui.MessageTexts(), std::vector<std::string>{"Please select a object first!"});
}

TEST(JointAndKeyframeEdits, ModelStillSavesReadsBackAndValidates) {
  Fixture f;
  ASSERT_TRUE(AddJoint(f.model, 0, f.ui).changed);
  ASSERT_TRUE(AddHardpoint(f.model, 1, HardpointType::kTurret, "Gun1", f.ui).changed);
  ASSERT_TRUE(AddHardpoint(f.model, 0, HardpointType::kCapturePoint, "", f.ui).changed);
  ASSERT_TRUE(RenameJoint(f.model, 1, "Mount", f.ui));
  ASSERT_TRUE(RemoveJoint(f.workspace, 5, f.ui).changed);  // the latitude and its muzzle
  ASSERT_TRUE(AddKey(f.model, {0, 2, 0}).changed);
  ASSERT_TRUE(SetKeyTime(f.model, {0, 2, 2}, 6.2));
  ASSERT_TRUE(SetKeyValue(f.model, {0, 3, 1}, 45));
  ASSERT_TRUE(AddDockPoint(f.model, 0).changed);
  ASSERT_TRUE(PlaceDockPoint(f.model, 0, 2, {{1, 2, 3}, {0.25f, 0, 0}}).changed);
  EXPECT_EQ(std::tuple(f.model.JointList.JointCount, f.model.JointList.Joints[2].ParentName),
            std::tuple(9, "Mount"));
  EXPECT_EQ(testing::ReadBackDifferences(f.model), std::vector<std::string>{});
  testing::ScriptedUi ui;
  EXPECT_TRUE(ValidateHod(f.model, ui).valid);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{messages::kNoGeometry});
  // Orientation groups have fixed names: a second one clashes.
  ASSERT_TRUE(AddHardpoint(f.model, 0, HardpointType::kCaptureOrientation, "", f.ui).changed);
  ASSERT_TRUE(AddHardpoint(f.model, 0, HardpointType::kCaptureOrientation, "", f.ui).changed);
  ui.messages.clear();
  EXPECT_FALSE(ValidateHod(f.model, ui).valid);
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{messages::kNoGeometry,
                                      "Joint #10 and Joint #14have same names! Please fix."}));
}

}  // namespace
}  // namespace gantry
