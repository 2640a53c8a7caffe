#include "common/safe_file.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "common/paths.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gantry {

namespace {

FileWriteFailure Failure(FileWriteFailure::Step step, int code) {
  if (code == 0) code = EIO;
  return {step, code, std::strerror(code)};
}

// A fresh name beside the target, so the final rename stays within one file system.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::random_device random;
  std::filesystem::path name(".");
  name += target.filename();
  name += fmt::format(".saving-{}{}", random(), random() % 100000);
  return target.parent_path() / name;
}

// Opens a file that must not exist yet for binary writing. Windows' C library ignores fopen's
// "x", so there the exclusive creation is asked of _wopen.
std::FILE* CreateNewFile(const std::filesystem::path& path) {
#ifdef _WIN32
  const int fd =
      _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// Pushes the written data to the disk.
int SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file));
#else
  return fsync(fileno(file));
#endif
}

// A target that exists but may not be written is refused like a file that cannot be opened,
// even though the rename beside it would succeed: the user asked for it to stay as it is.
std::optional<FileWriteFailure> CheckWritable(const std::filesystem::path& target) {
  std::error_code error;
  if (!std::filesystem::exists(target, error)) return std::nullopt;
#ifndef _WIN32
  if (access(target.c_str(), W_OK) != 0) return Failure(FileWriteFailure::Step::Open, errno);
#else
  const auto perms = std::filesystem::status(target, error).permissions();
  if ((perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
    return Failure(FileWriteFailure::Step::Open, EACCES);
  }
#endif
  return std::nullopt;
}

// The new file takes the place of the old one, permissions included.
bool KeepPermissions(const std::filesystem::path& target, std::FILE* file) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(target, error);
  if (error || !std::filesystem::exists(status)) return true;
#ifndef _WIN32
  return fchmod(fileno(file), static_cast<mode_t>(status.permissions())) == 0;
#else
  (void)file;
  return true;
#endif
}

// The finished temporary file takes the target's place. On Windows an existing target is
// replaced with ReplaceFileW, which keeps what belongs to the file rather than to its data: its
// attributes (hidden, archive), security and alternate streams.
std::error_code PutInPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
  std::error_code error;
#ifdef _WIN32
  if (std::filesystem::is_regular_file(target, error)) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD before = GetFileAttributesW(target.c_str());
    if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      // Not every implementation carries the attributes over (Wine does not): put them back.
      const DWORD after = GetFileAttributesW(target.c_str());
      if (before != INVALID_FILE_ATTRIBUTES && after != INVALID_FILE_ATTRIBUTES &&
          (before & kKept) != (after & kKept)) {
        const DWORD wanted = ((after & ~kKept) | (before & kKept)) & ~FILE_ATTRIBUTE_NORMAL;
        SetFileAttributesW(target.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
      }
      return {};
    }
    // The caller reports an errno-style number.
    const DWORD code = GetLastError();
    const bool refused = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
                         code == ERROR_UNABLE_TO_REMOVE_REPLACED ||
                         code == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
    return std::error_code(refused ? EACCES : EIO, std::generic_category());
  }
#endif
  std::filesystem::rename(temp, target, error);
  return error;
}

// Saving through a symbolic link updates the file it names, as any editor does, and keeps the
// link: the temporary file and the rename go to the end of the chain. A loop stops after a few
// dozen links and is then left to the open to refuse.
std::filesystem::path ThroughLinks(std::filesystem::path target) {
  constexpr int kMaxLinks = 40;
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) break;
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// The temporary file is made in the target's folder, so a refusal there is the folder's: name it
// rather than let the message blame a file the user may well be allowed to write.
FileWriteFailure FolderFailure(const std::filesystem::path& target, int code) {
  FileWriteFailure failure = Failure(FileWriteFailure::Step::Open, code);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  failure.description =
      fmt::format("{} (in the folder '{}')", failure.description, PathText(folder));
  return failure;
}

}  // namespace

std::optional<FileWriteFailure> WriteFileSafely(const std::string& path,
                                                const std::function<bool(std::FILE*)>& write) {
  const std::filesystem::path target = ThroughLinks(FileSystemPath(path));
  if (auto refused = CheckWritable(target)) return refused;
  const std::filesystem::path temp = TemporaryBeside(target);

  errno = 0;
  std::FILE* file = CreateNewFile(temp);
  if (file == nullptr) return FolderFailure(target, errno);

  errno = 0;
  bool ok = KeepPermissions(target, file) && write(file);
  int code = errno;
  if (ok && std::fflush(file) != 0) {
    ok = false;
    code = errno;
  }
  // The data must be on disk before the old file gives way to it.
  if (ok && SyncToDisk(file) != 0) {
    ok = false;
    code = errno;
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    code = errno;
  }
  std::error_code ignored;
  if (!ok) {
    std::filesystem::remove(temp, ignored);
    return Failure(FileWriteFailure::Step::Write, code);
  }

  if (const std::error_code error = PutInPlace(temp, target)) {
    std::filesystem::remove(temp, ignored);
    return Failure(FileWriteFailure::Step::Replace, error.value());
  }
  return std::nullopt;
}

std::optional<FileWriteFailure> WriteFileSafely(const std::string& path,
                                                std::span<const std::uint8_t> bytes) {
  return WriteFileSafely(path, [bytes](std::FILE* file) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  });
}

}  // namespace gantry
