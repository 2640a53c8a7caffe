#include "common/byte_reader.h"

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/paths.h"

namespace gantry {

namespace {

// 64-bit file offsets on every platform.
int SeekTo(std::FILE* file, std::uint64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), whence);
#else
  return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t Tell(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

// Big enough that a file read costs a handful of system calls per megabyte, small enough to
// stay out of the memory budget.
constexpr std::size_t kWindowBytes = 1 << 20;
}  // namespace

bool MemorySource::ReadAt(std::uint64_t offset, void* dst, std::size_t n) {
  if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
  if (n > 0) std::memcpy(dst, bytes_.data() + offset, n);
  return true;
}

std::unique_ptr<FileSource> FileSource::Open(const std::string& path, std::string* error) {
  // A folder opens without complaint on some systems and a named pipe blocks until a writer
  // comes; only plain files are read.
  std::error_code status_error;
  const auto status = std::filesystem::status(FileSystemPath(path), status_error);
  if (!status_error && std::filesystem::exists(status) &&
      !std::filesystem::is_regular_file(status)) {
    if (error != nullptr) {
      *error = std::filesystem::is_directory(status) ? "it is a folder, not a file"
                                                     : "it is not a regular file";
    }
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    if (error != nullptr) *error = std::strerror(errno);
    return nullptr;
  }
  if (SeekTo(file, 0, SEEK_END) != 0) {
    if (error != nullptr) *error = std::strerror(errno);
    std::fclose(file);
    return nullptr;
  }
  const std::int64_t end = Tell(file);
  if (end < 0 || SeekTo(file, 0, SEEK_SET) != 0) {
    if (error != nullptr) *error = "cannot tell the file's size";
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<FileSource>(new FileSource(file, static_cast<std::uint64_t>(end)));
}

FileSource::~FileSource() { std::fclose(file_); }

bool FileSource::ReadAt(std::uint64_t offset, void* dst, std::size_t n) {
  if (offset > size_ || n > size_ - offset) return false;
  if (offset != file_pos_) {
    if (SeekTo(file_, offset, SEEK_SET) != 0) return false;
    file_pos_ = offset;
  }
  const std::size_t got = std::fread(dst, 1, n, file_);
  file_pos_ += got;
  return got == n;
}

ByteReader::ByteReader(ByteSource& source) : source_(source), size_(source.size()) {
  if (const std::uint8_t* all = source.data()) {
    window_ = all;
    window_size_ = static_cast<std::size_t>(size_);
  }
}

void ByteReader::Seek(std::uint64_t offset) {
  if (offset > size_) {
    throw ReadError(
        fmt::format("cannot move to byte {}: the file has only {} bytes", offset, size_), pos_);
  }
  pos_ = offset;
}

void ByteReader::Back(std::uint64_t count) {
  if (count > pos_) {
    throw ReadError(fmt::format("cannot move back {} bytes from byte {}", count, pos_), pos_);
  }
  pos_ -= count;
}

std::uint64_t ByteReader::Checked(std::uint64_t count, std::string_view what) const {
  if (count > remaining()) FailShort(count, what);
  return pos_ + count;
}

void ByteReader::FailShort(std::uint64_t needed, std::string_view what) const {
  throw ReadError(fmt::format("{} need {} bytes but only {} remain", what, needed, remaining()),
                  pos_);
}

void ByteReader::Require(std::int64_t count, std::uint64_t item_size, std::string_view what) const {
  if (count < 0) {
    throw ReadError(fmt::format("{} is negative ({})", what, count), pos_);
  }
  const auto n = static_cast<std::uint64_t>(count);
  if (item_size != 0 && n > remaining() / item_size) {
    throw ReadError(fmt::format("{} of {} needs at least {} bytes but only {} remain", what, count,
                                n * item_size, remaining()),
                    pos_);
  }
}

std::string ByteReader::ReadText(std::int32_t& length) {
  const std::uint64_t start = pos_;
  length = ReadLong();
  if (length < 0) {
    throw ReadError(fmt::format("text length is negative ({})", length), start);
  }
  if (static_cast<std::uint64_t>(length) > remaining()) {
    const auto left = remaining();
    pos_ = start;
    throw ReadError(
        fmt::format("text of {} characters needs more bytes than the {} that remain", length, left),
        start);
  }
  return ReadChars(static_cast<std::uint64_t>(length));
}

std::string ByteReader::ReadChars(std::uint64_t n) {
  if (n > remaining()) FailShort(n, "characters");
  std::string text(static_cast<std::size_t>(n), ' ');
  ReadBytes(text.data(), text.size());
  return text;
}

void ByteReader::ReadBytes(void* dst, std::size_t n) {
  if (n == 0) return;
  if (n > remaining()) FailShort(n, "bytes");
  if (n <= kWindowBytes || window_size_ == size_) {
    std::memcpy(dst, Take(n), n);
    return;
  }
  // Large blocks (mip levels) go straight from the file to their destination.
  if (!source_.ReadAt(pos_, dst, n)) {
    throw ReadError(fmt::format("could not read {} bytes from the file", n), pos_);
  }
  pos_ += n;
}

const std::uint8_t* ByteReader::TakeSlow(std::size_t n) {
  if (n > remaining()) {
    throw ReadError(
        fmt::format("unexpected end of file: {} bytes needed but only {} remain", n, remaining()),
        pos_);
  }
  // Only a file-backed reader gets here with enough bytes left: refill the window at pos_.
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(std::max(kWindowBytes, n), remaining()));
  if (buffer_.size() < want) buffer_.resize(want);
  if (!source_.ReadAt(pos_, buffer_.data(), want)) {
    throw ReadError(fmt::format("could not read {} bytes from the file", want), pos_);
  }
  window_ = buffer_.data();
  window_start_ = pos_;
  window_size_ = want;
  const std::uint8_t* p = window_;
  pos_ += n;
  return p;
}

}  // namespace gantry
