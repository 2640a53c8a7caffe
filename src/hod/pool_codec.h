// The compression of the later dialect's POOL streams: an LZ77 byte stream with 32-bit control
// words (one flag per token, bit 31 a guard), five match-token forms and a 4-byte zero trailer.
// The file keeps each stream's compressed and decompressed sizes; equal sizes mean the stream is
// stored raw. Self-contained: no model, no Ui.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gantry {

// A compressed stream cannot expand more than this: the longest match (258 bytes) costs a 4-byte
// token plus 4/31 of a control word. A stream that claims more lies about its sizes.
inline constexpr std::uint64_t kPoolMaxExpansion = 63;

// The longest back-reference a match can make.
inline constexpr std::uint32_t kPoolWindow = 2097151;

struct PoolDecodeFailure {
  std::string message;  // names the stream and the payload offset
  std::uint64_t offset = 0;
};

// Decodes a compressed payload into exactly `size` bytes (`out` is resized to it). Every code is
// checked: a match reaching before the start of the output, output past `size`, a payload that
// ends early or carries anything but the trailer after the last token all fail. `stream` names
// the stream in the message.
std::optional<PoolDecodeFailure> DecodePoolStream(std::span<const std::uint8_t> payload,
                                                  std::size_t size, std::vector<std::uint8_t>& out,
                                                  std::string_view stream);

// A payload as stored: raw when its length equals `size`, compressed otherwise.
std::optional<PoolDecodeFailure> UnpackPoolStream(std::span<const std::uint8_t> payload,
                                                  std::size_t size, std::vector<std::uint8_t>& out,
                                                  std::string_view stream);

// Compresses `data`: tokens chosen by price over the matches a hashed search finds, every match
// ending at least 8 bytes before the end (the game's decoder requires it). A stream of a MiB or
// more is compressed in two halves on two threads. Empty data gives an empty payload.
std::vector<std::uint8_t> EncodePoolStream(std::span<const std::uint8_t> data);

// The payload to store: compressed, or `data` itself when compressing does not make it shorter.
std::vector<std::uint8_t> PackPoolStream(std::span<const std::uint8_t> data);

// The payload to store for `data`, given the payload `before` stored for an earlier version of
// the stream (`before_size` bytes). The earlier tokens are kept wherever they still give the new
// bytes (at their place when the size is unchanged, else in the common start and end), and only
// the rest is compressed, so a small edit costs little time and keeps the earlier compression.
// Falls back to PackPoolStream when `before` is stored raw or does not decode.
std::vector<std::uint8_t> RepackPoolStream(std::span<const std::uint8_t> data,
                                           std::span<const std::uint8_t> before,
                                           std::size_t before_size);

// 128 bits that tell a stream's bytes apart: a save compares them with those taken when the
// stream was read, to know whether it changed.
struct PoolDigest {
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  friend bool operator==(const PoolDigest&, const PoolDigest&) = default;
};
PoolDigest DigestPoolStream(std::span<const std::uint8_t> data);

// The same digest over a stream given in pieces.
class PoolDigester {
 public:
  PoolDigester();
  void Add(std::span<const std::uint8_t> data);
  PoolDigest Finish() const;

 private:
  void Stripe(const std::uint8_t* p);
  std::uint64_t lanes_[4];
  std::uint8_t buffer_[32] = {};
  std::size_t buffered_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace gantry
