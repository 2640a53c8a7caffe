#include "interchange/texture_encode.h"

#include <squish.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cmath>
#include <limits>
#include <thread>

#include "hod/textures.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wshadow"
#endif
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace gantry {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

stbir_filter StbFilter(MipFilter filter) {
  switch (filter) {
    case MipFilter::kBox:
      return STBIR_FILTER_BOX;
    case MipFilter::kTriangle:
      return STBIR_FILTER_TRIANGLE;
    case MipFilter::kMitchell:
      return STBIR_FILTER_MITCHELL;
    case MipFilter::kCatmullRom:
      return STBIR_FILTER_CATMULLROM;
  }
  return STBIR_FILTER_BOX;
}

bool IsDxt(TextureFormat format) {
  return format == TextureFormat::kDxt1 || format == TextureFormat::kDxt3 ||
         format == TextureFormat::kDxt5;
}

int SquishFlags(TextureFormat format, bool fast) {
  const int kind = format == TextureFormat::kDxt1   ? squish::kDxt1
                   : format == TextureFormat::kDxt3 ? squish::kDxt3
                                                    : squish::kDxt5;
  return kind | (fast ? squish::kColourRangeFit : squish::kColourClusterFit);
}

std::size_t PixelBytes(std::int32_t width, std::int32_t height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

// Runs task(0) ... task(count - 1) on up to `threads` threads, each taking the next undone task.
template <typename Task>
void RunParallel(std::size_t count, int threads, const Task& task) {
  std::size_t workers = threads > 0 ? static_cast<std::size_t>(threads)
                                    : std::max(1u, std::thread::hardware_concurrency());
  workers = std::min(workers, count);
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) task(i);
  };
  std::vector<std::thread> pool;
  for (std::size_t w = 1; w < workers; ++w) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
}

// Scales alpha so that the share of pixels at or over `cutoff` is `target`: without it, cut-out
// leaves and railings thin out and vanish in the distance as averaging softens their alpha.
void KeepCoverage(RgbaImage& level, std::uint8_t cutoff, double target) {
  std::array<std::size_t, 256> histogram{};
  const std::size_t pixels = level.pixels.size() / 4;
  if (pixels == 0) return;
  for (std::size_t i = 0; i < pixels; ++i) ++histogram[level.pixels[i * 4 + 3]];
  auto coverage = [&](double scale) {
    std::size_t covered = 0;
    for (int a = 0; a < 256; ++a) {
      if (std::min(255.0, std::round(a * scale)) >= cutoff) covered += histogram[a];
    }
    return static_cast<double>(covered) / static_cast<double>(pixels);
  };
  double low = 0;
  double high = 8;
  for (int step = 0; step < 24; ++step) {
    const double middle = (low + high) / 2;
    (coverage(middle) < target ? low : high) = middle;
  }
  const double scale = high;
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint8_t& a = level.pixels[i * 4 + 3];
    a = static_cast<std::uint8_t>(std::min(255.0, std::round(a * scale)));
  }
}

double Coverage(const RgbaImage& level, std::uint8_t cutoff) {
  const std::size_t pixels = level.pixels.size() / 4;
  if (pixels == 0) return 0;
  std::size_t covered = 0;
  for (std::size_t i = 0; i < pixels; ++i) covered += level.pixels[i * 4 + 3] >= cutoff ? 1 : 0;
  return static_cast<double>(covered) / static_cast<double>(pixels);
}

// Range fit first: where it is already within about two steps per channel of the picture (flat
// and smooth blocks, much of a painted hull) the cluster fit gains nothing visible, so only the
// other blocks pay for it: about 40% less time on painted textures, for about 0.3 dB.
constexpr int kGoodEnoughError = 12;  // summed squared error per pixel over red, green, blue

void EncodeBlock(const RgbaImage& image, std::int32_t x0, std::int32_t y0, std::uint8_t* block,
                 TextureFormat format, bool fast, float* metric) {
  std::uint8_t pixels[64] = {};
  int mask = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      if (x0 + x >= image.width || y0 + y >= image.height) continue;
      const std::uint8_t* from = image.pixels.data() + PixelBytes(image.width, y0 + y) +
                                 static_cast<std::size_t>(x0 + x) * 4;
      std::copy(from, from + 4, pixels + (y * 4 + x) * 4);
      mask |= 1 << (y * 4 + x);
    }
  }
  squish::CompressMasked(pixels, mask, block, SquishFlags(format, true), metric);
  if (fast) return;
  std::uint8_t decoded[64];
  squish::Decompress(decoded, block, SquishFlags(format, true));
  int error = 0;
  int count = 0;
  for (int i = 0; i < 16; ++i) {
    if ((mask & (1 << i)) == 0) continue;
    // DXT1 turns pixels under half alpha transparent black: their colour is not kept anyway.
    if (format == TextureFormat::kDxt1 && pixels[i * 4 + 3] < 128) continue;
    for (int c = 0; c < 3; ++c) {
      const int d = pixels[i * 4 + c] - decoded[i * 4 + c];
      error += d * d;
    }
    ++count;
  }
  if (error <= kGoodEnoughError * count) return;
  squish::CompressMasked(pixels, mask, block, SquishFlags(format, false), metric);
}

}  // namespace

std::optional<TextureFormat> ParseTextureFormat(std::string_view text) {
  const std::string lower = Lower(text);
  if (lower == "dxt1") return TextureFormat::kDxt1;
  if (lower == "dxt3") return TextureFormat::kDxt3;
  if (lower == "dxt5") return TextureFormat::kDxt5;
  if (lower == "8888") return TextureFormat::k8888;
  if (lower == "888") return TextureFormat::k888;
  return std::nullopt;
}

const char* TextureFormatName(TextureFormat format) {
  switch (format) {
    case TextureFormat::kDxt1:
      return "DXT1";
    case TextureFormat::kDxt3:
      return "DXT3";
    case TextureFormat::kDxt5:
      return "DXT5";
    case TextureFormat::k8888:
      return "8888";
    case TextureFormat::k888:
      return "888";
  }
  return "DXT5";
}

Tag TextureFormatTag(TextureFormat format) {
  return format == TextureFormat::k888 ? Tag("8888") : Tag(TextureFormatName(format));
}

AlphaUse AnalyseAlpha(const RgbaImage& image) {
  AlphaUse use = AlphaUse::kOpaque;
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
    const std::uint8_t a = image.pixels[i];
    if (a == 255) continue;
    if (a != 0) return AlphaUse::kGraded;
    use = AlphaUse::kCutout;
  }
  return use;
}

std::optional<SizeRounding> ParseSizeRounding(std::string_view text) {
  const std::string lower = Lower(text);
  if (lower == "nearest") return SizeRounding::kNearest;
  if (lower == "down") return SizeRounding::kDown;
  if (lower == "up") return SizeRounding::kUp;
  return std::nullopt;
}

std::optional<MipFilter> ParseMipFilter(std::string_view text) {
  const std::string lower = Lower(text);
  for (MipFilter f :
       {MipFilter::kBox, MipFilter::kTriangle, MipFilter::kMitchell, MipFilter::kCatmullRom}) {
    if (lower == MipFilterName(f)) return f;
  }
  return std::nullopt;
}

const char* MipFilterName(MipFilter filter) {
  switch (filter) {
    case MipFilter::kBox:
      return "box";
    case MipFilter::kTriangle:
      return "triangle";
    case MipFilter::kMitchell:
      return "mitchell";
    case MipFilter::kCatmullRom:
      return "catmullrom";
  }
  return "box";
}

std::int32_t PowerOfTwoSide(std::int32_t side, SizeRounding rounding) {
  if (side <= 1) return 1;
  std::int32_t low = 1;
  while (low <= side / 2) low *= 2;
  if (low == side) return side;
  const std::int32_t high = low * 2;
  switch (rounding) {
    case SizeRounding::kDown:
      return low;
    case SizeRounding::kUp:
      return high;
    case SizeRounding::kNearest:
      return side - low < high - side ? low : high;
  }
  return low;
}

std::pair<std::int32_t, std::int32_t> TopLevelSize(std::int32_t width, std::int32_t height,
                                                   SizeRounding rounding, std::int32_t max_size) {
  std::int32_t w = PowerOfTwoSide(width, rounding);
  std::int32_t h = PowerOfTwoSide(height, rounding);
  while (max_size > 0 && std::max(w, h) > max_size && std::max(w, h) > 1) {
    w = std::max(1, w / 2);
    h = std::max(1, h / 2);
  }
  return {w, h};
}

RgbaImage ResizeImage(const RgbaImage& image, std::int32_t width, std::int32_t height,
                      MipFilter filter) {
  RgbaImage out;
  out.width = width;
  out.height = height;
  out.pixels.resize(PixelBytes(width, height));
  if (image.width == width && image.height == height) {
    out.pixels = image.pixels;
    return out;
  }
  stbir_resize_uint8_generic(image.pixels.data(), image.width, image.height, 0, out.pixels.data(),
                             width, height, 0, 4, 3, 0, STBIR_EDGE_CLAMP, StbFilter(filter),
                             STBIR_COLORSPACE_SRGB, nullptr);
  return out;
}

std::vector<RgbaImage> BuildMipChain(const RgbaImage& image, const TextureSettings& settings) {
  const auto [width, height] =
      TopLevelSize(image.width, image.height, settings.rounding, settings.max_size);
  // Enlarging wants an interpolating filter; shrinking one that does not ring.
  const bool enlarging = static_cast<std::int64_t>(width) * height >
                         static_cast<std::int64_t>(image.width) * image.height;
  std::vector<RgbaImage> levels;
  levels.push_back(
      ResizeImage(image, width, height, enlarging ? MipFilter::kCatmullRom : MipFilter::kMitchell));
  while (settings.mips && (levels.back().width > 1 || levels.back().height > 1)) {
    const RgbaImage& above = levels.back();
    levels.push_back(ResizeImage(above, std::max(1, above.width / 2), std::max(1, above.height / 2),
                                 settings.filter));
  }
  if (settings.alpha_test) {
    // Each level is filtered from the unscaled one above; only then is its alpha scaled.
    const double target = Coverage(levels.front(), *settings.alpha_test);
    for (std::size_t i = levels.size(); i-- > 1;) {
      KeepCoverage(levels[i], *settings.alpha_test, target);
    }
  }
  return levels;
}

std::vector<MipLevel> EncodeLevels(std::span<const RgbaImage> levels, TextureFormat format,
                                   bool fast, int threads) {
  std::vector<MipLevel> out(levels.size());
  if (!IsDxt(format)) {
    const bool opaque = format == TextureFormat::k888;
    for (std::size_t l = 0; l < levels.size(); ++l) {
      const RgbaImage& image = levels[l];
      MipLevel& bytes = out[l];
      bytes.resize(image.pixels.size());
      const std::size_t row = static_cast<std::size_t>(image.width) * 4;
      for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* from = image.pixels.data() + row * static_cast<std::size_t>(y);
        std::uint8_t* to = bytes.data() + row * static_cast<std::size_t>(image.height - 1 - y);
        for (std::size_t x = 0; x < row; x += 4) {
          to[x] = from[x + 2];
          to[x + 1] = from[x + 1];
          to[x + 2] = from[x];
          to[x + 3] = opaque ? 255 : from[x + 3];
        }
      }
    }
    return out;
  }
  const int flags = SquishFlags(format, fast);
  const int block_bytes = format == TextureFormat::kDxt1 ? 8 : 16;
  // Error is counted evenly over red, green and blue, as PSNR counts it.
  float metric[3] = {1.0f, 1.0f, 1.0f};
  struct Strip {
    std::size_t level;
    std::int32_t first_row;
    std::int32_t rows;
  };
  constexpr std::int32_t kStripRows = 32;  // a multiple of the 4-row block
  std::vector<Strip> strips;
  for (std::size_t l = 0; l < levels.size(); ++l) {
    const RgbaImage& image = levels[l];
    out[l].assign(
        static_cast<std::size_t>(squish::GetStorageRequirements(image.width, image.height, flags)),
        0);
    for (std::int32_t y = 0; y < image.height; y += kStripRows) {
      strips.push_back({l, y, std::min(kStripRows, image.height - y)});
    }
  }
  RunParallel(strips.size(), threads, [&](std::size_t i) {
    const Strip& strip = strips[i];
    const RgbaImage& image = levels[strip.level];
    const std::int32_t blocks_across = (image.width + 3) / 4;
    std::uint8_t* block =
        out[strip.level].data() + static_cast<std::size_t>(blocks_across) *
                                      static_cast<std::size_t>(strip.first_row / 4) *
                                      static_cast<std::size_t>(block_bytes);
    for (std::int32_t by = strip.first_row; by < strip.first_row + strip.rows; by += 4) {
      for (std::int32_t bx = 0; bx < image.width; bx += 4, block += block_bytes) {
        EncodeBlock(image, bx, by, block, format, fast, metric);
      }
    }
  });
  return out;
}

Texture MakeTexture(const RgbaImage& image, std::string name, const TextureSettings& settings) {
  const std::vector<RgbaImage> levels = BuildMipChain(image, settings);
  Texture texture;
  texture.Kind = "LMIP";
  texture.FileName = std::move(name);
  texture.FileNameLength = static_cast<std::int32_t>(texture.FileName.size());
  texture.Format = TextureFormatTag(settings.format);
  texture.Width = levels.front().width;
  texture.Height = levels.front().height;
  texture.MipCount = static_cast<std::int32_t>(levels.size());
  texture.MipLevels = EncodeLevels(levels, settings.format, settings.fast, settings.threads);
  return texture;
}

std::optional<Texture> CompressTextureToDxt(const Texture& texture, TextureFormat format,
                                            std::string* why) {
  if (!IsDxt(format)) {
    if (why != nullptr) *why = "not a DXT format";
    return std::nullopt;
  }
  const std::optional<RgbaImage> top = DecodeForDisplay(texture, 1, why);
  if (!top) return std::nullopt;
  TextureSettings settings;
  settings.format = format;
  Texture compressed = MakeTexture(*top, texture.FileName, settings);
  static_cast<ChunkHeader&>(compressed) = static_cast<const ChunkHeader&>(texture);
  return compressed;
}

std::optional<double> Psnr(const RgbaImage& a, const RgbaImage& b, bool alpha) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
    return std::nullopt;
  }
  std::uint64_t sum = 0;
  std::uint64_t samples = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    if (!alpha && i % 4 == 3) continue;
    const int d = static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i]);
    sum += static_cast<std::uint64_t>(d * d);
    ++samples;
  }
  if (sum == 0 || samples == 0) return std::numeric_limits<double>::infinity();
  const double mse = static_cast<double>(sum) / static_cast<double>(samples);
  return 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::optional<RgbaImage> DecodeEncodedLevel(const MipLevel& level, TextureFormat format,
                                            std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxDecodedSide || height > kMaxDecodedSide) {
    return std::nullopt;
  }
  RgbaImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(PixelBytes(width, height));
  if (IsDxt(format)) {
    const int flags = SquishFlags(format, false);
    if (level.size() !=
        static_cast<std::size_t>(squish::GetStorageRequirements(width, height, flags))) {
      return std::nullopt;
    }
    squish::DecompressImage(image.pixels.data(), width, height, level.data(), flags);
    return image;
  }
  if (level.size() != image.pixels.size()) return std::nullopt;
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* from = level.data() + row * static_cast<std::size_t>(height - 1 - y);
    std::uint8_t* to = image.pixels.data() + row * static_cast<std::size_t>(y);
    for (std::size_t x = 0; x < row; x += 4) {
      to[x] = from[x + 2];
      to[x + 1] = from[x + 1];
      to[x + 2] = from[x];
      to[x + 3] = from[x + 3];
    }
  }
  return image;
}

std::vector<LevelPreview> PreviewEncoding(const RgbaImage& image, const TextureSettings& settings) {
  std::vector<RgbaImage> levels = BuildMipChain(image, settings);
  const std::vector<MipLevel> encoded =
      EncodeLevels(levels, settings.format, settings.fast, settings.threads);
  const bool alpha =
      settings.format != TextureFormat::kDxt1 && settings.format != TextureFormat::k888;
  std::vector<LevelPreview> preview;
  for (std::size_t l = 0; l < levels.size(); ++l) {
    LevelPreview level;
    level.after = DecodeEncodedLevel(encoded[l], settings.format, levels[l].width, levels[l].height)
                      .value_or(RgbaImage{});
    level.psnr = Psnr(levels[l], level.after, alpha).value_or(0);
    level.before = std::move(levels[l]);
    preview.push_back(std::move(level));
  }
  return preview;
}

}  // namespace gantry
