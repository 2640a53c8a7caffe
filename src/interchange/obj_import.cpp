#include "interchange/obj_import.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <limits>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "common/number_parse.h"
#include "common/paths.h"
#include "hod/reader_limits.h"
#include "interchange/obj_messages.h"
#include "interchange/text_rewrite.h"

namespace gantry {

namespace {

namespace text = obj_messages;

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
constexpr std::int32_t kImportedMask = kMaskPosition | kMaskNormal | kMaskUV | 0x10;
constexpr std::int32_t kLodVersion = 1400;
// Bucket keys stay far inside 64 bits whatever the coordinates.
constexpr double kLargestKey = 1e18;
// The GUI's progress bar moves once per this many triangles.
constexpr std::size_t kProgressStep = std::size_t{1} << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// ---- Lines and numbers ----------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimmedLeft(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  return line;
}

// The tokens of a line are what its normal form (tabs as blanks, runs of blanks collapsed,
// trimmed) holds between single blanks.
class Tokens {
 public:
  explicit Tokens(std::string_view line) : rest_(line) {}
  bool Next(std::string_view& token) {
    rest_ = TrimmedLeft(rest_);
    if (rest_.empty()) return false;
    std::size_t end = 0;
    while (end < rest_.size() && !IsBlank(rest_[end])) ++end;
    token = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return true;
  }

 private:
  std::string_view rest_;
};

std::string NormalForm(std::string_view line) {
  std::string out;
  Tokens tokens(line);
  std::string_view token;
  while (tokens.Next(token)) {
    if (!out.empty()) out += ' ';
    out.append(token);
  }
  return out;
}

bool NamesNonFinite(std::string_view token) {
  if (!token.empty() && (token.front() == '+' || token.front() == '-')) token.remove_prefix(1);
  if (token.size() < 3) return false;
  std::string start(token.substr(0, 3));
  for (char& c : start) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return start == "nan" || start == "inf";
}

// Plain decimals of at most 15 digits ("-12.5", "0.000123") are the bulk of every file: their
// digits make an exact integer and one division by an exact power of ten rounds it correctly, the
// same double from_chars gives. Reads the one `text` starts with when a blank or the end of the
// text follows it, and gives its length; 0 when the text starts with anything else.
std::size_t ReadPlainDecimal(std::string_view text, double& value) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const bool negative = !text.empty() && text[0] == '-';
  std::size_t i = negative ? 1 : 0;
  const std::size_t first = i;
  std::uint64_t digits = 0;  // wraps beyond 19 digits, which are refused below anyway
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  std::size_t count = i - first, decimals = 0;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    const std::size_t point = ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      digits = digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    decimals = i - point;
    count += decimals;
  }
  if (count == 0 || count > 15 || (i < text.size() && !IsBlank(text[i]))) return 0;
  value = static_cast<double>(digits) / kPowers[decimals];
  if (negative) value = -value;
  return i;
}

// The number at the start of a token ("." or "," as decimal point); text that is no number reads
// as 0. False for NaN and infinity spelled out and for magnitudes beyond double range.
bool ReadNumber(std::string_view token, double& value) {
  if (ReadPlainDecimal(token, value) != 0) return true;
  value = 0;
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < token.size() && IsDigit(token[i])) ++i, ++digits;
  if (i < token.size() && (token[i] == '.' || token[i] == ',')) {
    ++i;
    while (i < token.size() && IsDigit(token[i])) ++i, ++digits;
  }
  if (digits == 0) return !NamesNonFinite(token);
  bool negative_exponent = false;
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < token.size() && (token[j] == '+' || token[j] == '-')) {
      negative_exponent = token[j] == '-';
      ++j;
    }
    if (j < token.size() && IsDigit(token[j])) {
      while (j < token.size() && IsDigit(token[j])) ++j;
      i = j;
    } else {
      negative_exponent = false;
    }
  }
  std::string_view number = token.substr(0, i);
  std::string spelled;  // only when from_chars cannot take the text as it stands
  if (number.front() == '+' || number.find(',') != std::string_view::npos) {
    spelled.assign(number.substr(number.front() == '+' ? 1 : 0));
    std::replace(spelled.begin(), spelled.end(), ',', '.');
    number = spelled;
  }
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    value = 0;
    return negative_exponent;  // too small to tell from 0; too large is refused
  }
  return true;
}

bool ReadSingle(std::string_view token, float& value) {
  double number = 0;
  if (!ReadNumber(token, number) || std::fabs(number) > FLT_MAX) return false;
  value = static_cast<float>(number);
  return true;
}

enum class IndexRead { Ok, Negative, NotFinite };

// An index is read as a number and rounded; 0 and empty name the zero entry of a list.
IndexRead ReadIndex(std::string_view token, std::uint32_t& index) {
  index = 0;
  if (token.empty()) return IndexRead::Ok;
  double number = 0;
  if (!ReadNumber(token, number)) return IndexRead::NotFinite;
  number = std::nearbyint(number);
  if (number < 0) return IndexRead::Negative;
  // Anything this large is past the end of every list, and is reported as such.
  index = number >= static_cast<double>(kNone) ? kNone : static_cast<std::uint32_t>(number);
  return IndexRead::Ok;
}

std::string Excerpt(std::string_view line) {
  constexpr std::size_t kLongest = 80;
  return line.size() <= kLongest ? std::string(line)
                                 : std::string(line.substr(0, kLongest)) + "...";
}

std::string Refusal(std::string problem) {
  return problem + text::kLineBreak + text::kNothingImported;
}

std::string LineRefusal(std::size_t line_number, const char* what, std::string_view line) {
  return Refusal(text::kLinePrefix + std::to_string(line_number) + what + Excerpt(line));
}

// ---- Parsing --------------------------------------------------------------------------------

struct Corner {
  std::uint32_t position = 0, uv = 0, normal = 0;
};

struct ObjTriangle {
  std::array<Corner, 3> corners;
  std::uint32_t slot = 0;  // 1-based material slot; 0 before any "usemtl"
};

struct ParsedObj {
  // Entry 0 of each list stays zero: index 0 and empty indices name it.
  std::vector<Vector3> positions = {Vector3{}};
  std::vector<Vector2> uvs = {Vector2{}};
  std::vector<Vector3> normals = {Vector3{}};
  std::vector<std::string> materials;
  std::vector<ObjTriangle> triangles;
  // Triangles per material slot, to size the parts before welding.
  std::vector<std::size_t> slot_triangles = {0};
  // (first triangle, line number) of every face line, to name the line of a bad corner.
  std::vector<std::pair<std::size_t, std::size_t>> face_lines;
  bool any_usemtl = false;
};

// The Take functions read the token at the front of `rest` where it lies and take it off `rest`:
// cutting every token out before reading it doubled the work on lines of nothing but numbers.

std::string_view TakeToken(std::string_view& rest) {
  std::size_t end = 0;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  const std::string_view token = rest.substr(0, end);
  rest.remove_prefix(end);
  return token;
}

// As ReadSingle reads the token.
bool TakeSingle(std::string_view& rest, float& value) {
  double number = 0;
  if (const std::size_t length = ReadPlainDecimal(rest, number)) {
    rest.remove_prefix(length);
    value = static_cast<float>(number);  // at most 15 digits: far inside single range
    return true;
  }
  return ReadSingle(TakeToken(rest), value);
}

// An index of at most 9 digits followed by "/", a blank or the end, read as ReadIndex reads it:
// its length, else 0.
std::size_t ReadPlainIndex(std::string_view text, std::uint32_t& index) {
  std::uint32_t value = 0;
  std::size_t i = 0;
  for (; i < text.size() && i <= 9 && IsDigit(text[i]); ++i) {
    value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (i == 0 || i > 9 || (i < text.size() && text[i] != '/' && !IsBlank(text[i]))) return 0;
  index = value;
  return i;
}

// "p", "p/t", "p/t/n", "p//n", "p/t/": fields past the third are ignored. The whole token is
// taken, whatever is read of it.
IndexRead TakeCorner(std::string_view& rest, Corner& corner) {
  corner = Corner{};
  IndexRead read = IndexRead::Ok;
  std::array<std::uint32_t*, 3> fields = {&corner.position, &corner.uv, &corner.normal};
  for (std::uint32_t* field : fields) {
    std::size_t length = ReadPlainIndex(rest, *field);
    if (length == 0) {
      while (length < rest.size() && rest[length] != '/' && !IsBlank(rest[length])) ++length;
      read = ReadIndex(rest.substr(0, length), *field);
    }
    rest.remove_prefix(length);
    if (read != IndexRead::Ok || rest.empty() || rest.front() != '/') break;
    rest.remove_prefix(1);
  }
  TakeToken(rest);
  return read;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// keyword == word, spelled out for the short words of the format: string_view's == calls memcmp.
bool IsWord(std::string_view keyword, std::string_view word) {
  if (keyword.size() != word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (keyword[i] != word[i]) return false;
  }
  return true;
}

class ObjParser {
 public:
  ObjParser(bool read_faces, ParsedObj& obj) : read_faces_(read_faces), obj_(obj) {}

  std::optional<std::string> Parse(std::string_view source) {
    if (StartsWith(source, kByteOrderMark)) source.remove_prefix(kByteOrderMark.size());
    ForEachTextLine(source, [this](std::string_view line) {
      ++line_number_;
      return Line(TrimmedLeft(line));
    });
    return std::move(error_);
  }

 private:
  // Comments, "mtllib" and every other keyword are skipped.
  bool Line(std::string_view line) {
    if (line.empty()) return true;
    if (line.front() == 'u' && StartsWith(line, "usemtl")) {
      UseMaterial(line);
      return true;
    }
    std::string_view rest = line;
    const std::string_view keyword = TakeToken(rest);
    if (IsWord(keyword, "v")) return Numbers<3>(rest, line, obj_.positions);
    if (IsWord(keyword, "vn")) return Numbers<3>(rest, line, obj_.normals);
    if (IsWord(keyword, "vt")) return Numbers<2, 1>(rest, line, obj_.uvs);
    if (IsWord(keyword, "f") && read_faces_) return Face(rest, line);
    return true;
  }

  void UseMaterial(std::string_view line) {
    obj_.any_usemtl = true;
    const std::string normal = NormalForm(line);
    std::string name = normal.size() > 7 ? normal.substr(7) : std::string();
    const auto [entry, added] =
        slots_.try_emplace(std::move(name), static_cast<std::uint32_t>(obj_.materials.size() + 1));
    if (added) {
      obj_.materials.push_back(entry->first);
      obj_.slot_triangles.push_back(0);
    }
    slot_ = entry->second;
  }

  // A keyword alone is no "v " line at all; with some but fewer than `Required` numbers it is
  // refused. Numbers past the required ones may be left out and read as 0 ("vt u").
  template <std::size_t N, std::size_t Required = N, typename Entry>
  bool Numbers(std::string_view rest, std::string_view line, std::vector<Entry>& list) {
    std::array<float, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
      rest = TrimmedLeft(rest);
      if (rest.empty()) {
        if (i == 0) return true;
        if (i >= Required) break;
        return Refuse(text::kTooFewNumbers, line);
      }
      if (!TakeSingle(rest, values[i])) return Refuse(text::kNotFinite, line);
    }
    if constexpr (N == 3) {
      list.push_back({values[0], values[1], values[2]});
    } else {
      list.push_back({values[0], values[1]});
    }
    return true;
  }

  // Polygons become fans from their first corner; lines of fewer than three corners are skipped,
  // whatever they hold.
  bool Face(std::string_view rest, std::string_view line) {
    corners_.clear();
    IndexRead first_fault = IndexRead::Ok;
    while (!(rest = TrimmedLeft(rest)).empty()) {
      const IndexRead read = TakeCorner(rest, corners_.emplace_back());
      if (first_fault == IndexRead::Ok) first_fault = read;
    }
    if (corners_.size() < 3) return true;
    switch (first_fault) {
      case IndexRead::Ok:
        break;
      case IndexRead::Negative:
        return Refuse(text::kNegativeIndex, line);
      case IndexRead::NotFinite:
        return Refuse(text::kNotFinite, line);
    }
    obj_.face_lines.emplace_back(obj_.triangles.size(), line_number_);
    obj_.slot_triangles[slot_] += corners_.size() - 2;
    for (std::size_t i = 1; i + 1 < corners_.size(); ++i) {
      obj_.triangles.push_back({{corners_[0], corners_[i], corners_[i + 1]}, slot_});
    }
    return true;
  }

  bool Refuse(const char* what, std::string_view line) {
    error_ = LineRefusal(line_number_, what, line);
    return false;
  }

  bool read_faces_;
  ParsedObj& obj_;
  std::size_t line_number_ = 0;
  std::uint32_t slot_ = 0;
  std::unordered_map<std::string, std::uint32_t> slots_;
  std::vector<Corner> corners_;
  std::optional<std::string> error_;
};

std::string PastTheEnd(std::size_t line_number, const char* what, std::uint32_t index,
                       std::size_t count) {
  return Refusal(text::kLinePrefix + std::to_string(line_number) + text::kRefersTo + what +
                 std::to_string(index) + text::kOnlyLead + std::to_string(count) + text::kOnlyTail);
}

// A part per material: more than a mesh can hold is refused before anybody is asked anything.
std::optional<std::string> CheckMaterialCount(const ParsedObj& obj) {
  // A mesh holds one part per OBJ material.
  if (static_cast<std::int64_t>(obj.materials.size()) <= kMaxMeshParts) return std::nullopt;
  return Refusal(text::kTooManyMaterialsLead + std::to_string(obj.materials.size()) +
                 text::kTooManyMaterialsTail);
}

// Every corner must name entries that exist; checked before anybody is asked anything.
std::optional<std::string> CheckIndices(const ParsedObj& obj) {
  for (std::size_t t = 0; t < obj.triangles.size(); ++t) {
    for (const Corner& c : obj.triangles[t].corners) {
      const char* what = nullptr;
      std::uint32_t index = 0;
      std::size_t count = 0;
      if (c.position >= obj.positions.size()) {
        what = text::kPositionWord, index = c.position, count = obj.positions.size() - 1;
      } else if (c.uv >= obj.uvs.size()) {
        what = text::kUVWord, index = c.uv, count = obj.uvs.size() - 1;
      } else if (c.normal >= obj.normals.size()) {
        what = text::kNormalWord, index = c.normal, count = obj.normals.size() - 1;
      } else {
        continue;
      }
      const auto line = std::upper_bound(
          obj.face_lines.begin(), obj.face_lines.end(), t,
          [](std::size_t triangle, const auto& entry) { return triangle < entry.first; });
      return PastTheEnd(std::prev(line)->second, what, index, count);
    }
  }
  return std::nullopt;
}

// ---- Questions ------------------------------------------------------------------------------

struct Thresholds {
  float vertex = kDefaultVertexThreshold;
  float normal = kDefaultNormalThreshold;
  float uv = kDefaultUVThreshold;
};

// nullopt when a question was cancelled.
std::optional<Thresholds> AskThresholds(const ObjImportOptions& options,
                                        const ObjImportContext& context, Ui& ui) {
  Thresholds t;
  if (!options.MergeVertices || !options.AskMergeThresholds || context.batch) return t;
  const auto ask = [&ui](const char* prompt, const char* initial) -> std::optional<float> {
    const std::optional<std::string> answer = ui.Input(prompt, initial);
    if (!answer) return std::nullopt;
    // Typed text that is no number is 0, which merges nothing; a number beyond single range
    // means "as far as can be", the largest single.
    const double value = LeadingNumber(*answer);
    if (std::isnan(value)) return 0.0f;
    return static_cast<float>(std::clamp(value, -double{FLT_MAX}, double{FLT_MAX}));
  };
  const std::optional<float> vertex =
      ask(text::kVertexThresholdPrompt, text::kVertexThresholdDefault);
  if (!vertex) return std::nullopt;
  t.vertex = *vertex;
  t.normal = kIgnoredThreshold;
  if (!options.IgnoreNormals) {
    const std::optional<float> normal =
        ask(text::kNormalThresholdPrompt, text::kNormalThresholdDefault);
    if (!normal) return std::nullopt;
    t.normal = *normal;
  }
  t.uv = kIgnoredThreshold;
  if (!options.IgnoreUVs) {
    const std::optional<float> uv = ask(text::kUVThresholdPrompt, text::kUVThresholdDefault);
    if (!uv) return std::nullopt;
    t.uv = *uv;
  }
  return t;
}

std::string Summary(const ParsedObj& obj) {
  const std::string counts = std::to_string(obj.positions.size() - 1) + text::kVerticesFound +
                             std::to_string(obj.triangles.size()) + text::kFacesFound +
                             std::to_string(obj.uvs.size() - 1) + text::kUVsFound +
                             std::to_string(obj.normals.size() - 1) + text::kNormalsFound +
                             text::kLineBreak + text::kPleaseVerify;
  if (!obj.any_usemtl) return text::kNoMaterialsLead + std::string(text::kLineBreak) + counts;
  return std::to_string(obj.materials.size()) + text::kMaterialsFound + counts;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::int32_t MaterialNamed(const std::vector<std::string>& names, const std::string& wanted) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == wanted) return static_cast<std::int32_t>(i);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (SameIgnoringCase(names[i], wanted)) return static_cast<std::int32_t>(i);
  }
  return 0;
}

std::vector<std::int32_t> ChooseMaterials(const ParsedObj& obj, const ObjImportOptions& options,
                                          const ObjImportContext& context, Ui& ui) {
  std::vector<std::int32_t> chosen(obj.materials.size(), 0);
  if (!options.SubstituteMaterials) return chosen;
  for (std::size_t i = 0; i < obj.materials.size(); ++i) {
    if (context.batch) {
      chosen[i] = MaterialNamed(context.material_names, obj.materials[i]);
    } else {
      const int pick = ui.ChooseMaterial(
          text::kSubstituteLead + obj.materials[i] + text::kSubstituteTail, context.material_names);
      chosen[i] = pick < 0 ? 0 : pick;
    }
  }
  return chosen;
}

// ---- Building the parts ---------------------------------------------------------------------

// A vertex while faces are read: the sums of the corners welded into it, with their counts.
struct WorkVertex {
  std::array<double, 3> position{};
  std::array<double, 3> normal{};
  std::array<double, 2> uv{};
  std::uint32_t positions = 0, normals = 0, uvs = 0;
  std::int64_t key = 0;                          // bucket key of the corner that made the vertex
  std::array<std::int32_t, 3> cell{};            // the position cell it is filed under
  std::uint32_t previous = kNone, next = kNone;  // neighbours in that cell's list
};

template <std::size_t N>
std::array<float, N> Averaged(const std::array<double, N>& sum, std::uint32_t count) {
  std::array<float, N> out{};
  for (std::size_t i = 0; i < N; ++i) {
    out[i] = static_cast<float>(count == 0 ? sum[i] : sum[i] / count);
  }
  return out;
}

// Position cells are numbered in 32 bits; coordinates beyond that share the outermost cells,
// which only makes more candidates to look at.
constexpr double kLargestCell = 1 << 30;

using Cell = std::array<std::int32_t, 3>;

// Spelled out: std::array's == goes through memcmp, a call per comparison on this hot path.
bool SameCell(const Cell& a, const Cell& b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// Cell -> first vertex of the cell's list, open addressing with linear probing: one flat array
// rather than a node per cell, as there are about as many cells as vertices. Each part has its
// own, so the table being searched stays small enough to be mostly in cache. Beside the slots, a
// byte per slot holds a few bits of its cell's hash (0: free). Most cells a search asks for were
// never used, and the bytes, a sixteenth of the slots' size, answer that without a cache miss.
class CellTable {
 public:
  // The head of the cell's list; nullptr when the cell was never used.
  const std::uint32_t* Find(const Cell& cell) const {
    if (slots_.empty()) return nullptr;
    const std::size_t hash = Hash(cell);
    const std::uint8_t tag = TagOf(hash);
    for (std::size_t i = hash & mask_; tags_[i] != kFree; i = (i + 1) & mask_) {
      if (tags_[i] == tag && SameCell(slots_[i].cell, cell)) return &slots_[i].head;
    }
    return nullptr;
  }
  // The head of the cell's list, made empty (kNone) when the cell is new. Valid until the next
  // call.
  std::uint32_t& Insert(const Cell& cell) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const std::size_t hash = Hash(cell);
    const std::uint8_t tag = TagOf(hash);
    std::size_t i = hash & mask_;
    for (; tags_[i] != kFree; i = (i + 1) & mask_) {
      if (tags_[i] == tag && SameCell(slots_[i].cell, cell)) return slots_[i].head;
    }
    tags_[i] = tag;
    slots_[i] = Slot{cell, kNone};
    ++used_;
    return slots_[i].head;
  }

 private:
  static constexpr std::uint8_t kFree = 0;

  struct Slot {
    Cell cell{};
    std::uint32_t head = kNone;
  };

  static std::size_t Hash(const Cell& cell) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    for (const std::int32_t c : cell) {
      h = (h ^ static_cast<std::uint32_t>(c)) * 0xBF58476D1CE4E5B9ull;
      h ^= h >> 31;
    }
    return static_cast<std::size_t>(h);
  }
  // The top bits, which the slot number (the low bits) does not use; never kFree.
  static std::uint8_t TagOf(std::size_t hash) {
    return static_cast<std::uint8_t>((hash >> (std::numeric_limits<std::size_t>::digits - 7)) + 1);
  }

  void Grow() {
    std::vector<std::uint8_t> old_tags = std::move(tags_);
    std::vector<Slot> old_slots = std::move(slots_);
    const std::size_t size = std::max<std::size_t>(old_slots.size() * 2, 1024);
    tags_.assign(size, kFree);
    slots_.resize(size);
    mask_ = size - 1;
    used_ = 0;
    for (std::size_t i = 0; i < old_slots.size(); ++i) {
      if (old_tags[i] != kFree) Insert(old_slots[i].cell) = old_slots[i].head;
    }
  }

  std::vector<std::uint8_t> tags_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  std::size_t used_ = 0;
};

struct WorkPart {
  std::vector<WorkVertex> vertices;
  std::vector<std::int16_t> indices;
  CellTable cells;
  bool has_faces = false;
};

double Square(double x) { return x * x; }

// Distances are computed in double precision and kept as singles; beyond single range they are
// simply too far.
float SingleDistance(double squared) {
  const double d = std::sqrt(squared);
  return d < FLT_MAX ? static_cast<float>(d) : FLT_MAX;
}

template <std::size_t N, typename Point>
float DistanceTo(const std::array<float, N>& a, const Point& b) {
  if constexpr (N == 3) {
    return SingleDistance(Square(double{a[0]} - b.x) + Square(double{a[1]} - b.y) +
                          Square(double{a[2]} - b.z));
  } else {
    return SingleDistance(Square(double{a[0]} - b.u) + Square(double{a[1]} - b.v));
  }
}

// The distance from the origin, rounded to a whole number: below one half down, from one half
// on to the even one of the two neighbours.
std::int64_t BucketKey(const Vector3& p) {
  const double exact = std::sqrt(Square(p.x) + Square(p.y) + Square(p.z));
  if (!(exact < kLargestKey)) return static_cast<std::int64_t>(kLargestKey);
  const double d = static_cast<float>(exact);   // a single, as distances are kept
  const auto n = static_cast<std::int64_t>(d);  // truncates, d being positive and in range
  if (d - static_cast<double>(n) < 0.5) return n;
  return n % 2 == 0 ? n : n + 1;
}

// Welds corners into vertices. The merge search looks at the buckets from key - s to key + s in
// increasing key order and, in each, at its vertices in the order they were made, taking the
// first match; a vertex's number grows with the order it was made in, so that is the match with
// the lowest (key, number). Every match lies nearer than the vertex threshold to the corner, so
// the buckets are hashed by position cell as well: a cell is a cube a few thresholds wide, every
// vertex is filed under the cell of its averaged position, and the at most eight cells around
// the corner hold every possible match. The cost per corner is then that of the vertices really
// nearby, however many share a distance from the origin (all of a sphere's do).
class VertexWelder {
 public:
  VertexWelder(const ParsedObj& obj, const ObjImportOptions& options, const Thresholds& t,
               bool reverse_v)
      : obj_(obj),
        options_(options),
        thresholds_(t),
        has_uvs_(obj.uvs.size() > 1),
        reverse_v_(reverse_v && has_uvs_),
        search_(options.MergeVertices && t.vertex > 0),
        parts_(std::max<std::size_t>(obj.materials.size(), 1)) {
    if (search_) {
      const auto scaled = static_cast<float>(t.vertex * 100.0f);  // single, as the threshold
      const double window = std::trunc(std::pow(static_cast<double>(scaled), 1.5));
      key_window_ = window < kLargestKey ? static_cast<std::int64_t>(window)
                                         : static_cast<std::int64_t>(kLargestKey);
      reach_ = static_cast<double>(t.vertex) * 1.01;
      cell_size_ = static_cast<double>(t.vertex) * 4.0;
    }
    // Every corner makes at most one vertex, so room for all of them up front spares the copies
    // of growing vectors; room that is never written costs next to nothing.
    std::vector<std::size_t> corners(parts_.size(), 0);
    for (std::size_t slot = 0; slot < obj.slot_triangles.size(); ++slot) {
      corners[std::max<std::size_t>(slot, 1) - 1] += 3 * obj.slot_triangles[slot];
    }
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      parts_[i].vertices.reserve(std::min(corners[i], kMaxPartVertices));
      parts_[i].indices.reserve(corners[i]);
    }
  }

  // nullopt when done; else the refusal.
  std::optional<std::string> Weld(Ui& ui) {
    const std::size_t total = obj_.triangles.size();
    ui.Progress(0, static_cast<std::int64_t>(total));
    for (std::size_t t = 0; t < total; ++t) {
      const ObjTriangle& triangle = obj_.triangles[t];
      const std::uint32_t part = std::max<std::uint32_t>(triangle.slot, 1) - 1;
      WorkPart& work = parts_[part];
      work.has_faces = true;
      for (const Corner& corner : triangle.corners) {
        const std::uint32_t vertex = VertexFor(part, corner);
        if (vertex == kNone) {
          return Refusal(text::kTooManyVerticesLead + obj_.materials[part] +
                         text::kTooManyVerticesTail);
        }
        work.indices.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(vertex)));
      }
      if ((t + 1) % kProgressStep == 0) {
        ui.Progress(static_cast<std::int64_t>(t + 1), static_cast<std::int64_t>(total));
      }
    }
    ui.Progress(static_cast<std::int64_t>(total), static_cast<std::int64_t>(total));
    return std::nullopt;
  }

  std::vector<MeshPart> TakeParts(const std::vector<std::int32_t>& materials) {
    std::vector<MeshPart> out(parts_.size());
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      WorkPart& work = parts_[i];
      if (!work.has_faces) continue;
      MeshPart& part = out[i];
      part.MaterialIndex = materials[i];
      part.VertexMask = kImportedMask;
      part.Vertices.reserve(work.vertices.size());
      for (const WorkVertex& v : work.vertices) {
        const auto p = Averaged(v.position, v.positions);
        const auto n = Averaged(v.normal, v.normals);
        const auto uv = Averaged(v.uv, v.uvs);
        MeshVertex out_vertex;
        out_vertex.Position = {p[0], p[1], p[2], 1.0f};
        out_vertex.Normal = {n[0], n[1], n[2], 1.0f};
        out_vertex.UV = {uv[0], uv[1]};
        part.Vertices.push_back(out_vertex);
      }
      work.vertices = {};
      part.VertexCount = static_cast<std::int32_t>(part.Vertices.size());
      FaceList list;
      list.Type = kFaceListTriangles;
      list.Indices = std::move(work.indices);
      list.IndexCount = static_cast<std::int32_t>(list.Indices.size());
      part.FaceLists.push_back(std::move(list));
      part.FaceListCount = 1;
    }
    return out;
  }

 private:
  std::uint32_t VertexFor(std::uint32_t part, const Corner& corner) {
    const Vector3& position = obj_.positions[corner.position];
    const Vector3& normal = obj_.normals[corner.normal];
    Vector2 uv = obj_.uvs[corner.uv];
    if (reverse_v_) uv.v = 1.0f - uv.v;

    WorkPart& work = parts_[part];
    std::uint32_t vertex = kNone;
    const std::int64_t key = search_ ? BucketKey(position) : 0;
    if (search_) vertex = Search(part, key, position, normal, uv);
    if (vertex == kNone) {
      if (work.vertices.size() >= kMaxPartVertices) return kNone;
      vertex = static_cast<std::uint32_t>(work.vertices.size());
      work.vertices.emplace_back().key = key;
    }
    WorkVertex& v = work.vertices[vertex];
    v.position[0] += position.x, v.position[1] += position.y, v.position[2] += position.z;
    ++v.positions;
    if (obj_.normals.size() > 1) {
      v.normal[0] += normal.x, v.normal[1] += normal.y, v.normal[2] += normal.z;
      ++v.normals;
    }
    if (obj_.uvs.size() > 1) {
      v.uv[0] += uv.u, v.uv[1] += uv.v;
      ++v.uvs;
    }
    if (search_) File(part, vertex);
    return vertex;
  }

  bool Matches(const WorkVertex& v, const Vector3& position, const Vector3& normal,
               const Vector2& uv) const {
    if (!(DistanceTo(Averaged(v.position, v.positions), position) < thresholds_.vertex)) {
      return false;
    }
    if (!options_.IgnoreNormals &&
        !(DistanceTo(Averaged(v.normal, v.normals), normal) < thresholds_.normal)) {
      return false;
    }
    return options_.IgnoreUVs || !has_uvs_ ||
           DistanceTo(Averaged(v.uv, v.uvs), uv) < thresholds_.uv;
  }

  std::uint32_t Search(std::uint32_t part, std::int64_t key, const Vector3& position,
                       const Vector3& normal, const Vector2& uv) const {
    const std::array<double, 3> p = {position.x, position.y, position.z};
    Cell low{}, high{};
    for (std::size_t a = 0; a < 3; ++a) {
      low[a] = CellOf(p[a] - reach_);
      high[a] = CellOf(p[a] + reach_);
    }
    const WorkPart& work = parts_[part];
    const std::vector<WorkVertex>& vertices = work.vertices;
    std::uint32_t best = kNone;
    std::int64_t best_key = 0;
    Cell at{};
    for (at[0] = low[0]; at[0] <= high[0]; ++at[0]) {
      for (at[1] = low[1]; at[1] <= high[1]; ++at[1]) {
        for (at[2] = low[2]; at[2] <= high[2]; ++at[2]) {
          const std::uint32_t* head = work.cells.Find(at);
          if (head == nullptr) continue;
          for (std::uint32_t i = *head; i != kNone; i = vertices[i].next) {
            const WorkVertex& v = vertices[i];
            if (v.key < key - key_window_ || v.key > key + key_window_) continue;
            if (best != kNone && (v.key > best_key || (v.key == best_key && i > best))) continue;
            if (!Matches(v, position, normal, uv)) continue;
            best = i;
            best_key = v.key;
          }
        }
      }
    }
    return best;
  }

  // The floor of coordinate / cell size, clamped; clamping first lets the conversion to an integer
  // do the rounding, far cheaper than std::floor.
  std::int32_t CellOf(double coordinate) const {
    const double cell = std::clamp(coordinate / cell_size_, -kLargestCell, kLargestCell);
    const auto whole = static_cast<std::int32_t>(cell);  // toward zero
    return cell < whole ? whole - 1 : whole;
  }

  // Files the vertex under the cell of its averaged position, moving it when the average has
  // left its old cell.
  void File(std::uint32_t part, std::uint32_t index) {
    WorkPart& work = parts_[part];
    std::vector<WorkVertex>& vertices = work.vertices;
    WorkVertex& v = vertices[index];
    const auto p = Averaged(v.position, v.positions);
    const Cell cell = {CellOf(p[0]), CellOf(p[1]), CellOf(p[2])};
    const bool filed = v.positions > 1;
    if (filed && SameCell(cell, v.cell)) return;
    if (filed) {
      if (v.previous != kNone) {
        vertices[v.previous].next = v.next;
      } else {
        work.cells.Insert(v.cell) = v.next;
      }
      if (v.next != kNone) vertices[v.next].previous = v.previous;
    }
    std::uint32_t& head = work.cells.Insert(cell);
    v.cell = cell;
    v.previous = kNone;
    v.next = head;
    if (head != kNone) vertices[head].previous = index;
    head = index;
  }

  const ParsedObj& obj_;
  const ObjImportOptions& options_;
  Thresholds thresholds_;
  // Without texture coordinates every corner's are the zero entry: there is nothing to reverse
  // and nothing that could keep corners apart.
  bool has_uvs_;
  bool reverse_v_;
  bool search_;
  std::int64_t key_window_ = 0;
  double reach_ = 0;
  double cell_size_ = 1;
  std::vector<WorkPart> parts_;
};

// Without faces the positions themselves, in file order, make the first part.
std::optional<std::string> PointPart(const ParsedObj& obj, std::int32_t material, MeshPart& part) {
  const std::size_t count = obj.positions.size() - 1;
  if (count > kMaxPartVertices) {
    return Refusal(text::kTooManyVerticesLead + obj.materials.front() + text::kTooManyVerticesTail);
  }
  part.MaterialIndex = material;
  part.VertexMask = kImportedMask;
  part.Vertices.resize(count);
  for (std::size_t i = 1; i <= count; ++i) {
    MeshVertex& v = part.Vertices[i - 1];
    const Vector3& p = obj.positions[i];
    v.Position = {p.x, p.y, p.z, 1.0f};
    const Vector3 n = i < obj.normals.size() ? obj.normals[i] : Vector3{};
    v.Normal = {n.x, n.y, n.z, 1.0f};
    if (i < obj.uvs.size()) v.UV = obj.uvs[i];
  }
  part.VertexCount = static_cast<std::int32_t>(count);
  return std::nullopt;
}

std::optional<LodMesh> Refused(const std::string& message, Ui& ui) {
  ui.Message(message, Icon::Exclamation);
  return std::nullopt;
}

}  // namespace

std::optional<LodMesh> ImportOBJMeshText(std::string_view source, const ObjImportOptions& options,
                                         const ObjImportContext& context, Ui& ui) {
  if (source.empty()) {
    ui.Message(text::kZeroLength, Icon::Exclamation);
    return std::nullopt;
  }
  const std::optional<Thresholds> thresholds = AskThresholds(options, context, ui);
  if (!thresholds) return std::nullopt;

  ParsedObj obj;
  if (auto refusal = ObjParser(options.ReadFaces, obj).Parse(source)) return Refused(*refusal, ui);
  if (auto refusal = CheckIndices(obj)) return Refused(*refusal, ui);
  if (auto refusal = CheckMaterialCount(obj)) return Refused(*refusal, ui);
  if (obj.materials.empty()) obj.materials.emplace_back(text::kNoMaterialsUsed);

  if (!options.Quiet && !context.batch) ui.Message(Summary(obj), Icon::Information);
  bool reverse_v = options.AskReverseUVs;
  if (options.AskReverseUVs && !context.batch) {
    reverse_v = ui.Message(text::kReverseUVs, Icon::Question, Buttons::YesNo) != Answer::No;
  }
  const std::vector<std::int32_t> materials = ChooseMaterials(obj, options, context, ui);

  LodMesh mesh;
  mesh.Kind = "NRML";
  mesh.ID = "BMSH";
  mesh.Version = kLodVersion;
  mesh.LodLevel = context.lod_level;
  mesh.PartCount = static_cast<std::int32_t>(obj.materials.size());
  if (!obj.triangles.empty()) {
    VertexWelder welder(obj, options, *thresholds, reverse_v);
    if (auto refusal = welder.Weld(ui)) return Refused(*refusal, ui);
    mesh.Parts = welder.TakeParts(materials);
  } else {
    mesh.Parts.resize(obj.materials.size());
    if (auto refusal = PointPart(obj, materials.front(), mesh.Parts.front())) {
      return Refused(*refusal, ui);
    }
  }
  return mesh;
}

std::optional<LodMesh> ImportOBJMesh(const std::string& path, const ObjImportOptions& options,
                                     const ObjImportContext& context, Ui& ui) {
  const TextRewrite rewrite = RewriteTextFile(path, ui);
  if (rewrite.status == TextRewriteStatus::Unreadable) return std::nullopt;
  // A file that could not be written back still imports from the text it would have held.
  return ImportOBJMeshText(rewrite.text, options, context, ui);
}

bool ReadOBJPointsText(std::string_view source, EngineBurn& burn, Ui& ui) {
  if (source.empty()) return false;
  if (StartsWith(source, kByteOrderMark)) source.remove_prefix(kByteOrderMark.size());
  std::vector<Vector3> points;
  std::optional<std::string> refusal;
  std::size_t line_number = 0;
  ForEachTextLine(source, [&](std::string_view line) {
    ++line_number;
    Tokens tokens(line);
    std::string_view token;
    if (!tokens.Next(token) || token != "v" || !tokens.Next(token)) return true;
    std::array<float, 3> xyz{};
    for (std::size_t i = 0; i < 3; ++i) {
      if (i > 0 && !tokens.Next(token)) {
        refusal = LineRefusal(line_number, text::kTooFewNumbers, TrimmedLeft(line));
        return false;
      }
      if (!ReadSingle(token, xyz[i])) {
        refusal = LineRefusal(line_number, text::kNotFinite, TrimmedLeft(line));
        return false;
      }
    }
    points.push_back({xyz[0], xyz[1], xyz[2]});
    return true;
  });
  if (refusal) {
    ui.Message(*refusal, Icon::Exclamation);
    return false;
  }
  burn.Vertices = std::move(points);
  burn.VertexCount = static_cast<std::int32_t>(burn.Vertices.size());
  burn.CurveCount = 1;
  return true;
}

bool ReadOBJPoints(const std::string& path, EngineBurn& burn, Ui& ui) {
  std::string error;
  const std::optional<std::string> contents = ReadTextFile(path, &error);
  if (!contents) {
    ui.Message(text::kCannotReadLead + NativePath(path) + text::kCannotReadTail + error,
               Icon::Exclamation);
    return false;
  }
  if (contents->empty()) {
    std::error_code ignored;
    std::filesystem::remove(FileSystemPath(path), ignored);
    return false;
  }
  return ReadOBJPointsText(*contents, burn, ui);
}

}  // namespace gantry
