#include "common/paths.h"

#include <string>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace gantry {
namespace {

#ifdef _WIN32
constexpr char kNativeSeparator = '\\';
#else
constexpr char kNativeSeparator = '/';
#endif

std::string_view FileNameView(std::string_view path) {
  const auto last = LastSeparator(path);
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

// Whether a byte starts a double-byte character of the system's narrow encoding.
#ifdef _WIN32
bool IsLeadByte(unsigned char c) { return IsDBCSLeadByteEx(CP_ACP, c) != 0; }
#else
// UTF-8 never uses an ASCII byte inside a character.
bool IsLeadByte(unsigned char) { return false; }
#endif

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 and the console's CONIN$ and CONOUT$ name devices on
// Windows whatever extension follows and whatever their case.
bool IsDeviceName(std::string_view name) {
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiUpper(c);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
      stem == "CONOUT$") {
    return true;
  }
  return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
         stem[3] >= '0' && stem[3] <= '9';
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

std::size_t LastSeparator(std::string_view path, bool (*is_lead_byte)(unsigned char)) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsPathSeparator(path[i])) {
      last = i;
    } else if (is_lead_byte != nullptr && is_lead_byte(static_cast<unsigned char>(path[i]))) {
      ++i;  // the trail byte belongs to this character
    }
  }
  return last;
}

std::size_t LastSeparator(std::string_view path) { return LastSeparator(path, IsLeadByte); }

std::string SafeFileName(std::string_view name) {
  std::string out(name);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto byte = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(byte)) {
      ++i;  // a double-byte character stays whole
    } else if (byte < 0x20 || byte == 0x7F || IsPathSeparator(out[i]) ||
               std::string_view(":*?\"<>|").find(out[i]) != std::string_view::npos) {
      out[i] = '_';
    }
  }
  // "." and ".." name folders, and Windows drops trailing dots and blanks, so "a." would be "a".
  if (out.empty() || out.back() == '.' || out.back() == ' ') out.push_back('_');
  if (IsDeviceName(out)) out.insert(out.begin(), '_');
  return out;
}

std::string FileNameOf(std::string_view path) { return std::string(FileNameView(path)); }

std::string FolderOf(std::string_view path) {
  const auto last = LastSeparator(path);
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

std::filesystem::path FileSystemPath(std::string_view path) {
  const std::string native = NativePath(path);
#ifdef _WIN32
  if (native.empty()) return {};
  const int size = static_cast<int>(native.size());
  const int wide_size = MultiByteToWideChar(CP_ACP, 0, native.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, native.data(), size, wide.data(), wide_size);
  return std::filesystem::path(std::move(wide));
#else
  return std::filesystem::path(native);
#endif
}

std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int narrow_size =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(narrow_size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, narrow.data(), narrow_size, nullptr, nullptr);
  return narrow;
#else
  return path.native();
#endif
}

}  // namespace gantry
