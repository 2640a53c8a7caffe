#include "common/debug_log.h"

#include <fmt/format.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "common/local_time.h"
#include "common/paths.h"

namespace gantry {
namespace {

constexpr std::string_view kNewLine = "\r\n";

std::string LocalTimeOfDay() {
  const std::tm local = LocalTimeNow();
  return fmt::format("{:02}:{:02}:{:02}", local.tm_hour, local.tm_min, local.tm_sec);
}

// Opens for appending in binary mode so CR LF reaches the file unchanged on every platform.
std::ofstream OpenForAppend(const std::string& path) {
  return std::ofstream(FileSystemPath(path), std::ios::binary | std::ios::app);
}

}  // namespace

void DebugLog::Log(std::string_view message) {
  if (size_ > kWindowLimit) {
    AppendFramed();  // a failed write must not stop logging; the window restarts regardless
    messages_.clear();
    size_ = 0;
  }
  // Kept as a running count: Text() is rebuilt only on demand, never per message.
  size_ += messages_.empty() ? message.size() : message.size() + kNewLine.size();
  messages_.emplace_back(message);
  if (listener_) listener_(message);
}

std::string DebugLog::Text() const {
  std::string text;
  text.reserve(size_);
  for (auto it = messages_.rbegin(); it != messages_.rend(); ++it) {
    if (it != messages_.rbegin()) text += kNewLine;
    text += *it;
  }
  return text;
}

bool DebugLog::AppendFramed() const {
  if (file_path_.empty()) return true;
  std::ofstream file = OpenForAppend(file_path_);
  if (!file) return false;
  const std::string time = clock_ ? clock_() : LocalTimeOfDay();
  file << "---- " << time << " ----" << kNewLine << Text() << kNewLine << std::string(18, '-')
       << kNewLine;
  return static_cast<bool>(file.flush());
}

bool DebugLog::AppendToFile() const {
  if (file_path_.empty()) return true;
  std::ofstream file = OpenForAppend(file_path_);
  if (!file) return false;
  file << Text() << kNewLine;
  return static_cast<bool>(file.flush());
}

bool DebugLog::RemoveFile() const {
  if (file_path_.empty()) return false;
  const std::filesystem::path path = FileSystemPath(file_path_);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  const bool had_content = !error && size > 0;
  std::filesystem::remove(path, error);
  return had_content;
}

void DebugLog::Clear() {
  messages_.clear();
  size_ = 0;
}

}  // namespace gantry
