// Composes HOD bytes for tests: primitives in file encoding, and chunks whose lengths are filled
// in when their body is done (or forced, to build damaged files).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_writer.h"

namespace gantry::testing {

class HodBuilder {
 public:
  using Body = std::function<void(HodBuilder&)>;

  HodBuilder& Tag(std::string_view tag);
  HodBuilder& BigLong(std::int32_t v);
  HodBuilder& Long(std::int32_t v);
  HodBuilder& Integer(std::int16_t v);
  HodBuilder& Byte(std::uint8_t v);
  HodBuilder& Single(float v);
  HodBuilder& Double(double v);
  HodBuilder& Text(std::string_view text);  // counted: Long length, then the characters
  HodBuilder& Chars(std::string_view text);
  HodBuilder& Bytes(const std::vector<std::uint8_t>& bytes);
  HodBuilder& Zeros(std::size_t n);

  // kind ("FORM"/"NRML"), length, id, body; the length counts the ID and the body.
  HodBuilder& Container(std::string_view kind, std::string_view id, const Body& body,
                        std::optional<std::int32_t> length = std::nullopt);
  HodBuilder& Form(std::string_view id, const Body& body) { return Container("FORM", id, body); }
  HodBuilder& Nrml(std::string_view id, const Body& body) { return Container("NRML", id, body); }
  // tag, length, body; the length counts the body only.
  HodBuilder& Plain(std::string_view tag, const Body& body,
                    std::optional<std::int32_t> length = std::nullopt);

  // Common chunks.
  HodBuilder& Version(std::int32_t version = 512);
  HodBuilder& Name(std::string_view type_name = "Homeworld2 Multi Mesh File");
  // A BMSH with one part of `vertices` vertices (mask 0x9: position and uv) and one triangle
  // list over them.
  HodBuilder& SimpleLod(std::int32_t lod_level, std::int32_t vertices = 3,
                        std::string_view kind = "FORM");

  const std::vector<std::uint8_t>& bytes() const { return out_.bytes(); }
  std::size_t size() const { return out_.size(); }

 private:
  ByteWriter out_;
};

}  // namespace gantry::testing
