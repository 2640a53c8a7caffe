#include "interchange/texture_compress.h"

#include <squish.h>

#include <algorithm>
#include <vector>

#include "interchange/texture_decode.h"

namespace gantry {

bool CompressTextureToDxt(Texture& texture) {
  if (texture.Format != Tag("8888")) return false;
  std::vector<RgbaImage> levels;
  bool opaque = true;
  for (int level = 1; level <= static_cast<int>(texture.MipLevels.size()); ++level) {
    std::optional<RgbaImage> image = DecodeTextureLevel(texture, level);
    if (!image) return false;
    for (std::size_t i = 3; i < image->pixels.size(); i += 4)
      opaque = opaque && image->pixels[i] == 255;
    levels.push_back(std::move(*image));
  }
  const int flags = (opaque ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const RgbaImage& image = levels[i];
    MipLevel& data = texture.MipLevels[i];
    data.assign(
        static_cast<std::size_t>(squish::GetStorageRequirements(image.width, image.height, flags)),
        0);
    squish::CompressImage(image.pixels.data(), image.width, image.height, data.data(), flags);
  }
  texture.Format = opaque ? Tag("DXT1") : Tag("DXT5");
  return true;
}

}  // namespace gantry
