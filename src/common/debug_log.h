// The debug log: what the debug window shows, newest message first. When the window holds more
// than 64001 characters its text is appended to the log file (framed by a "---- time ----" line
// and a line of 18 dashes) and the window starts again with the new message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gantry {

class DebugLog {
 public:
  static constexpr std::size_t kWindowLimit = 64001;

  // Adds a message on top of the window's text.
  void Log(std::string_view message);

  // 0 suppresses the detailed, field-by-field messages; anything else enables them.
  void set_debug_level(std::uint8_t level) { debug_level_ = level; }
  std::uint8_t debug_level() const { return debug_level_; }
  bool detailed() const { return debug_level_ != 0; }

  // Where the window's text goes when it overflows and at exit; empty means nowhere.
  void set_file_path(std::string path) { file_path_ = std::move(path); }
  const std::string& file_path() const { return file_path_; }

  // The window's text: messages newest first, separated by CR LF.
  std::string Text() const;
  // Number of characters the window's text holds.
  std::size_t size() const { return size_; }
  // Messages in the window, oldest first.
  const std::vector<std::string>& messages() const { return messages_; }

  // Appends the window's whole text to the log file (at exit). Returns false on I/O failure.
  bool AppendToFile() const;
  // Deletes the log file (at start); returns true when a non-empty file was there.
  bool RemoveFile() const;
  void Clear();

  // Called with every message as it is logged (the debug window, `gantry-cli dump`).
  void set_listener(std::function<void(std::string_view)> listener) {
    listener_ = std::move(listener);
  }
  // Supplies the time text of the "---- time ----" line; the local time of day by default.
  void set_clock(std::function<std::string()> clock) { clock_ = std::move(clock); }

 private:
  bool AppendFramed() const;

  std::vector<std::string> messages_;  // oldest first; Text() reverses
  std::size_t size_ = 0;
  std::uint8_t debug_level_ = 1;
  std::string file_path_;
  std::function<void(std::string_view)> listener_;
  std::function<std::string()> clock_;
};

}  // namespace gantry
