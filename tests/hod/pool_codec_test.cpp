// The POOL stream codec: hand-made streams of every token form, round trips through the encoder,
// and the damage a decoder must refuse (every truncated prefix, codes outside the output).
#include "hod/pool_codec.h"

#include <gtest/gtest.h>

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
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
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

struct StreamShape {
  std::size_t tokens = 0;
  std::size_t words = 0;
  std::size_t last_match_end = 0;
  bool guards = true;
  std::size_t end = 0;  // payload position after the last token
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
      if (s == 2 && (b & 3) == 2) length = ((w >> 2) & 15) + 3;
      if (s == 3) length = ((w >> 3) & 31) + 3;
      if (s == 4) length = ((w >> 3) & 255) + 3;
      ip += static_cast<std::size_t>(s);
      op += length;
      shape.last_match_end = op;
    }
    control >>= 1;
  }
  shape.end = ip;
  return shape;
}

TEST(PoolCodec, DecodesHandMadeStreamsOfEveryTokenForm) {
  // Seven literals, then the 1-byte token 0x10: offset 4, length 3 (u16 indices 0 1 2 0 2).
  Bytes face = {0x80, 0x80, 0x00, 0x82, 0, 0, 1, 0, 2, 0, 0, 0x10, 0, 0, 0, 0};
  EXPECT_EQ(Decode(face, 10), (Bytes{0, 0, 1, 0, 2, 0, 0, 0, 2, 0}));

  // 40 literals, then "ab 28 00": the 3-byte form, offset 40, length 24.
  Bytes mesh;
  Append32(mesh, 0x80000000u);
  Bytes expected;
  for (int i = 0; i < 31; ++i) {
    expected.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    mesh.push_back(expected.back());
  }
  Append32(mesh, 0x80000000u | (1u << 9));
  for (int i = 31; i < 40; ++i) {
    expected.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    mesh.push_back(expected.back());
  }
  for (std::uint8_t b : {0xab, 0x28, 0x00}) mesh.push_back(b);
  Append32(mesh, 0);
  for (int i = 0; i < 24; ++i) expected.push_back(expected[static_cast<std::size_t>(i)]);
  EXPECT_EQ(Decode(mesh, 64), expected);

  // One literal, then each remaining form once: "01" (offset 1, length 3), "10" (offset 1,
  // length 18, a repeated byte), "111" (offset 2, length 258).
  Bytes forms;
  Append32(forms, 0x80000000u | 0b1110);
  forms.push_back(0x5a);
  for (std::uint8_t b : {0x05, 0x00}) forms.push_back(b);  // (1 << 2) | 1
  for (std::uint8_t b : {0x7e, 0x00}) forms.push_back(b);  // (1 << 6) | (15 << 2) | 2
  // 4-byte token: (2 << 11) | (255 << 3) | 7 = 0x17ff
  for (std::uint8_t b : {0xff, 0x17, 0x00, 0x00}) forms.push_back(b);
  Append32(forms, 0);
  const Bytes out = Decode(forms, 1 + 3 + 18 + 258);
  ASSERT_EQ(out.size(), 280u);
  for (std::uint8_t b : out) EXPECT_EQ(b, 0x5a);
}

TEST(PoolCodec, RoundTripsAndFollowsTheWritingRules) {
  std::vector<Bytes> inputs = {Bytes{},     Bytes{7},     Bytes(8, 0),
                               Bytes(9, 0), Bytes(12, 1), Bytes(100000, 0)};
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    inputs.push_back(MixedData(seed * 997, seed));
  }
  inputs.push_back(MixedData(3u << 20, 99));
  std::mt19937 rng(5);
  Bytes noise(5000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
  inputs.push_back(noise);

  for (const Bytes& data : inputs) {
    SCOPED_TRACE(data.size());
    const Bytes packed = EncodePoolStream(data);
    if (data.empty()) {
      EXPECT_TRUE(packed.empty());
      continue;
    }
    EXPECT_EQ(Decode(packed, data.size()), data);
    const StreamShape shape = Walk(packed, data.size());
    EXPECT_TRUE(shape.guards);
    EXPECT_EQ(shape.words, (shape.tokens + 30) / 31);
    EXPECT_LE(shape.last_match_end + 8, std::max<std::size_t>(data.size(), 8));
    EXPECT_EQ(shape.end + 4, packed.size());
  }
  // Repetitive data shrinks, to within the codec's limit.
  const Bytes zeros(100000, 0);
  const Bytes packed = EncodePoolStream(zeros);
  EXPECT_LT(packed.size(), 2000u);
  EXPECT_LE(zeros.size(), packed.size() * kPoolMaxExpansion);
}

TEST(PoolCodec, StoresRawWhenCompressingDoesNotPay) {
  std::mt19937 rng(11);
  Bytes noise(16);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
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
  EXPECT_EQ(failure->offset, 4u);
  EXPECT_NE(failure->message.find("the mesh stream"), std::string::npos) << failure->message;
  EXPECT_NE(failure->message.find("payload byte 4"), std::string::npos) << failure->message;

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
