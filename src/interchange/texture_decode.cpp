#include "interchange/texture_decode.h"

#include <squish.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace gantry {

namespace {

enum class Kind { Unknown, Dxt1, Dxt3, Dxt5, Bgra };

Kind KindOf(const Tag& format) {
  std::string tag = format.str();
  for (char& c : tag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (tag == "DXT1") return Kind::Dxt1;
  if (tag == "DXT3") return Kind::Dxt3;
  if (tag == "DXT5") return Kind::Dxt5;
  if (tag == "8888") return Kind::Bgra;
  return Kind::Unknown;
}

std::optional<RgbaImage> Refuse(std::string* why, std::string reason) {
  if (why != nullptr) *why = std::move(reason);
  return std::nullopt;
}

std::int64_t LevelSide(std::int32_t side, int level) {
  return std::max<std::int64_t>(1, std::int64_t{side} >> std::min(level - 1, 40));
}

}  // namespace

bool IsDecodableFormat(const Tag& format) { return KindOf(format) != Kind::Unknown; }

std::optional<RgbaImage> DecodeTextureLevel(const Texture& texture, int level, std::string* why) {
  const Kind kind = KindOf(texture.Format);
  if (kind == Kind::Unknown)
    return Refuse(why, "unknown format tag \"" + texture.Format.str() + "\"");
  if (level < 1 || static_cast<std::size_t>(level) > texture.MipLevels.size()) {
    return Refuse(why, "there is no mip level " + std::to_string(level));
  }
  if (texture.Width < 1 || texture.Height < 1 || texture.Width > kMaxDecodedSide ||
      texture.Height > kMaxDecodedSide) {
    return Refuse(why, "unusable size " + std::to_string(texture.Width) + " x " +
                           std::to_string(texture.Height));
  }
  const std::int64_t w = LevelSide(texture.Width, level);
  const std::int64_t h = LevelSide(texture.Height, level);
  const std::int64_t blocks = ((w + 3) / 4) * ((h + 3) / 4);
  std::int64_t needed = 0;
  int flags = 0;
  switch (kind) {
    case Kind::Dxt1:
      needed = blocks * 8;
      flags = squish::kDxt1;
      break;
    case Kind::Dxt3:
      needed = blocks * 16;
      flags = squish::kDxt3;
      break;
    case Kind::Dxt5:
      needed = blocks * 16;
      flags = squish::kDxt5;
      break;
    case Kind::Bgra:
    case Kind::Unknown:
      needed = w * h * 4;
      break;
  }
  const MipLevel& data = texture.MipLevels[static_cast<std::size_t>(level - 1)];
  if (static_cast<std::int64_t>(data.size()) != needed) {
    return Refuse(why, "mip level " + std::to_string(level) + " holds " +
                           std::to_string(data.size()) + " bytes where " + std::to_string(w) +
                           " x " + std::to_string(h) + " calls for " + std::to_string(needed));
  }

  RgbaImage image;
  image.width = static_cast<std::int32_t>(w);
  image.height = static_cast<std::int32_t>(h);
  image.pixels.resize(static_cast<std::size_t>(w * h * 4));
  if (kind == Kind::Bgra) {
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
      image.pixels[i] = data[i + 2];
      image.pixels[i + 1] = data[i + 1];
      image.pixels[i + 2] = data[i];
      image.pixels[i + 3] = data[i + 3];
    }
  } else {
    squish::DecompressImage(image.pixels.data(), image.width, image.height, data.data(), flags);
  }
  return image;
}

std::optional<RgbaImage> DecodeForDisplay(const Texture& texture, int level, std::string* why) {
  auto image = DecodeTextureLevel(texture, level, why);
  if (image && KindOf(texture.Format) == Kind::Bgra) FlipRows(*image);
  return image;
}

void FlipRows(RgbaImage& image) {
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  if (stride == 0 || image.pixels.size() != stride * static_cast<std::size_t>(image.height)) {
    return;
  }
  for (std::size_t top = 0, bottom = static_cast<std::size_t>(image.height) - 1; top < bottom;
       ++top, --bottom) {
    std::swap_ranges(image.pixels.begin() + static_cast<std::ptrdiff_t>(top * stride),
                     image.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * stride),
                     image.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * stride));
  }
}

std::vector<std::uint8_t> EncodePng(const RgbaImage& image) {
  std::vector<std::uint8_t> out;
  if (image.width < 1 || image.height < 1 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4) {
    return out;
  }
  const auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
  };
  if (stbi_write_png_to_func(append, &out, image.width, image.height, 4, image.pixels.data(),
                             image.width * 4) == 0) {
    out.clear();
  }
  return out;
}

namespace {

RgbaImage HalfSize(const RgbaImage& image) {
  RgbaImage half;
  half.width = std::max(1, image.width / 2);
  half.height = std::max(1, image.height / 2);
  half.pixels.resize(static_cast<std::size_t>(half.width) * half.height * 4);
  for (int y = 0; y < half.height; ++y) {
    for (int x = 0; x < half.width; ++x) {
      for (int c = 0; c < 4; ++c) {
        int sum = 0, count = 0;
        for (int dy = 0; dy < 2; ++dy) {
          for (int dx = 0; dx < 2; ++dx) {
            const int sx = std::min(x * 2 + dx, image.width - 1);
            const int sy = std::min(y * 2 + dy, image.height - 1);
            sum += image.pixels[(static_cast<std::size_t>(sy) * image.width + sx) * 4 + c];
            ++count;
          }
        }
        half.pixels[(static_cast<std::size_t>(y) * half.width + x) * 4 + c] =
            static_cast<std::uint8_t>((sum + count / 2) / count);
      }
    }
  }
  return half;
}

}  // namespace

Texture EncodeTexture(const RgbaImage& image, const std::string& name) {
  Texture texture;
  texture.Kind = "LMIP";
  texture.FileName = name;
  texture.FileNameLength = static_cast<std::int32_t>(name.size());
  texture.Width = image.width;
  texture.Height = image.height;
  bool opaque = true;
  for (std::size_t i = 3; i < image.pixels.size(); i += 4)
    opaque = opaque && image.pixels[i] == 255;
  texture.Format = opaque ? "DXT1" : "DXT5";
  const int flags = (opaque ? squish::kDxt1 : squish::kDxt5);
  RgbaImage level = image;
  while (true) {
    MipLevel data(
        static_cast<std::size_t>(squish::GetStorageRequirements(level.width, level.height, flags)));
    squish::CompressImage(level.pixels.data(), level.width, level.height, data.data(), flags);
    texture.MipLevels.push_back(std::move(data));
    if (level.width == 1 && level.height == 1) break;
    level = HalfSize(level);
  }
  texture.MipCount = static_cast<std::int32_t>(texture.MipLevels.size());
  return texture;
}

}  // namespace gantry
