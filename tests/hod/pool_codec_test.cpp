// The POOL stream codec: round trips through the encoder (every token form up to its limits,
// each token read by this file's own walk of the format), repacking an edited stream around its
// earlier tokens, stream digests, and the damage a decoder must refuse (every truncated prefix,
// codes outside the output). The game's own streams: the HOD 2.0 corpus tests.
#include "hod/pool_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace gantry {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decode(const Bytes& payload, std::size_t size) {
  Bytes out;
  const auto failure = DecodePoolStream(payload, size, out, "test");
  EXPECT_FALSE(failure.has_value()) << failure->message;
  return out;
}

std::optional<PoolDecodeFailure> DecodeFailure(const Bytes& payload, std::size_t size,
                                               std::string_view stream = "test") {
  Bytes out;
  return DecodePoolStream(payload, size, out, stream);
}

void Append32(Bytes& b, std::uint32_t v) {
  const std::size_t at = b.size();
  b.resize(at + 4);
  std::memcpy(b.data() + at, &v, 4);  // little-endian hosts, as the codec
}

// Bytes with runs and repeats at every distance, so the encoder meets every token form.
Bytes MixedData(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes data;
  data.reserve(n);
  while (data.size() < n) {
    const int kind = static_cast<int>(rng() % 4);
    if (kind == 0 || data.size() < 16) {
      for (int i = 0; i < 1 + static_cast<int>(rng() % 12); ++i) {
        data.push_back(static_cast<std::uint8_t>(rng()));
      }
    } else {
      const std::size_t far = 1 + rng() % std::min<std::size_t>(data.size(), 200000);
      const std::size_t length = 3 + rng() % (kind == 3 ? 300 : 20);
      for (std::size_t i = 0; i < length; ++i) data.push_back(data[data.size() - far]);
    }
  }
  data.resize(n);
  return data;
}

struct MatchToken {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

struct StreamShape {
  std::size_t tokens = 0;
  std::size_t words = 0;
  std::size_t last_match_end = 0;
  bool guards = true;
  std::size_t end = 0;  // payload position after the last token
  std::vector<MatchToken> matches;
};

// Walks a payload as the decoder does, noting what the writing rules constrain.
StreamShape Walk(const Bytes& p, std::size_t size) {
  StreamShape shape;
  std::size_t ip = 0, op = 0;
  std::uint32_t control = 1;
  while (op < size) {
    if (control == 1) {
      std::memcpy(&control, p.data() + ip, 4);
      shape.guards = shape.guards && (control & 0x80000000u) != 0;
      ip += 4;
      ++shape.words;
    }
    ++shape.tokens;
    if ((control & 1) == 0) {
      ++ip;
      ++op;
    } else {
      const std::uint8_t b = p[ip];
      std::uint32_t w = 0;
      const int sizes[4] = {1, 2, 2, (b & 4) ? 4 : 3};
      const int s = sizes[b & 3];
      for (int i = 0; i < s; ++i) w |= std::uint32_t{p[ip + i]} << (8 * i);
      std::uint32_t length = 3;
      std::uint32_t offset = w >> 2;  // the 1-byte and "01" forms
      if (s == 2 && (b & 3) == 2) {
        length = ((w >> 2) & 15) + 3;
        offset = w >> 6;
      } else if (s == 3) {
        length = ((w >> 3) & 31) + 3;
        offset = w >> 8;
      } else if (s == 4) {
        length = ((w >> 3) & 255) + 3;
        offset = w >> 11;
      }
      shape.matches.push_back({offset, length});
      ip += static_cast<std::size_t>(s);
      op += length;
      shape.last_match_end = op;
    }
    control >>= 1;
  }
  shape.end = ip;
  return shape;
}

// Decodes to `data` and keeps the writing rules (or is `data` itself, stored raw).
void ExpectWellFormed(const Bytes& packed, const Bytes& data) {
  if (packed.size() == data.size()) {
    EXPECT_EQ(packed, data);
    return;
  }
  EXPECT_EQ(Decode(packed, data.size()), data);
  const StreamShape shape = Walk(packed, data.size());
  EXPECT_TRUE(shape.guards);
  EXPECT_EQ(shape.words, (shape.tokens + 30) / 31);
  EXPECT_LE(shape.last_match_end + 8, std::max<std::size_t>(data.size(), 8));
  EXPECT_EQ(shape.end + 4, packed.size());
}

bool HasMatch(const StreamShape& shape, std::uint32_t offset, std::uint32_t length) {
  return std::any_of(shape.matches.begin(), shape.matches.end(),
                     [&](const MatchToken& m) { return m.offset == offset && m.length == length; });
}

Bytes Noise(std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& v : b) v = static_cast<std::uint8_t>(rng());
  return b;
}

TEST(PoolCodec, RoundTripsAndFollowsTheWritingRules) {
  std::vector<Bytes> inputs = {Bytes{},     Bytes{7},     Bytes(8, 0),
                               Bytes(9, 0), Bytes(12, 1), Bytes(100000, 0)};
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    inputs.push_back(MixedData(seed * 997, seed));
  }
  inputs.push_back(MixedData(3u << 20, 99));
  inputs.push_back(Noise(5000, 5));

  for (const Bytes& data : inputs) {
    SCOPED_TRACE(data.size());
    const Bytes packed = EncodePoolStream(data);
    // Never stored raw: only empty data packs to its own size.
    EXPECT_EQ(packed.size() == data.size(), data.empty());
    if (!data.empty()) ExpectWellFormed(packed, data);
  }
  // Repetitive data shrinks, to within the codec's limit.
  const Bytes zeros(100000, 0);
  const Bytes packed = EncodePoolStream(zeros);
  EXPECT_LT(packed.size(), 2000u);
  EXPECT_LE(zeros.size(), packed.size() * kPoolMaxExpansion);
}

// Zeros, then `length` random bytes, zeros, and the same bytes `offset` further on: the one
// repeat the data has beyond the zeros. Different bytes around the copy pin its length.
Bytes OneRepeat(std::uint32_t offset, std::uint32_t length) {
  Bytes data(offset + length + 400, 0);
  const Bytes block = Noise(length + 2, offset + length);
  std::copy(block.begin(), block.end(), data.begin() + 99);
  std::copy(block.begin() + 1, block.end() - 1, data.begin() + 100 + offset);
  data[99 + offset] = static_cast<std::uint8_t>(block[0] ^ 1);
  data[100 + offset + length] = static_cast<std::uint8_t>(block.back() ^ 1);
  return data;
}

TEST(PoolCodec, UsesEveryTokenFormUpToItsLimits) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {63, 3},    {64, 3},     {16383, 3},  {16384, 4},  {1023, 18},   {1024, 18},
      {1023, 19}, {65535, 34}, {65536, 34}, {65535, 35}, {65536, 258}, {300, 258}};
  for (const auto& [offset, length] : cases) {
    SCOPED_TRACE(::testing::Message() << "offset " << offset << " length " << length);
    const Bytes data = OneRepeat(offset, length);
    const Bytes packed = EncodePoolStream(data);
    ExpectWellFormed(packed, data);
    EXPECT_TRUE(HasMatch(Walk(packed, data.size()), offset, length));
  }
  // A copy longer than the longest match takes two.
  Bytes data(5000, 0);
  const Bytes block = Noise(600, 9);
  std::copy(block.begin(), block.end(), data.begin() + 100);
  std::copy(block.begin(), block.end(), data.begin() + 2000);
  const Bytes packed = EncodePoolStream(data);
  ExpectWellFormed(packed, data);
  EXPECT_TRUE(HasMatch(Walk(packed, data.size()), 1900, 258));
}

TEST(PoolCodec, RepacksEditsKeepingEarlierTokensWithinTheRules) {
  const Bytes data = MixedData(200000, 21);
  const Bytes packed = EncodePoolStream(data);
  // Nothing changed: the same tokens under the same words, so the same payload.
  EXPECT_EQ(RepackPoolStream(data, packed, data.size()), packed);

  std::mt19937 rng(4);
  std::vector<std::pair<const char*, Bytes>> edits;
  Bytes poked = data;
  for (int i = 0; i < 30; ++i) poked[rng() % poked.size()] ^= 0x5a;
  edits.emplace_back("bytes changed in place", poked);
  Bytes inserted = data;
  const Bytes fresh = Noise(3000, 5);
  inserted.insert(inserted.begin() + 70000, fresh.begin(), fresh.end());
  edits.emplace_back("bytes inserted", inserted);
  Bytes removed = data;
  removed.erase(removed.begin() + 50000, removed.begin() + 52000);
  removed.erase(removed.begin() + 150000, removed.begin() + 150700);
  for (int i = 0; i < 10; ++i) removed[20000 + i * 64] += 1;
  edits.emplace_back("changed, then two stretches removed", removed);
  // The earlier payload's last matches reach into what is now the literal tail.
  edits.emplace_back("end cut short", Bytes(data.begin(), data.end() - 5));
  edits.emplace_back("the start only", Bytes(data.begin(), data.begin() + 20));
  edits.emplace_back("empty", Bytes{});
  edits.emplace_back("incompressible", Noise(5000, 6));
  for (const auto& [what, edited] : edits) {
    SCOPED_TRACE(what);
    ExpectWellFormed(RepackPoolStream(edited, packed, data.size()), edited);
  }
  // A small change keeps nearly all the earlier compression.
  Bytes one = data;
  one[100000] ^= 1;
  EXPECT_LE(RepackPoolStream(one, packed, data.size()).size(), packed.size() + 16);
  // An earlier payload stored raw, or damaged, is no help but does no harm.
  ExpectWellFormed(RepackPoolStream(poked, data, data.size()), poked);
  Bytes damaged = packed;
  damaged[damaged.size() / 2] ^= 0xff;
  ExpectWellFormed(RepackPoolStream(poked, damaged, data.size()), poked);
}

TEST(PoolCodec, RepackingKeepsMatchesWithinTheWindow) {
  // A match from the far end of the window, over 2 MiB of zeros.
  const Bytes data = OneRepeat(kPoolWindow, 258);
  const Bytes far = EncodePoolStream(data);
  // The encoder's match from that far back (not necessarily over the whole block).
  const std::vector<MatchToken> matches = Walk(far, data.size()).matches;
  const auto at = std::find_if(matches.begin(), matches.end(),
                               [](const MatchToken& m) { return m.offset == kPoolWindow; });
  ASSERT_NE(at, matches.end());
  const std::uint32_t length = at->length;

  // Changed after the match: it is kept.
  Bytes later = data;
  later[data.size() - 100] ^= 1;
  Bytes packed = RepackPoolStream(later, far, data.size());
  ExpectWellFormed(packed, later);
  EXPECT_TRUE(HasMatch(Walk(packed, later.size()), kPoolWindow, length));
  // Removed before what it copies: the same distance, still kept.
  Bytes shorter = data;
  shorter.erase(shorter.begin() + 10, shorter.begin() + 20);
  packed = RepackPoolStream(shorter, far, data.size());
  ExpectWellFormed(packed, shorter);
  EXPECT_TRUE(HasMatch(Walk(packed, shorter.size()), kPoolWindow, length));
  // Inserted between the two: now out of reach, so not kept (the bytes still come out right).
  Bytes longer = data;
  longer.insert(longer.begin() + 1000, 7, 0x33);
  packed = RepackPoolStream(longer, far, data.size());
  ExpectWellFormed(packed, longer);
  for (const MatchToken& m : Walk(packed, longer.size()).matches) EXPECT_LE(m.offset, kPoolWindow);
}

TEST(PoolCodec, DigestsTellStreamsApartWhateverThePieces) {
  const Bytes data = MixedData(1000, 3);
  const PoolDigest whole = DigestPoolStream(data);
  // In pieces of any size, the same digest.
  for (const std::size_t cut : {0, 1, 31, 32, 33, 500, 999}) {
    PoolDigester pieces;
    pieces.Add(std::span(data).first(cut));
    pieces.Add(std::span(data).subspan(cut, (data.size() - cut) / 2));
    pieces.Add(std::span(data).subspan(cut + (data.size() - cut) / 2));
    EXPECT_EQ(pieces.Finish(), whole) << "cut at " << cut;
  }
  // Any one byte changed, wherever it is (the last, partial stripe too), or a zero added.
  for (const std::size_t at : {0, 7, 8, 31, 32, 500, 991, 999}) {
    Bytes changed = data;
    changed[at] ^= 1;
    EXPECT_NE(DigestPoolStream(changed), whole) << "byte " << at;
  }
  Bytes zero_added = data;
  zero_added.push_back(0);
  EXPECT_NE(DigestPoolStream(zero_added), whole);
  // Two stripes swapped.
  Bytes swapped = data;
  std::swap_ranges(swapped.begin(), swapped.begin() + 32, swapped.begin() + 64);
  EXPECT_NE(DigestPoolStream(swapped), whole);
  EXPECT_NE(DigestPoolStream(Bytes{}), DigestPoolStream(Bytes(32, 0)));
}

TEST(PoolCodec, StoresRawWhenCompressingDoesNotPay) {
  const Bytes noise = Noise(16, 11);
  EXPECT_EQ(PackPoolStream(noise), noise);
  EXPECT_TRUE(PackPoolStream(Bytes{}).empty());
  const Bytes zeros(64, 0);
  const Bytes packed = PackPoolStream(zeros);
  EXPECT_LT(packed.size(), zeros.size());

  // Equal sizes mean raw: the payload is the data, even when it would decode as codes.
  Bytes out;
  EXPECT_FALSE(UnpackPoolStream(noise, noise.size(), out, "texture").has_value());
  EXPECT_EQ(out, noise);
  EXPECT_FALSE(UnpackPoolStream(packed, zeros.size(), out, "texture").has_value());
  EXPECT_EQ(out, zeros);
}

TEST(PoolCodec, RejectsEveryTruncatedPrefix) {
  const Bytes data = MixedData(3000, 3);
  const Bytes packed = EncodePoolStream(data);
  for (std::size_t k = 0; k < packed.size(); ++k) {
    const Bytes prefix(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(k));
    EXPECT_TRUE(DecodeFailure(prefix, data.size()).has_value()) << "prefix of " << k;
  }
}

TEST(PoolCodec, RejectsDamagedCodesWithTheStreamAndOffset) {
  // A first token that copies from before the start of the output.
  Bytes back = {0x01, 0x00, 0x00, 0x80, 0x04};
  Append32(back, 0);
  auto failure = DecodeFailure(back, 3, "mesh");
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->offset, 4u);  // the message through the reader: Hod2Hostile.DamagedPools...

  // Offset 5 after four literals.
  Bytes far = {0x10, 0x00, 0x00, 0x80, 1, 2, 3, 4, 5 << 2};
  Append32(far, 0);
  EXPECT_TRUE(DecodeFailure(far, 7).has_value());
  far[8] = 4 << 2;
  EXPECT_FALSE(DecodeFailure(far, 7).has_value());

  // A match longer than the stream has room for.
  EXPECT_TRUE(DecodeFailure(far, 6).has_value());
  // Control word without its guard bit.
  Bytes unguarded = far;
  unguarded[3] = 0x00;
  EXPECT_TRUE(DecodeFailure(unguarded, 7).has_value());
  // Anything but the zero trailer after the last code.
  Bytes trailer = far;
  trailer.back() = 1;
  EXPECT_TRUE(DecodeFailure(trailer, 7).has_value());
  Bytes longer = far;
  longer.push_back(0);
  EXPECT_TRUE(DecodeFailure(longer, 7).has_value());
  // Output shorter than claimed: the codes end before the size is reached.
  EXPECT_TRUE(DecodeFailure(far, 9).has_value());
}

}  // namespace
}  // namespace gantry
