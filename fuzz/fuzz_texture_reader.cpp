// Feeds arbitrary bytes to the TGA and DDS importers and to the decoder: as a file, as the
// colour reader's image, and as one raw level after a tag and two 16-bit sides.
#include <cstdint>
#include <cstring>
#include <span>

#include "common/ui.h"
#include "interchange/dds.h"
#include "interchange/texture_decode.h"
#include "interchange/tga.h"

namespace {

void DecodeEveryLevel(const gantry::Texture& texture) {
  for (std::size_t level = 1; level <= texture.MipLevels.size(); ++level) {
    gantry::DecodeForDisplay(texture, static_cast<int>(level));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  gantry::QuietUi ui;
  gantry::Texture entry;
  if (auto texture = gantry::ReadTGATexture(bytes, "fuzz", ui)) entry = std::move(*texture);
  DecodeEveryLevel(entry);
  entry = gantry::Texture();
  if (auto texture = gantry::ReadDDSTexture(bytes, "fuzz", ui)) entry = std::move(*texture);
  DecodeEveryLevel(entry);
  gantry::ReadTGAImage(bytes);

  if (size >= 8) {
    gantry::Texture raw;
    std::memcpy(raw.Format.chars.data(), data, 4);
    std::uint16_t side[2];
    std::memcpy(side, data + 4, sizeof(side));
    raw.Width = side[0];
    raw.Height = side[1];
    raw.MipLevels.emplace_back(data + 8, data + size);
    DecodeEveryLevel(raw);
  }
  return 0;
}
