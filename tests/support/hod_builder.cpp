#include "support/hod_builder.h"

namespace gantry::testing {

HodBuilder& HodBuilder::Tag(std::string_view tag) {
  out_.WriteTag(gantry::Tag(tag));
  return *this;
}
HodBuilder& HodBuilder::BigLong(std::int32_t v) {
  out_.WriteBigLong(v);
  return *this;
}
HodBuilder& HodBuilder::Long(std::int32_t v) {
  out_.WriteLong(v);
  return *this;
}
HodBuilder& HodBuilder::Integer(std::int16_t v) {
  out_.WriteInteger(v);
  return *this;
}
HodBuilder& HodBuilder::Byte(std::uint8_t v) {
  out_.WriteByte(v);
  return *this;
}
HodBuilder& HodBuilder::Single(float v) {
  out_.WriteSingle(v);
  return *this;
}
HodBuilder& HodBuilder::Double(double v) {
  out_.WriteDouble(v);
  return *this;
}
HodBuilder& HodBuilder::Text(std::string_view text) {
  out_.WriteText(static_cast<std::int32_t>(text.size()), text);
  return *this;
}
HodBuilder& HodBuilder::Chars(std::string_view text) {
  out_.WriteChars(text);
  return *this;
}
HodBuilder& HodBuilder::Bytes(const std::vector<std::uint8_t>& bytes) {
  out_.WriteBytes(bytes);
  return *this;
}
HodBuilder& HodBuilder::Zeros(std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) out_.WriteByte(0);
  return *this;
}

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
