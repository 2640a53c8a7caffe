// DirectDraw Surface files for block-compressed textures: the 128-byte header (magic included),
// then every mip level's bytes unchanged, level 1 first. Only the size, the mip count and the
// FourCC are read back; the FourCC becomes the texture's format tag whatever it is.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// The file at `path` as a texture named after it ("[x]" tag), or nullopt after a message. The
// mip count is the header's, 1 when that is 0; each level has the size the HOD reader expects for
// the format and size (MipLevelBytes), so the texture always saves and reads back. A file that
// ends before its last level, or whose width or height is not positive, is refused.
std::optional<Texture> ImportDDSTexture(const std::string& path, Ui& ui);
// The same from bytes in memory, without the name; `name` only labels messages.
std::optional<Texture> ReadDDSTexture(std::span<const std::uint8_t> file, std::string_view name,
                                      Ui& ui);

// Writes the texture as a DDS to `path`, or to the automatic ".DDS" name in `working_folder`
// when `path` is empty. Returns the path written; nullopt after a message when the format tag is
// refused or the file could not be written.
std::optional<std::string> ExportDDSTexture(const Texture& texture, const std::string& path,
                                            const std::string& working_folder, Ui& ui);

// Writes the first mip level as a DDS to the preview file in `folder`; false without levels,
// for a refused format tag (after its message) or when the file could not be written.
bool WriteDDSPreviewFile(const Texture& texture, const std::string& folder, Ui& ui);

// The format check of DDS export and preview: a tag not starting with "DXT" whose last character
// reads as 0, 2 or 4 is refused with a message.
bool PassesPixelFormatCheck(const Tag& format, Ui& ui);

// The header's linear size: half a byte per pixel for "DXT1" (rounded to even), else one.
std::uint32_t DDSLinearSize(const Tag& format, std::int32_t width, std::int32_t height);

}  // namespace gantry
