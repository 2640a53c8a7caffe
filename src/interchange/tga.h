// Truevision Targa files for "8888" textures: an 18-byte header, the pixel bytes exactly as the
// texture holds them (blue, green, red, alpha; bottom row first) and the 26-byte TGA 2.0 footer.
// Pixels are never converted, and the header always says 32 bits with 8 alpha bits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

struct TGAHeader {
  std::uint8_t IdLength = 0;
  std::uint8_t ColourMapType = 0;
  std::uint8_t ImageType = 2;
  std::array<std::uint8_t, 5> ColourMap{};
  std::int16_t XOrigin = 0;
  std::int16_t YOrigin = 0;
  std::int16_t Width = 0;
  std::int16_t Height = 0;
  std::uint8_t Depth = 32;
  std::uint8_t Descriptor = 8;
  friend bool operator==(const TGAHeader&, const TGAHeader&) = default;
};

struct TGAFooter {
  std::uint32_t ExtensionOffset = 0;
  std::uint32_t DeveloperOffset = 0;
  std::string Signature = "TRUEVISION-XFILE.";
  std::uint8_t Terminator = 0;
  friend bool operator==(const TGAFooter&, const TGAFooter&) = default;
};

// A TGA as the colour samplers read it. Pixels are 0xAARRGGBB in file order; a file cut short
// holds fewer than Width x Height of them, and then its footer stays the default one.
struct TGAImage {
  TGAHeader Header;
  std::vector<std::uint32_t> Pixels;
  TGAFooter Footer;
};

// The file at `path` as a texture named after it ("[x]" tag), or nullopt after a message: no
// tag, not 32 bits with descriptor 8, fewer than 2 pixels, or fewer pixel bytes than the header
// calls for. A wrong footer only warns. The caller stores the texture into its entry.
std::optional<Texture> ImportTGATexture(const std::string& path, Ui& ui);
// The same from bytes in memory, without the name; `name` only labels messages.
std::optional<Texture> ReadTGATexture(std::span<const std::uint8_t> file, std::string_view name,
                                      Ui& ui);

// Writes the header, every mip level and the footer to `path`, or to the automatic ".TGA" name in
// `working_folder` when `path` is empty. Returns the path written; nullopt (after a message)
// only when the file could not be written.
std::optional<std::string> ExportTGATexture(const Texture& texture, const std::string& path,
                                            const std::string& working_folder, Ui& ui);

// Writes the first mip level as a TGA to the preview file in `folder`; false without levels or
// when the file could not be written.
bool WriteTGAPreviewFile(const Texture& texture, const std::string& folder);

// Reads header, pixels and footer with no checks; a missing file gives the default image with no
// pixels.
TGAImage ReadTGAImage(const std::string& path);
TGAImage ReadTGAImage(std::span<const std::uint8_t> file);

}  // namespace gantry
