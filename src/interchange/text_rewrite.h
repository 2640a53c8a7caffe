// The rewrite a text file gets before it is parsed (OBJ files, HOD scripts): CR LF, a lone CR and
// a lone LF each end a line, empty lines are dropped, and every line is written back ending in
// CR LF. Files from any tool then read alike. The new text replaces the file by rename, so a
// failure at any step leaves the original as it was; the backup copy beside it (ship.hsc ->
// ship_BAK.hsc) is removed only once the new file is in place.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/ui.h"

namespace gantry {

// The first CR or LF of `text` at or after `from`; text.size() when there is none.
inline std::size_t NextLineBreak(std::string_view text, std::size_t from) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* at = begin + std::min(from, text.size());
  if constexpr (std::endian::native == std::endian::little) {
    // Eight bytes at a time: lines are short, and two memchr calls per line cost more than the
    // scan itself. A byte equal to CR or LF becomes zero after the XOR; the lowest flagged byte
    // of (x - 0x01..) & ~x & 0x80.. is the first zero byte.
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    for (; end - at >= 8; at += 8) {
      std::uint64_t word;
      std::memcpy(&word, at, 8);
      const std::uint64_t cr = word ^ (kOnes * '\r'), lf = word ^ (kOnes * '\n');
      const std::uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
      if (found != 0) return static_cast<std::size_t>(at - begin) + std::countr_zero(found) / 8;
    }
  }
  while (at < end && *at != '\r' && *at != '\n') ++at;
  return static_cast<std::size_t>(at - begin);
}

// Calls `visit(line)` for every non-empty piece of `text` cut at each CR and at each LF. A
// `visit` that returns bool stops the walk by returning false.
template <typename Visit>
void ForEachTextLine(std::string_view text, Visit&& visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t stop = NextLineBreak(text, start);
    if (stop > start) {
      const std::string_view line = text.substr(start, stop - start);
      if constexpr (std::is_same_v<std::invoke_result_t<Visit, std::string_view>, bool>) {
        if (!visit(line)) return;
      } else {
        visit(line);
      }
    }
    start = stop + 1;
  }
}

// The text as the rewrite leaves it: each non-empty line followed by CR LF.
std::string NormaliseLineBreaks(std::string_view text);
// Whether NormaliseLineBreaks(text) == text, without making the copy.
bool HasNormalLineBreaks(std::string_view text);

// Folder, file title + "_BAK", then "." + extension when the name has one.
std::string BackupPathFor(const std::string& path);

// The whole file; nullopt with `error` set when it cannot be read.
std::optional<std::string> ReadTextFile(const std::string& path, std::string* error);

enum class TextRewriteStatus {
  Rewritten,   // the file now holds `text` (it may have held it already)
  Empty,       // length 0: "File is empty!" was shown and the file left alone
  Unreadable,  // the file could not be read; a message was shown
  NotWritten,  // read, but the backup or the new file could not be written: the file is as it
               // was and `text` is what it would have become
};

struct TextRewrite {
  TextRewriteStatus status = TextRewriteStatus::Unreadable;
  std::string text;
  std::string error;  // why the file could not be read or written
};

TextRewrite RewriteTextFile(const std::string& path, Ui& ui);

}  // namespace gantry
