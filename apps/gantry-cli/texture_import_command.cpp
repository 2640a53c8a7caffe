// import-texture and convert-texture: pictures from image editors as game-ready textures, into a
// HOD or into a DDS (or, uncompressed, a TGA) of their own.
#include <fmt/format.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <string>

#include "cli_ui.h"
#include "commands.h"
#include "commands/texture_import.h"
#include "common/paths.h"
#include "interchange/dds.h"
#include "interchange/image_load.h"
#include "interchange/tga.h"

namespace gantry::cli {

namespace {

std::string Decibels(double psnr) {
  return std::isinf(psnr) ? std::string("exact") : fmt::format("{:.2f} dB", psnr);
}

std::string Describe(const FormatChoice& choice) {
  if (choice.reason.empty()) return TextureFormatName(choice.format);
  return fmt::format("{} (auto: {})", TextureFormatName(choice.format), choice.reason);
}

}  // namespace

std::optional<TextureCliSettings> ParseTextureCliSettings(const TextureCliOptions& options) {
  TextureCliSettings parsed;
  if (options.format != "auto") {
    parsed.format = ParseTextureFormat(options.format);
    if (!parsed.format) {
      fmt::print(stderr, "--format {}: not auto, dxt1, dxt3, dxt5, 8888 or 888\n", options.format);
      return std::nullopt;
    }
  }
  const auto rounding = ParseSizeRounding(options.resize);
  if (!rounding) {
    fmt::print(stderr, "--resize {}: not nearest, down or up\n", options.resize);
    return std::nullopt;
  }
  const auto filter = ParseMipFilter(options.mip_filter);
  if (!filter) {
    fmt::print(stderr, "--mip-filter {}: not box, triangle, mitchell or catmullrom\n",
               options.mip_filter);
    return std::nullopt;
  }
  parsed.settings.rounding = *rounding;
  parsed.settings.filter = *filter;
  parsed.settings.max_size = options.max_size;
  parsed.settings.mips = !options.no_mips;
  parsed.settings.fast = options.fast;
  parsed.settings.threads = options.threads;
  if (options.alpha_test) {
    parsed.settings.alpha_test = static_cast<std::uint8_t>(*options.alpha_test);
  }
  return parsed;
}

int RunImportTexture(const std::string& in, const std::vector<std::string>& images,
                     const std::string& out, const std::string& name,
                     const TextureCliOptions& options) {
  if (!name.empty() && images.size() > 1) {
    fmt::print(stderr, "--name names one texture; {} images were given\n", images.size());
    return kExitUsage;
  }
  const auto parsed = ParseTextureCliSettings(options);
  if (!parsed) return kExitUsage;
  return RunSave(in, out, false, [&](HodModel& model) {
    CliUi ui;
    for (const std::string& image : images) {
      ImageImportOptions import;
      import.format = parsed->format;
      import.name = name;
      import.settings = parsed->settings;
      const auto result = ImportImageTexture(model, image, import, ui);
      if (!result) return false;
      const Texture& t = model.Textures[result->index];
      fmt::print("{} -> {}: {}, {}x{}, {} levels, {}\n", image, t.FileName,
                 Describe(result->choice), t.Width, t.Height, t.MipCount,
                 result->replaced ? "replaced" : "added");
    }
    return true;
  });
}

int RunConvertTexture(const std::string& image_path, const std::string& out,
                      const TextureCliOptions& options) {
  const auto parsed = ParseTextureCliSettings(options);
  if (!parsed) return kExitUsage;
  std::string why;
  const std::optional<RgbaImage> image = LoadImageFile(image_path, &why);
  if (!image) {
    fmt::print(stderr, "{}: {}\n", image_path, why);
    return kExitUnreadable;
  }
  const FormatChoice choice = DecideFormat(nullptr, *image, parsed->format, "");
  const bool uncompressed =
      choice.format == TextureFormat::k8888 || choice.format == TextureFormat::k888;
  std::string extension = ExtensionOf(out);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const bool tga = extension == "tga";
  if (uncompressed != tga) {
    fmt::print(stderr, "{}: {} textures are written as {}\n", out, TextureFormatName(choice.format),
               uncompressed ? "TGA (-o NAME.tga)" : "DDS (-o NAME.dds)");
    return kExitUsage;
  }
  TextureSettings settings = parsed->settings;
  settings.format = choice.format;
  const auto start = std::chrono::steady_clock::now();
  const std::vector<RgbaImage> levels = BuildMipChain(*image, settings);
  Texture texture;
  texture.Kind = "LMIP";
  texture.FileName = TextureNameForImage(image_path);
  texture.Format = TextureFormatTag(choice.format);
  texture.Width = levels.front().width;
  texture.Height = levels.front().height;
  texture.MipCount = static_cast<std::int32_t>(levels.size());
  texture.MipLevels = EncodeLevels(levels, choice.format, settings.fast, settings.threads);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  CliUi ui;
  const auto written =
      tga ? ExportTGATexture(texture, out, "", ui) : ExportDDSTexture(texture, out, "", ui);
  if (!written) return kExitUnreadable;
  const auto decoded =
      DecodeEncodedLevel(texture.MipLevels.front(), choice.format, texture.Width, texture.Height);
  const bool alpha = choice.format != TextureFormat::kDxt1 && choice.format != TextureFormat::k888;
  const auto psnr = decoded ? Psnr(levels.front(), *decoded, alpha) : std::nullopt;
  fmt::print("{} -> {}: {}, {}x{}, {} levels, level 1 {}, {:.3f} s\n", image_path, *written,
             Describe(choice), texture.Width, texture.Height, texture.MipCount,
             psnr ? Decibels(*psnr) : std::string("?"), seconds);
  return kExitOk;
}

}  // namespace gantry::cli
