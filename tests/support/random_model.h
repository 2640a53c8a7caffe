// Random models for round-trip tests. Each is consistent (every count equals its list, every
// chunk header has the kind and ID the reader gives it) and holds only what its HOD type writes,
// so a save followed by a read must give it back exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry::testing {

// The same seed and type always give the same model. Multi-mesh models hold every chunk kind;
// those of odd seeds carry lights, so their joints and boundary vertices stay at the defaults
// (neither is written then).
HodModel RandomModel(std::uint32_t seed, HodType type);

// A chunk at the top level of a written file: the tag of a plain chunk or the ID of a container,
// where its tag starts, and its stored length.
struct TopChunk {
  std::string id;
  std::size_t offset = 0;
  std::int32_t length = 0;
};

// Walks a file by its stored lengths. HVMD, DTRM and INFO are bare headers: their children
// follow at the top level. A walk that does not end exactly at the end of the bytes closes with
// the id "<end>" at the offset where it stopped.
std::vector<TopChunk> TopChunks(const std::vector<std::uint8_t>& bytes);
std::vector<std::string> TopChunkIds(const std::vector<std::uint8_t>& bytes);

}  // namespace gantry::testing
