// The mirror of ByteReader: appends tags, numbers and counted texts to a growing buffer, and
// opens chunks whose big-endian length is patched in when they are closed.
#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "common/tag.h"

namespace gantry {

class ByteWriter {
 public:
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> Release() { return std::move(bytes_); }
  std::size_t size() const { return bytes_.size(); }
  // Room for this many bytes in all: no allocation until they are written.
  void Reserve(std::size_t bytes);

  void WriteTag(const Tag& tag) { Append(tag.chars.data(), 4); }
  void WriteBigLong(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v >> 24),
                               static_cast<std::uint8_t>(v >> 16),
                               static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    Append(b, 4);
  }
  void WriteLong(std::int32_t value) { Store(value); }
  void WriteInteger(std::int16_t value) { Store(value); }
  void WriteByte(std::uint8_t value) { bytes_.push_back(value); }
  void WriteSingle(float value) { Store(value); }
  void WriteDouble(double value) { Store(value); }
  void WriteRaw32(std::uint32_t value) { Store(value); }
  // Counted text: the count as given (the model keeps it), then the characters.
  void WriteText(std::int32_t length, std::string_view text) {
    WriteLong(length);
    WriteChars(text);
  }
  void WriteChars(std::string_view text) { Append(text.data(), text.size()); }
  void WriteBytes(std::span<const std::uint8_t> data) { Append(data.data(), data.size()); }

  // Starts "kind, length, id" (a container) and returns a mark for EndChunk.
  std::size_t BeginContainer(const Tag& kind, const Tag& id) {
    WriteTag(kind);
    const std::size_t mark = bytes_.size();
    WriteBigLong(0);
    WriteTag(id);
    return mark;
  }
  // Starts "tag, length" (a plain chunk) and returns a mark for EndChunk.
  std::size_t BeginPlain(const Tag& tag) {
    WriteTag(tag);
    const std::size_t mark = bytes_.size();
    WriteBigLong(0);
    return mark;
  }
  // Patches the length at mark: every byte written after the length field. Returns it.
  std::int32_t EndChunk(std::size_t mark) {
    const auto length = static_cast<std::int32_t>(bytes_.size() - mark - 4);
    PatchBigLong(mark, length);
    return length;
  }
  // Overwrites four bytes at offset with a big-endian value.
  void PatchBigLong(std::size_t offset, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    bytes_[offset] = static_cast<std::uint8_t>(v >> 24);
    bytes_[offset + 1] = static_cast<std::uint8_t>(v >> 16);
    bytes_[offset + 2] = static_cast<std::uint8_t>(v >> 8);
    bytes_[offset + 3] = static_cast<std::uint8_t>(v);
  }

 private:
  template <typename T>
  void Store(T value) {
    static_assert(std::endian::native == std::endian::little, "little-endian hosts only");
    Append(&value, sizeof(T));
  }
  void Append(const void* data, std::size_t n);

  std::vector<std::uint8_t> bytes_;
};

}  // namespace gantry
