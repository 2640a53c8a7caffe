#include "commands/texture_commands.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "commands/create.h"
#include "commands/element_messages.h"
#include "common/paths.h"
#include "interchange/dds.h"
#include "interchange/texture_files.h"
#include "interchange/texture_messages.h"
#include "interchange/tga.h"

namespace gantry {

namespace {

using namespace texture_messages;
namespace fs = std::filesystem;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string LastFour(const std::string& text) {
  return text.size() >= 4 ? text.substr(text.size() - 4) : text;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  // A folder would open and then throw on the first read: it reads as empty.
  std::error_code error;
  if (!std::filesystem::is_regular_file(NativePath(path), error)) return {};
  std::ifstream in(NativePath(path), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

// Removes the preview file however the preview ends.
class PreviewFileGuard {
 public:
  explicit PreviewFileGuard(std::string path) : path_(std::move(path)) {}
  ~PreviewFileGuard() {
    std::error_code ignored;
    fs::remove(FileSystemPath(path_), ignored);
  }
  PreviewFileGuard(const PreviewFileGuard&) = delete;
  PreviewFileGuard& operator=(const PreviewFileGuard&) = delete;

 private:
  std::string path_;
};

}  // namespace

CommandResult ReplaceTexture(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const auto index = SelectionIn(selected, model.Textures.size());
  if (!index) {
    ui.Message(element_messages::kSelectTexture, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const auto path = ui.OpenFile(kReplaceFilter, "");
  if (!path || path->empty()) return CommandResult::Unchanged();
  std::error_code error;
  if (fs::file_size(FileSystemPath(*path), error) == 0 && !error) {
    fs::remove(FileSystemPath(*path), error);
    return CommandResult::Unchanged();
  }
  if (!TextureNameFromFile(*path)) {
    ui.Message(kNoTag, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::string ending = LastFour(*path);
  std::optional<Texture> texture;
  if (Lower(ending) == ".dds") {
    texture = ImportDDSTexture(*path, ui);
  } else if (Lower(ending) == ".tga") {
    texture = ImportTGATexture(*path, ui);
  } else {
    ui.Message(kUnknownTextureFormat + Upper(ending), Icon::Critical);
  }
  if (!texture) return CommandResult::Unchanged();
  model.Textures[*index] = std::move(*texture);
  return CommandResult::Changed(*index);
}

std::optional<std::string> ExportTexture(const Texture& texture, const std::string& working_folder,
                                         Ui& ui) {
  return texture.Format == Tag("8888") ? ExportTGATexture(texture, "", working_folder, ui)
                                       : ExportDDSTexture(texture, "", working_folder, ui);
}

bool ExportSelectedTexture(const Workspace& workspace, std::optional<std::size_t> selected,
                           Ui& ui) {
  const auto index = SelectionIn(selected, workspace.model.Textures.size());
  if (!index) {
    ui.Message(element_messages::kSelectTexture, Icon::Exclamation);
    return false;
  }
  return ExportTexture(workspace.model.Textures[*index], workspace.working_folder, ui).has_value();
}

bool ExportAllTextures(const Workspace& workspace, Ui& ui) {
  bool all = true;
  for (const Texture& texture : workspace.model.Textures) {
    all = ExportTexture(texture, workspace.working_folder, ui).has_value() && all;
  }
  return all;
}

std::optional<RgbaImage> PreviewTexture(const HodModel& model, std::optional<std::size_t> selected,
                                        const std::string& temp_folder, Ui& ui) {
  const auto index = SelectionIn(selected, model.Textures.size());
  if (!index) {
    ui.Message(element_messages::kSelectTexture, Icon::Exclamation);
    return std::nullopt;
  }
  const Texture& texture = model.Textures[*index];
  const bool tga = texture.Format == Tag("8888");
  const bool written = tga ? WriteTGAPreviewFile(texture, temp_folder)
                           : WriteDDSPreviewFile(texture, temp_folder, ui);
  if (!written) {
    ui.Message(kCouldntExtract, Icon::Critical);
    return std::nullopt;
  }
  const std::string file = PreviewFilePath(temp_folder);
  const PreviewFileGuard guard(file);
  if (!IsDecodableFormat(texture.Format)) {
    ui.Message(kUnknownPreviewFormat + texture.Format.str(), Icon::Critical);
    return std::nullopt;
  }
  std::error_code error;
  if (!fs::exists(NativePath(file), error)) {
    ui.Message(kCoudntLocate, Icon::Critical);
    return std::nullopt;
  }
  const std::vector<std::uint8_t> bytes = ReadWholeFile(file);
  const auto loaded = tga ? ReadTGATexture(bytes, file, ui) : ReadDDSTexture(bytes, file, ui);
  if (!loaded) return std::nullopt;
  std::string why;
  auto image = DecodeForDisplay(*loaded, 1, &why);
  if (!image) ui.Message(kCannotShow + why, Icon::Exclamation);
  return image;
}

}  // namespace gantry
