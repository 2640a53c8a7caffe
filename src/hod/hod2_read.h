// Reading the later dialect (a file with a POOL chunk) inside the ordinary chunk walk. Internal
// to hod/.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hod/read_context.h"

namespace gantry {

enum PoolStreamId { kTextureStream = 0, kMeshStream = 1, kFaceStream = 2 };

struct Hod2ReadState {
  struct Stream {
    const char* name = "";
    std::vector<std::uint8_t> data;
    std::size_t used = 0;  // chunks take their bytes in file order
  };
  std::array<Stream, 3> streams{{{"texture", {}, 0}, {"mesh", {}, 0}, {"face", {}, 0}}};
  Tag container;                    // HVMD, DTRM or INFO: whose children are being read
  std::uint64_t container_end = 0;  // where that container's length says it ends
};

// POOL: decodes the three streams and marks the read as one of the later dialect.
void ReadPoolChunk(ReadContext& ctx);
// Handles `tag` when the dialect reads it differently (or keeps it as read); false leaves it to
// the classic handler.
bool ReadHod2Chunk(ReadContext& ctx, const Tag& tag);
// At the end of the walk: every stream must have been taken to its last byte.
void FinishHod2(const ReadContext& ctx);

}  // namespace gantry
