// The later dialect's battle-scar mesh (NRML SCAR): one chunk instead of the classic six parts,
// its triangles' positions and normals in the pool, and its grid as two flat arrays. Read into
// the classic ScarMesh record; these build the chunk's bytes back from it. Internal to hod/.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "hod/model.h"

namespace gantry {

struct ScarBytes {
  std::vector<std::uint8_t> body;  // after the chunk's ID: version, ..., checksum
  std::vector<std::uint8_t> mesh;  // positions, then normals
  std::vector<std::uint8_t> face;  // per triangle: three position, then three normal numbers
};

// Nullopt when the scar mesh has no such shape (index lists of different lengths or not whole
// triangles, a cell of more than 65535 entries, a grid whose size disagrees with its cells).
std::optional<ScarBytes> ScarChunkBytes(const ScarMesh& scar, std::int32_t version,
                                        std::uint32_t checksum);

// Identifies a scar mesh's content (everything but the checksum).
std::uint64_t ScarFingerprint(const ScarBytes& bytes);

}  // namespace gantry
