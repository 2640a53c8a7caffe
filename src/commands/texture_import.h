// Pictures from image editors as HOD textures: the automatic format choice (which depends on the
// materials that use the texture), the name modders expect, and adding or replacing by name.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/ui.h"
#include "hod/model.h"
#include "interchange/texture_encode.h"

namespace gantry {

struct FormatChoice {
  TextureFormat format = TextureFormat::kDxt5;
  std::string reason;  // why `auto` chose it; empty when the user chose
};

// No alpha: DXT1. Alpha only 0 or 255: DXT1's one-bit alpha when the material cuts out, else
// DXT5. Graded alpha: DXT5.
FormatChoice ChooseTextureFormat(AlphaUse alpha, bool material_cuts_out);

// True when a material whose shader alpha-tests (its name says alpha test, cut-out or clip) uses
// the texture at `index`.
bool MaterialCutsOut(const HodModel& model, std::optional<std::size_t> index);

// The texture name a picture gets: its base name without the ending, tags such as "[1]" kept
// (C:\mod\hull[1].png -> hull[1]).
std::string TextureNameForImage(std::string_view path);

// The texture `name` names: the same name in any letter case, else the same base name (folders
// and a ".PSD"-style ending before the tag ignored: "C:\t\hull.PSD[1]" matches "hull[1]").
std::optional<std::size_t> FindTextureByName(const HodModel& model, std::string_view name);

struct ImageImportOptions {
  std::optional<TextureFormat> format;  // nullopt: automatic
  std::string name;                     // empty: from the file
  TextureSettings settings;             // its format is set from the choice
};

struct ImageImportResult {
  std::size_t index = 0;  // the texture's entry
  bool replaced = false;
  FormatChoice choice;
};

// Loads the picture (PNG, JPEG, TGA, BMP, PSD; a DDS as it is), encodes it and replaces the
// texture of the same name or adds it. nullopt after a message when the file cannot be read.
std::optional<ImageImportResult> ImportImageTexture(HodModel& model, const std::string& path,
                                                    const ImageImportOptions& options, Ui& ui);

// A texture file as a script's LMIP_Add takes it: a DDS, and a 32-bit TGA whose name has its
// "[x]" tag, as they are (the way older scripts expect); any other picture encoded with the
// automatic choices and default settings, named after its file. nullopt after a message.
std::optional<Texture> LoadTextureFile(const std::string& path, Ui& ui);

// The settings of an image the user chose, with the format decided: `format`, or the automatic
// choice for this picture and the texture it will replace (if any).
FormatChoice DecideFormat(const HodModel* model, const RgbaImage& image,
                          std::optional<TextureFormat> format, std::string_view name);

}  // namespace gantry
