#include "commands/keyframes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "commands/joint_messages.h"
#include "geometry/rotations.h"

namespace gantry {

namespace {

namespace text = joint_messages;

template <typename T>
T* At(std::vector<T>& list, std::optional<std::size_t> index) {
  return index && *index < list.size() ? &list[*index] : nullptr;
}

Marker* FindMarker(HodModel& model, std::optional<std::size_t> marker) {
  return At(model.Markers, marker);
}

KeyframeTrack* FindTrack(HodModel& model, const KeySelection& at) {
  Marker* marker = FindMarker(model, at.marker);
  return marker ? At(marker->Tracks, at.track) : nullptr;
}

Keyframe* FindKey(HodModel& model, const KeySelection& at) {
  KeyframeTrack* track = FindTrack(model, at);
  return track ? At(track->Keys, at.key) : nullptr;
}

std::int32_t CountOf(std::size_t size) { return static_cast<std::int32_t>(size); }

bool IsRotateTrack(const KeyframeTrack& track) {
  return track.Name.find(text::kRotateMark) != std::string::npos;
}

// Whole number nearest to `value` (halves to even), held inside a Long.
std::int32_t RoundToLong(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(value), kLow, kHigh));
}

Vector3 Singles(const std::array<double, 3>& v) {
  return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

std::array<double, 3> Doubles(const Vector3& v) { return {v.x, v.y, v.z}; }

double RoundedToThousandths(double value) { return std::round(value * 1000) / 1000; }

}  // namespace

// ---- Marker animation -----------------------------------------------------------------------

CommandResult ResetMarkerAnimation(HodModel& model, std::optional<std::size_t> marker) {
  Marker* m = FindMarker(model, marker);
  if (m == nullptr) return CommandResult::Unchanged();
  m->Tracks.clear();
  for (const char* suffix : text::kTrackSuffixes) {
    KeyframeTrack& track = m->Tracks.emplace_back();
    track.Kind = text::kTrackKind;
    track.ID = text::kTrackId;
    track.Version = 1;
    track.Name = m->Name + suffix;
    track.NameLength = CountOf(track.Name.size());
    track.Keys.resize(2);
    track.KeyCount = 2;
  }
  m->Flags1 = 0;
  m->Flags2 = 1.0f;
  return CommandResult::Changed(marker);
}

void DeleteAnimation(Marker& marker) {
  marker.Tracks.clear();
  marker.Flags1 = 0;
  marker.Flags2 = 0;
}

CommandResult AddKey(HodModel& model, const KeySelection& at) {
  KeyframeTrack* track = FindTrack(model, at);
  if (track == nullptr) return CommandResult::Unchanged();
  track->Keys.emplace_back();
  track->KeyCount = CountOf(track->Keys.size());
  return CommandResult::Changed(track->Keys.size() - 1);
}

CommandResult RemoveKey(Workspace& workspace, const KeySelection& at, Ui& ui) {
  KeyframeTrack* track = FindTrack(workspace.model, at);
  if (track == nullptr) return CommandResult::Unchanged();
  if (track->Keys.size() < 3) {
    if (ui.Message(text::kDeleteAnimationQuestion, Icon::Question, Buttons::YesNo) != Answer::Yes) {
      return CommandResult::Unchanged();
    }
    DeleteAnimation(workspace.model.Markers[*at.marker]);
    return CommandResult::Changed();
  }
  if (at.key >= track->Keys.size()) return CommandResult::Unchanged();
  workspace.log.Log(text::kRemovingLastForm);
  track->Keys.erase(track->Keys.begin() + static_cast<std::ptrdiff_t>(at.key));
  track->KeyCount = CountOf(track->Keys.size());
  return CommandResult::Changed(std::min(at.key, track->Keys.size() - 1));
}

CommandResult KeySliderKeyPress(Workspace& workspace, const KeySelection& at, char pressed,
                                Ui& ui) {
  switch (pressed) {
    case 'A':
    case 'a':
      return AddKey(workspace.model, at);
    case 'R':
    case 'r':
      return RemoveKey(workspace, at, ui);
    default:
      return CommandResult::Unchanged();
  }
}

bool SetKeyTime(HodModel& model, const KeySelection& at, double typed) {
  Keyframe* key = FindKey(model, at);
  if (key == nullptr) return false;
  key->Time = std::abs(std::trunc(typed));
  WidenAnimationTimes(model.Markers[*at.marker]);
  return true;
}

bool SetKeyValue(HodModel& model, const KeySelection& at, double typed) {
  Keyframe* key = FindKey(model, at);
  if (key == nullptr) return false;
  key->Value = IsRotateTrack(*FindTrack(model, at)) ? DegreesToRadians(typed) : typed;
  return true;
}

bool SetKeyExtra(HodModel& model, const KeySelection& at, std::size_t index, double typed) {
  Keyframe* key = FindKey(model, at);
  if (key == nullptr || index >= key->Extra.size()) return false;
  key->Extra[index] = static_cast<float>(typed);
  return true;
}

bool SetTrackPreI(HodModel& model, const KeySelection& at, double typed) {
  KeyframeTrack* track = FindTrack(model, at);
  if (track == nullptr) return false;
  track->PreI = RoundToLong(typed);
  return true;
}

bool SetTrackPostI(HodModel& model, const KeySelection& at, double typed) {
  KeyframeTrack* track = FindTrack(model, at);
  if (track == nullptr) return false;
  track->PostI = RoundToLong(typed);
  return true;
}

void WidenAnimationTimes(Marker& marker) {
  for (const KeyframeTrack& track : marker.Tracks) {
    for (const Keyframe& key : track.Keys) {
      if (key.Time < marker.Flags1) marker.Flags1 = static_cast<float>(key.Time);
      if (key.Time > marker.Flags2) marker.Flags2 = static_cast<float>(key.Time);
    }
  }
}

double KeyValueShown(const KeyframeTrack& track, const Keyframe& key) {
  return IsRotateTrack(track) ? RadiansToDegrees(key.Value) : key.Value;
}

std::optional<std::array<double, 3>> AutoOrientMarker(HodModel& model,
                                                      std::optional<std::size_t> marker) {
  Marker* m = FindMarker(model, marker);
  if (m == nullptr) return std::nullopt;
  const auto [x, y, z] = m->Position;
  m->Rotation = {0, 0, 0};
  if (z != 0) {
    m->Rotation[0] = -std::atan(y / z);
    m->Rotation[1] = std::atan(x / z);
  }
  std::array<double, 3> shown{};
  for (std::size_t i = 0; i < 3; ++i) {
    shown[i] = RoundedToThousandths(RadiansToDegrees(m->Rotation[i]));
  }
  return shown;
}

// ---- Dock points ----------------------------------------------------------------------------

CommandResult AddDockPoint(HodModel& model, std::optional<std::size_t> path) {
  DockPath* p = At(model.DockPathList.Paths, path);
  if (p == nullptr) return CommandResult::Unchanged();
  // A default point carries a tolerance and a speed; a new one starts with every field zero.
  DockPoint& point = p->Points.emplace_back();
  point.PointTolerance = 0;
  point.MaxSpeed = 0;
  p->PointCount = CountOf(p->Points.size());
  return CommandResult::Changed(p->Points.size() - 1);
}

CommandResult RemoveDockPoint(Workspace& workspace, std::optional<std::size_t> path,
                              std::size_t point, Ui& ui) {
  DockPath* p = At(workspace.model.DockPathList.Paths, path);
  if (p == nullptr) return CommandResult::Unchanged();
  if (p->Points.size() <= 2) {
    ui.Message(text::kCantDeleteLastTwoPoints, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  if (point >= p->Points.size()) return CommandResult::Unchanged();
  workspace.log.Log(text::kRemovingLastForm);
  p->Points.erase(p->Points.begin() + static_cast<std::ptrdiff_t>(point));
  p->PointCount = CountOf(p->Points.size());
  return CommandResult::Changed(std::min(point, p->Points.size() - 1));
}

std::array<double, 6> DockPointFields(const DockPoint& point) {
  return {point.Position.x,
          point.Position.y,
          point.Position.z,
          RadiansToDegrees(point.Rotation.x),
          RadiansToDegrees(point.Rotation.y),
          RadiansToDegrees(point.Rotation.z)};
}

// ---- Placing with the object viewer ---------------------------------------------------------

bool RefusePlacingWithoutSelection(std::optional<std::size_t> selected, std::size_t count, Ui& ui) {
  if (selected && *selected < count) return false;
  ui.Message(text::kSelectObjectFirst, Icon::Exclamation);
  return true;
}

ViewerPose MarkerViewerPose(const HodModel& model, std::size_t marker) {
  if (marker >= model.Markers.size()) return {};
  const Marker& m = model.Markers[marker];
  return {JointToWorld(model.JointList, Singles(m.Position), m.ParentName), Singles(m.Rotation)};
}

CommandResult PlaceMarker(HodModel& model, std::size_t marker, const ViewerPose& picked) {
  if (marker >= model.Markers.size()) return CommandResult::Unchanged();
  Marker& m = model.Markers[marker];
  m.Position = Doubles(WorldToJoint(model.JointList, picked.position, m.ParentName));
  m.Rotation = Doubles(picked.rotation);
  return CommandResult::Changed(marker);
}

// The point goes out through its parent's whole chain, the way it comes back, so accepting the
// viewer without moving leaves the point where it was.
ViewerPose DockPointViewerPose(const HodModel& model, std::size_t path, std::size_t point) {
  const std::vector<DockPath>& paths = model.DockPathList.Paths;
  if (path >= paths.size() || point >= paths[path].Points.size()) return {};
  const DockPoint& p = paths[path].Points[point];
  return {JointToWorld(model.JointList, p.Position, paths[path].ParentName), p.Rotation};
}

CommandResult PlaceDockPoint(HodModel& model, std::size_t path, std::size_t point,
                             const ViewerPose& picked) {
  std::vector<DockPath>& paths = model.DockPathList.Paths;
  if (path >= paths.size() || point >= paths[path].Points.size()) {
    return CommandResult::Unchanged();
  }
  DockPoint& p = paths[path].Points[point];
  p.Position = WorldToJoint(model.JointList, picked.position, paths[path].ParentName);
  p.Rotation = picked.rotation;
  return CommandResult::Changed(point);
}

}  // namespace gantry
