// The Markers and Dockpaths tabs' commands beyond plain field copies: a marker's animation reset
// to six channels, adding and removing keys, the rules for typed key times and values, marker
// auto-orientation, dock points added and removed, and placing markers and dock points with the
// object viewer.
//
// Selections are 0-based; nullopt (or an index past its list) means nothing is selected, and
// then a command does nothing, except the placing checks, which say so.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "commands/command_result.h"
#include "commands/joints.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"

namespace gantry {

// A key as the Markers tab selects it: the marker in its list, the track in the channel chooser
// and the key under the slider.
struct KeySelection {
  std::optional<std::size_t> marker;
  std::optional<std::size_t> track;
  std::size_t key = 0;
};

// ---- Marker animation -----------------------------------------------------------------------

// Six tracks <name>_translateX .. <name>_rotateZ of two zero keys; start time 0, end time 1.
CommandResult ResetMarkerAnimation(HodModel& model, std::optional<std::size_t> marker);
// No tracks, start and end time 0.
void DeleteAnimation(Marker& marker);

// A zero key at the end of the chosen track; selects it.
CommandResult AddKey(HodModel& model, const KeySelection& at);
// Removes the key under the slider. A track keeps at least two keys: below three it asks
// whether to delete the marker's whole animation instead.
CommandResult RemoveKey(Workspace& workspace, const KeySelection& at, Ui& ui);
// The key slider's keys: "A"/"a" adds, "R"/"r" removes; any other key does nothing.
CommandResult KeySliderKeyPress(Workspace& workspace, const KeySelection& at, char pressed, Ui& ui);

// Typed key fields; each returns false when there is no such key or track. Numbers arrive
// already checked by the editor's field check.
// Time: the whole part's absolute value; the animation's start and end times then widen to
// every key time of the marker.
bool SetKeyTime(HodModel& model, const KeySelection& at, double typed);
// Value: degrees on tracks whose name contains "rotate", as typed on any other.
bool SetKeyValue(HodModel& model, const KeySelection& at, double typed);
// One of the four further values (index 0 to 3).
bool SetKeyExtra(HodModel& model, const KeySelection& at, std::size_t index, double typed);
// The chosen track's interpolation before the first and after the last key, rounded.
bool SetTrackPreI(HodModel& model, const KeySelection& at, double typed);
bool SetTrackPostI(HodModel& model, const KeySelection& at, double typed);

// Start time lowered and end time raised to every key time; never narrowed.
void WidenAnimationTimes(Marker& marker);
// What the value field shows for a key: degrees on "rotate" tracks.
double KeyValueShown(const KeyframeTrack& track, const Keyframe& key);

// Points the marker's z axis at it from the origin of its frame (rotation about z stays 0).
// Returns the rotation fields' degrees, rounded to 3 decimals; nullopt when nothing is selected.
std::optional<std::array<double, 3>> AutoOrientMarker(HodModel& model,
                                                      std::optional<std::size_t> marker);

// ---- Dock points ----------------------------------------------------------------------------

// A point of all-zero fields at the end of the path; selects it.
CommandResult AddDockPoint(HodModel& model, std::optional<std::size_t> path);
// Removes point `point`; a path keeps at least two points.
CommandResult RemoveDockPoint(Workspace& workspace, std::optional<std::size_t> path,
                              std::size_t point, Ui& ui);
// The point's fields as shown: position, then rotation in degrees.
std::array<double, 6> DockPointFields(const DockPoint& point);

// ---- Placing with the object viewer ---------------------------------------------------------

// The placing buttons' check: with nothing selected says so and returns true (refused).
bool RefusePlacingWithoutSelection(std::optional<std::size_t> selected, std::size_t count, Ui& ui);

// The pose the viewer opens with (position in the model's frame), and storing what it returned
// (brought back into the parent joint's frame).
ViewerPose MarkerViewerPose(const HodModel& model, std::size_t marker);
CommandResult PlaceMarker(HodModel& model, std::size_t marker, const ViewerPose& picked);
ViewerPose DockPointViewerPose(const HodModel& model, std::size_t path, std::size_t point);
CommandResult PlaceDockPoint(HodModel& model, std::size_t path, std::size_t point,
                             const ViewerPose& picked);

}  // namespace gantry
