#include "interchange/gltf_values.h"

#include <cmath>
#include <limits>

namespace gantry {

namespace {
constexpr const char* kPresent = "_";
}  // namespace

namespace {

// Whether tinygltf writes the value: it drops nulls, empty lists and objects, and the members
// and items that it drops.
bool Written(const tinygltf::Value& value) {
  if (value.IsArray()) {
    for (const auto& item : value.Get<tinygltf::Value::Array>()) {
      if (Written(item)) return true;
    }
    return false;
  }
  if (value.IsObject()) {
    for (const auto& [key, item] : value.Get<tinygltf::Value::Object>()) {
      if (Written(item)) return true;
    }
    return false;
  }
  return value.Type() != tinygltf::NULL_TYPE;
}

}  // namespace

tinygltf::Value ToValue(const nlohmann::json& json) {
  switch (json.type()) {
    case nlohmann::json::value_t::boolean:
      return tinygltf::Value(json.get<bool>());
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned: {
      const auto wide = json.get<std::int64_t>();
      if (wide >= std::numeric_limits<int>::min() && wide <= std::numeric_limits<int>::max()) {
        return tinygltf::Value(static_cast<int>(wide));
      }
      return tinygltf::Value(static_cast<double>(wide));
    }
    case nlohmann::json::value_t::number_float:
      return tinygltf::Value(json.get<double>());
    case nlohmann::json::value_t::string:
      return tinygltf::Value(Cp1252ToUtf8(json.get_ref<const std::string&>()));
    case nlohmann::json::value_t::array: {
      tinygltf::Value::Array items;
      items.reserve(json.size());
      for (const auto& item : json) items.push_back(ToValue(item));
      return tinygltf::Value(std::move(items));
    }
    case nlohmann::json::value_t::object: {
      tinygltf::Value::Object fields;
      bool written = false;
      for (const auto& [key, item] : json.items()) {
        tinygltf::Value value = ToValue(item);
        written = written || Written(value);
        fields.emplace(key, std::move(value));
      }
      // An object whose members are all empty would vanish, and with it an item of its list.
      if (!written) fields.emplace(kPresent, tinygltf::Value(true));
      return tinygltf::Value(std::move(fields));
    }
    default:
      return tinygltf::Value();
  }
}

nlohmann::json FromValue(const tinygltf::Value& value) {
  switch (value.Type()) {
    case tinygltf::BOOL_TYPE:
      return value.Get<bool>();
    case tinygltf::INT_TYPE:
      return value.Get<int>();
    case tinygltf::REAL_TYPE:
      return value.Get<double>();
    case tinygltf::STRING_TYPE:
      return Utf8ToCp1252(value.Get<std::string>());
    case tinygltf::ARRAY_TYPE: {
      nlohmann::json items = nlohmann::json::array();
      for (const auto& item : value.Get<tinygltf::Value::Array>()) items.push_back(FromValue(item));
      return items;
    }
    case tinygltf::OBJECT_TYPE: {
      nlohmann::json fields = nlohmann::json::object();
      for (const auto& [key, item] : value.Get<tinygltf::Value::Object>()) {
        if (key != kPresent) fields[key] = FromValue(item);
      }
      return fields;
    }
    default:
      return nullptr;
  }
}

}  // namespace gantry
