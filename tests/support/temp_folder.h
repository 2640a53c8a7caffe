// A fresh folder for one test, named after the test (ctest runs tests side by side) and removed
// with everything in it when the object goes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace gantry::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string Path(std::string_view name) const;
  // Writes `contents` as they are to `name` inside the folder; returns its path.
  std::string Write(std::string_view name, std::string_view contents) const;
  std::size_t FileCount() const;

 private:
  std::filesystem::path path_;
};

// The file's bytes as text; empty when it cannot be read.
std::string FileText(const std::filesystem::path& path);

}  // namespace gantry::testing
