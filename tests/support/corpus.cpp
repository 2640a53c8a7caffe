#include "support/corpus.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

namespace gantry::testing {

namespace fs = std::filesystem;

namespace {
fs::path CorpusFolder() {
  const char* env = std::getenv("GANTRY_CORPUS_DIR");
  return fs::path(env != nullptr && *env != '\0' ? env : GANTRY_CORPUS_DIR);
}

std::string Existing(const fs::path& path) {
  return fs::is_regular_file(path) ? path.string() : std::string();
}
}  // namespace

const std::vector<std::string>& CleanCorpusFiles() {
  static const std::vector<std::string> files = {
      "Mephistofeles__hw2-shaders__hgn_resourcecontroller.hod",
      "Mephistofeles__hw2-shaders__hgn_scout.hod",
      "Mephistofeles__hw2-shaders__testbox.hod",
      "Real-Gecko__hw2-complex__black.hod",
      "Real-Gecko__hw2-complex__hgn_battleshipyard.hod",
      "mjhorvath__Homeworld-Classic-Enhanced-for-HW2C__hgn_c_module_firecontrol_nores.hod",
      "mjhorvath__Homeworld-Classic-Enhanced-for-HW2C__teamcolourstripes.hod",
      "mjhorvath__Mikali-Map-Collection-for-HWRM__asteroid_1_hw2c.hod",
      "mjhorvath__Mikali-Map-Collection-for-HWRM__box_2048_64_2048-oldHOD.hod",
      "tdmckenney0__slipstream-the-price-of-freedom__dreadnaugh_mesh_engine.hod",
      "tdmckenney0__slipstream-the-price-of-freedom__hw1_supernova.hod",
      "tdmckenney0__slipstream-the-price-of-freedom__hw1_supernova_light.hod",
      "tdmckenney0__slipstream-the-price-of-freedom__vgr_bc_concussionmissile.hod",
  };
  return files;
}

const std::set<std::string>& RewrittenCorpusFiles() {
  static const std::set<std::string> files = {
      "Real-Gecko__hw2-complex__black.hod",
      "Real-Gecko__hw2-complex__hgn_battleshipyard.hod",
      "mjhorvath__Mikali-Map-Collection-for-HWRM__asteroid_1_hw2c.hod",
      "tdmckenney0__slipstream-the-price-of-freedom__hw1_supernova.hod",
  };
  return files;
}

const std::vector<std::string>& DamagedCorpusFiles() {
  static const std::vector<std::string> files = {
      "Real-Gecko__hw2-complex__hgn_attackbombersupport.hod",
      "Real-Gecko__hw2-complex__hgn_heavyguidedplasmabomb.hod",
  };
  return files;
}

const std::vector<std::string>& Hod2CorpusFiles() {
  static const std::vector<std::string> files = {
      "GuillermoOM__HWRM_FSFC__shi_demon.hod",
      "GuillermoOM__HWRM_FSFC__ter_awacs_0.hod",
      "mjhorvath__Mikali-Map-Collection-for-HWRM__hwccrystal_1_02.hod",
      "mjhorvath__Test-Mission-Grid-for-HWRM__meg_coordinateaxes.hod",
  };
  return files;
}

bool CorpusRequired() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != '\0' && std::string_view(ci) != "0" &&
         std::string_view(ci) != "false";
}

std::string CorpusFile(const std::string& name) { return Existing(CorpusFolder() / "hod" / name); }

std::string CorpusOtherFile(const std::string& name) {
  return Existing(CorpusFolder() / "other" / name);
}

std::string CopyCorpusFile(const std::string& name, const std::filesystem::path& folder) {
  const std::string source = CorpusFile(name);
  if (source.empty()) return {};
  const std::filesystem::path copy = folder / name;
  std::error_code error;
  std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing,
                             error);
  return error ? std::string() : copy.string();
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

}  // namespace gantry::testing
