#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace gantry::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string("gantry_") + test->test_suite_name() + "_" + test->name();
  std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
  path_ = fs::temp_directory_path() / name;
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::Path(std::string_view name) const { return (path_ / name).string(); }

std::string TempFolder::Write(std::string_view name, std::string_view contents) const {
  const std::string path = Path(name);
  std::ofstream(path, std::ios::binary)
      .write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return path;
}

std::size_t TempFolder::FileCount() const {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {}));
}

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace gantry::testing
