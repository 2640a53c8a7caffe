// Feeds arbitrary bytes to the picture loader as the import uses it (PNG, JPEG, TGA, BMP, PSD
// through stb_image), and takes small pictures on through the mip chain and the encoders.
#include <cstdint>
#include <span>

#include "interchange/image_load.h"
#include "interchange/texture_encode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string why;
  const auto image = gantry::LoadImage(std::span<const std::uint8_t>(data, size), &why);
  // Only small pictures go on: the encoders' cost grows with the area, not with the input.
  if (!image || image->width > 64 || image->height > 64) return 0;
  gantry::TextureSettings settings;
  settings.format = size % 2 == 0 ? gantry::TextureFormat::kDxt5 : gantry::TextureFormat::kDxt1;
  settings.fast = true;
  settings.threads = 1;
  settings.rounding = size % 3 == 0 ? gantry::SizeRounding::kUp : gantry::SizeRounding::kNearest;
  if (size % 5 == 0) settings.alpha_test = 128;
  const gantry::Texture texture = gantry::MakeTexture(*image, "fuzz", settings);
  for (std::size_t level = 0; level < texture.MipLevels.size(); ++level) {
    const int w = std::max(1, texture.Width >> level);
    const int h = std::max(1, texture.Height >> level);
    gantry::DecodeEncodedLevel(texture.MipLevels[level], settings.format, w, h);
  }
  return 0;
}
