#include "common/paths.h"

#include <string>
#include <string_view>

namespace gantry {
namespace {

#ifdef _WIN32
constexpr char kNativeSeparator = '\\';
#else
constexpr char kNativeSeparator = '/';
#endif

std::string_view FileNameView(std::string_view path) {
  const auto last = path.find_last_of("\\/");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::string FileNameOf(std::string_view path) { return std::string(FileNameView(path)); }

std::string FolderOf(std::string_view path) {
  const auto last = path.find_last_of("\\/");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

std::string BaseName(std::string_view path) {
  const std::string_view name = FileNameView(path);
  const auto dot = name.rfind('.');
  // A leading "." names a hidden file rather than starting an extension.
  if (dot == std::string_view::npos || dot == 0) return std::string(name);
  return std::string(name.substr(0, dot));
}

std::string ExtensionOf(std::string_view path) {
  const std::string_view name = FileNameView(path);
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::string();
  return std::string(name.substr(dot + 1));
}

std::string NativePath(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (IsPathSeparator(c)) c = kNativeSeparator;
  }
  return out;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (!IsPathSeparator(out.back())) out.push_back(kNativeSeparator);
  out += name;
  return out;
}

}  // namespace gantry
