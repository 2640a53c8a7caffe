// Small well-formed pieces of a model for tests that need geometry without caring about it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "hod/model.h"
#include "hod/textures.h"

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

// The square from (-half, -half) to (half, half) in z = 0: four corners numbered x first, with
// the texture coordinates of their place, and one triangle list.
inline MeshPart SquarePart(float half, std::vector<std::int16_t> indices) {
  const auto count = static_cast<std::int32_t>(indices.size());
  MeshPart part{0, kMaskPosition | kMaskUV, 4, {}, 1, {{kFaceListTriangles, count, indices}}};
  for (int i = 0; i < 4; ++i) {
    MeshVertex& v = part.Vertices.emplace_back();
    v.UV = {static_cast<float>(i % 2), static_cast<float>(i / 2)};
    v.Position = {(2 * v.UV.u - 1) * half, (2 * v.UV.v - 1) * half, 0, 1};
  }
  return part;
}

// A level of the given parts, counted.
inline LodMesh LodOf(std::vector<MeshPart> parts) {
  LodMesh lod;
  lod.Kind = "FORM";
  lod.PartCount = static_cast<std::int32_t>(parts.size());
  lod.Parts = std::move(parts);
  return lod;
}

// A mesh named `name` of the given levels, on the root joint.
inline MultiMesh MeshOf(std::string name, std::vector<LodMesh> lods, Tag id = "MULT") {
  const auto count = static_cast<std::int32_t>(lods.size());
  return {{"NRML", 0, id}, 1400, 0, std::move(name), 0, "Root", count, std::move(lods)};
}

// A texture whose `levels` levels hold the bytes its format and size call for, each byte telling
// its level and place apart.
inline Texture SampleTexture(std::string name, Tag format, std::int32_t w, std::int32_t h,
                             int levels = 1) {
  Texture texture{
      {"LMIP", 0, {}}, static_cast<std::int32_t>(name.size()), name, format, levels, w, h, {}};
  for (int i = 1; i <= levels; ++i) {
    MipLevel& level = texture.MipLevels.emplace_back(MipLevelBytes(format, w, h, i));
    for (std::size_t b = 0; b < level.size(); ++b) level[b] = static_cast<std::uint8_t>(b * i);
  }
  return texture;
}

// Three vertices at the origin and one triangle over them.
inline TriangleMesh OneTriangle() { return {3, std::vector<Vector3>(3), 3, {0, 1, 2}}; }

}  // namespace gantry::testing
