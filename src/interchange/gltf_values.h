// Between the JSON of Gantry's records and tinygltf's `extras` values. The model's texts are
// single bytes (code page 1252); glTF's are UTF-8, so strings change encoding on the way.
#pragma once

#include <tiny_gltf.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/text_encoding.h"

namespace gantry {

tinygltf::Value ToValue(const nlohmann::json& json);
nlohmann::json FromValue(const tinygltf::Value& value);

}  // namespace gantry
