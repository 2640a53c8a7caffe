#include "script/script_export.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "common/local_time.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "common/version.h"
#include "geometry/rotations.h"
#include "script/export_messages.h"
#include "script/script_commands.h"
#include "script/script_import.h"

namespace gantry {
namespace {

namespace msg = script_export_messages;
constexpr const char* kCrLf = msg::kLineBreak;

template <typename... Pieces>
void Append(std::string& out, const Pieces&... pieces) {
  (out.append(pieces), ...);
}

std::string Quoted(std::string_view text) {
  std::string out(msg::kQuote);
  Append(out, text, msg::kQuote);
  return out;
}

std::string Arguments(std::initializer_list<std::string> values) {
  std::string out;
  for (const std::string& value : values) {
    if (&value != values.begin()) out += msg::kArgumentSeparator;
    out += value;
  }
  return out;
}

// Positions in the model become the 1-based numbers the importer creates elements at.
std::string Number(std::size_t index) { return NumberText(index + 1); }

// A non-finite angle cannot be normalised; it keeps the text of any other non-finite number.
std::string Degrees(double radians) {
  return NumberText(std::isfinite(radians) ? RadiansToDegrees(radians) : radians);
}

std::string Xyz(const Vector3& v) {
  return Arguments({NumberText(v.x), NumberText(v.y), NumberText(v.z)});
}
std::string XyzDegrees(const Vector3& v) {
  return Arguments({Degrees(v.x), Degrees(v.y), Degrees(v.z)});
}
std::string Rgb(const ColourRGB& c) {
  return Arguments({NumberText(c.r), NumberText(c.g), NumberText(c.b)});
}
std::string Rgba(const ColourRGBA& c) {
  return Arguments({NumberText(c.r), NumberText(c.g), NumberText(c.b), NumberText(c.a)});
}

// Every section starts after an empty line with a comment that counts its elements.
void AppendSectionComment(std::string& text, std::size_t count, const char* what) {
  Append(text, kCrLf, msg::kCommentLead, NumberText(count), what, kCrLf);
}

// Counts are written from the lists, so the script always creates what it fills.
void AppendMaterials(std::string& text, const std::vector<Material>& materials) {
  AppendSectionComment(text, materials.size(), msg::kMaterialsLocated);
  for (std::size_t m = 0; m < materials.size(); ++m) {
    const Material& material = materials[m];
    const auto& parameters = material.Parameters;
    Append(text, msg::kMaterialAdd,
           Arguments(
               {Quoted(material.Name), Quoted(material.ShaderName), NumberText(parameters.size())}),
           msg::kMaterialClose);
    if (!parameters.empty()) text += msg::kOpenBrace;
    text += kCrLf;
    for (std::size_t p = 0; p < parameters.size(); ++p) {
      const MaterialParameter& parameter = parameters[p];
      // The importer counts textures from 1, with 0 for none.
      const std::int64_t texture = std::int64_t{parameter.TextureIndex} + 1;
      Append(text, msg::kTab, msg::kMaterialParameter,
             Arguments({Number(m), Number(p), NumberText(parameter.Type), Rgba(parameter.Colour),
                        NumberText(texture), Quoted(parameter.LayerName)}),
             msg::kClose);
      if (p + 1 == parameters.size()) Append(text, msg::kCloseBrace, kCrLf);
      text += kCrLf;
    }
  }
}

void AppendJoints(std::string& text, const std::vector<Joint>& joints) {
  AppendSectionComment(text, joints.size(), msg::kJointsLocated);
  for (const Joint& joint : joints) {
    Append(text, msg::kJointAdd,
           Arguments({Quoted(joint.Name), Quoted(joint.ParentName), Xyz(joint.Position),
                      XyzDegrees(joint.Rotation), Xyz(joint.Scale), XyzDegrees(joint.Axis),
                      NumberText(joint.Freedom[0]), NumberText(joint.Freedom[1]),
                      NumberText(joint.Freedom[2])}),
           msg::kClose, kCrLf);
  }
}

void AppendNavLights(std::string& text, const std::vector<NavLight>& lights) {
  AppendSectionComment(text, lights.size(), msg::kNavLightsLocated);
  for (const NavLight& light : lights) {
    Append(text, msg::kNavLightAdd,
           Arguments({Quoted(light.Name), NumberText(light.Section), NumberText(light.Size),
                      NumberText(light.Phase), NumberText(light.Frequency), Quoted(light.Style),
                      Rgba(light.Colour), NumberText(light.Distance),
                      NumberText(light.VisibleSprite), NumberText(light.CastLightOnHES)}),
           msg::kClose, kCrLf);
  }
}

void AppendMarkers(std::string& text, const std::vector<Marker>& markers) {
  AppendSectionComment(text, markers.size(), msg::kMarkersLocated);
  for (std::size_t k = 0; k < markers.size(); ++k) {
    const Marker& marker = markers[k];
    const auto& tracks = marker.Tracks;
    const auto& p = marker.Position;
    const auto& r = marker.Rotation;
    Append(
        text, msg::kMarkerAdd,
        Arguments({Quoted(marker.Name), Quoted(marker.ParentName), NumberText(marker.Flags1),
                   NumberText(marker.Flags2), NumberText(p[0]), NumberText(p[1]), NumberText(p[2]),
                   Degrees(r[0]), Degrees(r[1]), Degrees(r[2]), NumberText(tracks.size())}),
        msg::kClose);
    if (!tracks.empty()) text += msg::kOpenBrace;
    text += kCrLf;
    for (std::size_t a = 0; a < tracks.size(); ++a) {
      const KeyframeTrack& track = tracks[a];
      const auto& keys = track.Keys;
      Append(text, msg::kTab, msg::kTrackSet,
             Arguments({Number(k), Number(a), Quoted(track.Name), NumberText(keys.size()),
                        NumberText(track.PreI), NumberText(track.PostI)}),
             msg::kClose);
      if (!keys.empty()) text += msg::kOpenBrace;
      text += kCrLf;
      for (std::size_t f = 0; f < keys.size(); ++f) {
        const Keyframe& key = keys[f];
        const auto& e = key.Extra;
        Append(
            text, msg::kTab, msg::kTab, msg::kKeyframeSet,
            Arguments({Number(k), Number(a), Number(f), NumberText(key.Time), NumberText(key.Value),
                       NumberText(e[0]), NumberText(e[1]), NumberText(e[2]), NumberText(e[3])}),
            msg::kClose);
        if (f + 1 == keys.size()) {
          text += msg::kCloseBrace;
          if (a + 1 == tracks.size()) text += msg::kCloseBrace;
        }
        text += kCrLf;
      }
    }
  }
}

void AppendDockPaths(std::string& text, const std::vector<DockPath>& paths) {
  AppendSectionComment(text, paths.size(), msg::kDockPathsLocated);
  for (std::size_t d = 0; d < paths.size(); ++d) {
    const DockPath& path = paths[d];
    const auto& points = path.Points;
    Append(
        text, msg::kDockPathAdd,
        Arguments({Quoted(path.Name), Quoted(path.ParentName), NumberText(path.PathValue1),
                   NumberText(path.PathValue2), Quoted(path.Families), NumberText(path.PathValue4),
                   Quoted(path.LinkedPaths), NumberText(points.size())}),
        msg::kClose);
    if (!points.empty()) text += msg::kOpenBrace;
    text += kCrLf;
    for (std::size_t f = 0; f < points.size(); ++f) {
      const DockPoint& point = points[f];
      Append(text, msg::kTab, msg::kDockPointSet,
             Arguments({Number(d), Number(f), Xyz(point.Position), XyzDegrees(point.Rotation),
                        NumberText(point.LocalFlag1), NumberText(point.PointTolerance),
                        NumberText(point.LocalFlag2), NumberText(point.MaxSpeed),
                        NumberText(point.LocalFlag3), NumberText(point.PointValue6),
                        NumberText(point.PointValue7), NumberText(point.PointValue8),
                        NumberText(point.PointValue9), NumberText(point.PointValue10)}),
             msg::kClose);
      if (f + 1 == points.size()) Append(text, msg::kDockCloseBrace, kCrLf);
      text += kCrLf;
    }
  }
}

void AppendBoundaryVertices(std::string& text, const std::vector<Vector3>& vertices) {
  AppendSectionComment(text, vertices.size(), msg::kBoundaryVerticesLocated);
  Append(text, msg::kBoundaryCount, NumberText(vertices.size()), msg::kClose);
  if (!vertices.empty()) text += msg::kOpenBrace;
  text += kCrLf;
  for (std::size_t v = 0; v < vertices.size(); ++v) {
    Append(text, msg::kTab, msg::kBoundaryVertex, Arguments({Number(v), Xyz(vertices[v])}),
           msg::kClose);
    if (v + 1 == vertices.size()) text += msg::kCloseBrace;
    text += kCrLf;
  }
}

void AppendLights(std::string& text, const std::vector<Light>& lights) {
  AppendSectionComment(text, lights.size(), msg::kLightsLocated);
  for (const Light& light : lights) {
    Append(text, msg::kLightAdd,
           Arguments({Quoted(light.Name), NumberText(light.Type), Xyz(light.Position),
                      Rgb(light.Colour), Rgb(light.Specular), NumberText(light.Attenuation),
                      NumberText(light.AttenuationDistance)}),
           msg::kLightClose, kCrLf);
  }
}

void AppendHeader(std::string& text, std::string_view source, const std::tm& when) {
  std::string separator(msg::kSeparatorLead);
  separator.append(msg::kSeparatorDashes, '-');
  separator += msg::kSeparatorEnd;
  Append(text, separator, kCrLf);
  Append(text, msg::kCreatedFrom, source, msg::kCreatedFromClose, kCrLf);
  Append(text, msg::kVersionLead,
         fmt::format("{}.{}.{}", kProgramVersion.major_number, kProgramVersion.minor_number,
                     kProgramVersion.revision),
         kCrLf);
  Append(text, msg::kDate,
         fmt::format("{:02}-{:02}-{:04}", when.tm_mon + 1, when.tm_mday, when.tm_year + 1900),
         msg::kTime, fmt::format("{:02}:{:02}:{:02}", when.tm_hour, when.tm_min, when.tm_sec),
         kCrLf);
  Append(text, separator, kCrLf);
}

}  // namespace

std::tm LocalScriptTime() { return LocalTimeNow(); }

std::string HodScriptText(const HodModel& model, std::string_view source, const std::tm& when) {
  std::string text;
  AppendHeader(text, source, when);
  AppendMaterials(text, model.Materials);
  AppendJoints(text, model.JointList.Joints);
  AppendNavLights(text, model.NavLightList.NavLights);
  AppendMarkers(text, model.Markers);
  AppendDockPaths(text, model.DockPathList.Paths);
  AppendBoundaryVertices(text, model.BoundaryVertices.Vertices);
  AppendLights(text, model.LightList.Lights);
  Append(text, kCrLf, msg::kEndOfFile, kCrLf);
  return text;
}

std::string HodScriptPath(const Workspace& workspace) {
  // The title drops everything from the last "." on, a leading one included.
  std::string title = FileNameOf(workspace.current_file);
  if (const auto dot = title.rfind('.'); dot != std::string::npos) title.erase(dot);
  return NativePath(
      JoinPath(workspace.working_folder, SafeFileName(title + msg::kScriptExtension)));
}

std::optional<FileWriteFailure> WriteScriptFile(const std::string& path, std::string_view text) {
  return WriteFileSafely(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool ExportHodScript(Workspace& workspace, Ui& ui, const ScriptClock& clock) {
  if (workspace.current_file.empty()) {
    const auto answer = ui.Input(msg::kFileNamePrompt, msg::kDefaultFileName);
    if (!answer || answer->empty()) return true;
    // Only the name is taken: the script still goes to the working folder.
    workspace.current_file = *answer;
  }
  const std::string path = HodScriptPath(workspace);
  const std::string text = HodScriptText(workspace.model, workspace.current_file, clock());
  const auto failure = WriteScriptFile(path, text);
  if (!failure) {
    const std::size_t lost = LinesScriptsCannotCarry(text).size();
    if (lost > 0) {
      ui.Message(std::to_string(lost) + msg::kNamesLostTail, Icon::Exclamation);
    }
    return true;
  }
  workspace.log.Log(std::string(msg::kCouldntWrite) + path + kCrLf + failure->description);
  return false;
}

std::vector<std::size_t> LinesScriptsCannotCarry(std::string_view text) {
  std::vector<std::size_t> lines;
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) stop = text.size();
    const std::string_view line = text.substr(start, stop - start);
    ++number;
    const bool crlf = text.substr(stop).starts_with("\r\n");
    start = stop + (crlf ? 2 : 1);
    if (!line.empty() && !IsQuietScriptLine(line) && !MatchScriptLine(line)) {
      lines.push_back(number);
    }
  }
  return lines;
}

bool ExportHodScriptCommand(Workspace& workspace, Ui& ui, const ScriptClock& clock) {
  if (ExportHodScript(workspace, ui, clock)) return true;
  ui.Message(msg::kExportFailed, Icon::Critical);
  return false;
}

}  // namespace gantry
