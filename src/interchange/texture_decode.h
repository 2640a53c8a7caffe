// Textures as 8-bit RGBA pictures for the preview, the 3D view and PNG output. DXT levels are
// decompressed with libsquish; "8888" levels hold blue, green, red, alpha per pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

struct RgbaImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;  // red, green, blue, alpha; width * height * 4 bytes
  friend bool operator==(const RgbaImage&, const RgbaImage&) = default;
};

// The largest side we decode; larger textures cannot come from a TGA and no card takes them.
inline constexpr std::int32_t kMaxDecodedSide = 32768;

// DXT1, DXT3, DXT5 or 8888, in any letter case: the formats the decoder and the preview know.
bool IsDecodableFormat(const Tag& format);

// Mip level `level` (1 = the largest) with its rows in data order. Refused (nullopt, and `why`
// says why) for a format other than DXT1, DXT3, DXT5 and 8888 (any letter case), a missing level,
// a side that is not positive or above kMaxDecodedSide, and a level whose byte count is not
// exactly what its width and height (halved per level, at least 1) call for.
std::optional<RgbaImage> DecodeTextureLevel(const Texture& texture, int level,
                                            std::string* why = nullptr);

// As an image viewer shows the exported file: "8888" data comes from TGAs stored bottom row
// first, so its rows are turned over; DDS data is top row first already.
std::optional<RgbaImage> DecodeForDisplay(const Texture& texture, int level,
                                          std::string* why = nullptr);

void FlipRows(RgbaImage& image);

// A picture as a texture of `name`: DXT1 when every pixel is opaque, else DXT5, with every mip
// level down to 1x1 (each half the one before, by averaging). Rows stay in the image's order.
Texture EncodeTexture(const RgbaImage& image, const std::string& name);

// The image as a PNG file's bytes; empty when it cannot be encoded.
std::vector<std::uint8_t> EncodePng(const RgbaImage& image);

}  // namespace gantry
