// Compares two models family by family and field by field, ignoring what a save recomputes
// (chunk lengths, text-length fields, parameter data sizes, the owner's trailing NUL, dock
// formats, and chunk kinds between a classic and a HOD 2.0 model, whose framing differs by
// dialect). Each difference is one line with its path:
//   meshes[2].Lods[0].Parts[1].Vertices[17].Position.x: 1.5 != 1.25
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

struct DiffOptions {
  // Floating-point fields differing by at most this much count as equal.
  double tolerance = 0;
  // Stop after this many differences (the result then ends with a line saying so).
  std::size_t max_differences = 1000;
};

std::vector<std::string> DiffModels(const HodModel& a, const HodModel& b,
                                    const DiffOptions& options = {});

// The path of the first field (in the same spelling) holding NaN or an infinity; nullopt when
// every number is finite.
std::optional<std::string> FirstNonFiniteField(const HodModel& model);

}  // namespace gantry
