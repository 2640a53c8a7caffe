// The rewrite a text file gets before it is parsed (OBJ files, HOD scripts): CR LF, a lone CR and
// a lone LF each end a line, empty lines are dropped, and every line is written back ending in
// CR LF. Files from any tool then read alike. The new text replaces the file by rename, so a
// failure at any step leaves the original as it was; the backup copy beside it (ship.hsc ->
// ship_BAK.hsc) is removed only once the new file is in place.
#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/ui.h"

namespace gantry {

// Calls `visit(line)` for every non-empty piece of `text` cut at each CR and at each LF. A
// `visit` that returns bool stops the walk by returning false.
template <typename Visit>
void ForEachTextLine(std::string_view text, Visit&& visit) {
  // The next CR and the next LF are each found with memchr and kept until the walk passes them,
  // so the text is scanned at memchr's speed and only about twice, whatever its line ends are.
  const auto next = [text](char c, std::size_t from) {
    if (from >= text.size()) return text.size();
    const void* found = std::memchr(text.data() + from, c, text.size() - from);
    return found == nullptr
               ? text.size()
               : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
  };
  std::size_t start = 0, cr = next('\r', 0), lf = next('\n', 0);
  while (start < text.size()) {
    if (cr < start) cr = next('\r', start);
    if (lf < start) lf = next('\n', start);
    const std::size_t stop = cr < lf ? cr : lf;
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
