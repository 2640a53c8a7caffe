#include "hod/pool_codec.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace gantry {

namespace {

constexpr std::uint32_t kGuardBit = 0x80000000u;
constexpr std::size_t kTrailerBytes = 4;
// Matches end at least this far before the end of the output.
constexpr std::size_t kLiteralTail = 8;
constexpr std::uint32_t kMinMatch = 3;
constexpr std::uint32_t kMaxMatch = 258;
constexpr int kFlagsPerWord = 31;

inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // little-endian hosts only, as everywhere in the reader
}

struct Match {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint32_t size = 0;
};

// Token size from its first byte: the two low bits pick the group; both set, bit 2 picks 3 or 4.
inline std::uint32_t TokenSize(std::uint8_t first) {
  switch (first & 3) {
    case 0:
      return 1;
    case 1:
    case 2:
      return 2;
    default:
      return (first & 4) ? 4 : 3;
  }
}

inline Match DecodeToken(const std::uint8_t* p, std::uint32_t size) {
  std::uint32_t w = 0;
  for (std::uint32_t i = 0; i < size; ++i) w |= std::uint32_t{p[i]} << (8 * i);
  switch (size) {
    case 1:
      return {w >> 2, 3, 1};
    case 2:
      if ((w & 3) == 1) return {w >> 2, 3, 2};
      return {w >> 6, ((w >> 2) & 15) + 3, 2};
    case 3:
      return {w >> 8, ((w >> 3) & 31) + 3, 3};
    default:
      return {w >> 11, ((w >> 3) & 255) + 3, 4};
  }
}

class Decoder {
 public:
  Decoder(std::span<const std::uint8_t> in, std::size_t size, std::vector<std::uint8_t>& out,
          std::string_view stream)
      : in_(in), size_(size), out_(out), stream_(stream) {}

  std::optional<PoolDecodeFailure> Run() {
    // The output grows with what the codes give, so a stream that lies about its size fails
    // before a large allocation. Spare room lets matches copy in 8-byte steps; the output is cut
    // to size at the end.
    constexpr std::size_t kWordRoom = 31 * 258 + 16;  // what one control word's tokens can add
    out_.resize(std::min(size_, std::max<std::size_t>(in_.size() * 4, 1 << 16)) + 16);
    std::uint8_t* o = out_.data();
    const std::uint8_t* const p = in_.data();
    const std::size_t n = in_.size();
    std::size_t ip = 0;
    std::size_t op = 0;
    std::uint32_t control = 1;
    while (op < size_) {
      if (control == 1) {
        if (op + kWordRoom > out_.size() && out_.size() < size_ + 16) {
          out_.resize(std::min(size_ + 16, std::max(out_.size() * 2, op + kWordRoom)));
          o = out_.data();
        }
        if (n - ip < 4) return Fail(ip, "the payload ends inside a control word");
        control = Load32(p + ip);
        if ((control & kGuardBit) == 0) {
          return Fail(ip, fmt::format("control word {:#010x} lacks its guard bit", control));
        }
        ip += 4;
      }
      if ((control & 1) == 0) {
        // A run of literals: as many as the flags say, up to what the output still needs.
        std::size_t run = static_cast<std::size_t>(std::countr_zero(control));
        run = std::min(run, size_ - op);
        if (n - ip < run) return Fail(n, "the payload ends inside a run of literals");
        std::memcpy(o + op, p + ip, run);
        ip += run;
        op += run;
        control >>= run;
        continue;
      }
      if (ip >= n) return Fail(ip, "the payload ends before a match");
      const std::uint32_t token_size = TokenSize(p[ip]);
      if (n - ip < token_size) return Fail(ip, "the payload ends inside a match");
      const Match m = DecodeToken(p + ip, token_size);
      if (m.offset == 0 || m.offset > op) {
        return Fail(ip, fmt::format("a match reaches {} bytes back where {} have been output",
                                    m.offset, op));
      }
      if (m.length > size_ - op) {
        return Fail(ip, fmt::format("a match of {} bytes runs past the stream's {} bytes", m.length,
                                    size_));
      }
      ip += token_size;
      Copy(o, op, m.offset, m.length);
      op += m.length;
      control >>= 1;
    }
    if (n - ip != kTrailerBytes || Load32(p + ip) != 0) {
      return Fail(ip, fmt::format("{} bytes follow the last code where the 4-byte zero trailer "
                                  "belongs (the codes give the stated {} bytes: is that size "
                                  "right?)",
                                  n - ip, size_));
    }
    out_.resize(size_);
    return std::nullopt;
  }

 private:
  static void Copy(std::uint8_t* o, std::size_t op, std::uint32_t offset, std::uint32_t length) {
    std::uint8_t* dst = o + op;
    const std::uint8_t* src = dst - offset;
    if (offset >= 8) {
      // Each 8-byte step reads bytes already written; the spare room absorbs the overrun.
      for (std::uint32_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
    } else {
      for (std::uint32_t i = 0; i < length; ++i) dst[i] = src[i];
    }
  }

  std::optional<PoolDecodeFailure> Fail(std::size_t at, std::string detail) {
    out_.clear();
    return PoolDecodeFailure{
        fmt::format("the {} stream: {} (payload byte {})", stream_, detail, at), at};
  }

  std::span<const std::uint8_t> in_;
  std::size_t size_;
  std::vector<std::uint8_t>& out_;
  std::string_view stream_;
};

// ---- Encoder --------------------------------------------------------------------------------

// Hash chains over 4-byte prefixes, plus the nearest earlier 3-byte prefix (a 3-byte match pays
// only with a 1- or 2-byte token, so only a near one counts). Matches are chosen by what they
// save (length less token size), with one step of lazy evaluation for short matches: a match is
// put off by one literal when the next position offers a better one. Chains are cut at kMaxChain
// candidates and once a match is long enough. Measured in bench/hod2_read_bench: deeper chains
// buy about a percent of size for twice the time.
constexpr int kHashBits = 17;
constexpr int kHash3Bits = 16;
constexpr int kMaxChain = 8;
constexpr std::uint32_t kNiceLength = 64;
constexpr std::uint32_t kLazyLength = 32;

inline std::uint32_t Hash4(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return (v * 2654435761u) >> (32 - kHashBits);
}

inline std::uint32_t Hash3(const std::uint8_t* p) {
  const std::uint32_t v =
      std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
  return (v * 2654435761u) >> (32 - kHash3Bits);
}

// The shortest token form that holds (offset, length); 0 when none does.
inline std::uint32_t FormSize(std::uint32_t offset, std::uint32_t length) {
  if (length == 3 && offset <= 63) return 1;
  if (length == 3 && offset <= 16383) return 2;
  if (offset <= 1023 && length <= 18) return 2;
  if (offset <= 65535 && length <= 34) return 3;
  if (offset <= kPoolWindow && length <= kMaxMatch) return 4;
  return 0;
}

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

struct Candidate {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint32_t size = 0;
  int Gain() const { return static_cast<int>(length) - static_cast<int>(size); }
};

class Encoder {
 public:
  explicit Encoder(std::span<const std::uint8_t> data) : data_(data) {}

  std::vector<std::uint8_t> Run() {
    const std::size_t n = data_.size();
    if (n == 0) return {};
    out_.reserve(n + n / 8 + 16);
    head_.assign(std::size_t{1} << kHashBits, kNone);
    head3_.assign(std::size_t{1} << kHash3Bits, kNone);
    prev_.assign(n, kNone);
    // A match must end by n - 8 (the decoder's literal tail).
    match_end_ = n > kLiteralTail ? n - kLiteralTail : 0;
    std::size_t pos = 0;
    std::size_t inserted = 0;  // positions below this are in the chains
    const auto insert_to = [&](std::size_t end) {
      for (; inserted < end; ++inserted) Insert(inserted);
    };
    Candidate next;
    bool have_next = false;
    while (pos < n) {
      insert_to(pos);
      Candidate m = have_next ? next : Find(pos);
      have_next = false;
      if (m.Gain() > 0 && m.length < kLazyLength && pos + 1 < n) {
        insert_to(pos + 1);
        next = Find(pos + 1);
        have_next = true;
        if (next.Gain() > m.Gain()) m = {};  // one literal, then the better match
      }
      if (m.Gain() > 0) {
        EmitMatch(m);
        pos += m.length;
        have_next = false;
      } else {
        EmitLiteral(data_[pos]);
        ++pos;
      }
    }
    FinishWord();
    out_.insert(out_.end(), kTrailerBytes, 0);
    return std::move(out_);
  }

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  void Insert(std::size_t pos) {
    if (pos + kMinMatch > match_end_) return;
    head3_[Hash3(data_.data() + pos)] = static_cast<std::uint32_t>(pos);
    if (pos + 4 > match_end_) return;
    const std::uint32_t h = Hash4(data_.data() + pos);
    prev_[pos] = head_[h];
    head_[h] = static_cast<std::uint32_t>(pos);
  }

  // Bytes equal at a and b, up to limit; 8 at a time (the literal tail keeps the loads inside).
  std::uint32_t MatchLength(const std::uint8_t* a, const std::uint8_t* b,
                            std::uint32_t limit) const {
    std::uint32_t length = 0;
    while (length + 8 <= limit) {
      const std::uint64_t diff = Load64(a + length) ^ Load64(b + length);
      if (diff != 0) return length + static_cast<std::uint32_t>(std::countr_zero(diff) / 8);
      length += 8;
    }
    while (length < limit && a[length] == b[length]) ++length;
    return length;
  }

  Candidate Find(std::size_t pos) const {
    Candidate best;
    if (pos + kMinMatch > match_end_) return best;
    const std::uint8_t* const base = data_.data();
    const std::uint8_t* const here = base + pos;
    const auto limit =
        static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, match_end_ - pos));
    if (const std::uint32_t near = head3_[Hash3(here)]; near != kNone && pos - near <= 16383) {
      const std::uint32_t length = MatchLength(base + near, here, limit);
      if (length >= kMinMatch) {
        const auto offset = static_cast<std::uint32_t>(pos - near);
        best = {offset, length, FormSize(offset, length)};
      }
    }
    if (pos + 4 > match_end_) return best;
    std::uint32_t candidate = head_[Hash4(here)];
    for (int chain = 0; chain < kMaxChain && candidate != kNone; ++chain) {
      const std::size_t offset = pos - candidate;
      if (offset > kPoolWindow) break;
      const std::uint8_t* const there = base + candidate;
      candidate = prev_[candidate];
      // Candidates come nearest first, so a farther one does better only by being longer.
      if (best.length >= kMinMatch &&
          (best.length >= limit || there[best.length] != here[best.length])) {
        continue;
      }
      const std::uint32_t length = MatchLength(there, here, limit);
      if (length < kMinMatch) continue;
      const std::uint32_t size = FormSize(static_cast<std::uint32_t>(offset), length);
      const Candidate c{static_cast<std::uint32_t>(offset), length, size};
      if (size != 0 && (c.Gain() > best.Gain() || best.length == 0)) {
        best = c;
        if (length >= kNiceLength || length == limit) break;
      }
    }
    return best;
  }

  void StartToken(bool match) {
    if (flags_ == kFlagsPerWord || word_at_ == kNone) {
      FinishWord();
      word_at_ = static_cast<std::uint32_t>(out_.size());
      out_.insert(out_.end(), 4, 0);
      flags_ = 0;
      bits_ = 0;
    }
    if (match) bits_ |= 1u << flags_;
    ++flags_;
  }

  void FinishWord() {
    if (word_at_ == kNone) return;
    const std::uint32_t word = bits_ | kGuardBit;
    std::memcpy(out_.data() + word_at_, &word, 4);
  }

  void EmitLiteral(std::uint8_t byte) {
    StartToken(false);
    out_.push_back(byte);
  }

  void EmitMatch(const Candidate& m) {
    StartToken(true);
    const std::uint32_t d = m.offset;
    const std::uint32_t l = m.length - 3;
    std::uint32_t w;
    if (m.size == 1) {
      w = d << 2;
    } else if (m.size == 2) {
      w = m.length == 3 && d <= 16383 ? (d << 2) | 1 : (d << 6) | (l << 2) | 2;
    } else if (m.size == 3) {
      w = (d << 8) | (l << 3) | 3;
    } else {
      w = (d << 11) | (l << 3) | 7;
    }
    for (std::uint32_t i = 0; i < m.size; ++i)
      out_.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
  }

  std::span<const std::uint8_t> data_;
  std::vector<std::uint8_t> out_;
  std::vector<std::uint32_t> head_;
  std::vector<std::uint32_t> head3_;
  std::vector<std::uint32_t> prev_;
  std::size_t match_end_ = 0;
  std::uint32_t word_at_ = kNone;
  std::uint32_t bits_ = 0;
  int flags_ = 0;
};

}  // namespace

std::optional<PoolDecodeFailure> DecodePoolStream(std::span<const std::uint8_t> payload,
                                                  std::size_t size, std::vector<std::uint8_t>& out,
                                                  std::string_view stream) {
  return Decoder(payload, size, out, stream).Run();
}

std::optional<PoolDecodeFailure> UnpackPoolStream(std::span<const std::uint8_t> payload,
                                                  std::size_t size, std::vector<std::uint8_t>& out,
                                                  std::string_view stream) {
  if (payload.size() == size) {
    out.assign(payload.begin(), payload.end());
    return std::nullopt;
  }
  return DecodePoolStream(payload, size, out, stream);
}

std::vector<std::uint8_t> EncodePoolStream(std::span<const std::uint8_t> data) {
  return Encoder(data).Run();
}

std::vector<std::uint8_t> PackPoolStream(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> packed = EncodePoolStream(data);
  if (packed.size() >= data.size()) return std::vector<std::uint8_t>(data.begin(), data.end());
  return packed;
}

}  // namespace gantry
