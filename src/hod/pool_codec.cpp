#include "hod/pool_codec.h"

#include <fmt/format.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <future>
#include <system_error>
#include <thread>

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

// `available`: the payload's bytes from p on (at least the token's size). A whole stream has
// its 4-byte trailer after the last token, so one load nearly always reads the token.
inline Match DecodeToken(const std::uint8_t* p, std::uint32_t size, std::size_t available) {
  std::uint32_t w = 0;
  if (available >= 4) {
    w = Load32(p) & (size == 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1);
  } else {
    for (std::uint32_t i = 0; i < size; ++i) w |= std::uint32_t{p[i]} << (8 * i);
  }
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
    constexpr std::size_t kSpare = 32;  // room past the end for copies in whole steps
    constexpr std::size_t kWordRoom = 31 * 258 + kSpare;  // what one control word's tokens add
    out_.resize(std::min(size_, std::max<std::size_t>(in_.size() * 4, 1 << 16)) + kSpare);
    std::uint8_t* o = out_.data();
    const std::uint8_t* const p = in_.data();
    const std::size_t n = in_.size();
    std::size_t ip = 0;
    std::size_t op = 0;
    std::uint32_t control = 1;
    while (op < size_) {
      if (control == 1) {
        if (op + kWordRoom > out_.size() && out_.size() < size_ + kSpare) {
          out_.resize(std::min(size_ + kSpare, std::max(out_.size() * 2, op + kWordRoom)));
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
        if (run <= 32 && n - ip >= 32) {
          std::memcpy(o + op, p + ip, 32);  // a fixed size copies without a call
        } else {
          std::memcpy(o + op, p + ip, run);
        }
        ip += run;
        op += run;
        control >>= run;
        continue;
      }
      if (ip >= n) return Fail(ip, "the payload ends before a match");
      const std::uint32_t token_size = TokenSize(p[ip]);
      if (n - ip < token_size) return Fail(ip, "the payload ends inside a match");
      const Match m = DecodeToken(p + ip, token_size, n - ip);
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

// Prices in 1/31 bit: a token's bytes and its flag, plus its share of a control word (32 bits
// for 31 flags). Every token pays the same flag share, so a parse is priced by bytes and tokens.
constexpr std::uint32_t kLiteralPrice = 8 * 31 + 32;
constexpr std::uint32_t MatchPrice(std::uint32_t size) { return 8 * 31 * size + 32; }

// The shortest token form that holds (offset, length); 0 when none does.
constexpr std::uint32_t FormSize(std::uint32_t offset, std::uint32_t length) {
  if (length == 3 && offset <= 63) return 1;
  if (length == 3 && offset <= 16383) return 2;
  if (offset <= 1023 && length <= 18) return 2;
  if (offset <= 65535 && length <= 34) return 3;
  if (offset <= kPoolWindow && length <= kMaxMatch) return 4;
  return 0;
}

// Offsets fall in five classes by the token forms open to them; a match's price depends only on
// its class and length.
inline int OffsetClass(std::uint32_t offset) {
  return offset <= 63 ? 0 : offset <= 1023 ? 1 : offset <= 16383 ? 2 : offset <= 65535 ? 3 : 4;
}

struct PriceTable {
  std::uint16_t prices[5][kMaxMatch + 1] = {};
  constexpr PriceTable() {
    constexpr std::uint32_t kClassOffset[5] = {63, 1023, 16383, 65535, kPoolWindow};
    for (int c = 0; c < 5; ++c) {
      for (std::uint32_t length = kMinMatch; length <= kMaxMatch; ++length) {
        prices[c][length] =
            static_cast<std::uint16_t>(MatchPrice(FormSize(kClassOffset[c], length)));
      }
    }
  }
  const std::uint16_t* operator[](int c) const { return prices[c]; }
};
constexpr PriceTable kPrices;

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// A match token, or a run of literals (offset 0, as many bytes as it gives).
struct Token {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t size = 0;    // in the payload
  std::uint32_t length = 0;  // of output
  std::uint32_t offset = 0;  // 0 for literals
  std::size_t at = 0;        // where its output begins
};

// Writes tokens and the control words that carry their flags.
class TokenWriter {
 public:
  // Room for the worst a parse of `size` bytes can give: every byte a literal.
  explicit TokenWriter(std::size_t size) : out_(size + 4 * (size / kFlagsPerWord + 1) + 8) {}

  void Literal(std::uint8_t byte) {
    Flag(0);
    out_[op_++] = byte;
  }

  // A run of literals: their flags are 0, so they go in as whole stretches between words.
  void Literals(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
      OpenWordIfFull();
      const std::size_t take = std::min<std::size_t>(count, kFlagsPerWord - flags_);
      std::memcpy(out_.data() + op_, bytes, take);
      op_ += take;
      flags_ += static_cast<int>(take);
      bytes += take;
      count -= take;
    }
  }

  void Match(std::uint32_t offset, std::uint32_t length) {
    Flag(1);
    const std::uint32_t size = FormSize(offset, length);
    const std::uint32_t l = length - kMinMatch;
    std::uint32_t w;
    if (size == 1) {
      w = offset << 2;
    } else if (size == 2) {
      w = length == kMinMatch && offset <= 16383 ? (offset << 2) | 1 : (offset << 6) | (l << 2) | 2;
    } else if (size == 3) {
      w = (offset << 8) | (l << 3) | 3;
    } else {
      w = (offset << 11) | (l << 3) | 7;
    }
    for (std::uint32_t i = 0; i < size; ++i) out_[op_++] = static_cast<std::uint8_t>(w >> (8 * i));
  }

  // A token as another payload has it. A match token may be longer than the bytes it gives (a
  // 4-byte token for 3 bytes is valid), which the room made at the start does not allow for.
  void Copy(const Token& t) {
    if (t.offset == 0) return Literals(t.bytes, t.length);
    Flag(1);
    if (t.size > t.length) out_.resize(out_.size() + t.size - t.length);
    std::uint8_t* to = out_.data() + op_;
    switch (t.size) {  // sizes the compiler can copy without a call
      case 1:
        std::memcpy(to, t.bytes, 1);
        break;
      case 2:
        std::memcpy(to, t.bytes, 2);
        break;
      case 3:
        std::memcpy(to, t.bytes, 3);
        break;
      default:
        std::memcpy(to, t.bytes, 4);
        break;
    }
    op_ += t.size;
  }

  // The payload: the last control word completed, then the trailer.
  std::vector<std::uint8_t> Finish() {
    FinishWord();
    out_.resize(op_ + kTrailerBytes);
    std::memset(out_.data() + op_, 0, kTrailerBytes);
    return std::move(out_);
  }

 private:
  static constexpr std::size_t kNoWord = ~std::size_t{0};

  void Flag(std::uint32_t match) {
    OpenWordIfFull();
    bits_ |= match << flags_;
    ++flags_;
  }

  // A word is put down only when a token follows it.
  void OpenWordIfFull() {
    if (flags_ != kFlagsPerWord) return;
    FinishWord();
    word_at_ = op_;
    op_ += 4;
    flags_ = 0;
    bits_ = 0;
  }

  void FinishWord() {
    if (word_at_ == kNoWord) return;
    const std::uint32_t word = bits_ | kGuardBit;
    std::memcpy(out_.data() + word_at_, &word, 4);
  }

  std::vector<std::uint8_t> out_;
  std::size_t op_ = 0;
  std::size_t word_at_ = kNoWord;
  std::uint32_t bits_ = 0;
  int flags_ = kFlagsPerWord;
};

// Walks a payload's tokens without producing the output, literals a run at a time. Output positions
// count from `start` (a payload made for the later part of a stream). Stops, damaged(), at anything
// a decoder would refuse.
class TokenCursor {
 public:
  TokenCursor(std::span<const std::uint8_t> payload, std::size_t start, std::size_t end)
      : p_(payload), op_(start), end_(end) {}

  bool Next(Token& t) {
    if (op_ >= end_) return false;
    if (control_ == 1) {
      if (p_.size() - ip_ < 4) return Damaged();
      control_ = Load32(p_.data() + ip_);
      if ((control_ & kGuardBit) == 0) return Damaged();
      ip_ += 4;
    }
    t.at = op_;
    t.bytes = p_.data() + ip_;
    if ((control_ & 1) == 0) {
      // The literals up to the next match flag (or the word's end), as far as the output goes.
      const auto run = static_cast<std::uint32_t>(
          std::min<std::size_t>(static_cast<std::size_t>(std::countr_zero(control_)), end_ - op_));
      if (p_.size() - ip_ < run) return Damaged();
      t = {t.bytes, run, run, 0, op_};
      ip_ += run;
      op_ += run;
      control_ >>= run;
      return true;
    } else {
      if (ip_ >= p_.size()) return Damaged();
      const std::uint32_t size = TokenSize(p_[ip_]);
      if (p_.size() - ip_ < size) return Damaged();
      const Match m = DecodeToken(t.bytes, size, p_.size() - ip_);
      if (m.offset == 0 || m.offset > op_ || m.length > end_ - op_) return Damaged();
      t = {t.bytes, size, m.length, m.offset, op_};
    }
    ip_ += t.size;
    op_ += t.length;
    control_ >>= 1;
    return true;
  }

  bool damaged() const { return damaged_; }

 private:
  bool Damaged() {
    damaged_ = true;
    return false;
  }

  std::span<const std::uint8_t> p_;
  std::size_t ip_ = 0;
  std::size_t op_;
  std::size_t end_;
  std::uint32_t control_ = 1;
  bool damaged_ = false;
};

struct Candidate {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

// Buckets of the latest kWays positions per hash of a 4-byte prefix, each with a byte of the hash
// as a tag, plus the nearest earlier 3-byte prefix (a 3-byte match pays only with a 1- or 2-byte
// token, so only a near one counts). A bucket fills one cache line and its tags are compared at
// once, so a search costs a load or two where a hash chain costs one per candidate. A search
// gives the matches that are longer than every nearer one, nearest first: for each length, the
// nearest offset, which needs the shortest token. Measured in bench/hod2_read_bench: 16 ways buy
// about a percent of size for a third more time.
class MatchFinder {
 public:
  static constexpr unsigned kWays = 8;
  static constexpr std::size_t kMaxCandidates = kWays + 1;

  // `indexed`: about how many positions will be indexed. The tables are sized to it, so a small
  // stream (or a few changed bytes) does not pay for clearing large ones.
  MatchFinder(std::span<const std::uint8_t> data, std::size_t match_end, std::size_t indexed)
      : base_(data.data()), match_end_(match_end) {
    const int bits = std::clamp(static_cast<int>(std::bit_width(indexed)) - 3, 6, 16);
    bucket_shift_ = 32 - bits;
    shift3_ = 32 - std::min(bits + 2, 16);
    buckets_.assign(std::size_t{1} << bits, Bucket{});
    head3_.assign(std::size_t{1} << (32 - shift3_), kNone);
  }

  // Positions before `from` are never indexed (a search starting part way).
  void IndexFrom(std::size_t from) { next_ = std::max(next_, from); }

  // The matches at `pos` that end by `end` (at most kMaxCandidates, into `out`), each longer
  // than the one before. Positions are indexed in order: those passed over since the last call
  // are indexed first. Needs pos + 3 <= end <= the match end.
  std::size_t Find(std::size_t pos, std::size_t end, std::uint32_t nice, Candidate* out) {
    IndexTo(pos);
    next_ = pos + 1;
    const std::uint8_t* const here = base_ + pos;
    const auto limit = static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, end - pos));
    std::size_t count = 0;
    std::uint32_t best = kMinMatch - 1;
    const std::uint32_t h3 = Hash3(here);
    const std::uint32_t near = head3_[h3];
    head3_[h3] = static_cast<std::uint32_t>(pos);
    if (near != kNone && pos - near <= 16383) {
      const std::uint32_t length = MatchLength(base_ + near, here, limit);
      if (length >= kMinMatch) {
        out[count++] = {static_cast<std::uint32_t>(pos - near), length};
        best = length;
      }
    }
    if (pos + 4 > match_end_) return count;
    const std::uint32_t h = Hash4(here);
    Bucket& bucket = buckets_[h >> 8];
    const auto tag = static_cast<std::uint8_t>(h);
    // The next search's bucket, fetched while this one is checked.
    if (pos + 5 <= match_end_) __builtin_prefetch(&buckets_[Hash4(here + 1) >> 8]);
    // A byte of `same` is 0x80 where the way's tag equals this one, newest way first.
    const std::uint64_t diff = bucket.tags ^ (0x0101010101010101ull * tag);
    std::uint64_t same =
        ~(((diff & 0x7F7F7F7F7F7F7F7Full) + 0x7F7F7F7F7F7F7F7Full) | diff | 0x7F7F7F7F7F7F7F7Full);
    same = std::rotr(same, static_cast<int>(8 * bucket.head));
    std::uint32_t ways[kWays];
    unsigned found = 0;
    for (; same != 0; same &= same - 1) {
      const unsigned slot =
          (bucket.head + static_cast<unsigned>(std::countr_zero(same)) / 8) % kWays;
      const std::uint32_t candidate = bucket.positions[slot];
      if (candidate == kNone || pos - candidate > kPoolWindow) break;  // the rest are older
      ways[found++] = candidate;
      __builtin_prefetch(base_ + candidate);
    }
    Insert(bucket, pos, tag);
    for (unsigned i = 0; i < found && best < limit; ++i) {
      const std::uint8_t* const there = base_ + ways[i];
      // Farther candidates matter only when longer.
      if (there[best] != here[best]) continue;
      const std::uint32_t length = MatchLength(there, here, limit);
      if (length <= best) continue;
      out[count++] = {static_cast<std::uint32_t>(pos - ways[i]), length};
      best = length;
      if (length >= nice) break;
    }
    return count;
  }

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  struct alignas(64) Bucket {
    std::uint32_t positions[kWays] = {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
    std::uint64_t tags = 0;  // a byte per way
    unsigned head = 0;       // the newest way
  };

  // Indexes every position before `pos` not yet indexed.
  void IndexTo(std::size_t pos) {
    const std::size_t end = std::min(pos, match_end_ + 1 - kMinMatch);
    for (; next_ < end; ++next_) {
      const std::uint8_t* const p = base_ + next_;
      head3_[Hash3(p)] = static_cast<std::uint32_t>(next_);
      if (next_ + 4 > match_end_) continue;
      const std::uint32_t h = Hash4(p);
      Insert(buckets_[h >> 8], next_, static_cast<std::uint8_t>(h));
    }
  }

  static void Insert(Bucket& bucket, std::size_t pos, std::uint8_t tag) {
    bucket.head = (bucket.head + kWays - 1) % kWays;
    bucket.positions[bucket.head] = static_cast<std::uint32_t>(pos);
    const int shift = static_cast<int>(8 * bucket.head);
    bucket.tags = (bucket.tags & ~(0xFFull << shift)) | (std::uint64_t{tag} << shift);
  }

  // The bucket from the hash's high bits (above bit 8), the tag from its low byte.
  std::uint32_t Hash4(const std::uint8_t* p) const {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    const std::uint32_t h = v * 2654435761u;
    return ((h >> bucket_shift_) << 8) | ((h >> 8) & 0xff);
  }
  std::uint32_t Hash3(const std::uint8_t* p) const {
    const std::uint32_t v =
        std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    return (v * 2654435761u) >> shift3_;
  }

  // Bytes equal at a and b, up to limit, 8 at a time (the literal tail keeps the loads inside).
  static std::uint32_t MatchLength(const std::uint8_t* a, const std::uint8_t* b,
                                   std::uint32_t limit) {
    std::uint32_t length = 0;
    while (length + 8 <= limit) {
      const std::uint64_t diff = Load64(a + length) ^ Load64(b + length);
      if (diff != 0) return length + static_cast<std::uint32_t>(std::countr_zero(diff) / 8);
      length += 8;
    }
    while (length < limit && a[length] == b[length]) ++length;
    return length;
  }

  const std::uint8_t* base_;
  std::size_t match_end_;
  std::size_t next_ = 0;
  int bucket_shift_ = 24;
  int shift3_ = 16;
  std::vector<Bucket> buckets_;
  std::vector<std::uint32_t> head3_;
};

// Tokens chosen by price: the cheapest path through a stretch of the data, where each position
// is reached by a literal or by any match that ends there. A stretch ends where every path meets
// or after kBlock positions; a match of kNiceLength or more is taken at once.
class RangeEncoder {
 public:
  static constexpr std::size_t kBlock = 2048;
  static constexpr std::uint32_t kNiceLength = 64;

  // `indexed`: about how much of the data will be searched (all of it by default).
  explicit RangeEncoder(std::span<const std::uint8_t> data, std::size_t indexed = SIZE_MAX)
      : data_(data),
        match_end_(data.size() > kLiteralTail ? data.size() - kLiteralTail : 0),
        finder_(data, match_end_, std::min(indexed, match_end_)),
        nodes_(kBlock + kMaxMatch + 1),
        path_(kBlock + kMaxMatch + 1) {}

  // Tokens for data[start, end), after those for everything before `start`. Matches are sought
  // among positions from `history` on; ranges must come in order.
  void Encode(TokenWriter& out, std::size_t start, std::size_t end, std::size_t history) {
    finder_.IndexFrom(history);
    const std::size_t match_end = std::min(end, match_end_);
    std::size_t pos = start;
    while (pos < end) {
      if (pos + kMinMatch > match_end) {
        for (; pos < end; ++pos) out.Literal(data_[pos]);
        break;
      }
      pos = Stretch(out, pos, match_end);
    }
  }

  // The same, faster and a few percent larger: each match taken as found, unless the next
  // position offers a better one (one step of lazy evaluation).
  void EncodeQuickly(TokenWriter& out, std::size_t start, std::size_t end, std::size_t history) {
    finder_.IndexFrom(history);
    const std::size_t match_end = std::min(end, match_end_);
    Candidate found[MatchFinder::kMaxCandidates];
    const auto best = [&](std::size_t pos, Candidate& c) {
      c = {};
      if (pos + kMinMatch > match_end) return 0;
      const std::size_t count = finder_.Find(pos, match_end, kNiceLength, found);
      int gain = 0;
      for (std::size_t k = 0; k < count; ++k) {
        const int g = static_cast<int>(found[k].length * kLiteralPrice) -
                      kPrices[OffsetClass(found[k].offset)][found[k].length];
        if (g > gain) {
          gain = g;
          c = found[k];
        }
      }
      return gain;
    };
    std::size_t pos = start;
    Candidate here;
    int gain = best(pos, here);
    while (pos < end) {
      if (gain <= 0) {
        out.Literal(data_[pos++]);
        gain = best(pos, here);
        continue;
      }
      Candidate next;
      const int next_gain = here.length < kNiceLength ? best(pos + 1, next) : 0;
      if (next_gain > gain + static_cast<int>(kLiteralPrice)) {
        out.Literal(data_[pos++]);
        here = next;
        gain = next_gain;
        continue;
      }
      out.Match(here.offset, here.length);
      pos += here.length;
      gain = best(pos, here);
    }
  }

 private:
  static constexpr std::uint32_t kUnreached = 0xFFFFFFFFu;

  struct Node {
    std::uint32_t price = 0;
    std::uint32_t length = 0;  // of the token that ends here: 1 and offset 0 for a literal
    std::uint32_t offset = 0;
  };

  void ReachTo(std::size_t to) {
    for (; reach_ < to;) nodes_[++reach_].price = kUnreached;
  }

  // Emits the cheapest tokens from `start` to where all paths meet; returns the position after.
  std::size_t Stretch(TokenWriter& out, std::size_t start, std::size_t match_end) {
    nodes_[0] = {0, 0, 0};
    reach_ = 0;
    std::size_t stop = 0;
    Candidate taken;  // a match long enough to take without weighing
    Candidate found[MatchFinder::kMaxCandidates];
    for (std::size_t r = 0;; ++r) {
      if (r > 0 && r >= reach_) {
        stop = r;
        break;
      }
      if (r == kBlock) {
        stop = reach_;
        break;
      }
      const std::size_t pos = start + r;
      const std::uint32_t price = nodes_[r].price;
      ReachTo(r + 1);
      if (price + kLiteralPrice < nodes_[r + 1].price) {
        nodes_[r + 1] = {price + kLiteralPrice, 1, 0};
      }
      if (pos + kMinMatch > match_end) continue;
      const std::size_t count = finder_.Find(pos, match_end, kNiceLength, found);
      if (count == 0) continue;
      if (found[count - 1].length >= kNiceLength) {
        stop = r;
        taken = found[count - 1];
        break;
      }
      std::uint32_t length = kMinMatch;
      for (std::size_t k = 0; k < count; ++k) {
        const Candidate& c = found[k];
        const std::uint16_t* prices = kPrices[OffsetClass(c.offset)];
        ReachTo(r + c.length);
        for (; length <= c.length; ++length) {
          Node& node = nodes_[r + length];
          const std::uint32_t p = price + prices[length];
          if (p < node.price) node = {p, length, c.offset};
        }
      }
    }
    std::size_t steps = 0;
    for (std::size_t r = stop; r > 0; r -= nodes_[r].length) path_[steps++] = nodes_[r];
    std::size_t pos = start;
    while (steps > 0) {
      const Node& step = path_[--steps];
      if (step.offset == 0) {
        out.Literal(data_[pos]);
      } else {
        out.Match(step.offset, step.length);
      }
      pos += step.length;
    }
    if (taken.length != 0) {
      out.Match(taken.offset, taken.length);
      pos += taken.length;
    }
    return pos;
  }

  std::span<const std::uint8_t> data_;
  std::size_t match_end_;
  MatchFinder finder_;
  std::vector<Node> nodes_;
  std::vector<Node> path_;
  std::size_t reach_ = 0;
};

// How many bytes a and b have in common from their start, up to `limit`.
std::size_t CommonPrefix(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
  std::size_t i = 0;
  for (; i + 8 <= limit; i += 8) {
    const std::uint64_t diff = Load64(a + i) ^ Load64(b + i);
    if (diff != 0) return i + static_cast<std::size_t>(std::countr_zero(diff) / 8);
  }
  while (i < limit && a[i] == b[i]) ++i;
  return i;
}

// How many bytes the ranges ending at a_end and b_end have in common from their end.
std::size_t CommonSuffix(const std::uint8_t* a_end, const std::uint8_t* b_end, std::size_t limit) {
  std::size_t i = 0;
  for (; i + 8 <= limit; i += 8) {
    const std::uint64_t diff = Load64(a_end - i - 8) ^ Load64(b_end - i - 8);
    if (diff != 0) return i + static_cast<std::size_t>(std::countl_zero(diff) / 8);
  }
  while (i < limit &&
         a_end[-1 - static_cast<std::ptrdiff_t>(i)] == b_end[-1 - static_cast<std::ptrdiff_t>(i)]) {
    ++i;
  }
  return i;
}

// Old bytes [old_at, old_at + length) stand unchanged at new_at in the new stream.
struct Segment {
  std::size_t old_at = 0;
  std::size_t new_at = 0;
  std::size_t length = 0;
};

// The runs of bytes an earlier version of a stream and the new one have in common, in order in
// both: the common start and end, and between them runs found where the new bytes go on as the
// old ones did at the same distance as before, or where 16 new bytes equal a 16-byte block of
// the old (blocks taken every 16 bytes). Edits in place, insertions and removals, several of
// them, leave most of a stream in a few runs.
std::vector<Segment> Align(const std::vector<std::uint8_t>& before,
                           std::span<const std::uint8_t> now) {
  constexpr std::size_t kBlock = 16;
  const std::uint8_t* const o = before.data();
  const std::uint8_t* const x = now.data();
  const std::size_t n0 = before.size(), n1 = now.size();
  const std::size_t common = std::min(n0, n1);
  const std::size_t prefix = CommonPrefix(o, x, common);
  const std::size_t suffix = CommonSuffix(o + n0, x + n1, common - prefix);
  std::vector<Segment> segments;
  if (prefix > 0) segments.push_back({0, 0, prefix});
  const std::size_t old_end = n0 - suffix, new_end = n1 - suffix;
  if (old_end - prefix >= kBlock && new_end - prefix >= kBlock) {
    const auto hash = [](const std::uint8_t* p, int shift) {
      const std::uint64_t h = Load64(p) * 0x9E3779B185EBCA87ull ^ Load64(p + 8);
      return static_cast<std::size_t>((h * 0xC2B2AE3D27D4EB4Full) >> shift);
    };
    const std::size_t blocks = (old_end - prefix) / kBlock;
    const int bits = std::clamp(static_cast<int>(std::bit_width(blocks)) + 1, 4, 24);
    const int shift = 64 - bits;
    std::vector<std::uint32_t> table(std::size_t{1} << bits, 0xFFFFFFFFu);
    // Later blocks first, so the earliest of equal blocks stays.
    for (std::size_t b = blocks; b-- > 0;) {
      const std::size_t q = prefix + b * kBlock;
      table[hash(o + q, shift)] = static_cast<std::uint32_t>(q);
    }
    std::size_t p = prefix;          // new bytes before this are settled
    std::size_t old_floor = prefix;  // old bytes before this are used
    std::ptrdiff_t delta = 0;        // new position less old in the latest run
    while (p + kBlock <= new_end) {
      std::size_t q = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(p) - delta);
      bool found = q >= old_floor && q + 8 <= old_end && Load64(o + q) == Load64(x + p);
      if (!found) {
        const std::uint32_t hit = table[hash(x + p, shift)];
        found = hit != 0xFFFFFFFFu && hit >= old_floor && std::memcmp(o + hit, x + p, kBlock) == 0;
        if (!found) {
          ++p;
          continue;
        }
        q = hit;
        // The run may begin before the block.
        const std::size_t new_floor =
            segments.empty() ? prefix : segments.back().new_at + segments.back().length;
        while (p > new_floor && q > old_floor && o[q - 1] == x[p - 1]) {
          --p;
          --q;
        }
        delta = static_cast<std::ptrdiff_t>(p) - static_cast<std::ptrdiff_t>(q);
      }
      const std::size_t length = CommonPrefix(o + q, x + p, std::min(old_end - q, new_end - p));
      segments.push_back({q, p, length});
      p += length;
      old_floor = q + length;
    }
  }
  if (suffix > 0) segments.push_back({n0 - suffix, n1 - suffix, suffix});
  return segments;
}

// Appends the tokens of `payload`, made for data[start, end), to `out`.
void AppendTokens(TokenWriter& out, std::span<const std::uint8_t> payload, std::size_t start,
                  std::size_t end) {
  TokenCursor cursor(payload, start, end);
  Token t;
  while (cursor.Next(t)) out.Copy(t);
}

// Streams at least this large are compressed in two halves at once, the second half's matches
// sought from kSplitHistory bytes before it.
constexpr std::size_t kSplitSize = std::size_t{1} << 20;
constexpr std::size_t kSplitHistory = std::size_t{1} << 20;

// A run of changed bytes shorter than kQuickSpan (a few moved vertices) is compressed again
// without weighing prices, with matches sought from kQuickHistory bytes before it: most of the
// time saved for little size (measured on the shared files' streams). A longer run (a new
// texture or level of detail) is compressed as a whole stream would be, from kRepackHistory.
constexpr std::size_t kQuickSpan = std::size_t{64} << 10;
constexpr std::size_t kQuickHistory = std::size_t{2} << 10;
constexpr std::size_t kRepackHistory = std::size_t{64} << 10;

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
  const std::size_t n = data.size();
  if (n == 0) return {};
  TokenWriter out(n);
  if (n < kSplitSize || std::thread::hardware_concurrency() < 2) {
    RangeEncoder(data).Encode(out, 0, n, 0);
    return out.Finish();
  }
  // The halves are independent but for the second's matches into the first, which it finds
  // itself; its tokens are then copied behind the first's under new control words.
  const std::size_t half = n / 2;
  const auto second = [data, half, n] {
    TokenWriter tokens(n - half);
    RangeEncoder(data).Encode(tokens, half, n, half > kSplitHistory ? half - kSplitHistory : 0);
    return tokens.Finish();
  };
  std::future<std::vector<std::uint8_t>> later;
  try {
    later = std::async(std::launch::async, second);
  } catch (const std::system_error&) {
    // No thread to be had: one after the other.
  }
  RangeEncoder(data).Encode(out, 0, half, 0);
  const std::vector<std::uint8_t> tail = later.valid() ? later.get() : second();
  AppendTokens(out, tail, half, n);
  return out.Finish();
}

std::vector<std::uint8_t> PackPoolStream(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> packed = EncodePoolStream(data);
  if (packed.size() >= data.size()) return std::vector<std::uint8_t>(data.begin(), data.end());
  return packed;
}

std::vector<std::uint8_t> RepackPoolStream(std::span<const std::uint8_t> data,
                                           std::span<const std::uint8_t> before,
                                           std::size_t before_size) {
  const std::size_t n = data.size();
  std::vector<std::uint8_t> old;
  if (n == 0 || before.size() == before_size ||
      DecodePoolStream(before, before_size, old, "earlier").has_value()) {
    return PackPoolStream(data);
  }
  const std::vector<Segment> segments = Align(old, data);
  const std::size_t match_end = n > kLiteralTail ? n - kLiteralTail : 0;
  const std::uint8_t* const d = data.data();

  std::size_t changed = n;  // at least this many new bytes are compressed afresh
  for (const Segment& segment : segments) changed -= segment.length;
  TokenWriter out(n);
  std::optional<RangeEncoder> encoder;  // made only when something changed
  std::size_t done = 0;                 // new bytes given tokens so far
  const auto fill_to = [&](std::size_t to) {
    if (to <= done) return;
    if (!encoder) {
      // Tables for about as many positions as will be searched.
      encoder.emplace(data, changed + (changed < kQuickSpan ? 8 * kQuickHistory : kRepackHistory));
    }
    if (to - done < kQuickSpan) {
      encoder->EncodeQuickly(out, done, to, done > kQuickHistory ? done - kQuickHistory : 0);
    } else {
      encoder->Encode(out, done, to, done > kRepackHistory ? done - kRepackHistory : 0);
    }
    done = to;
  };
  // The segment holding old position `at`: tokens come in order, so the search goes on from
  // the last one.
  std::size_t k = 0;
  TokenCursor cursor(before, 0, before_size);
  Token t;
  while (cursor.Next(t)) {
    if (t.offset == 0) {
      // Literals are kept wherever their bytes are in a segment.
      std::size_t from = t.at;
      const std::size_t to = t.at + t.length;
      while (from < to) {
        while (k + 1 < segments.size() && segments[k + 1].old_at <= from) ++k;
        if (k >= segments.size()) break;
        const Segment& s = segments[k];
        if (from < s.old_at) {
          from = std::min(to, s.old_at);
          continue;
        }
        const std::size_t end = s.old_at + s.length;
        if (from >= end) {
          from = k + 1 < segments.size() ? std::min(to, segments[k + 1].old_at) : to;
          continue;
        }
        const std::size_t piece = std::min(to, end) - from;
        const std::size_t at = s.new_at + (from - s.old_at);
        const std::size_t skip = at < done ? std::min(piece, done - at) : 0;
        if (skip < piece) {
          fill_to(at + skip);
          out.Literals(t.bytes + (from - t.at) + skip, piece - skip);
          done = at + piece;
        }
        from += piece;
      }
      continue;
    }
    while (k + 1 < segments.size() && segments[k + 1].old_at <= t.at) ++k;
    if (k >= segments.size()) break;
    const Segment& s = segments[k];
    if (t.at < s.old_at || t.at + t.length > s.old_at + s.length) continue;  // changed
    const std::size_t at = s.new_at + (t.at - s.old_at);
    if (at < done) continue;
    std::uint32_t offset = t.offset;
    if (offset != 0) {
      if (at + t.length > match_end) continue;
      // The bytes it gives are unchanged; it still holds where the bytes it copies moved with
      // it, or moved elsewhere within reach, or happen to be there still.
      const std::size_t from = t.at - t.offset;
      if (from < s.old_at) {
        auto it =
            std::upper_bound(segments.begin(), segments.begin() + static_cast<std::ptrdiff_t>(k),
                             from, [](std::size_t a, const Segment& g) { return a < g.old_at; });
        std::optional<std::size_t> moved_from;
        if (it != segments.begin()) {
          --it;
          if (from + t.length <= it->old_at + it->length) {
            moved_from = it->new_at + (from - it->old_at);
          }
        }
        if (moved_from && *moved_from < at && at - *moved_from <= kPoolWindow) {
          offset = static_cast<std::uint32_t>(at - *moved_from);
        } else if (!(t.offset <= at && std::memcmp(d + at, d + at - t.offset, t.length) == 0)) {
          continue;
        }
      }
    }
    fill_to(at);
    if (offset == t.offset) {
      out.Copy(t);
    } else {
      out.Match(offset, t.length);
    }
    done = at + t.length;
  }
  fill_to(n);
  std::vector<std::uint8_t> packed = out.Finish();
  if (packed.size() >= n) return std::vector<std::uint8_t>(data.begin(), data.end());
  return packed;
}

// Four lanes of 64-bit multiply-rotate rounds over 32-byte stripes: each round is one-to-one in
// its lane, so streams that differ in one stripe always end in different lanes. The lanes are
// folded two ways into 128 bits, with the length.
namespace {
constexpr std::uint64_t kD1 = 0x9E3779B185EBCA87ull, kD2 = 0xC2B2AE3D27D4EB4Full,
                        kD3 = 0x165667B19E3779F9ull, kD4 = 0x85EBCA77C2B2AE63ull,
                        kD5 = 0x27D4EB2F165667C5ull;
inline std::uint64_t DigestRound(std::uint64_t acc, std::uint64_t v) {
  return std::rotl(acc + v * kD2, 31) * kD1;
}
}  // namespace

PoolDigester::PoolDigester() : lanes_{kD1 + kD2, kD2, 0, 0 - kD1} {}

void PoolDigester::Add(std::span<const std::uint8_t> data) {
  const std::uint8_t* p = data.data();
  std::size_t n = data.size();
  total_ += n;
  if (buffered_ > 0) {
    const std::size_t take = std::min(n, sizeof(buffer_) - buffered_);
    std::memcpy(buffer_ + buffered_, p, take);
    buffered_ += take;
    p += take;
    n -= take;
    if (buffered_ < sizeof(buffer_)) return;
    Stripe(buffer_);
    buffered_ = 0;
  }
  for (; n >= 32; p += 32, n -= 32) Stripe(p);
  if (n > 0) std::memcpy(buffer_, p, n);
  buffered_ = n;
}

void PoolDigester::Stripe(const std::uint8_t* p) {
  for (int l = 0; l < 4; ++l) lanes_[l] = DigestRound(lanes_[l], Load64(p + 8 * l));
}

PoolDigest PoolDigester::Finish() const {
  std::uint64_t lanes[4] = {lanes_[0], lanes_[1], lanes_[2], lanes_[3]};
  std::uint8_t last[32] = {};
  std::memcpy(last, buffer_, buffered_);
  for (int l = 0; l < 4; ++l) lanes[l] = DigestRound(lanes[l], Load64(last + 8 * l));
  const auto avalanche = [](std::uint64_t h) {
    h ^= h >> 33;
    h *= kD2;
    h ^= h >> 29;
    h *= kD3;
    return h ^ (h >> 32);
  };
  std::uint64_t low = total_ * kD5, high = ~total_ * kD4;
  for (int l = 0; l < 4; ++l) {
    low = std::rotl(low ^ DigestRound(0, lanes[l]), 27) * kD1 + kD4;
    high = std::rotl(high + lanes[l] * kD3, 23 + 2 * l) * kD5 + kD2;
  }
  return {avalanche(low), avalanche(high ^ low)};
}

PoolDigest DigestPoolStream(std::span<const std::uint8_t> data) {
  PoolDigester digester;
  digester.Add(data);
  return digester.Finish();
}

}  // namespace gantry
