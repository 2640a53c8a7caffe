// Minimal JSON string quoting. JSON is UTF-8 on every platform: model texts (code page 1252) and
// paths (the system's narrow encoding) are converted on the way in.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "common/text_encoding.h"

namespace gantry::cli {

inline std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  for (const char ch : NarrowToUtf8(text)) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace gantry::cli
