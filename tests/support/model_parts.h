// Small well-formed pieces of a model for tests that need geometry without caring about it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "hod/model.h"

namespace gantry::testing {

// `vertices` vertices at the origin under `mask`, one triangle list over the first three.
inline MeshPart TrianglePart(std::size_t vertices = 3, std::int32_t mask = kMaskPosition) {
  return {0,
          mask,
          static_cast<std::int32_t>(vertices),
          std::vector<MeshVertex>(vertices),
          1,
          {{kFaceListTriangles, 3, {0, 1, 2}}}};
}

// A level of the given parts, counted.
inline LodMesh LodOf(std::vector<MeshPart> parts) {
  LodMesh lod;
  lod.Kind = "FORM";
  lod.PartCount = static_cast<std::int32_t>(parts.size());
  lod.Parts = std::move(parts);
  return lod;
}

// Three vertices at the origin and one triangle over them.
inline TriangleMesh OneTriangle() { return {3, std::vector<Vector3>(3), 3, {0, 1, 2}}; }

}  // namespace gantry::testing
