// Pictures painted in image editors, read through stb_image: PNG, JPEG, TGA (8/16/24/32 bits,
// colour-mapped, RLE, either origin), BMP and PSD (the flattened composite). Everything else,
// zero sizes and pictures beyond kMaxImageSide are refused with a reason, never a crash.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "interchange/texture_decode.h"

namespace gantry {

// The largest side an imported picture may have: no card of the game's era takes more, and a
// 16384 x 16384 picture already needs 1 GiB of pixels during the mip work.
inline constexpr std::int32_t kMaxImageSide = 16384;

// The picture in memory, top row first, four channels; nullopt with `why` set otherwise.
std::optional<RgbaImage> LoadImage(std::span<const std::uint8_t> file, std::string* why);

// The same from a file.
std::optional<RgbaImage> LoadImageFile(const std::string& path, std::string* why);

}  // namespace gantry
