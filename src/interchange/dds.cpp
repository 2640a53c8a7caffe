#include "interchange/dds.h"

#include <cmath>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/paths.h"
#include "hod/textures.h"
#include "interchange/texture_files.h"
#include "interchange/texture_messages.h"

namespace gantry {

namespace {

using namespace texture_messages;

constexpr std::uint64_t kHeaderBytes = 128;
// The most mip levels the HOD reader accepts.
constexpr std::uint32_t kMaxMipLevels = 32767;

struct HeaderWords {
  std::uint32_t flags;
  std::uint32_t mip_count;
  std::uint32_t caps;
};
constexpr HeaderWords kExportHeader = {0x000A1007, 0, 0x00401008};
constexpr HeaderWords kPreviewHeader = {0x00081007, 0, 0x00001000};

std::optional<Texture> Damaged(Ui& ui, std::string_view name, const std::string& detail) {
  ui.Message(kDamaged + std::string(name) + " (" + detail + ")", Icon::Exclamation);
  return std::nullopt;
}

std::optional<Texture> ParseDds(ByteSource& source, std::string_view name, Ui& ui) {
  ByteReader in(source);
  if (in.size() < kHeaderBytes) return Damaged(ui, name, "the header is incomplete");
  in.Seek(12);
  Texture texture;
  texture.Kind = "LMIP";
  texture.Height = in.ReadLong();
  texture.Width = in.ReadLong();
  in.Seek(28);
  const std::uint32_t count = in.ReadRaw32();
  in.Seek(84);
  texture.Format = in.ReadTag();
  in.Seek(kHeaderBytes);

  // Level sizes have a floor, so a size no image has would still find bytes to read.
  if (texture.Width <= 0 || texture.Height <= 0) {
    return Damaged(ui, name,
                   "a size of " + std::to_string(texture.Width) + " x " +
                       std::to_string(texture.Height) + " pixels");
  }
  const std::uint32_t levels = count == 0 ? 1 : count;
  if (levels > kMaxMipLevels) {
    return Damaged(ui, name, std::to_string(levels) + " mip levels, more than a HOD can hold");
  }
  texture.MipCount = static_cast<std::int32_t>(levels);
  for (std::uint32_t level = 1; level <= levels; ++level) {
    const std::int64_t bytes =
        MipLevelBytes(texture.Format, texture.Width, texture.Height, static_cast<int>(level));
    if (bytes < 0 || static_cast<std::uint64_t>(bytes) > in.remaining()) {
      return Damaged(ui, name,
                     "mip level " + std::to_string(level) + " needs " + std::to_string(bytes) +
                         " bytes, " + std::to_string(in.remaining()) + " remain");
    }
    MipLevel& data = texture.MipLevels.emplace_back(static_cast<std::size_t>(bytes));
    in.ReadBytes(data.data(), data.size());
  }
  return texture;
}

std::optional<Texture> ReadDds(ByteSource& source, std::string_view name, Ui& ui) {
  try {
    return ParseDds(source, name, ui);
  } catch (const ReadError& error) {  // the disk failed under us
    return Damaged(ui, name, error.what());
  }
}

std::vector<std::uint8_t> Header(const Texture& texture, HeaderWords words) {
  ByteWriter out;
  out.WriteChars(kDdsMagic);
  out.WriteLong(124);
  out.WriteRaw32(words.flags);
  out.WriteLong(texture.Height);
  out.WriteLong(texture.Width);
  out.WriteRaw32(DDSLinearSize(texture.Format, texture.Width, texture.Height));
  out.WriteLong(0);  // depth
  out.WriteRaw32(words.mip_count);
  for (int i = 0; i < 11; ++i) out.WriteLong(0);
  out.WriteLong(32);  // pixel-format size
  out.WriteLong(4);   // FourCC
  out.WriteTag(texture.Format);
  for (int i = 0; i < 5; ++i) out.WriteLong(0);  // bit count and masks
  out.WriteRaw32(words.caps);
  for (int i = 0; i < 4; ++i) out.WriteLong(0);
  return out.Release();
}

}  // namespace

bool PassesPixelFormatCheck(const Tag& format, Ui& ui) {
  const int last = DigitValue(format.chars[3]);
  if (format.view().substr(0, 3) != "DXT" && (last == 0 || last == 2 || last == 4)) {
    ui.Message(kUnknownPixelFormat + format.str(), Icon::Critical);
    return false;
  }
  return true;
}

std::uint32_t DDSLinearSize(const Tag& format, std::int32_t width, std::int32_t height) {
  const double pixels = static_cast<double>(width) * height;
  const double size = format == Tag("DXT1") ? std::nearbyint(pixels * 0.5) : pixels;
  // Sizes beyond 32 bits wrap like the field they go into.
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(size));
}

std::optional<Texture> ImportDDSTexture(const std::string& path, Ui& ui) {
  return ImportTaggedTexture(path, ui, ReadDds);
}

std::optional<Texture> ReadDDSTexture(std::span<const std::uint8_t> file, std::string_view name,
                                      Ui& ui) {
  MemorySource source(file);
  return ReadDds(source, name, ui);
}

std::optional<std::string> ExportDDSTexture(const Texture& texture, const std::string& path,
                                            const std::string& working_folder, Ui& ui) {
  if (!PassesPixelFormatCheck(texture.Format, ui)) return std::nullopt;
  const std::string target =
      path.empty() ? AutomaticExportPath(texture, working_folder, kDdsExtension) : path;
  HeaderWords words = kExportHeader;
  words.mip_count = static_cast<std::uint32_t>(texture.MipLevels.size());
  if (!WriteTextureFile(target, Header(texture, words), texture.MipLevels, {}, &ui)) {
    return std::nullopt;
  }
  return target;
}

bool WriteDDSPreviewFile(const Texture& texture, const std::string& folder, Ui& ui) {
  if (texture.MipLevels.empty() || !PassesPixelFormatCheck(texture.Format, ui)) return false;
  return WriteTextureFile(PreviewFilePath(folder), Header(texture, kPreviewHeader),
                          std::span(texture.MipLevels).first(1), {}, nullptr);
}

}  // namespace gantry
