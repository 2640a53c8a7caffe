// LMIP: textures with their mip levels.
#include "hod/textures.h"

#include <algorithm>
#include <cmath>

#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

std::int64_t MipLevelBytes(const Tag& format, std::int32_t width, std::int32_t height, int level) {
  const double scale = std::ldexp(1.0, -(level - 1));
  const double w = width * scale;
  const double h = height * scale;
  double bytes;
  if (format == Tag("DXT1")) {
    bytes = std::max(w / 4, 1.0) * std::max(h / 4, 1.0) * 8;
  } else if (format == Tag("8888")) {
    bytes = std::max(w, 1.0) * std::max(h, 1.0) * 4;
  } else {
    bytes = std::max(w / 4, 1.0) * std::max(h / 4, 1.0) * 16;
  }
  // Sizes of odd dimensions come out fractional; they are rounded like any whole number.
  bytes = std::nearbyint(bytes);
  if (!(bytes < 9.0e18)) return -1;
  return static_cast<std::int64_t>(bytes);
}

void ReadTextureChunk(ReadContext& ctx) {
  Texture texture;
  TakeHeader(ctx, texture);
  ctx.Note("LMIP Form: ", texture.Kind);
  ctx.Note("Form Length: ", texture.Length);
  texture.FileName = ctx.ReadText(texture.FileNameLength);
  ctx.Note("File Name Length: ", texture.FileNameLength);
  ctx.Note("File Name: ", texture.FileName);
  texture.Format = ctx.in.ReadTag();
  ctx.Note("Compression Type: ", texture.Format);
  texture.MipCount = ctx.in.ReadLong();
  ctx.Note("Number of Mip Maps: ", texture.MipCount);
  texture.Width = ctx.in.ReadLong();
  ctx.Note("Width of Image: ", texture.Width);
  texture.Height = ctx.in.ReadLong();
  ctx.Note("Height of Image: ", texture.Height);
  ctx.Limit(texture.MipCount, kMaxShortCount, "The number of mip levels");
  ctx.Require(texture.MipCount, 4, "mip level count");

  // A texture of the later dialect lists only its sizes: its pixels are in the POOL chunk.
  const std::int64_t body =
      std::int64_t{static_cast<std::uint32_t>(texture.Length)} - (ctx.container ? 4 : 0);
  if (texture.MipCount > 0 &&
      body == 12 + std::int64_t{texture.FileNameLength} + 8 * std::int64_t{texture.MipCount}) {
    throw ReadError(fmt::format("the texture \"{}\" holds no pixels: a HOD 2.0 texture without "
                                "its POOL chunk",
                                texture.FileName),
                    ctx.in.position());
  }
  texture.MipLevels.resize(static_cast<std::size_t>(texture.MipCount));
  for (int level = 1; level <= texture.MipCount; ++level) {
    const std::int64_t bytes = MipLevelBytes(texture.Format, texture.Width, texture.Height, level);
    if (bytes < 0) {
      throw ReadError(fmt::format("mip level {} of a {} x {} texture is too large", level,
                                  texture.Width, texture.Height),
                      ctx.in.position());
    }
    ctx.Require(bytes, 1, fmt::format("mip level {} bytes", level));
    MipLevel& data = texture.MipLevels[static_cast<std::size_t>(level - 1)];
    data.resize(static_cast<std::size_t>(bytes));
    ctx.in.ReadBytes(data.data(), data.size());
    if (level < texture.MipCount) {
      ctx.in.ReadLong();  // the next level's width and height: derived, not kept
      ctx.in.ReadLong();
    }
    ctx.Tick();
  }
  ctx.model.Textures.push_back(std::move(texture));
}

namespace {

// The width or height stored before mip level `level`.
std::int32_t LevelDimension(std::int32_t size, int level) {
  return static_cast<std::int32_t>(
      std::nearbyint(std::max(1.0, std::ldexp(static_cast<double>(size), -(level - 1)))));
}

}  // namespace

std::int64_t ChunkBytes(const Texture& texture) {
  std::int64_t bytes = TextBytes(texture.FileName) + 4 + 4 + 4 + 4;
  for (std::size_t i = 0; i < texture.MipLevels.size(); ++i) {
    const auto level = static_cast<std::int64_t>(texture.MipLevels[i].size());
    if (i > 0 && level > 0) bytes += 8;
    bytes += level;
  }
  return bytes;
}

std::int32_t ComputeTextureLengths(Texture& texture) {
  Frame(texture, "LMIP");
  SyncText(texture.FileNameLength, texture.FileName);
  return StoreLength(texture.Length, ChunkBytes(texture), "a texture");
}

void WriteTextureChunk(WriteContext& ctx, const Texture& texture) {
  WriteContext::CheckCount(texture.MipCount, texture.MipLevels.size(), "mip levels");
  const std::size_t mark = ctx.BeginPlain("LMIP", texture.Length);
  ctx.Text(texture.FileNameLength, texture.FileName);
  ctx.out.WriteTag(texture.Format);
  ctx.out.WriteLong(texture.MipCount);
  ctx.out.WriteLong(texture.Width);
  ctx.out.WriteLong(texture.Height);
  for (std::size_t i = 0; i < texture.MipLevels.size(); ++i) {
    const MipLevel& level = texture.MipLevels[i];
    // The reader takes each level's size from the format and size, not from the file.
    const std::int64_t expected =
        MipLevelBytes(texture.Format, texture.Width, texture.Height, static_cast<int>(i) + 1);
    if (static_cast<std::int64_t>(level.size()) != expected) {
      throw WriteError(
          fmt::format("mip level {} of \"{}\" holds {} bytes where its size calls "
                      "for {}",
                      i + 1, texture.FileName, level.size(), expected));
    }
    if (i > 0 && !level.empty()) {
      const int number = static_cast<int>(i) + 1;
      ctx.out.WriteLong(LevelDimension(texture.Width, number));
      ctx.out.WriteLong(LevelDimension(texture.Height, number));
    }
    ctx.out.WriteBytes(level);
  }
  ctx.End(mark, texture.Length, "a texture");
}

}  // namespace gantry
