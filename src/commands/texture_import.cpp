#include "commands/texture_import.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "common/paths.h"
#include "interchange/dds.h"
#include "interchange/image_load.h"
#include "interchange/texture_files.h"
#include "interchange/texture_messages.h"
#include "interchange/tga.h"

namespace gantry {

namespace {

using namespace texture_messages;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view AfterFolder(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// "hull.PSD[1]" -> "hull[1]", "hull[1].png" -> "hull[1]", "hull.png" -> "hull".
std::string TextureBase(std::string_view name) {
  std::string_view base = AfterFolder(name);
  const std::size_t bracket = base.rfind('[');
  const bool tag_last = bracket != std::string_view::npos && base.back() == ']';
  const std::string_view before = tag_last ? base.substr(0, bracket) : base;
  const std::string_view tag = tag_last ? base.substr(bracket) : std::string_view();
  const std::size_t dot = before.rfind('.');
  if (dot != std::string_view::npos && dot > 0) {
    return std::string(before.substr(0, dot)) + std::string(tag);
  }
  if (!tag_last) {
    const std::size_t end_dot = base.rfind('.');
    if (end_dot != std::string_view::npos && end_dot > 0)
      return std::string(base.substr(0, end_dot));
  }
  return std::string(base);
}

bool IsDdsPath(std::string_view path) {
  return path.size() >= 4 && Lower(path.substr(path.size() - 4)) == Lower(kDdsExtension);
}

bool IsTgaPath(std::string_view path) {
  return path.size() >= 4 && Lower(path.substr(path.size() - 4)) == Lower(kTgaExtension);
}

// 32 bits with 8 alpha bits, bottom row first: the TGA kind the texture is taken from unchanged.
bool IsRawTga(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  char header[18] = {};
  if (!in.read(header, sizeof header)) return false;
  return header[2] == 2 && static_cast<unsigned char>(header[16]) == 32 && header[17] == 8;
}

}  // namespace

FormatChoice ChooseTextureFormat(AlphaUse alpha, bool material_cuts_out) {
  switch (alpha) {
    case AlphaUse::kOpaque:
      return {TextureFormat::kDxt1, kReasonOpaque};
    case AlphaUse::kCutout:
      return material_cuts_out ? FormatChoice{TextureFormat::kDxt1, kReasonCutoutDxt1}
                               : FormatChoice{TextureFormat::kDxt5, kReasonCutoutDxt5};
    case AlphaUse::kGraded:
      break;
  }
  return {TextureFormat::kDxt5, kReasonGradedAlpha};
}

bool MaterialCutsOut(const HodModel& model, std::optional<std::size_t> index) {
  if (!index) return false;
  for (const Material& material : model.Materials) {
    const std::string shader = Lower(material.ShaderName);
    const bool cuts = shader.find("alphatest") != std::string::npos ||
                      shader.find("alpha_test") != std::string::npos ||
                      shader.find("cutout") != std::string::npos ||
                      shader.find("clip") != std::string::npos;
    if (!cuts) continue;
    for (const MaterialParameter& p : material.Parameters) {
      if (p.Type == 5 && p.TextureIndex >= 0 && static_cast<std::size_t>(p.TextureIndex) == *index)
        return true;
    }
  }
  return false;
}

std::string TextureNameForImage(std::string_view path) { return TextureBase(path); }

std::optional<std::size_t> FindTextureByName(const HodModel& model, std::string_view name) {
  const std::string wanted = Lower(name);
  for (std::size_t i = 0; i < model.Textures.size(); ++i) {
    if (Lower(model.Textures[i].FileName) == wanted) return i;
  }
  const std::string wanted_base = Lower(TextureBase(name));
  for (std::size_t i = 0; i < model.Textures.size(); ++i) {
    if (Lower(TextureBase(model.Textures[i].FileName)) == wanted_base) return i;
  }
  return std::nullopt;
}

FormatChoice DecideFormat(const HodModel* model, const RgbaImage& image,
                          std::optional<TextureFormat> format, std::string_view name) {
  if (format) return {*format, {}};
  const bool cuts = model != nullptr && MaterialCutsOut(*model, FindTextureByName(*model, name));
  return ChooseTextureFormat(AnalyseAlpha(image), cuts);
}

std::optional<Texture> LoadTextureFile(const std::string& path, Ui& ui) {
  if (IsDdsPath(path)) return ImportDDSTexture(path, ui);
  if (IsTgaPath(path) && TextureNameFromFile(path) && IsRawTga(path)) {
    return ImportTGATexture(path, ui);
  }
  std::string why;
  const std::optional<RgbaImage> image = LoadImageFile(path, &why);
  if (!image) {
    ui.Message(std::string(kCannotOpen) + path + ": " + why, Icon::Exclamation);
    return std::nullopt;
  }
  TextureSettings settings;
  settings.format = DecideFormat(nullptr, *image, std::nullopt, "").format;
  return MakeTexture(*image, TextureNameForImage(path), settings);
}

std::optional<ImageImportResult> ImportImageTexture(HodModel& model, const std::string& path,
                                                    const ImageImportOptions& options, Ui& ui) {
  const std::string name = options.name.empty() ? TextureNameForImage(path) : options.name;
  ImageImportResult result;
  Texture texture;
  if (IsDdsPath(path)) {
    std::optional<Texture> dds = ImportDDSTexture(path, ui);
    if (!dds) return std::nullopt;
    texture = std::move(*dds);
    if (!options.name.empty()) texture.FileName = options.name;
    result.choice.format = ParseTextureFormat(texture.Format.str()).value_or(TextureFormat::kDxt5);
  } else {
    std::string why;
    const std::optional<RgbaImage> image = LoadImageFile(path, &why);
    if (!image) {
      ui.Message(std::string(kCannotOpen) + path + ": " + why, Icon::Exclamation);
      return std::nullopt;
    }
    result.choice = DecideFormat(&model, *image, options.format, name);
    TextureSettings settings = options.settings;
    settings.format = result.choice.format;
    texture = MakeTexture(*image, name, settings);
  }
  texture.FileNameLength = static_cast<std::int32_t>(texture.FileName.size());
  const std::optional<std::size_t> existing = FindTextureByName(model, texture.FileName);
  if (existing) {
    // The replaced texture keeps its name, so materials and exports still find it.
    texture.FileName = model.Textures[*existing].FileName;
    texture.FileNameLength = model.Textures[*existing].FileNameLength;
    model.Textures[*existing] = std::move(texture);
    result.index = *existing;
    result.replaced = true;
  } else {
    model.Textures.push_back(std::move(texture));
    result.index = model.Textures.size() - 1;
  }
  return result;
}

}  // namespace gantry
