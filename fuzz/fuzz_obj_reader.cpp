// Feeds arbitrary bytes to the OBJ importer as a batch import: the first byte picks the eight
// options (bit 0 SubstituteMaterials ... bit 7 ReadFaces), the rest is the file's text. The same
// text also goes through the point reader and the line-break rewrite, whose result must be
// stable.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/ui.h"
#include "interchange/obj_import.h"
#include "interchange/text_rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t bits = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  gantry::ObjImportOptions options;
  options.SubstituteMaterials = (bits & 0x01) != 0;
  options.AskReverseUVs = (bits & 0x02) != 0;
  options.MergeVertices = (bits & 0x04) != 0;
  options.AskMergeThresholds = (bits & 0x08) != 0;
  options.Quiet = (bits & 0x10) != 0;
  options.IgnoreNormals = (bits & 0x20) != 0;
  options.IgnoreUVs = (bits & 0x40) != 0;
  options.ReadFaces = (bits & 0x80) != 0;
  gantry::ObjImportContext context;
  context.material_names = {"hull", "Glass", "hull"};
  context.batch = true;
  gantry::QuietUi ui;

  if (const auto mesh = gantry::ImportOBJMeshText(text, options, context, ui)) {
    for (const gantry::MeshPart& part : mesh->Parts) {
      if (part.Vertices.size() > gantry::kMaxPartVertices) std::abort();
      for (const gantry::FaceList& list : part.FaceLists) {
        for (const std::int16_t index : list.Indices) {
          if (static_cast<std::uint16_t>(index) >= part.Vertices.size()) std::abort();
        }
      }
    }
  }
  gantry::EngineBurn burn;
  gantry::ReadOBJPointsText(text, burn, ui);
  const std::string once = gantry::NormaliseLineBreaks(text);
  if (gantry::NormaliseLineBreaks(once) != once) std::abort();
  return 0;
}
