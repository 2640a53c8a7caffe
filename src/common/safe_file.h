// Writing a file so that a failure never destroys the old one: the data goes to a temporary file
// in the target's folder, which is renamed over the target only once it is complete. A target
// that is a symbolic link is written through: the file it names is replaced, the link stays.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace gantry {

struct FileWriteFailure {
  enum class Step { Open, Write, Replace };
  Step step;
  int code = 0;             // errno-style number
  std::string description;  // what the system said
};

// Calls `write` with the temporary file open for binary writing; `write` returns false when it
// failed (errno then tells why). Nothing is left behind on failure. An existing target that may
// not be written is refused at the Open step and left alone; a replaced target keeps its
// permissions.
std::optional<FileWriteFailure> WriteFileSafely(const std::string& path,
                                                const std::function<bool(std::FILE*)>& write);
std::optional<FileWriteFailure> WriteFileSafely(const std::string& path,
                                                std::span<const std::uint8_t> bytes);

}  // namespace gantry
