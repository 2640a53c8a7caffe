#include "interchange/texture_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/paths.h"
#include "common/safe_file.h"
#include "interchange/texture_messages.h"

namespace gantry {

namespace fs = std::filesystem;

std::optional<std::string> TextureNameFromFile(std::string_view path) {
  const std::string base = BaseName(path);
  if (base.empty() || base.back() != ']') return std::nullopt;
  // A base shorter than a tag keeps all of itself as the tag.
  const std::size_t stem = base.size() >= 3 ? base.size() - 3 : 0;
  // The separator the path itself uses, so a native path stays one.
  const auto last = LastSeparator(path);
  const char separator = last == std::string_view::npos ? '\\' : path[last];
  return FolderOf(path) + separator + base.substr(0, stem) + texture_messages::kPsd +
         base.substr(stem);
}

int DigitValue(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

std::string AutomaticExportPath(const Texture& texture, const std::string& working_folder,
                                std::string_view extension) {
  const std::string& name = texture.FileName;
  const std::string title = BaseName(name);
  // The name comes from the model: it must not leave the folder or name a device.
  const auto numbered = [&](int i) {
    return JoinPath(working_folder,
                    SafeFileName(title + "[" + std::to_string(i) + "]" + std::string(extension)));
  };
  const std::string plain = JoinPath(working_folder, SafeFileName(title + std::string(extension)));
  if (name.ends_with("[1]")) return plain;

  const int tag = name.size() >= 2 ? DigitValue(name[name.size() - 2]) : 0;
  for (int i = 1; i <= tag; ++i) {
    const std::string candidate = i == 1 ? plain : numbered(i);
    std::error_code error;
    const auto size = fs::file_size(NativePath(candidate), error);
    if (error || size == 0) return candidate;
  }
  return numbered(tag + 1);
}

std::string TempFolder() {
  const char* temp = std::getenv("TEMP");
  if (temp != nullptr && *temp != '\0') return temp;
  std::error_code error;
  const fs::path folder = fs::temp_directory_path(error);
  return error ? std::string(".") : PathText(folder);
}

std::string PreviewFilePath(const std::string& folder) {
  return JoinPath(folder, texture_messages::kPreviewFileName);
}

bool WriteTextureFile(const std::string& path, std::span<const std::uint8_t> header,
                      std::span<const MipLevel> levels, std::span<const std::uint8_t> footer,
                      Ui* ui) {
  const auto count = static_cast<std::int64_t>(levels.size());
  const auto put = [](std::FILE* file, std::span<const std::uint8_t> bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  };
  const auto failure = WriteFileSafely(NativePath(path), [&](std::FILE* file) {
    if (!put(file, header)) return false;
    for (std::int64_t i = 0; i < count; ++i) {
      if (!put(file, levels[static_cast<std::size_t>(i)])) return false;
      if (ui != nullptr) ui->Progress(i + 1, count);
    }
    return put(file, footer);
  });
  if (ui != nullptr) ui->Progress(0, count);
  if (failure && ui != nullptr) {
    ui->Message(texture_messages::kCannotWrite + path + ": " + failure->description,
                Icon::Critical);
  }
  return !failure;
}

std::optional<Texture> ImportTaggedTexture(const std::string& path, Ui& ui, TextureReader read) {
  const auto name = TextureNameFromFile(path);
  if (!name) {
    ui.Message(texture_messages::kNoTag, Icon::Exclamation);
    return std::nullopt;
  }
  std::string error;
  const std::string native = NativePath(path);
  const auto source = FileSource::Open(native, &error);
  if (!source) {
    ui.Message(texture_messages::kCannotOpen + native + ": " + error, Icon::Exclamation);
    return std::nullopt;
  }
  auto texture = read(*source, native, ui);
  if (texture) {
    texture->FileName = *name;
    texture->FileNameLength = static_cast<std::int32_t>(name->size());
  }
  return texture;
}

}  // namespace gantry
