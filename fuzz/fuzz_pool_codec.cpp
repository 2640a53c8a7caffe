// Feeds arbitrary payloads to the POOL stream decoder (the first four bytes choose the claimed
// size, up to what the codec could expand to), and round-trips the input through the encoder.
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
  return 0;
}
