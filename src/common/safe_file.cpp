#include "common/safe_file.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifndef _WIN32
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
  return target.parent_path() /
         fmt::format(".{}.saving-{}{}", target.filename().string(), random(), random() % 100000);
}

}  // namespace

std::optional<FileWriteFailure> WriteFileSafely(const std::string& path,
                                                const std::function<bool(std::FILE*)>& write) {
  const std::filesystem::path target(path);
  const std::filesystem::path temp = TemporaryBeside(target);

  errno = 0;
  std::FILE* file = std::fopen(temp.string().c_str(), "wbx");
  if (file == nullptr) return Failure(FileWriteFailure::Step::Open, errno);

  errno = 0;
  bool ok = write(file);
  int code = errno;
  if (ok && std::fflush(file) != 0) {
    ok = false;
    code = errno;
  }
#ifndef _WIN32
  // The data must be on disk before the old file gives way to it.
  if (ok && fsync(fileno(file)) != 0) {
    ok = false;
    code = errno;
  }
#endif
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    code = errno;
  }
  std::error_code ignored;
  if (!ok) {
    std::filesystem::remove(temp, ignored);
    return Failure(FileWriteFailure::Step::Write, code);
  }

  std::error_code error;
  std::filesystem::rename(temp, target, error);
  if (error) {
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
