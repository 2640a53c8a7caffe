#include "interchange/image_load.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "common/paths.h"
#include "interchange/texture_messages.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#endif
// Only the formats painters save; GIF, HDR, PIC and PNM stay out of reach of hostile files.
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_ONLY_PSD
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384  // kMaxImageSide
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace gantry {

using namespace texture_messages;

namespace {

// The fewest bytes a file of this kind can hold a width x height picture in. stb_image reads
// zeros past the end of a file instead of failing, so without this a few bytes claiming a large
// picture would decode (slowly) into a large picture of nothing.
std::uint64_t LeastBytes(std::span<const std::uint8_t> file, std::uint64_t pixels) {
  auto starts = [&](std::string_view magic) {
    return file.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), file.begin(),
                      [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
  };
  if (starts("\x89PNG")) return 0;               // deflate notices a cut-short file itself
  if (starts("\xFF\xD8")) return pixels / 1024;  // a flat JPEG: a few bits per 8 x 8 block
  if (starts("8BPS")) return pixels / 64;        // PackBits: 2 bytes per 128 bytes
  if (starts("BM")) {
    const std::uint64_t bits = file.size() > 29 ? file[28] | (file[29] << 8) : 1;
    return pixels * bits / 8;  // stb_image reads only uncompressed BMPs
  }
  // TGA, the format without a signature: run-length packets hold at most 128 pixels.
  const std::uint64_t bytes_per_pixel = file.size() > 16 ? std::max(1, (file[16] + 7) / 8) : 1;
  if (file.size() > 2 && (file[2] & 8) != 0) return pixels / 128 * (1 + bytes_per_pixel);
  return pixels * bytes_per_pixel;
}

}  // namespace

std::optional<RgbaImage> LoadImage(std::span<const std::uint8_t> file, std::string* why) {
  auto refuse = [&](std::string reason) -> std::optional<RgbaImage> {
    if (why != nullptr) *why = std::move(reason);
    return std::nullopt;
  };
  if (file.empty()) return refuse(kImageEmpty);
  if (file.size() > static_cast<std::size_t>(INT32_MAX)) return refuse(kImageTooLarge);
  const auto size = static_cast<int>(file.size());
  int width = 0;
  int height = 0;
  int channels = 0;
  // The header alone first, so a lying size is refused before any pixel memory is taken.
  const bool known = stbi_info_from_memory(file.data(), size, &width, &height, &channels) != 0;
  if (known && (width <= 0 || height <= 0)) return refuse(kImageZeroSize);
  if (known && (width > kMaxImageSide || height > kMaxImageSide)) return refuse(kImageTooLarge);
  if (known && file.size() < LeastBytes(file, static_cast<std::uint64_t>(width) *
                                                  static_cast<std::uint64_t>(height))) {
    return refuse(std::string(kImageDamaged) + kImageCutShort);
  }
  // Without a header the load below fails too, and says why for the format that matched,
  // where the header scan reports only the last format it tried.
  stbi_uc* pixels = stbi_load_from_memory(file.data(), size, &width, &height, &channels, 4);
  if (pixels == nullptr) {
    const std::string reason = stbi_failure_reason();
    if (reason == "too large") return refuse(kImageTooLarge);
    if (reason == "unknown image type") return refuse(kImageUnknown);
    return refuse(std::string(kImageDamaged) + reason);
  }
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
    stbi_image_free(pixels);
    return refuse(width <= 0 || height <= 0 ? kImageZeroSize : kImageTooLarge);
  }
  RgbaImage image;
  image.width = width;
  image.height = height;
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  image.pixels.assign(pixels, pixels + bytes);
  stbi_image_free(pixels);
  return image;
}

std::optional<RgbaImage> LoadImageFile(const std::string& path, std::string* why) {
  // A folder opens as a stream on some systems and then throws on the first read.
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(NativePath(path), error)) {
    in.open(NativePath(path), std::ios::binary);
  }
  if (!in.is_open() || !in) {
    if (why != nullptr) *why = std::string(kCannotOpen) + path;
    return std::nullopt;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  return LoadImage(bytes, why);
}

}  // namespace gantry
