// Feeds arbitrary payloads to the POOL stream decoder (the first four bytes choose the claimed
// size, up to what the codec could expand to), round-trips the input through the encoder, and
// repacks an edit of it (bytes changed, removed or repeated, chosen by those four bytes) around
// the tokens the encoder gave.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "hod/pool_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t claimed;
  std::memcpy(&claimed, data, 4);
  const std::span<const std::uint8_t> payload(data + 4, size - 4);
  const std::uint64_t most = payload.size() * gantry::kPoolMaxExpansion;
  std::vector<std::uint8_t> out;
  gantry::UnpackPoolStream(payload, static_cast<std::size_t>(claimed % (most + 1)), out, "fuzz");

  const std::vector<std::uint8_t> packed = gantry::PackPoolStream(payload);
  if (gantry::UnpackPoolStream(packed, payload.size(), out, "fuzz").has_value()) std::abort();
  if (!std::equal(out.begin(), out.end(), payload.begin(), payload.end())) std::abort();

  std::vector<std::uint8_t> edited(payload.begin(), payload.end());
  if (!edited.empty()) {
    const std::size_t at = claimed % edited.size();
    const std::size_t span = std::min<std::size_t>((claimed >> 8) % 300, edited.size() - at);
    const auto first = edited.begin() + static_cast<std::ptrdiff_t>(at);
    switch ((claimed >> 24) % 3) {
      case 0:
        for (std::size_t i = at; i < at + span; ++i) edited[i] ^= 0x5a;
        break;
      case 1:
        edited.erase(first, first + static_cast<std::ptrdiff_t>(span));
        break;
      default:
        edited.insert(first, payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(span));
        break;
    }
  }
  const std::vector<std::uint8_t> repacked =
      gantry::RepackPoolStream(edited, packed, payload.size());
  if (gantry::UnpackPoolStream(repacked, edited.size(), out, "fuzz").has_value()) std::abort();
  if (out != edited) std::abort();
  return 0;
}
