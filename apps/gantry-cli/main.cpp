// gantry-cli: the HOD toolkit's command line. A thin layer over the core library.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "manual.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
// shellapi.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#endif

namespace {

#ifdef _WIN32
// Windows gives a narrow main its arguments in the ANSI code page, with "?" for characters the
// code page lacks; such a name names no file. The first argument that lost characters, if any.
int LossyArgument() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return 0;
  int lossy = 0;
  for (int i = 1; i < count && lossy == 0; ++i) {
    BOOL replaced = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide[i], -1, nullptr, 0, nullptr, &replaced);
    if (replaced) lossy = i;
  }
  LocalFree(wide);
  return lossy;
}
#endif

// Scales and angles become singles: NaN, infinities and numbers beyond a single's range would
// write NaN or infinite positions.
const CLI::Validator kSingle(
    [](std::string& text) {
      const double value = std::strtod(text.c_str(), nullptr);
      return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max()
                 ? std::string()
                 : std::string("not a finite number a single can hold: ") + text;
    },
    "FINITE");

}  // namespace

int main(int argc, char** argv) {
  namespace cli = gantry::cli;
#ifdef _WIN32
  if (const int lossy = LossyArgument(); lossy > 0 && lossy < argc) {
    std::fprintf(stderr,
                 "argument %d (%s) has characters outside the system's ANSI code page (%u), which "
                 "Windows cannot pass on: rename the file or folder, or change the code page\n",
                 lossy, argv[lossy], GetACP());
    return cli::kExitUsage;
  }
#endif
  CLI::App app{"Gantry: inspect, check and convert Homeworld 2 HOD files", "gantry-cli"};
  app.require_subcommand(1);

  std::string path, other;
  bool json = false;
  double tolerance = 0;

  CLI::App* info = app.add_subcommand("info", "Summarise a HOD: type, version, owner, counts");
  info->add_flag("--json", json, "Print one JSON object");
  info->add_option("FILE", path, "HOD file")->required();

  CLI::App* dump = app.add_subcommand("dump", "Print the reader's debug log, oldest line first");
  dump->add_option("FILE", path, "HOD file")->required();

  CLI::App* validate =
      app.add_subcommand("validate", "Run the save checks; exit 0 valid, 1 invalid");
  validate->add_flag("--json", json, "Print one JSON object");
  validate->add_option("FILE", path, "HOD file")->required();

  CLI::App* save = app.add_subcommand("save", "Read, validate and write a HOD");
  save->add_option("IN", path, "HOD file to read")->required();
  save->add_option("OUT", other, "HOD file to write")->required();
  bool salvage = false;
  save->add_flag("--salvage", salvage, "Save what a damaged file gave up before the damage");
  std::string dialect;
  save->add_option("--dialect", dialect,
                   "classic or hod2 (HOD 2.0, with a POOL); without it, IN's own dialect")
      ->check(CLI::IsMember({"classic", "hod2"}));
  bool rebuild_scars = false;
  save->add_flag("--rebuild-scars", rebuild_scars,
                 "HOD 2.0: write rebuilt scar meshes (placeholder checksum, untested in the "
                 "game) for meshes whose level 0 changed, instead of leaving their scars out");
  bool drop_lights = false;
  save->add_flag("--drop-lights", drop_lights,
                 "Save a model with lights even though its joints and boundary vertices go");

  CLI::App* roundtrip = app.add_subcommand(
      "roundtrip", "Read, write to memory, read back and report the first difference");
  roundtrip->add_option("FILE", path, "HOD file")->required();

  CLI::App* diff = app.add_subcommand("diff", "Compare two HODs field by field");
  diff->add_option("A", path, "First HOD file")->required();
  diff->add_option("B", other, "Second HOD file")->required();
  diff->add_option("--tolerance", tolerance, "Largest difference of equal floating-point values")
      ->check(CLI::NonNegativeNumber);

  std::vector<double> factors;
  CLI::App* rescale =
      app.add_subcommand("rescale", "Scale every element of a HOD, then validate and save it");
  rescale->add_option("IN", path, "HOD file to read")->required();
  rescale->add_option("OUT", other, "HOD file to write")->required();
  rescale->add_option("SCALE", factors, "SX SY SZ (none of them 0)")
      ->expected(3)
      ->required()
      ->check(CLI::Number)
      ->check(CLI::Validator(
          [](std::string& text) {
            return std::strtod(text.c_str(), nullptr) == 0 ? std::string("a scale of 0 is refused")
                                                           : std::string();
          },
          "NONZERO"))
      ->check(kSingle);

  std::vector<double> angles;
  bool rotate_joints = false;
  CLI::App* rotate = app.add_subcommand(
      "rotate", "Rotate every element of a HOD (degrees, X then Y then Z), then validate and save");
  rotate->add_option("IN", path, "HOD file to read")->required();
  rotate->add_option("OUT", other, "HOD file to write")->required();
  rotate->add_option("ANGLES", angles, "AX AY AZ in degrees")
      ->expected(3)
      ->required()
      ->check(CLI::Number)
      ->check(kSingle);
  rotate->add_flag("--rotate-joints", rotate_joints, "Move the joints' positions too");

  std::optional<int> mesh;
  bool reverse_uv = false;
  std::string out_dir;
  CLI::App* export_obj =
      app.add_subcommand("export-obj", "Write meshes as Wavefront OBJ files, with their MTL");
  export_obj->add_option("FILE", path, "HOD file")->required();
  export_obj->add_option("--mesh", mesh, "Only mesh N (counted from 1)");
  export_obj->add_flag("--reverse-uv", reverse_uv,
                       "Write V as 1 - V (default: V as stored; import-obj reverses V unless "
                       "given --keep-v)");
  export_obj->add_option("--out-dir", out_dir, "Folder for the files (default: the HOD's)");
  export_obj->add_flag("--salvage", salvage,
                       "Export what a damaged file gave up before the damage");

  bool png = false;
  CLI::App* export_textures = app.add_subcommand(
      "export-textures", "Write textures as TGA (8888) or DDS files, optionally with PNGs");
  export_textures->add_option("FILE", path, "HOD file")->required();
  export_textures->add_flag("--png", png, "Also write a decoded PNG of the first level");
  export_textures->add_option("--out-dir", out_dir, "Folder for the files (default: the HOD's)");
  export_textures->add_flag("--salvage", salvage,
                            "Export what a damaged file gave up before the damage");

  // The texture options of import-texture and convert-texture.
  cli::TextureCliOptions texture;
  auto add_texture_options = [&texture](CLI::App* command) {
    command
        ->add_option("--format", texture.format,
                     "auto (the default: DXT1 without alpha, DXT5 with), dxt1, dxt3, dxt5, 8888 "
                     "or 888")
        ->capture_default_str();
    command->add_option("--max-size", texture.max_size,
                        "Largest side of the top level; larger pictures are halved to fit");
    command->add_flag("--no-mips", texture.no_mips, "Only the top level, no mip chain");
    command->add_flag("--fast", texture.fast, "Faster, lower-quality DXT encoding (range fit)");
    command->add_option("--resize", texture.resize,
                        "Sides that are not powers of two go to the nearest (default), down or up");
    command->add_option("--mip-filter", texture.mip_filter,
                        "box (default), triangle, mitchell or catmullrom; always in linear light");
    command
        ->add_option("--alpha-test", texture.alpha_test,
                     "Cut-out textures: keep the share of pixels with alpha >= N (0-255) in "
                     "every level")
        ->check(CLI::Range(0, 255));
    command->add_option("--threads", texture.threads, "Encoding threads (default: one per core)")
        ->check(CLI::NonNegativeNumber);
  };
  std::vector<std::string> images;
  std::string texture_name;
  CLI::App* import_texture = app.add_subcommand(
      "import-texture",
      "Encode pictures (PNG, JPEG, TGA, BMP, PSD; DDS as it is) into a HOD, replacing the "
      "texture of the same name or adding it");
  import_texture->add_option("FILE", path, "HOD file to read")->required();
  import_texture->add_option("IMAGE", images, "Pictures to import")->required();
  import_texture->add_option("-o,--output", other, "HOD file to write")->required();
  import_texture->add_option("--name", texture_name,
                             "Texture name (default: the file's base name, tags such as [1] kept)");
  add_texture_options(import_texture);
  CLI::App* convert_texture = app.add_subcommand(
      "convert-texture", "Encode a picture as a DDS (DXT) or TGA (8888, 888) with its mip chain");
  convert_texture->add_option("IMAGE", path, "Picture to encode")->required();
  convert_texture->add_option("-o,--output", other, "DDS or TGA file to write")->required();
  add_texture_options(convert_texture);

  std::string map;
  std::optional<double> radius;
  std::vector<double> centre;
  double star_size = 1;
  CLI::App* stars = app.add_subcommand(
      "stars", "Replace a background HOD's star fields from a 32-bit TGA star map");
  stars->add_option("FILE", path, "HOD file to read")->required();
  stars->add_option("MAP", map, "32-bit TGA star map")->required();
  stars->add_option("-o,--output", other, "HOD file to write")->required();
  stars->add_option("--radius", radius, "Sphere radius (default: mean background-mesh distance)");
  stars->add_option("--centre", centre, "Sphere centre X Y Z (default: background-mesh centre)")
      ->expected(3);
  stars->add_option("--size", star_size, "Star size multiplier");

  double bg_size = 1;
  CLI::App* bg_texture = app.add_subcommand(
      "bg-texture", "Render a background HOD's meshes into a 24-bit BMP sky texture");
  bg_texture->add_option("FILE", path, "HOD file")->required();
  bg_texture->add_option("-o,--output", other, "BMP file to write")->required();
  bg_texture->add_option("--size", bg_size, "Size multiplier: the image is 2048*M wide")
      ->check(CLI::Number);

  std::string obj_path;
  int mesh_number = 0;
  int lod_number = 0;
  CLI::App* import_obj = app.add_subcommand(
      "import-obj", "Replace a level of detail with an OBJ mesh, then validate and save");
  import_obj->add_option("FILE", path, "HOD file to read")->required();
  import_obj->add_option("OBJ", obj_path, "Wavefront OBJ file")->required();
  import_obj->add_option("--mesh", mesh_number, "Mesh number, from 1")->required();
  import_obj->add_option("--lod", lod_number, "Level of detail, from 1")->required();
  import_obj->add_option("-o,--output", other, "HOD file to write")->required();
  bool keep_v = false;
  import_obj->add_flag("--keep-v", keep_v,
                       "Keep V as in the file (default: V becomes 1 - V; export-obj writes V "
                       "as stored, so its files need --keep-v to come back unchanged)");

  std::optional<std::string> hsc_out;
  CLI::App* export_hsc =
      app.add_subcommand("export-hsc", "Write a HOD's non-mesh data as a HOD script");
  export_hsc->add_option("FILE", path, "HOD file")->required();
  export_hsc->add_option("-o,--output", hsc_out,
                         "Script to write (default: the HOD's name with .hsc, beside it)");
  export_hsc->add_flag("--salvage", salvage,
                       "Export what a damaged file gave up before the damage");

  std::string hod_type = "multi-mesh";
  CLI::App* build = app.add_subcommand("build", "Build a new HOD from a HOD script");
  build->add_option("SCRIPT", path, "HOD script (.hsc)")->required();
  build->add_option("-o,--output", other, "HOD file to write")->required();
  build->add_option("--type", hod_type, "multi-mesh, simple-mesh, wireframe-mesh or background");

  std::string lods = "all";
  CLI::App* export_gltf =
      app.add_subcommand("export-gltf", "Write the whole model as glTF 2.0 (.glb or .gltf)");
  export_gltf->add_option("FILE", path, "HOD file")->required();
  export_gltf->add_option("-o,--output", other, "glTF file to write (.glb or .gltf)")->required();
  export_gltf->add_option("--lods", lods, "all (the default) or 0: the levels of detail to write")
      ->check(CLI::IsMember({"all", "0"}));
  export_gltf->add_flag("--salvage", salvage,
                        "Export what a damaged file gave up before the damage");

  std::optional<std::string> gltf_base;
  CLI::App* import_gltf = app.add_subcommand(
      "import-gltf", "Build a HOD from a glTF file (or replace BASE's meshes), validate and save");
  import_gltf->add_option("MODEL", path, "glTF file (.glb or .gltf)")->required();
  import_gltf->add_option("-o,--output", other, "HOD file to write")->required();
  import_gltf->add_option("--base", gltf_base,
                          "HOD whose meshes of the same names the imported meshes replace");

  cli::DescribeProgram(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? cli::kExitOk : cli::kExitUsage;
  }

  if (info->parsed()) return cli::RunInfo(path, json);
  if (dump->parsed()) return cli::RunDump(path);
  if (validate->parsed()) return cli::RunValidate(path, json);
  if (save->parsed()) {
    std::optional<gantry::HodDialect> chosen;
    if (dialect == "hod2") chosen = gantry::HodDialect::Hod2;
    if (dialect == "classic") chosen = gantry::HodDialect::Classic;
    return cli::RunSave(path, other, salvage, nullptr, chosen, rebuild_scars, drop_lights);
  }
  if (roundtrip->parsed()) return cli::RunRoundTrip(path);
  if (diff->parsed()) return cli::RunDiff(path, other, tolerance);
  if (export_obj->parsed()) return cli::RunExportObj(path, mesh, reverse_uv, out_dir, salvage);
  if (export_textures->parsed()) return cli::RunExportTextures(path, png, out_dir, salvage);
  if (import_texture->parsed()) {
    return cli::RunImportTexture(path, images, other, texture_name, texture);
  }
  if (convert_texture->parsed()) return cli::RunConvertTexture(path, other, texture);
  if (export_hsc->parsed()) return cli::RunExportHsc(path, hsc_out, salvage);
  if (build->parsed()) return cli::RunBuild(path, other, hod_type);
  if (import_obj->parsed()) {
    return cli::RunImportObj(path, obj_path, mesh_number, lod_number, other, !keep_v);
  }
  if (export_gltf->parsed()) return cli::RunExportGltf(path, other, lods == "all", salvage);
  if (import_gltf->parsed()) return cli::RunImportGltf(path, other, gltf_base);
  if (bg_texture->parsed()) return cli::RunBgTexture(path, other, bg_size);
  if (stars->parsed()) {
    std::optional<gantry::Vector3> at;
    if (centre.size() == 3) {
      at = gantry::Vector3{static_cast<float>(centre[0]), static_cast<float>(centre[1]),
                           static_cast<float>(centre[2])};
    }
    return cli::RunStars(path, map, other, radius, at, star_size);
  }
  if (rescale->parsed()) return cli::RunRescale(path, other, factors[0], factors[1], factors[2]);
  if (rotate->parsed()) {
    return cli::RunRotate(path, other, angles[0], angles[1], angles[2], rotate_joints);
  }
  return cli::kExitUsage;
}
