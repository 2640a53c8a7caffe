// A fresh folder for one test, named after the test (ctest runs tests side by side) and removed
// with everything in it when the object goes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace gantry::testing {

class TempFolder {
 public:
  TempFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("gantry_") + test->test_suite_name() + "_" + test->name();
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string Path(std::string_view name) const { return (path_ / name).string(); }
  // Writes `contents` as they are to `name` inside the folder; returns its path.
  std::string Write(std::string_view name, std::string_view contents) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary)
        .write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return path;
  }
  // An uncompressed TGA of `depth` bits: 0xAARRGGBB pixels as given (bottom row first), then the
  // TGA 2.0 footer. Returns its path.
  std::string WriteTga(std::string_view name, std::int16_t width, std::int16_t height,
                       const std::vector<std::uint32_t>& pixels, char depth = 32) const {
    std::string bytes(12, '\0');
    bytes[2] = 2;
    bytes += {char(width), char(width >> 8), char(height), char(height >> 8), depth, 8};
    for (const std::uint32_t p : pixels)
      bytes += {char(p), char(p >> 8), char(p >> 16), char(p >> 24)};
    return Write(name, bytes + std::string(8, '\0') + "TRUEVISION-XFILE." + '\0');
  }
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_;
};

// The file's bytes as text; empty when it cannot be read.
inline std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace gantry::testing
