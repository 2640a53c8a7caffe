// Bounds-checked reading of the primitives of binary files: tags, little- and big-endian
// numbers, counted texts and raw blocks. Nothing is ever read past the end of the source; a read
// that would need more bytes than remain throws ReadError, which parsers catch at their edge and
// turn into a message. Counts read from a file must go through Require() before anything is
// allocated for them, so a hostile count can never make us allocate more than the file holds.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/tag.h"

namespace gantry {

class ReadError : public std::runtime_error {
 public:
  ReadError(std::string message, std::uint64_t offset)
      : std::runtime_error(std::move(message)), offset_(offset) {}
  // Byte offset in the source at which the failing read started.
  std::uint64_t offset() const { return offset_; }

 private:
  std::uint64_t offset_;
};

// Random-access bytes: a file on disk or a buffer in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Copies exactly n bytes at offset into dst; false on an I/O failure.
  virtual bool ReadAt(std::uint64_t offset, void* dst, std::size_t n) = 0;
  // The whole source when it already lives in memory (lets the reader avoid copies).
  virtual const std::uint8_t* data() const { return nullptr; }
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, void* dst, std::size_t n) override;
  const std::uint8_t* data() const override { return bytes_.data(); }

 private:
  std::span<const std::uint8_t> bytes_;
};

class FileSource final : public ByteSource {
 public:
  // nullptr when the file cannot be opened; *error then says why.
  static std::unique_ptr<FileSource> Open(const std::string& path, std::string* error);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::uint64_t size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* dst, std::size_t n) override;

 private:
  FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  std::FILE* file_;
  std::uint64_t size_;
  std::uint64_t file_pos_ = 0;
};

class ByteReader {
 public:
  explicit ByteReader(ByteSource& source);

  std::uint64_t position() const { return pos_; }
  std::uint64_t size() const { return size_; }
  std::uint64_t remaining() const { return size_ - pos_; }

  // Moves to an absolute offset, at most the end of the source.
  void Seek(std::uint64_t offset);
  void Skip(std::uint64_t count) { Seek(Checked(count, "skipped bytes")); }
  void Back(std::uint64_t count);

  Tag ReadTag() {
    Tag tag;
    std::memcpy(tag.chars.data(), Take(4), 4);
    return tag;
  }
  // Chunk lengths and the version-like values after some chunk IDs: big-endian.
  std::int32_t ReadBigLong() {
    const std::uint8_t* p = Take(4);
    return static_cast<std::int32_t>((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                     (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]});
  }
  std::int32_t ReadLong() { return Load<std::int32_t>(); }
  std::int16_t ReadInteger() { return Load<std::int16_t>(); }
  std::uint8_t ReadByte() { return *Take(1); }
  float ReadSingle() { return Load<float>(); }
  double ReadDouble() { return Load<double>(); }
  std::uint32_t ReadRaw32() { return Load<std::uint32_t>(); }

  // A counted text: Long n, then n bytes. `length` receives n.
  std::string ReadText(std::int32_t& length);
  // Exactly n characters with no count before them.
  std::string ReadChars(std::uint64_t n);
  void ReadBytes(void* dst, std::size_t n);

  // Throws unless `count` items of at least `item_size` bytes each can still be read; `what`
  // names the count in the message. A negative count is refused too.
  void Require(std::int64_t count, std::uint64_t item_size, std::string_view what) const;

  // Points at the next n bytes (valid until the next read) and moves past them. Lets callers
  // decode a block of records in one pass instead of one small read per field.
  const std::uint8_t* Take(std::size_t n) {
    if (pos_ >= window_start_ && pos_ - window_start_ + n <= window_size_) [[likely]] {
      const std::uint8_t* p = window_ + (pos_ - window_start_);
      pos_ += n;
      return p;
    }
    return TakeSlow(n);
  }

 private:
  template <typename T>
  T Load() {
    static_assert(std::endian::native == std::endian::little, "little-endian hosts only");
    T value;
    std::memcpy(&value, Take(sizeof(T)), sizeof(T));
    return value;
  }
  const std::uint8_t* TakeSlow(std::size_t n);
  std::uint64_t Checked(std::uint64_t count, std::string_view what) const;
  [[noreturn]] void FailShort(std::uint64_t needed, std::string_view what) const;

  ByteSource& source_;
  std::uint64_t size_;
  std::uint64_t pos_ = 0;
  const std::uint8_t* window_ = nullptr;
  std::uint64_t window_start_ = 0;
  std::size_t window_size_ = 0;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace gantry
