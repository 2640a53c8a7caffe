// export-textures: every texture of a HOD as the editor exports it, optionally with PNGs.
#include "commands/texture_commands.h"

#include <fmt/format.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "commands.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "interchange/texture_decode.h"
#include "loaded_hod.h"

namespace gantry::cli {

namespace {

// hull[2].DDS -> hull[2].png
std::string PngPathFor(const std::string& texture_file) {
  const std::string extension = ExtensionOf(texture_file);
  const std::string stem = extension.empty()
                               ? texture_file
                               : texture_file.substr(0, texture_file.size() - extension.size() - 1);
  return stem + ".png";
}

bool WritePng(const Texture& texture, const std::string& path) {
  std::string why;
  const auto image = DecodeForDisplay(texture, 1, &why);
  if (!image) {
    fmt::print(stderr, "{}: no PNG: {}\n", texture.FileName, why);
    return false;
  }
  const std::vector<std::uint8_t> png = EncodePng(*image);
  const auto failure = png.empty() ? std::optional<FileWriteFailure>(FileWriteFailure{
                                         FileWriteFailure::Step::Write, 0, "cannot encode"})
                                   : WriteFileSafely(NativePath(path), png);
  if (failure) {
    fmt::print(stderr, "{}: {}\n", path, failure->description);
    return false;
  }
  fmt::print("{}\n", path);
  return true;
}

}  // namespace

int RunExportTextures(const std::string& path, bool png, const std::string& out_dir, bool salvage) {
  LoadedHod hod(path);
  if (!ReadForExport(hod, path, salvage)) return kExitUnreadable;
  const std::string folder = out_dir.empty() ? FolderOf(path) : out_dir;
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(FileSystemPath(folder), error);
    if (error) {
      fmt::print(stderr, "{}: {}\n", folder, error.message());
      return kExitUnreadable;
    }
  }
  bool all = true;
  for (const Texture& texture : hod.model.Textures) {
    const auto written = ExportTexture(texture, folder, hod.ui);
    if (!written) {
      all = false;
      continue;
    }
    fmt::print("{}\n", *written);
    if (png) all = WritePng(texture, PngPathFor(*written)) && all;
  }
  return all ? kExitOk : kExitUnreadable;
}

}  // namespace gantry::cli
