// The recently used files list of the File menu: five slots, the most recent first, an empty
// text for an empty slot. Kept free of Qt; the main window stores it in the settings.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace gantry {

class RecentFiles {
 public:
  static constexpr std::size_t kStored = 5;
  using Stored = std::array<std::string, kStored>;
  // Whether a path names a file worth offering (exists and is not empty).
  using Usable = std::function<bool(const std::string&)>;

  const Stored& stored() const { return stored_; }
  void set_stored(Stored entries) { stored_ = std::move(entries); }

  // Keeps, in order, only the entries `usable` accepts; the rest become empty.
  void Prune(const Usable& usable);
  // Puts `path` first. A path already listed moves up and the others keep their order;
  // a new one pushes the last entry out.
  void Add(const std::string& path);
  void Clear() { stored_ = {}; }
  // The non-empty entries, in menu order.
  std::vector<std::string> Entries() const;

 private:
  Stored stored_;
};

// True when `path` is a regular file of at least one byte.
bool IsUsableFile(const std::string& path);

}  // namespace gantry
