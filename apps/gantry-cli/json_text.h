// JSON output of the command line, through nlohmann json. Model texts are single-byte (Latin-1)
// strings and turn into UTF-8 on the way in; fields keep the order they were added in.
#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/utf8.h"

namespace gantry::cli {

using Json = nlohmann::ordered_json;

// A model text as a JSON string value.
inline Json JsonText(std::string_view text) { return Json(Latin1ToUtf8(text)); }

// The object on one line of stdout.
inline void PrintJsonLine(const Json& json) {
  const std::string out = json.dump() + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace gantry::cli
