#include "interchange/obj_import.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>
#include <variant>

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

// The faces of one stretch of the text, read on a thread of its own (see Parse).
struct FaceChunk {
  // Their slots are counted within the stretch, 0 being the slot in use where it starts.
  std::vector<ObjTriangle> triangles;
  // (first triangle, line number) of every face line, both counted within the stretch, to name
  // the line of a bad corner.
  std::vector<std::pair<std::size_t, std::size_t>> face_lines;
  std::vector<std::uint32_t> slots;  // the file's slot for each slot of the stretch
  std::size_t first_triangle = 0;    // triangles of the file before the stretch
  std::size_t first_line = 0;        // lines of the file before the stretch
};

struct ParsedObj {
  // Entry 0 of each list stays zero: index 0 and empty indices name it.
  std::vector<Vector3> positions = {Vector3{}};
  std::vector<Vector2> uvs = {Vector2{}};
  std::vector<Vector3> normals = {Vector3{}};
  std::vector<std::string> materials;
  // Triangles per material slot, to size the parts before welding.
  std::vector<std::size_t> slot_triangles = {0};
  std::vector<FaceChunk> faces;  // in file order
  std::size_t triangle_count = 0;
  bool any_usemtl = false;

  // The number in file order of one of the triangles.
  std::size_t NumberOf(const ObjTriangle* triangle) const {
    const std::less<const ObjTriangle*> before;
    for (const FaceChunk& chunk : faces) {
      const ObjTriangle* first = chunk.triangles.data();
      if (!before(triangle, first) && before(triangle, first + chunk.triangles.size())) {
        return chunk.first_triangle + static_cast<std::size_t>(triangle - first);
      }
    }
    return triangle_count;
  }
};

// A stretch of whole lines as read, its numbers counted within it.
struct ParsedStretch {
  std::vector<Vector3> positions;
  std::vector<Vector2> uvs;
  std::vector<Vector3> normals;
  std::vector<std::string> materials;  // in order of first use in the stretch: slots 1, 2, ...
  std::vector<std::size_t> slot_triangles = {0};
  FaceChunk faces;
  std::uint32_t last_slot = 0;  // in use where the stretch ends
  bool any_usemtl = false;
  std::size_t lines = 0;
  // The line the stretch was refused at.
  std::size_t fault_line = 0;
  const char* fault = nullptr;
  std::string fault_text;
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
  ObjParser(bool read_faces, ParsedStretch& out) : read_faces_(read_faces), obj_(out) {}

  void Parse(std::string_view stretch) {
    ForEachTextLine(stretch, [this](std::string_view line) {
      ++line_number_;
      return Line(TrimmedLeft(line));
    });
    obj_.lines = line_number_;
    obj_.last_slot = slot_;
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
    FaceChunk& faces = obj_.faces;
    faces.face_lines.emplace_back(faces.triangles.size(), line_number_);
    obj_.slot_triangles[slot_] += corners_.size() - 2;
    for (std::size_t i = 1; i + 1 < corners_.size(); ++i) {
      faces.triangles.push_back({{corners_[0], corners_[i], corners_[i + 1]}, slot_});
    }
    return true;
  }

  bool Refuse(const char* what, std::string_view line) {
    obj_.fault_line = line_number_;
    obj_.fault = what;
    obj_.fault_text.assign(line);
    return false;
  }

  bool read_faces_;
  ParsedStretch& obj_;
  std::size_t line_number_ = 0;
  std::uint32_t slot_ = 0;
  std::unordered_map<std::string, std::uint32_t> slots_;
  std::vector<Corner> corners_;
};

// Runs work(0) on the calling thread and work(1) ... work(count - 1) on threads of their own
// (on the calling thread too when no more threads can be had). What a work throws is thrown
// again here once all are done.
template <typename Work>
void OnThreads(std::size_t count, const Work& work) {
  std::vector<std::exception_ptr> errors(count);
  const auto run = [&work, &errors](std::size_t i) {
    try {
      work(i);
    } catch (...) {
      errors[i] = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  std::size_t started = 1;
  for (; started < count; ++started) {
    try {
      pool.emplace_back(run, started);
    } catch (const std::system_error&) {
      break;
    }
  }
  run(0);
  for (std::size_t i = started; i < count; ++i) run(i);
  for (std::thread& thread : pool) thread.join();
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}

// Joins what the stretches of a text read, in order, into what one reading of the whole would
// have made: materials numbered by first use, the material in use carried from stretch to
// stretch, lines counted through the whole. nullopt, else the refusal of the first line refused.
template <typename Stretches>
std::optional<std::string> Join(Stretches& parsed, ParsedObj& obj) {
  std::size_t positions = 1, uvs = 1, normals = 1;
  for (const ParsedStretch& stretch : parsed) {
    positions += stretch.positions.size();
    uvs += stretch.uvs.size();
    normals += stretch.normals.size();
  }
  obj.positions.reserve(positions);
  obj.uvs.reserve(uvs);
  obj.normals.reserve(normals);
  std::unordered_map<std::string, std::uint32_t> slots;  // of obj.materials by name
  std::uint32_t slot = 0;                                // in use where the stretch starts
  std::size_t lines = 0;
  for (ParsedStretch& stretch : parsed) {
    if (stretch.fault != nullptr) {
      return LineRefusal(lines + stretch.fault_line, stretch.fault, stretch.fault_text);
    }
    FaceChunk& faces = stretch.faces;
    faces.slots.assign(1, slot);
    for (std::string& name : stretch.materials) {
      const auto found = slots.find(name);
      if (found != slots.end()) {
        faces.slots.push_back(found->second);
        continue;
      }
      const auto added = static_cast<std::uint32_t>(obj.materials.size() + 1);
      slots.emplace(name, added);
      obj.materials.push_back(std::move(name));
      obj.slot_triangles.push_back(0);
      faces.slots.push_back(added);
    }
    for (std::size_t s = 0; s < stretch.slot_triangles.size(); ++s) {
      obj.slot_triangles[faces.slots[s]] += stretch.slot_triangles[s];
    }
    slot = faces.slots[stretch.last_slot];
    obj.any_usemtl = obj.any_usemtl || stretch.any_usemtl;
    obj.positions.insert(obj.positions.end(), stretch.positions.begin(), stretch.positions.end());
    obj.uvs.insert(obj.uvs.end(), stretch.uvs.begin(), stretch.uvs.end());
    obj.normals.insert(obj.normals.end(), stretch.normals.begin(), stretch.normals.end());
    faces.first_triangle = obj.triangle_count;
    faces.first_line = lines;
    obj.triangle_count += faces.triangles.size();
    lines += stretch.lines;
    obj.faces.push_back(std::move(faces));
  }
  return std::nullopt;
}

// Text is read in stretches of about this size, at most this many; as many at once as there are
// cores. How it is cut depends on its size alone.
constexpr std::size_t kBytesPerStretch = std::size_t{1} << 20;
constexpr std::size_t kMostStretches = 16;

// Reads the text in stretches of whole lines on up to one thread per core and joins what they
// read. nullopt, else the refusal of the first line refused.
std::optional<std::string> Parse(std::string_view source, bool read_faces, ParsedObj& obj) {
  if (StartsWith(source, kByteOrderMark)) source.remove_prefix(kByteOrderMark.size());
  const std::size_t count =
      std::clamp<std::size_t>(source.size() / kBytesPerStretch, 1, kMostStretches);
  // Stretches end just past a line break; one cutting a CR LF in two leaves an empty line
  // behind, which is no line at all.
  std::vector<std::string_view> stretches;
  std::size_t start = 0;
  for (std::size_t k = 1; k < count; ++k) {
    const std::size_t nominal = std::max(start, source.size() / count * k);
    const std::size_t end = std::min(NextLineBreak(source, nominal) + 1, source.size());
    stretches.push_back(source.substr(start, end - start));
    start = end;
  }
  stretches.push_back(source.substr(start));
  std::vector<ParsedStretch> parsed(stretches.size());
  std::atomic<std::size_t> next{0};
  OnThreads(std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency())),
            [&](std::size_t) {
              for (std::size_t i = next++; i < stretches.size(); i = next++) {
                ObjParser(read_faces, parsed[i]).Parse(stretches[i]);
              }
            });

  return Join(parsed, obj);
}

// A file is read a piece of about this size at a time.
constexpr std::size_t kFilePiece = std::size_t{1} << 21;

// Reads a file already in shape (its text as the rewrite would leave it, see text_rewrite.h) a
// piece at a time, on up to one thread per core: in turn, each thread reads the next piece of
// whole lines into a buffer of its own, then checks and parses it. The text is never held whole,
// so it costs no more memory than the pieces, and is parsed while still in the cache. False for
// any other file, an empty one and one that cannot be read: those go through the rewrite, which
// reports them.
bool ParseFileInShape(const std::string& path, bool read_faces, std::deque<ParsedStretch>& parsed) {
  const std::filesystem::path fs_path = FileSystemPath(path);
  std::error_code code;
  if (std::filesystem::is_directory(fs_path, code)) return false;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
      std::fopen(NativePath(path).c_str(), "rb"), &std::fclose);
  if (!file) return false;
  const auto size = std::filesystem::file_size(fs_path, code);
  const std::size_t threads =
      code ? 1
           : std::clamp<std::size_t>(static_cast<std::size_t>(size / kFilePiece), 1,
                                     std::max(1u, std::thread::hardware_concurrency()));

  std::mutex reading;   // guards the file and what follows
  std::string carried;  // the start of a line the last piece cut off
  bool first = true, finished = false;
  std::atomic<bool> refused{false};  // not in shape, or not readable
  OnThreads(threads, [&](std::size_t) {
    std::vector<char> buffer;
    while (!refused) {
      std::size_t length = 0;
      bool starts_file = false;
      ParsedStretch* out = nullptr;
      {
        const std::lock_guard<std::mutex> lock(reading);
        if (finished || refused) return;
        length = carried.size();
        if (buffer.size() < length + kFilePiece) buffer.resize(length + kFilePiece);
        std::memcpy(buffer.data(), carried.data(), length);
        // Up to the last LF read; a line longer than a piece takes more pieces.
        std::size_t cut = 0;
        for (bool end = false; cut == 0 && !end;) {
          if (buffer.size() < length + kFilePiece) buffer.resize(length + kFilePiece);
          const std::size_t got = std::fread(buffer.data() + length, 1, kFilePiece, file.get());
          if (got < kFilePiece && std::ferror(file.get()) != 0) {
            refused = true;
            return;
          }
          end = got < kFilePiece;
          for (std::size_t i = length + got; i > length; --i) {
            if (buffer[i - 1] == '\n') {
              cut = i;
              break;
            }
          }
          length += got;
          if (end) finished = true;
        }
        if (finished) cut = length;  // all that is left
        carried.assign(buffer.data() + cut, length - cut);
        length = cut;
        if (length == 0) {
          refused = refused || first;  // an empty file
          return;
        }
        starts_file = first;
        first = false;
        out = &parsed.emplace_back();
      }
      std::string_view piece(buffer.data(), length);
      // Pieces end with an LF (but for a last line without one, which fails the check), so the
      // whole is in shape when each piece is.
      if (!HasNormalLineBreaks(piece)) {
        refused = true;
        return;
      }
      if (starts_file && StartsWith(piece, kByteOrderMark)) {
        piece.remove_prefix(kByteOrderMark.size());
      }
      ObjParser(read_faces, *out).Parse(piece);
    }
  });
  return !refused && !parsed.empty();
}

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

std::optional<std::string> CheckIndices(const ParsedObj& obj, const FaceChunk& faces) {
  for (std::size_t t = 0; t < faces.triangles.size(); ++t) {
    for (const Corner& c : faces.triangles[t].corners) {
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
          faces.face_lines.begin(), faces.face_lines.end(), t,
          [](std::size_t triangle, const auto& entry) { return triangle < entry.first; });
      return PastTheEnd(faces.first_line + std::prev(line)->second, what, index, count);
    }
  }
  return std::nullopt;
}

// Every corner must name entries that exist; checked before anybody is asked anything.
std::optional<std::string> CheckIndices(const ParsedObj& obj) {
  for (const FaceChunk& faces : obj.faces) {
    if (auto refusal = CheckIndices(obj, faces)) return refusal;
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
                             std::to_string(obj.triangle_count) + text::kFacesFound +
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
  // Room for about `cells` cells without growing.
  void Reserve(std::size_t cells) {
    std::size_t size = 1024;
    while (size < cells * 2) size *= 2;
    if (size > slots_.size()) Resize(size);
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

  void Grow() { Resize(std::max<std::size_t>(slots_.size() * 2, 1024)); }

  void Resize(std::size_t size) {
    std::vector<std::uint8_t> old_tags = std::move(tags_);
    std::vector<Slot> old_slots = std::move(slots_);
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

double Square(double x) { return x * x; }

// Whether a distance, computed in double precision from its square and kept as a single (beyond
// single range: simply too far), is below a threshold. The square root and the rounding are
// needed only for squares near the threshold's; the bounds leave 16 single steps either side.
class Nearer {
 public:
  explicit Nearer(float threshold) : threshold_(threshold) {
    if (threshold > 0) {
      const double t = threshold;
      surely_ = Square(t * (1 - 0x1p-20));
      never_ = Square(t * (1 + 0x1p-20));
    }
  }
  bool operator()(double squared) const {
    if (squared < surely_) return true;
    if (squared > never_) return false;
    const double d = std::sqrt(squared);
    return (d < FLT_MAX ? static_cast<float>(d) : FLT_MAX) < threshold_;
  }

 private:
  float threshold_;
  double surely_ = -1;  // a threshold of 0 or below takes nothing: no square is below -1...
  double never_ = -1;   // ...and every square is above -1
};

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

// A corner's attributes, as a vertex keeps their averages: position, normal, texture coordinates.
using Values = std::array<float, 8>;
constexpr std::size_t kPosition = 0, kNormal = 3, kUV = 6;

// What a corner that may weld into a vertex reads of it, in one cache line.
struct alignas(64) WorkVertex {
  Values average{};            // of the corners welded so far, as singles: as compared, as written
  std::int64_t key = 0;        // bucket key of the corner that made the vertex
  std::uint32_t next = kNone;  // the next vertex of its cell's list
  std::uint32_t same_index = kNone;  // the vertex made before it by a corner of the same position
  std::uint32_t corners = 0;         // corners welded into it
  // Every corner welded into it had exactly its values, so the average is those values and the
  // sums are that many times them (kept only once it stops being so).
  bool uniform = true;
  // No other vertex has come near enough to take a corner of exactly its values (see PartWelder).
  bool alone = true;
};

// The rest of a vertex.
struct WorkSums {
  std::array<double, 8> sum{};  // of the corners' values; kept once the vertex is not uniform
  Cell cell{};                  // the position cell it is filed under
  std::uint32_t previous = kNone;
};

// Uniform vertices stop being so before their sums could need more than a double's 53 bits.
constexpr std::uint32_t kMostUniformCorners = std::uint32_t{1} << 28;

// What every part's welding shares, fixed before the first corner.
struct WeldRules {
  WeldRules(const ParsedObj& obj, const ObjImportOptions& options, const Thresholds& t,
            bool reverse_v)
      : vertex(t.vertex),
        normal(t.normal),
        uv(t.uv),
        compare_normals(!options.IgnoreNormals),
        // Without texture coordinates every corner's are the zero entry: there is nothing to
        // reverse and nothing that could keep corners apart.
        compare_uvs(!options.IgnoreUVs && obj.uvs.size() > 1),
        reverse_v(reverse_v && obj.uvs.size() > 1),
        search(options.MergeVertices && t.vertex > 0),
        // A corner matches a vertex of exactly its values only when every threshold compared is
        // above 0.
        shortcut(search && (!compare_normals || t.normal > 0) && (!compare_uvs || t.uv > 0)) {
    if (!search) return;
    const auto scaled = static_cast<float>(t.vertex * 100.0f);  // single, as the threshold
    const double window = std::trunc(std::pow(static_cast<double>(scaled), 1.5));
    key_window = window < kLargestKey ? static_cast<std::int64_t>(window)
                                      : static_cast<std::int64_t>(kLargestKey);
    // In every coordinate a match lies nearer than 1.01 thresholds.
    for (std::size_t a = 0; a < 8; ++a) {
      near[a] = 1.01 * (a < kNormal ? t.vertex : a < kUV ? t.normal : t.uv);
    }
    reach = near[0];
    // Cells 16 thresholds wide: most corners' reach lies in one cell. Any monotonic mapping of
    // coordinates to cells finds every vertex in reach, so the division may be a multiplication.
    per_cell = 1 / (static_cast<double>(t.vertex) * 16.0);
  }

  Nearer vertex, normal, uv;
  bool compare_normals, compare_uvs, reverse_v, search, shortcut;
  std::int64_t key_window = 0;
  std::array<double, 8> near{};
  double reach = 0;
  double per_cell = 1;
};

// The progress bar, moved by one thread only, once per kProgressStep triangles welded by all.
class WeldProgress {
 public:
  WeldProgress(Ui& ui, std::size_t total) : ui_(ui), total_(total) {}
  void Show(std::size_t done) {
    if (done / kProgressStep == shown_ / kProgressStep) return;
    shown_ = done;
    ui_.Progress(static_cast<std::int64_t>(done), static_cast<std::int64_t>(total_));
  }

 private:
  Ui& ui_;
  std::size_t total_;
  std::size_t shown_ = 0;
};

// Per position index, the last vertex a corner naming it made in the part `stamp` names; one per
// thread, reused from part to part.
struct MadeAt {
  std::uint32_t stamp = 0;
  std::uint32_t vertex = kNone;
};

// Welds the corners of one part into its vertices. The merge search looks at the buckets from
// key - s to key + s in increasing key order and, in each, at its vertices in the order they were
// made, taking the first match; a vertex's number grows with the order it was made in, so that is
// the match with the lowest (key, number). Every match lies nearer than the vertex threshold to
// the corner, so the buckets are hashed by position cell as well: every vertex is filed under the
// cell of its averaged position, and the cells around the corner hold every possible match. The
// cost per corner is then that of the vertices really nearby, however many share a distance from
// the origin (all of a sphere's do).
//
// Most corners of a mesh repeat one before them exactly. The shortcut gives such a corner,
// without a search, the vertex V a corner of the same position made when V is uniform and alone
// and has the corner's values; that is the search's answer. The corner matches V (distance 0,
// the same key) and no other vertex W: not when V or W was made, as each was made because nothing
// matched its first corner and matching is symmetric; nor later, as whenever W's average moves,
// the vertices within 1.01 thresholds of it (as near as a match lies, in every coordinate
// compared) are marked not alone.
//
// Corners are welded only with vertices of their own part, so parts are welded independently, on
// as many threads as there are cores.
class PartWelder {
 public:
  PartWelder(const ParsedObj& obj, const WeldRules& rules, std::vector<MadeAt>& made_at,
             std::uint32_t stamp)
      : obj_(obj), rules_(rules), made_at_(made_at), stamp_(stamp) {}

  // Welds the triangles (in file order), adding to `done` as it goes and showing it on `progress`
  // when given. nullopt when done; else the one that needed a vertex more than the part can hold.
  std::optional<const ObjTriangle*> Weld(const ObjTriangle* const* triangles, std::size_t count,
                                         std::atomic<std::size_t>& done, WeldProgress* progress) {
    // Every corner makes at most one vertex, so room for all of them up front spares the copies
    // of growing vectors; room that is never written costs next to nothing.
    const std::size_t most = std::min(3 * count, kMaxPartVertices);
    vertices_.reserve(most);
    sums_.reserve(most);
    indices_.reserve(3 * count);
    if (rules_.search) cells_.Reserve(most);
    constexpr std::size_t kReportEvery = 4096;
    for (std::size_t i = 0; i < count; ++i) {
      for (const Corner& corner : triangles[i]->corners) {
        const std::uint32_t vertex = VertexFor(corner);
        if (vertex == kNone) return triangles[i];
        indices_.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(vertex)));
      }
      if ((i + 1) % kReportEvery != 0) continue;
      const std::size_t now = done += kReportEvery;
      if (progress != nullptr) progress->Show(now);
    }
    done += count % kReportEvery;
    return std::nullopt;
  }

  MeshPart Take(std::int32_t material) {
    MeshPart part;
    part.MaterialIndex = material;
    part.VertexMask = kImportedMask;
    part.Vertices.resize(vertices_.size());
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
      const Values& a = vertices_[i].average;
      MeshVertex& out = part.Vertices[i];
      out.Position = {a[kPosition], a[kPosition + 1], a[kPosition + 2], 1.0f};
      out.Normal = {a[kNormal], a[kNormal + 1], a[kNormal + 2], 1.0f};
      out.UV = {a[kUV], a[kUV + 1]};
    }
    vertices_ = {};
    sums_ = {};
    part.VertexCount = static_cast<std::int32_t>(part.Vertices.size());
    FaceList list;
    list.Type = kFaceListTriangles;
    list.Indices = std::move(indices_);
    list.IndexCount = static_cast<std::int32_t>(list.Indices.size());
    part.FaceLists.push_back(std::move(list));
    part.FaceListCount = 1;
    return part;
  }

 private:
  std::uint32_t VertexFor(const Corner& corner) {
    const Vector3& p = obj_.positions[corner.position];
    const Vector3& n = obj_.normals[corner.normal];
    const Vector2& t = obj_.uvs[corner.uv];
    Values values = {p.x, p.y, p.z, n.x, n.y, n.z, t.u, rules_.reverse_v ? 1.0f - t.v : t.v};
    // Sums start from 0, which turns -0 into 0: a vertex's values are those sums' averages.
    for (float& value : values) value += 0.0f;
    if (!rules_.search) return Add(kNone, values, 0);
    MadeAt& made = made_at_[corner.position];
    if (made.stamp != stamp_) made = {stamp_, kNone};
    if (rules_.shortcut) {
      // Only the last few vertices of the position are looked at: the shortcut may miss.
      int looked = 0;
      for (std::uint32_t v = made.vertex; v != kNone && looked < 4; v = vertices_[v].same_index) {
        WorkVertex& vertex = vertices_[v];
        if (vertex.alone && vertex.uniform && Same(vertex.average, values) &&
            vertex.corners < kMostUniformCorners) {
          ++vertex.corners;
          return v;
        }
        ++looked;
      }
    }
    const std::int64_t key = BucketKey(p);
    const std::uint32_t found = Search(key, values);
    const bool moves =
        found != kNone && !(vertices_[found].uniform && Same(vertices_[found].average, values));
    const std::uint32_t vertex = Add(found, values, key);
    if (vertex == kNone) return kNone;
    if (found == kNone) {
      vertices_[vertex].same_index = made.vertex;
      made.vertex = vertex;
    }
    if (moves && rules_.shortcut) MarkAround(vertex);
    return vertex;
  }

  // Bit for bit: -0 and 0 average differently.
  static bool Same(const Values& a, const Values& b) {
    return std::memcmp(a.data(), b.data(), sizeof(Values)) == 0;
  }

  // Welds the corner into `vertex`, or into a new vertex when that is kNone; kNone when the part
  // has no room for another.
  std::uint32_t Add(std::uint32_t vertex, const Values& values, std::int64_t key) {
    if (vertex == kNone) {
      if (vertices_.size() >= kMaxPartVertices) return kNone;
      vertex = static_cast<std::uint32_t>(vertices_.size());
      WorkVertex& made = vertices_.emplace_back();
      sums_.emplace_back();
      made.average = values;
      made.key = key;
      made.corners = 1;
      if (rules_.search) File(vertex);
      return vertex;
    }
    WorkVertex& v = vertices_[vertex];
    WorkSums& s = sums_[vertex];
    if (v.uniform) {
      if (Same(v.average, values) && v.corners < kMostUniformCorners) {
        ++v.corners;
        return vertex;
      }
      for (std::size_t a = 0; a < 8; ++a) s.sum[a] = double{v.average[a]} * v.corners;
      v.uniform = false;
    }
    const double corners = ++v.corners;
    for (std::size_t a = 0; a < 8; ++a) {
      s.sum[a] += values[a];
      v.average[a] = static_cast<float>(s.sum[a] / corners);
    }
    File(vertex);
    return vertex;
  }

  bool Matches(const Values& a, const Values& b) const {
    const auto squared = [&a, &b](std::size_t from, std::size_t count) {
      double sum = 0;
      for (std::size_t i = from; i < from + count; ++i) sum += Square(double{a[i]} - b[i]);
      return sum;
    };
    if (!rules_.vertex(squared(kPosition, 3))) return false;
    if (rules_.compare_normals && !rules_.normal(squared(kNormal, 3))) return false;
    return !rules_.compare_uvs || rules_.uv(squared(kUV, 2));
  }

  // Whether every coordinate the thresholds compare lies within 1.01 thresholds.
  bool Near(const Values& a, const Values& b) const {
    for (std::size_t i = 0; i < 8; ++i) {
      if (i >= kNormal && i < kUV && !rules_.compare_normals) continue;
      if (i >= kUV && !rules_.compare_uvs) continue;
      if (!(std::fabs(double{a[i]} - b[i]) < rules_.near[i])) return false;
    }
    return true;
  }

  // The match with the lowest (key, number), else kNone.
  std::uint32_t Search(std::int64_t key, const Values& values) const {
    std::uint32_t best = kNone;
    std::int64_t best_key = 0;
    ForEachInReach(values, [&](std::uint32_t i) {
      const WorkVertex& v = vertices_[i];
      if (v.key < key - rules_.key_window || v.key > key + rules_.key_window) return;
      if (best != kNone && (v.key > best_key || (v.key == best_key && i > best))) return;
      if (!Matches(v.average, values)) return;
      best = i;
      best_key = v.key;
    });
    return best;
  }

  // After the average of `moved` moved: the vertices it may now match a corner of are not alone.
  void MarkAround(std::uint32_t moved) {
    const Values& average = vertices_[moved].average;
    ForEachInReach(average, [&](std::uint32_t i) {
      if (i != moved && Near(vertices_[i].average, average)) vertices_[i].alone = false;
    });
  }

  // Calls visit(number) for every vertex filed in the cells around the position within reach.
  template <typename Visit>
  void ForEachInReach(const Values& values, const Visit& visit) const {
    Cell low{}, high{};
    for (std::size_t a = 0; a < 3; ++a) {
      low[a] = CellOf(double{values[a]} - rules_.reach);
      high[a] = CellOf(double{values[a]} + rules_.reach);
    }
    Cell at{};
    for (at[0] = low[0]; at[0] <= high[0]; ++at[0]) {
      for (at[1] = low[1]; at[1] <= high[1]; ++at[1]) {
        for (at[2] = low[2]; at[2] <= high[2]; ++at[2]) {
          const std::uint32_t* head = cells_.Find(at);
          if (head == nullptr) continue;
          for (std::uint32_t i = *head; i != kNone; i = vertices_[i].next) visit(i);
        }
      }
    }
  }

  // The floor of coordinate / cell size, clamped; clamping first lets the conversion to an integer
  // do the rounding, far cheaper than std::floor.
  std::int32_t CellOf(double coordinate) const {
    const double cell = std::clamp(coordinate * rules_.per_cell, -kLargestCell, kLargestCell);
    const auto whole = static_cast<std::int32_t>(cell);  // toward zero
    return cell < whole ? whole - 1 : whole;
  }

  // Files the vertex under the cell of its averaged position, moving it when the average has
  // left its old cell.
  void File(std::uint32_t index) {
    WorkVertex& v = vertices_[index];
    WorkSums& s = sums_[index];
    const Cell cell = {CellOf(v.average[0]), CellOf(v.average[1]), CellOf(v.average[2])};
    const bool filed = v.corners > 1;
    if (filed && SameCell(cell, s.cell)) return;
    if (filed) {
      if (s.previous != kNone) {
        vertices_[s.previous].next = v.next;
      } else {
        cells_.Insert(s.cell) = v.next;
      }
      if (v.next != kNone) sums_[v.next].previous = s.previous;
    }
    std::uint32_t& head = cells_.Insert(cell);
    s.cell = cell;
    s.previous = kNone;
    v.next = head;
    if (head != kNone) sums_[head].previous = index;
    head = index;
  }

  const ParsedObj& obj_;
  const WeldRules& rules_;
  std::vector<MadeAt>& made_at_;
  std::uint32_t stamp_;
  std::vector<WorkVertex> vertices_;
  std::vector<WorkSums> sums_;
  std::vector<std::int16_t> indices_;
  CellTable cells_;
};

// Enough triangles to be worth a thread of their own.
constexpr std::size_t kTrianglesPerThread = std::size_t{1} << 14;

// Welds every part, biggest first, on up to one thread per core; the parts in material order,
// or the refusal of the part that ran out of vertices first in file order.
std::variant<std::vector<MeshPart>, std::string> WeldParts(
    const ParsedObj& obj, const WeldRules& rules, const std::vector<std::int32_t>& materials,
    Ui& ui) {
  const std::size_t part_count = obj.materials.size();
  // The triangles of each part in file order, one part after the other; faces before any
  // "usemtl" (slot 0) go to the first part.
  const auto part_of = [](std::uint32_t slot) { return std::max<std::uint32_t>(slot, 1) - 1; };
  std::vector<std::size_t> first(part_count + 1, 0);
  for (std::size_t slot = 0; slot < obj.slot_triangles.size(); ++slot) {
    first[part_of(static_cast<std::uint32_t>(slot)) + 1] += obj.slot_triangles[slot];
  }
  for (std::size_t p = 0; p < part_count; ++p) first[p + 1] += first[p];
  std::vector<const ObjTriangle*> order(obj.triangle_count);
  {
    std::vector<std::size_t> next(first.begin(), first.end() - 1);
    for (const FaceChunk& faces : obj.faces) {
      for (std::size_t t = 0; t < faces.triangles.size(); ++t) {
        order[next[part_of(faces.slots[faces.triangles[t].slot])]++] = &faces.triangles[t];
      }
    }
  }
  std::vector<std::size_t> queue;  // parts with faces, most triangles first
  for (std::size_t p = 0; p < part_count; ++p) {
    if (first[p + 1] > first[p]) queue.push_back(p);
  }
  std::stable_sort(queue.begin(), queue.end(), [&first](std::size_t a, std::size_t b) {
    return first[a + 1] - first[a] > first[b + 1] - first[b];
  });

  const std::size_t total = obj.triangle_count;
  ui.Progress(0, static_cast<std::int64_t>(total));
  std::vector<MeshPart> parts(part_count);
  std::vector<std::optional<std::size_t>> overflows(part_count);
  std::atomic<std::size_t> next_part{0}, done{0};
  // Only the calling thread talks to the Ui, showing how far all threads have come.
  WeldProgress progress(ui, total);
  const auto work = [&](std::size_t thread) {
    WeldProgress* reports = thread == 0 ? &progress : nullptr;
    std::vector<MadeAt> made_at;
    for (std::size_t q = next_part++; q < queue.size(); q = next_part++) {
      const std::size_t p = queue[q];
      if (rules.search && made_at.empty()) made_at.resize(obj.positions.size());
      PartWelder welder(obj, rules, made_at, static_cast<std::uint32_t>(p + 1));
      const auto overflow =
          welder.Weld(order.data() + first[p], first[p + 1] - first[p], done, reports);
      if (overflow) overflows[p] = obj.NumberOf(*overflow);
      if (!overflows[p]) parts[p] = welder.Take(materials[p]);
    }
  };
  const std::size_t threads =
      std::min<std::size_t>({std::max(1u, std::thread::hardware_concurrency()), queue.size(),
                             std::max<std::size_t>(total / kTrianglesPerThread, 1)});
  OnThreads(threads, work);

  std::optional<std::size_t> refused_part;
  for (std::size_t p = 0; p < part_count; ++p) {
    if (overflows[p] && (!refused_part || *overflows[p] < *overflows[*refused_part])) {
      refused_part = p;
    }
  }
  if (refused_part) {
    return Refusal(text::kTooManyVerticesLead + obj.materials[*refused_part] +
                   text::kTooManyVerticesTail);
  }
  ui.Progress(static_cast<std::int64_t>(total), static_cast<std::int64_t>(total));
  return parts;
}

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

// The mesh of the parsed file, the questions about thresholds answered.
std::optional<LodMesh> BuildMesh(ParsedObj& obj, const ObjImportOptions& options,
                                 const ObjImportContext& context, const Thresholds& thresholds,
                                 Ui& ui) {
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
  if (obj.triangle_count > 0) {
    auto welded = WeldParts(obj, WeldRules(obj, options, thresholds, reverse_v), materials, ui);
    if (auto* refusal = std::get_if<std::string>(&welded)) return Refused(*refusal, ui);
    mesh.Parts = std::move(std::get<std::vector<MeshPart>>(welded));
  } else {
    mesh.Parts.resize(obj.materials.size());
    if (auto refusal = PointPart(obj, materials.front(), mesh.Parts.front())) {
      return Refused(*refusal, ui);
    }
  }
  return mesh;
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
  if (auto refusal = Parse(source, options.ReadFaces, obj)) return Refused(*refusal, ui);
  return BuildMesh(obj, options, context, *thresholds, ui);
}

std::optional<LodMesh> ImportOBJMesh(const std::string& path, const ObjImportOptions& options,
                                     const ObjImportContext& context, Ui& ui) {
  // Read before the questions, as the rewrite is; what it finds is told after them, as ever.
  std::deque<ParsedStretch> pieces;
  if (ParseFileInShape(path, options.ReadFaces, pieces)) {
    const std::optional<Thresholds> thresholds = AskThresholds(options, context, ui);
    if (!thresholds) return std::nullopt;
    ParsedObj obj;
    if (auto refusal = Join(pieces, obj)) return Refused(*refusal, ui);
    pieces.clear();
    return BuildMesh(obj, options, context, *thresholds, ui);
  }
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
