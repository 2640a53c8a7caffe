#include "support/hod_builder.h"

namespace gantry::testing {

// Each primitive writes, then returns the builder for chaining.
HodBuilder& HodBuilder::Tag(std::string_view tag) { return out_.WriteTag(gantry::Tag(tag)), *this; }
HodBuilder& HodBuilder::BigLong(std::int32_t v) { return out_.WriteBigLong(v), *this; }
HodBuilder& HodBuilder::Long(std::int32_t v) { return out_.WriteLong(v), *this; }
HodBuilder& HodBuilder::Integer(std::int16_t v) { return out_.WriteInteger(v), *this; }
HodBuilder& HodBuilder::Byte(std::uint8_t v) { return out_.WriteByte(v), *this; }
HodBuilder& HodBuilder::Single(float v) { return out_.WriteSingle(v), *this; }
HodBuilder& HodBuilder::Double(double v) { return out_.WriteDouble(v), *this; }
HodBuilder& HodBuilder::Text(std::string_view text) {
  return out_.WriteText(static_cast<std::int32_t>(text.size()), text), *this;
}
HodBuilder& HodBuilder::Chars(std::string_view text) { return out_.WriteChars(text), *this; }
HodBuilder& HodBuilder::Bytes(const std::vector<std::uint8_t>& bytes) {
  return out_.WriteBytes(bytes), *this;
}
HodBuilder& HodBuilder::Zeros(std::size_t n) { return Bytes(std::vector<std::uint8_t>(n)); }

HodBuilder& HodBuilder::Container(std::string_view kind, std::string_view id, const Body& body,
                                  std::optional<std::int32_t> length) {
  out_.WriteTag(gantry::Tag(kind));
  const std::size_t mark = out_.size();
  out_.WriteBigLong(0);
  out_.WriteTag(gantry::Tag(id));
  if (body) body(*this);
  out_.EndChunk(mark);
  if (length) out_.PatchBigLong(mark, *length);
  return *this;
}

HodBuilder& HodBuilder::Plain(std::string_view tag, const Body& body,
                              std::optional<std::int32_t> length) {
  const std::size_t mark = out_.BeginPlain(gantry::Tag(tag));
  if (body) body(*this);
  out_.EndChunk(mark);
  if (length) out_.PatchBigLong(mark, *length);
  return *this;
}

HodBuilder& HodBuilder::Version(std::int32_t version) {
  return Form("VERS", [version](HodBuilder& b) { b.Long(version); });
}

HodBuilder& HodBuilder::Name(std::string_view type_name) {
  return Form("NAME", [type_name](HodBuilder& b) { b.Chars(type_name); });
}

HodBuilder& HodBuilder::SimpleLod(std::int32_t lod_level, std::int32_t vertices,
                                  std::string_view kind) {
  return Container(kind, "BMSH", [=](HodBuilder& b) {
    b.BigLong(1400).Long(lod_level).Long(1);  // version, level, one part
    b.Long(0).Long(0x9).Long(vertices);       // material 0, position + uv
    for (std::int32_t i = 0; i < vertices; ++i) {
      b.Single(static_cast<float>(i)).Single(1).Single(2).Single(1).Single(0.5f).Single(0.25f);
    }
    b.Integer(1).Long(0x202).Long(3).Integer(0).Integer(1).Integer(2);
  });
}

}  // namespace gantry::testing
