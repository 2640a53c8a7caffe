// The later dialect's k-DOP (KDOP): 13 slabs fitted to level 0 of every mesh, the polytope they
// cut out, and the box and radius of that polytope. Recomputed from the geometry when a model's
// meshes change; the slab values and support points come out bit for bit as the game's tools
// write them, the hull closely (same faces in the same order, values within rounding).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "hod/model.h"

namespace gantry {

struct KdopSlab {
  float min = 0, max = 0;
  Vector3 min_point, max_point;  // the first vertex reaching each extreme
};

struct Kdop {
  float radius = 0;
  Vector3 box_min, box_max;
  std::array<KdopSlab, 13> slabs{};
  std::vector<Vector3> hull;
  std::vector<std::array<std::uint16_t, 3>> triangles;
};

// From the vertices of level 0 of every multi-mesh, in file order.
Kdop ComputeKdop(const HodModel& model);
// The same in two steps: the slabs alone (enough for SameSlabs), then the hull, box and radius.
Kdop KdopSlabs(const HodModel& model);
void CompleteKdop(Kdop& kdop);

// The chunk's body as the file holds it, and back (nullopt when the body has another shape).
std::vector<std::uint8_t> KdopBody(const Kdop& kdop);
std::optional<Kdop> ParseKdop(const std::vector<std::uint8_t>& body);

// Slab values and support points identical bit for bit: the hull built from them is then the
// one already stored.
bool SameSlabs(const Kdop& a, const Kdop& b);

}  // namespace gantry
