// Path helpers. Paths from HOD data, scripts and users may use "\" or "/" on any platform;
// every helper here accepts both, and NativePath turns a path into one the disk understands.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace gantry {

bool IsPathSeparator(char c);
// Where the last separator of either kind is; npos when there is none. On Windows a path is
// bytes in the ANSI code page, where the second byte of a double-byte character (code pages
// 932, 936, 949, 950) may be 0x5C and is no separator: the search steps character by character.
std::size_t LastSeparator(std::string_view path);
// The same with the lead bytes of double-byte characters given, whatever the platform.
std::size_t LastSeparator(std::string_view path, bool (*is_lead_byte)(unsigned char));
// Text after the last separator ("C:\a\ship.hod" -> "ship.hod").
std::string FileNameOf(std::string_view path);
// Text before the last separator; empty when there is none.
std::string FolderOf(std::string_view path);
// File name cut before its last "." unless that "." is its first character.
std::string BaseName(std::string_view path);
// Text after the last "." of the file name; empty when it has none.
std::string ExtensionOf(std::string_view path);
// A file name made from a name in a model (a mesh, texture or engine part) that stays a single
// name in the folder it is joined to on every platform: separators, ":*?"<>|" and control
// characters become "_", a name of dots or with a trailing dot or blank (which Windows drops)
// ends in "_", and a device name (CON, NUL, COM1, ... with any extension) starts with "_".
std::string SafeFileName(std::string_view name);
// Both separators turned into the platform's own.
std::string NativePath(std::string_view path);
// folder + separator + name; just name when folder is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

// Path texts are bytes in the system's narrow encoding, as std::fopen takes them: on Windows the
// ANSI code page. std::filesystem reads and writes narrow texts its own way there (MinGW's as
// Latin-1 in, UTF-8 out), so every path goes through these two on its way to and from it.
// The file system's form of a path text, with native separators.
std::filesystem::path FileSystemPath(std::string_view path);
// The path text of a file system path.
std::string PathText(const std::filesystem::path& path);

}  // namespace gantry
