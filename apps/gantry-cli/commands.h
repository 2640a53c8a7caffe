// The subcommands of gantry-cli. Each returns the process's exit status.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hod/model.h"
#include "hod/save.h"
#include "interchange/texture_encode.h"

namespace gantry::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferent = 1;  // invalid model, or models that differ
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 3;  // a file could not be read or written

// The exit status of a save: written, refused as invalid, or not written.
inline int SaveExitCode(SaveResult result) {
  switch (result) {
    case SaveResult::Saved:
      return kExitOk;
    case SaveResult::Invalid:
    case SaveResult::Cancelled:
      return kExitDifferent;
    case SaveResult::Failed:
    case SaveResult::Quit:
      break;
  }
  return kExitUnreadable;
}

int RunInfo(const std::string& path, bool json);
int RunDump(const std::string& path);
int RunValidate(const std::string& path, bool json);
// Reads IN, applies `change` (if any), validates and writes OUT in IN's own dialect, or in
// `dialect` when given (converting, with a warning naming what is lost). `rebuild_scars`: HOD 2.0
// output gets rebuilt scar meshes for changed meshes (placeholder checksum). A file that does not
// read to its end is refused unless `salvage` is set; a model whose lights would drop its joints
// or boundary vertices unless `drop_lights` is.
int RunSave(const std::string& in, const std::string& out, bool salvage = false,
            const std::function<bool(HodModel&)>& change = nullptr,
            std::optional<HodDialect> dialect = std::nullopt, bool rebuild_scars = false,
            bool drop_lights = false);
int RunRescale(const std::string& in, const std::string& out, double sx, double sy, double sz);
// The exports refuse a file that does not read to its end unless `salvage` is set; they then
// export what was read.
// Writes every mesh (or mesh N, 1-based) as OBJ files and the MTL into the HOD's folder or
// out_dir ("" = the HOD's folder).
int RunExportObj(const std::string& path, std::optional<int> mesh, bool reverse_uv,
                 const std::string& out_dir, bool salvage = false);
// Writes every texture as TGA ("8888") or DDS, and with `png` a decoded PNG of level 1 beside.
int RunExportTextures(const std::string& path, bool png, const std::string& out_dir,
                      bool salvage = false);
// Replaces FILE's star fields from a 32-bit TGA star map, then validates and saves OUT.
int RunStars(const std::string& in, const std::string& map, const std::string& out,
             std::optional<double> radius, std::optional<Vector3> centre, double size);
// Renders every background mesh into a 24-bit BMP 2048*M wide (M as the size question takes it).
int RunBgTexture(const std::string& path, const std::string& out, double size_multiplier);
// Replaces level of detail `lod` of mesh `mesh` (both from 1) with an OBJ mesh (merged, V
// reversed when `reverse_v`, materials matched by name), then validates and saves OUT.
int RunImportObj(const std::string& in, const std::string& obj, int mesh, int lod,
                 const std::string& out, bool reverse_v = true);
// Writes FILE's non-mesh data as a HOD script to OUT, or beside the HOD with ".hsc".
int RunExportHsc(const std::string& path, const std::optional<std::string>& out,
                 bool salvage = false);
// Builds a new model of `type` from a HOD script, then validates and saves OUT.
int RunBuild(const std::string& script, const std::string& out, const std::string& type);
// Writes FILE as glTF 2.0 (.glb binary, else .gltf text with the data embedded).
int RunExportGltf(const std::string& path, const std::string& out, bool all_lods,
                  bool salvage = false);
// Reads a glTF file into a new model, or with `base` puts its meshes in place of BASE's meshes
// of the same names; then validates and saves OUT. A file that cannot be imported writes nothing.
int RunImportGltf(const std::string& path, const std::string& out,
                  const std::optional<std::string>& base);
int RunRotate(const std::string& in, const std::string& out, double ax, double ay, double az,
              bool rotate_joints);
int RunRoundTrip(const std::string& path);

// The texture options import-texture and convert-texture share, as typed.
struct TextureCliOptions {
  std::string format = "auto";
  std::int32_t max_size = 0;
  bool no_mips = false;
  bool fast = false;
  std::string resize = "nearest";
  std::string mip_filter = "box";
  std::optional<int> alpha_test;
  int threads = 0;
};
struct TextureCliSettings {
  std::optional<TextureFormat> format;  // nullopt: auto
  TextureSettings settings;
};
// nullopt after a message on stderr when an option names nothing known.
std::optional<TextureCliSettings> ParseTextureCliSettings(const TextureCliOptions& options);
// Encodes each image and replaces the texture of the same name in IN or adds it, then validates
// and saves OUT. `name` (one image only) replaces the name taken from the file.
int RunImportTexture(const std::string& in, const std::vector<std::string>& images,
                     const std::string& out, const std::string& name,
                     const TextureCliOptions& options);
// Encodes one image as a DDS (DXT formats) or TGA (8888, 888) file of its own.
int RunConvertTexture(const std::string& image, const std::string& out,
                      const TextureCliOptions& options);
int RunDiff(const std::string& a, const std::string& b, double tolerance);

}  // namespace gantry::cli
