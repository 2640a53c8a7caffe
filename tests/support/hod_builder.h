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

// Each primitive writes, then returns the builder for chaining.
class HodBuilder {
 public:
  using Body = std::function<void(HodBuilder&)>;

  HodBuilder& Tag(std::string_view tag) { return out_.WriteTag(gantry::Tag(tag)), *this; }
  HodBuilder& BigLong(std::int32_t v) { return out_.WriteBigLong(v), *this; }
  HodBuilder& Long(std::int32_t v) { return out_.WriteLong(v), *this; }
  HodBuilder& Integer(std::int16_t v) { return out_.WriteInteger(v), *this; }
  HodBuilder& Byte(std::uint8_t v) { return out_.WriteByte(v), *this; }
  HodBuilder& Single(float v) { return out_.WriteSingle(v), *this; }
  HodBuilder& Double(double v) { return out_.WriteDouble(v), *this; }
  // Counted: Long length, then the characters.
  HodBuilder& Text(std::string_view text) {
    return out_.WriteText(static_cast<std::int32_t>(text.size()), text), *this;
  }
  HodBuilder& Chars(std::string_view text) { return out_.WriteChars(text), *this; }
  HodBuilder& Bytes(const std::vector<std::uint8_t>& bytes) {
    return out_.WriteBytes(bytes), *this;
  }
  HodBuilder& Zeros(std::size_t n) { return Bytes(std::vector<std::uint8_t>(n)); }

  // kind ("FORM"/"NRML"), length, id, body; the length counts the ID and the body.
  HodBuilder& Container(std::string_view kind, std::string_view id, const Body& body,
                        std::optional<std::int32_t> length = std::nullopt) {
    out_.WriteTag(gantry::Tag(kind));
    const std::size_t mark = out_.size();
    out_.WriteBigLong(0);
    out_.WriteTag(gantry::Tag(id));
    return End(mark, body, length);
  }
  HodBuilder& Form(std::string_view id, const Body& body) { return Container("FORM", id, body); }
  HodBuilder& Nrml(std::string_view id, const Body& body) { return Container("NRML", id, body); }
  // tag, length, body; the length counts the body only.
  HodBuilder& Plain(std::string_view tag, const Body& body,
                    std::optional<std::int32_t> length = std::nullopt) {
    return End(out_.BeginPlain(gantry::Tag(tag)), body, length);
  }

  // Common chunks.
  HodBuilder& Version(std::int32_t version = 512) {
    return Form("VERS", [version](HodBuilder& b) { b.Long(version); });
  }
  HodBuilder& Name(std::string_view type_name = "Homeworld2 Multi Mesh File") {
    return Form("NAME", [type_name](HodBuilder& b) { b.Chars(type_name); });
  }
  // A BMSH with one part of `vertices` vertices (mask 0x9: position and uv) and one triangle
  // list over them.
  HodBuilder& SimpleLod(std::int32_t lod_level, std::int32_t vertices = 3,
                        std::string_view kind = "FORM") {
    return Container(kind, "BMSH", [=](HodBuilder& b) {
      b.BigLong(1400).Long(lod_level).Long(1);  // version, level, one part
      b.Long(0).Long(0x9).Long(vertices);       // material 0, position + uv
      for (std::int32_t i = 0; i < vertices; ++i) {
        b.Single(static_cast<float>(i)).Single(1).Single(2).Single(1).Single(0.5f).Single(0.25f);
      }
      b.Integer(1).Long(0x202).Long(3).Integer(0).Integer(1).Integer(2);
    });
  }

  const std::vector<std::uint8_t>& bytes() const { return out_.bytes(); }
  std::size_t size() const { return out_.size(); }

 private:
  HodBuilder& End(std::size_t mark, const Body& body, std::optional<std::int32_t> length) {
    if (body) body(*this);
    out_.EndChunk(mark);
    if (length) out_.PatchBigLong(mark, *length);
    return *this;
  }

  ByteWriter out_;
};

}  // namespace gantry::testing
