#include "interchange/text_rewrite.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/paths.h"
#include "common/safe_file.h"
#include "interchange/obj_messages.h"

namespace gantry {

namespace {

namespace text = obj_messages;

// Large files are read in pieces so no single read asks the system for gigabytes at once.
constexpr std::size_t kReadPiece = std::size_t{1} << 27;

std::string CannotRead(const std::string& path, const std::string& why) {
  return std::string(text::kCannotReadLead) + NativePath(path) + text::kCannotReadTail + why;
}

}  // namespace

std::string NormaliseLineBreaks(std::string_view source) {
  std::string out;
  out.reserve(source.size() + source.size() / 16);
  ForEachTextLine(source, [&out](std::string_view line) {
    out.append(line);
    out.append("\r\n");
  });
  return out;
}

bool HasNormalLineBreaks(std::string_view text) {
  if (text.empty()) return true;
  if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n" || text[0] == '\r' ||
      text[0] == '\n') {
    return false;
  }
  // Breaks come only as CR LF (an LF exactly where a CR is before it) and never right after
  // another (a CR after an LF). No early exit inside a block: the loop then vectorises.
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  constexpr std::size_t kBlock = std::size_t{1} << 16;
  for (std::size_t from = 1; from < text.size(); from += kBlock) {
    const std::size_t to = std::min(text.size(), from + kBlock);
    // Byte-wide throughout, sixteen bytes or more to a step.
    std::uint8_t bad = 0;
    for (std::size_t i = from; i < to; ++i) {
      const std::uint8_t c = bytes[i], before = bytes[i - 1];
      const std::uint8_t lf = c == '\n', cr = c == '\r';
      const std::uint8_t after_cr = before == '\r', after_lf = before == '\n';
      bad |= static_cast<std::uint8_t>((lf ^ after_cr) | (cr & after_lf));
    }
    if (bad != 0) return false;
  }
  return true;
}

std::string BackupPathFor(const std::string& path) {
  const std::string extension = ExtensionOf(path);
  std::string name = BaseName(path) + text::kBackupInfix;
  if (!extension.empty()) name += "." + extension;
  return JoinPath(FolderOf(path), name);
}

std::optional<std::string> ReadTextFile(const std::string& path, std::string* error) {
  const std::string native = NativePath(path);
  const std::filesystem::path fs_path = FileSystemPath(path);
  std::error_code code;
  if (std::filesystem::is_directory(fs_path, code)) {
    if (error != nullptr) *error = std::strerror(EISDIR);
    return std::nullopt;
  }
  errno = 0;
  std::FILE* file = std::fopen(native.c_str(), "rb");
  if (file == nullptr) {
    if (error != nullptr) *error = std::strerror(errno != 0 ? errno : ENOENT);
    return std::nullopt;
  }
  // Read in pieces up to the size the file had when opened, then whatever it has grown by.
  std::string contents;
  const auto size = std::filesystem::file_size(fs_path, code);
  contents.resize(code ? 0 : static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < contents.size()) {
    const std::size_t piece = std::min(kReadPiece, contents.size() - done);
    const std::size_t got = std::fread(contents.data() + done, 1, piece, file);
    done += got;
    if (got < piece) break;
  }
  contents.resize(done);
  std::array<char, 1 << 16> more;
  for (std::size_t got; (got = std::fread(more.data(), 1, more.size(), file)) > 0;) {
    contents.append(more.data(), got);
  }
  const bool failed = std::ferror(file) != 0;
  const int read_errno = errno;
  std::fclose(file);
  if (failed) {
    if (error != nullptr) *error = std::strerror(read_errno != 0 ? read_errno : EIO);
    return std::nullopt;
  }
  return contents;
}

TextRewrite RewriteTextFile(const std::string& path, Ui& ui) {
  TextRewrite result;
  std::optional<std::string> original = ReadTextFile(path, &result.error);
  if (!original) {
    ui.Message(CannotRead(path, result.error), Icon::Exclamation);
    return result;
  }
  if (original->empty()) {
    ui.Message(text::kFileIsEmpty, Icon::None);
    result.status = TextRewriteStatus::Empty;
    return result;
  }
  // A file that is already in shape needs neither a backup nor a write.
  if (HasNormalLineBreaks(*original)) {
    result.text = std::move(*original);
    result.status = TextRewriteStatus::Rewritten;
    return result;
  }
  result.text = NormaliseLineBreaks(*original);
  original.reset();

  const std::filesystem::path target = FileSystemPath(path);
  const std::filesystem::path backup = FileSystemPath(BackupPathFor(path));
  std::error_code code;
  const auto permissions = std::filesystem::status(target, code).permissions();
  std::filesystem::copy_file(target, backup, std::filesystem::copy_options::overwrite_existing,
                             code);
  if (code) {
    result.status = TextRewriteStatus::NotWritten;
    result.error = code.message();
    return result;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(result.text.data());
  if (const auto failure = WriteFileSafely(path, {bytes, result.text.size()})) {
    // The original was never touched, so the backup stays only as the user's safety copy.
    result.status = TextRewriteStatus::NotWritten;
    result.error = failure->description;
    return result;
  }
  // The new file is a fresh one: give it back the original's permissions.
  std::filesystem::permissions(target, permissions, code);
  std::filesystem::remove(backup, code);
  result.status = TextRewriteStatus::Rewritten;
  return result;
}

}  // namespace gantry
