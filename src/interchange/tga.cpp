#include "interchange/tga.h"

#include <algorithm>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/paths.h"
#include "interchange/texture_files.h"
#include "interchange/texture_messages.h"

namespace gantry {

namespace {

using namespace texture_messages;

constexpr std::uint64_t kHeaderBytes = 18;
constexpr std::uint64_t kFooterBytes = 26;
constexpr std::uint64_t kSignatureBytes = 17;

std::optional<Texture> Damaged(Ui& ui, std::string_view name, const std::string& detail) {
  ui.Message(kDamaged + std::string(name) + " (" + detail + ")", Icon::Exclamation);
  return std::nullopt;
}

std::optional<Texture> ParseTga(ByteSource& source, std::string_view name, Ui& ui) {
  ByteReader in(source);
  if (in.size() < kHeaderBytes) return Damaged(ui, name, "the header is incomplete");
  in.Seek(12);
  const std::int32_t width = in.ReadInteger();
  const std::int32_t height = in.ReadInteger();
  const std::uint8_t depth = in.ReadByte();
  const std::uint8_t descriptor = in.ReadByte();
  if (depth != 32 || descriptor != 8) {
    ui.Message(kNot32Bit, Icon::Exclamation);
    return std::nullopt;
  }
  // A negative side holds no pixels, however the product comes out.
  const std::int64_t bytes = std::int64_t{4} * width * height;
  if (width < 1 || height < 1 || bytes < 8) {
    ui.Message(kTooSmall, Icon::Exclamation);
    return std::nullopt;
  }
  if (in.remaining() < static_cast<std::uint64_t>(bytes)) {
    return Damaged(ui, name,
                   std::to_string(bytes) + " pixel bytes expected, " +
                       std::to_string(in.remaining()) + " present");
  }

  Texture texture;
  texture.Kind = "LMIP";
  texture.Format = "8888";
  texture.MipCount = 1;
  texture.Width = width;
  texture.Height = height;
  texture.MipLevels.emplace_back(static_cast<std::size_t>(bytes));
  in.ReadBytes(texture.MipLevels[0].data(), texture.MipLevels[0].size());

  // The footer's offsets are not used; a missing footer reads as an empty signature.
  in.Skip(std::min<std::uint64_t>(8, in.remaining()));
  const std::string signature = in.ReadChars(std::min(kSignatureBytes, in.remaining()));
  if (signature != kTgaSignature) {
    ui.Message(kInvalidFooter + signature + kInvalidFooterEnd, Icon::Exclamation);
  }
  return texture;
}

std::optional<Texture> ReadTga(ByteSource& source, std::string_view name, Ui& ui) {
  try {
    return ParseTga(source, name, ui);
  } catch (const ReadError& error) {  // the disk failed under us
    return Damaged(ui, name, error.what());
  }
}

std::vector<std::uint8_t> Header(const Texture& texture) {
  ByteWriter out;
  out.WriteRaw32(0x00020000);
  out.WriteRaw32(0);
  out.WriteRaw32(0);
  // Sides above 32767 do not fit the format's fields and wrap.
  out.WriteInteger(static_cast<std::int16_t>(texture.Width));
  out.WriteInteger(static_cast<std::int16_t>(texture.Height));
  out.WriteByte(32);
  out.WriteByte(8);
  return out.Release();
}

std::vector<std::uint8_t> Footer() {
  ByteWriter out;
  out.WriteRaw32(0);
  out.WriteRaw32(0);
  out.WriteChars(kTgaSignature);
  out.WriteByte(0);
  return out.Release();
}

TGAImage ReadImage(ByteSource& source) {
  TGAImage image;
  ByteReader in(source);
  if (in.size() < kHeaderBytes) return image;
  TGAHeader& h = image.Header;
  h.IdLength = in.ReadByte();
  h.ColourMapType = in.ReadByte();
  h.ImageType = in.ReadByte();
  in.ReadBytes(h.ColourMap.data(), h.ColourMap.size());
  h.XOrigin = in.ReadInteger();
  h.YOrigin = in.ReadInteger();
  h.Width = in.ReadInteger();
  h.Height = in.ReadInteger();
  h.Depth = in.ReadByte();
  h.Descriptor = in.ReadByte();

  const std::uint64_t wanted =
      h.Width > 0 && h.Height > 0 ? std::uint64_t(h.Width) * std::uint64_t(h.Height) : 0;
  const std::uint64_t count = std::min(wanted, in.remaining() / 4);
  image.Pixels.resize(count);
  for (std::uint32_t& pixel : image.Pixels) pixel = in.ReadRaw32();
  if (count == wanted && in.remaining() >= kFooterBytes) {
    image.Footer.ExtensionOffset = in.ReadRaw32();
    image.Footer.DeveloperOffset = in.ReadRaw32();
    image.Footer.Signature = in.ReadChars(kSignatureBytes);
    image.Footer.Terminator = in.ReadByte();
  }
  return image;
}

}  // namespace

std::optional<Texture> ImportTGATexture(const std::string& path, Ui& ui) {
  return ImportTaggedTexture(path, ui, ReadTga);
}

std::optional<Texture> ReadTGATexture(std::span<const std::uint8_t> file, std::string_view name,
                                      Ui& ui) {
  MemorySource source(file);
  return ReadTga(source, name, ui);
}

std::optional<std::string> ExportTGATexture(const Texture& texture, const std::string& path,
                                            const std::string& working_folder, Ui& ui) {
  const std::string target =
      path.empty() ? AutomaticExportPath(texture, working_folder, kTgaExtension) : path;
  if (!WriteTextureFile(target, Header(texture), texture.MipLevels, Footer(), &ui)) {
    return std::nullopt;
  }
  return target;
}

bool WriteTGAPreviewFile(const Texture& texture, const std::string& folder) {
  if (texture.MipLevels.empty()) return false;
  return WriteTextureFile(PreviewFilePath(folder), Header(texture),
                          std::span(texture.MipLevels).first(1), Footer(), nullptr);
}

TGAImage ReadTGAImage(const std::string& path) {
  std::string error;
  const auto source = FileSource::Open(NativePath(path), &error);
  if (!source) return TGAImage();
  try {
    return ReadImage(*source);
  } catch (const ReadError&) {
    return TGAImage();  // the disk failed under us: as if there were no file
  }
}

TGAImage ReadTGAImage(std::span<const std::uint8_t> file) {
  MemorySource source(file);
  return ReadImage(source);
}

}  // namespace gantry
