// JSON output of the command line, through nlohmann json. JSON is UTF-8 on every platform: model
// texts (code page 1252) and paths (the system's narrow encoding) are converted on the way in;
// fields keep the order they were added in.
#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/text_encoding.h"

namespace gantry::cli {

using Json = nlohmann::ordered_json;

// A model text or path as a JSON string value.
inline Json JsonText(std::string_view text) { return Json(NarrowToUtf8(text)); }

// The object on one line of stdout.
inline void PrintJsonLine(const Json& json) {
  const std::string out = json.dump() + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace gantry::cli
