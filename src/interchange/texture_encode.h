// Game-ready textures from pictures: power-of-two sizes, mip chains filtered in linear light,
// DXT1/DXT3/DXT5 through libsquish or uncompressed "8888", and the error figures that say how
// much a level lost. Pictures here are RgbaImage, top row first; the results are mip levels as
// the HOD holds them (DXT blocks top row first, "8888" as blue, green, red, alpha bottom row
// first).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hod/model.h"
#include "interchange/texture_decode.h"

namespace gantry {

// "888" is kept as "8888" with every alpha 255: the HOD has no three-byte format.
enum class TextureFormat { kDxt1, kDxt3, kDxt5, k8888, k888 };

// "dxt1", "dxt3", "dxt5", "8888", "888" in any letter case; nullopt otherwise.
std::optional<TextureFormat> ParseTextureFormat(std::string_view text);
// "DXT1" ... "888", as the user names it.
const char* TextureFormatName(TextureFormat format);
// The tag the HOD stores.
Tag TextureFormatTag(TextureFormat format);

// How the picture's alpha is used, for the automatic format choice.
enum class AlphaUse { kOpaque, kCutout, kGraded };  // all 255; only 0 and 255; anything else
AlphaUse AnalyseAlpha(const RgbaImage& image);

// Sides that are not powers of two go to the nearer one (a tie goes up), the lower or the upper.
enum class SizeRounding { kNearest, kDown, kUp };
std::optional<SizeRounding> ParseSizeRounding(std::string_view text);  // nearest, down, up

// The filter of every mip level (each from the level above it); box is the exact 2 x 2 average.
enum class MipFilter { kBox, kTriangle, kMitchell, kCatmullRom };
std::optional<MipFilter> ParseMipFilter(std::string_view text);  // box, triangle, mitchell, ...
const char* MipFilterName(MipFilter filter);

struct TextureSettings {
  TextureFormat format = TextureFormat::kDxt5;
  SizeRounding rounding = SizeRounding::kNearest;
  std::int32_t max_size = 0;  // the top level's largest side; 0 for no budget
  bool mips = true;           // the full chain down to 1 x 1, else the top level only
  MipFilter filter = MipFilter::kBox;
  // Cut-out textures: every level keeps the share of pixels whose alpha reaches this value.
  std::optional<std::uint8_t> alpha_test;
  bool fast = false;  // libsquish's range fit instead of its cluster fit
  int threads = 0;    // 0: one per core
};

// The power of two a side becomes.
std::int32_t PowerOfTwoSide(std::int32_t side, SizeRounding rounding);
// The top level's size: powers of two, then halved together (keeping the aspect) while the
// larger side is over `max_size`.
std::pair<std::int32_t, std::int32_t> TopLevelSize(std::int32_t width, std::int32_t height,
                                                   SizeRounding rounding, std::int32_t max_size);

// The picture at another size, filtered with colour in sRGB and alpha linear, colour weighted by
// alpha so transparent pixels do not bleed their colour in.
RgbaImage ResizeImage(const RgbaImage& image, std::int32_t width, std::int32_t height,
                      MipFilter filter = MipFilter::kMitchell);

// The levels the settings call for, before compression: the fitted top level, then (with mips)
// each level half the one above, down to 1 x 1.
std::vector<RgbaImage> BuildMipChain(const RgbaImage& image, const TextureSettings& settings);

// Each level as the HOD stores it in `format`, encoded on `threads` threads (0: one per core).
std::vector<MipLevel> EncodeLevels(std::span<const RgbaImage> levels, TextureFormat format,
                                   bool fast, int threads);

// The picture as a finished texture named `name`: BuildMipChain, then EncodeLevels.
Texture MakeTexture(const RgbaImage& image, std::string name, const TextureSettings& settings);

// For upgrading models: an uncompressed ("8888") texture as DXT `format` with its full mip chain
// rebuilt from its top level, the name kept. Sides that are not powers of two go to the nearer.
// nullopt, with `why`, when the texture cannot be decoded or `format` is not a DXT format.
std::optional<Texture> CompressTextureToDxt(const Texture& texture, TextureFormat format,
                                            std::string* why = nullptr);

// Peak signal-to-noise ratio in dB between two pictures of one size over red, green, blue and,
// with `alpha`, alpha; infinity when they are equal, nullopt when the sizes differ.
std::optional<double> Psnr(const RgbaImage& a, const RgbaImage& b, bool alpha);

// A level as the game will show it: the encoded bytes decoded again, top row first.
std::optional<RgbaImage> DecodeEncodedLevel(const MipLevel& level, TextureFormat format,
                                            std::int32_t width, std::int32_t height);

// Each level of the texture the settings make, before and after compression, with the error
// figure (PSNR in dB over colour, and alpha where the format keeps it).
struct LevelPreview {
  RgbaImage before;
  RgbaImage after;
  double psnr = 0;
};
std::vector<LevelPreview> PreviewEncoding(const RgbaImage& image, const TextureSettings& settings);

}  // namespace gantry
