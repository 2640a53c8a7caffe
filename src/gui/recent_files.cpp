#include "gui/recent_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace gantry {

void RecentFiles::Prune(const Usable& usable) {
  Stored kept;
  std::size_t count = 0;
  for (const std::string& entry : stored_) {
    if (!entry.empty() && usable(entry)) kept[count++] = entry;
  }
  stored_ = std::move(kept);
}

void RecentFiles::Add(const std::string& path) {
  const auto found = std::find(stored_.begin(), stored_.end(), path);
  // The entry that makes room: the path's old slot, else the last slot.
  const auto end = found != stored_.end() ? found : stored_.end() - 1;
  std::move_backward(stored_.begin(), end, end + 1);
  stored_[0] = path;
}

std::vector<std::string> RecentFiles::Entries() const {
  std::vector<std::string> entries;
  for (const std::string& entry : stored_) {
    if (!entry.empty()) entries.push_back(entry);
  }
  return entries;
}

bool IsUsableFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::path file(path);
  if (!std::filesystem::is_regular_file(file, error)) return false;
  const auto size = std::filesystem::file_size(file, error);
  return !error && size > 0;
}

}  // namespace gantry
