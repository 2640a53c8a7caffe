// What the TGA and DDS files share: the "[x]" tag that names a texture after its file, the
// automatic names of exported files, and the TEMP folder the preview writes into.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/byte_reader.h"
#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// The texture name a file gives on import: C:\mod\hull[1].tga -> C:\mod\hull.PSD[1]. The tag is
// taken as the base name's last three characters. nullopt when the base name does not end in
// "]" (the caller shows the tag message).
std::optional<std::string> TextureNameFromFile(std::string_view path);

// Imports a tagged texture file: refuses a name without its "[x]" tag and a file that cannot be
// opened, then lets `read` parse it and names the texture after the file.
using TextureReader = std::optional<Texture> (*)(ByteSource& source, std::string_view name, Ui& ui);
std::optional<Texture> ImportTaggedTexture(const std::string& path, Ui& ui, TextureReader read);

// Where an export with no path of its own goes: `extension` is ".TGA" or ".DDS". A name ending
// in "[1]" always gets title + extension; otherwise the tag digit N allows title + extension,
// title[2] + extension ... title[N] + extension, the first not there or empty, else title[N+1].
// While the working folder is empty the files go to the current folder.
std::string AutomaticExportPath(const Texture& texture, const std::string& working_folder,
                                std::string_view extension);

// The environment's TEMP, else the platform's temporary folder.
std::string TempFolder();
// The one preview file in `folder`.
std::string PreviewFilePath(const std::string& folder);

// Writes `header`, the bytes of `levels` in order and `footer` to `path`, replacing the file only
// once all of it is written. With a Ui the progress counts the levels and returns to its start,
// and a failure is shown; false when the file could not be written.
bool WriteTextureFile(const std::string& path, std::span<const std::uint8_t> header,
                      std::span<const MipLevel> levels, std::span<const std::uint8_t> footer,
                      Ui* ui);

// The numeric value of a tag character as the format checks read it: a non-digit counts as 0.
int DigitValue(char c);

}  // namespace gantry
