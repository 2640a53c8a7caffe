#include "commands/boundary_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/number_parse.h"
#include "common/paths.h"
#include "interchange/export_messages.h"

namespace gantry {
namespace {

namespace msg = export_messages;
constexpr const char* kCrLf = msg::kLineBreak;

// Field `index` of a line whose fields are separated by single blanks; empty when missing.
std::string_view Field(std::string_view line, std::size_t index) {
  for (std::size_t i = 0; i < index; ++i) {
    const auto blank = line.find(' ');
    if (blank == std::string_view::npos) return {};
    line.remove_prefix(blank + 1);
  }
  return line.substr(0, line.find(' '));
}

}  // namespace

std::string BoundaryFilePath(std::string_view hod_path) {
  return NativePath(
      JoinPath(FolderOf(hod_path), BaseName(hod_path) + msg::kBoundarySuffix + msg::kObjExtension));
}

std::string BoundaryVerticesObjText(const BoundaryVertexRecord& boundary, std::string_view hod_path,
                                    const HeaderStamp& stamp) {
  std::string text = ObjCommentHeader(hod_path, stamp);
  AppendText(text, msg::kBoundaryInfo, kCrLf);
  for (const Vector3& v : boundary.Vertices) {
    AppendText(text, msg::kVertex, XyzText(v.x, v.y, v.z), kCrLf);
  }
  return text;
}

bool ExportBoundaryVertices(const Workspace& workspace, Ui& ui, const StampClock& clock) {
  return WriteExportText(
      BoundaryFilePath(workspace.current_file),
      BoundaryVerticesObjText(workspace.model.BoundaryVertices, workspace.current_file, clock()),
      ui);
}

std::string NormaliseObjLine(std::string_view line) {
  std::string out;
  for (char c : line) {
    if (c == '\t') c = ' ';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::vector<Vector3> ReadObjVertexLines(std::string_view text) {
  std::vector<Vector3> points;
  while (!text.empty()) {
    const auto end = text.find_first_of("\r\n");
    const std::string line = NormaliseObjLine(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.starts_with(msg::kVertex)) continue;
    const auto number = [&](std::size_t field) {
      return static_cast<float>(LeadingNumber(Field(line, field)));
    };
    points.push_back({number(1), number(2), number(3)});
  }
  return points;
}

CommandResult ImportBoundaryVertices(HodModel& model, Ui& ui) {
  const std::optional<std::string> chosen = ui.OpenFile(msg::kObjFilter, "");
  if (!chosen || chosen->empty()) return CommandResult::Unchanged();
  const std::filesystem::path path = FileSystemPath(*chosen);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error || size == 0) return CommandResult::Unchanged();

  std::ifstream file(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<Vector3> points = ReadObjVertexLines(text);
  if (points.empty()) {
    // Replacing the list with nothing would silently lose the boundary; keep it and say why.
    ui.Message(msg::kNoBoundaryVerticesLead + *chosen + msg::kNoBoundaryVerticesTail,
               Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  model.BoundaryVertices.VertexCount = static_cast<std::int32_t>(points.size());
  model.BoundaryVertices.Vertices = std::move(points);
  return CommandResult::Changed();
}

}  // namespace gantry
