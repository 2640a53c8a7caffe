// Between the JSON of Gantry's records and tinygltf's `extras` values. The model's texts are
// single bytes (Latin-1); glTF's are UTF-8, so strings change encoding on the way.
#pragma once

#include <tiny_gltf.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "common/utf8.h"

namespace gantry {

tinygltf::Value ToValue(const nlohmann::json& json);
nlohmann::json FromValue(const tinygltf::Value& value);

}  // namespace gantry
