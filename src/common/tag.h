// A four-character chunk tag ("FORM", "STAT", ...). Shorter texts are padded with blanks and
// longer ones cut, so a tag always stands for exactly the four bytes of the file.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace gantry {

struct Tag {
  std::array<char, 4> chars{' ', ' ', ' ', ' '};

  constexpr Tag() = default;
  constexpr Tag(std::string_view text) {  // NOLINT(google-explicit-constructor): tags read as text
    for (std::size_t i = 0; i < 4; ++i) chars[i] = i < text.size() ? text[i] : ' ';
  }
  constexpr Tag(const char* text) : Tag(std::string_view(text)) {}  // NOLINT

  std::string str() const { return std::string(chars.data(), 4); }
  // The tag for a message: bytes that are not printable ASCII as "\xNN", so a damaged file
  // never sends control bytes to a terminal.
  std::string printable() const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : chars) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x20 && byte < 0x7F) {
        out += c;
      } else {
        out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
      }
    }
    return out;
  }
  constexpr std::string_view view() const { return std::string_view(chars.data(), 4); }
  constexpr bool IsNull() const {
    return chars[0] == 0 && chars[1] == 0 && chars[2] == 0 && chars[3] == 0;
  }

  friend constexpr bool operator==(const Tag&, const Tag&) = default;
};

}  // namespace gantry
