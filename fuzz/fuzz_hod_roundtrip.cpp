// Reads arbitrary bytes as a HOD and, when the model passes the save checks, saves it to memory
// and reads that back. Whatever was read must save (a refusal means the reader let through a
// model the writer cannot describe; only a length pass that finds a container too long to
// describe may refuse), the saved file must read whole and give back the saved model, apart
// from what a save recomputes and what a file of its type does not carry, and saving the model
// read back must give the bytes that saving the model it equals gives.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "common/debug_log.h"
#include "common/ui.h"
#include "hod/hod_reader.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "hod/reset.h"
#include "hod/validate.h"
#include "hod/write_order.h"

namespace {

using gantry::HodModel;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

// A file of the model's type leaves these records out; reading it leaves them as a fresh model
// has them.
void KeepOnlyWhatIsWritten(HodModel& m) {
  const HodModel fresh = gantry::MakeDefaultModel();
  if (gantry::IsBackground(m)) {
    m.HodName = fresh.HodName;
    if (m.BackgroundMeshSet.Meshes.empty()) m.BackgroundMeshSet = fresh.BackgroundMeshSet;
  } else {
    m.BackgroundLight = fresh.BackgroundLight;
    m.BackgroundMeshSet = fresh.BackgroundMeshSet;
  }
  if (!gantry::WritesLights(m)) m.LightList = fresh.LightList;
  if (gantry::EndsAfterStars(m)) {
    std::erase_if(m.BackgroundSegments, [](const auto& s) { return s.ElementCount <= 0; });
    std::erase_if(m.StarFields, [](const auto& f) { return f.StarCount <= 0; });
    m.DtrmHeader = fresh.DtrmHeader;
    m.JointList = fresh.JointList;
    m.EngineShapes.clear();
    m.EngineGlows.clear();
    m.EngineBurns.clear();
    m.NavLightList = fresh.NavLightList;
    m.DockPathList = fresh.DockPathList;
    m.Markers.clear();
    m.BoundaryVertices = fresh.BoundaryVertices;
    m.CollisionMeshes.clear();
    m.ScarMeshes.clear();
    if (!gantry::WritesInfo(m)) {
      m.InfoHeader = fresh.InfoHeader;
      m.Warnings.clear();
      m.Errors.clear();
      m.HodOwner = fresh.HodOwner;
    }
  } else {
    m.BackgroundSegments.clear();
    m.StarFields.clear();
    if (!gantry::WritesJoints(m)) m.JointList = fresh.JointList;
    if (!gantry::WritesNavLights(m)) m.NavLightList = fresh.NavLightList;
    if (!gantry::WritesDock(m)) m.DockPathList = fresh.DockPathList;
    if (!gantry::WritesBoundary(m)) m.BoundaryVertices = fresh.BoundaryVertices;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gantry::DebugLog log;
  log.set_debug_level(0);
  gantry::QuietUi quiet;
  HodModel model = gantry::MakeDefaultModel();
  gantry::ReadHodBytes(std::span<const std::uint8_t>(data, size), model, log, quiet);
  if (!gantry::ValidateHod(model, quiet).valid) return 0;
  // The classic writer is what this target holds to its reader; a HOD 2.0 model goes through the
  // dialect's own writer (fuzz_hod2_reader), and to classic only by a conversion that changes it.
  if (model.Dialect != gantry::HodDialect::Classic) return 0;

  // Lengths kept as read (VARY's) may add up to more than a container can say: a clean refusal.
  std::string error;
  if (!gantry::ComputeLengths(model, &error)) return 0;
  std::vector<std::uint8_t> bytes;
  if (!gantry::WriteHod(model, bytes, &error))
    Fail("a model read from a file was not written", error);

  gantry::QuietUi ui;
  HodModel back = gantry::MakeDefaultModel();
  const gantry::ReadOutcome outcome = gantry::ReadHodBytes(bytes, back, log, ui);
  if (!outcome.completed || !ui.messages().empty()) {
    Fail("the written file does not read back", ui.messages().empty() ? "" : ui.messages()[0].text);
  }
  KeepOnlyWhatIsWritten(model);
  const auto lines = gantry::DiffModels(model, back, {.tolerance = 0, .max_differences = 5});
  if (!lines.empty()) Fail("the model read back differs", lines.front());

  // What the file left out comes back as a fresh model has it (a HOD without joints reads back
  // with the root joint), so the second save is held to the saved model with those records.
  std::vector<std::uint8_t> expected;
  std::vector<std::uint8_t> again;
  if (!gantry::ComputeLengths(model, &error) || !gantry::WriteHod(model, expected, &error) ||
      !gantry::ComputeLengths(back, &error) || !gantry::WriteHod(back, again, &error)) {
    Fail("the model read back was not written", error);
  }
  if (again != expected) Fail("saving twice", "gave different bytes");
  return 0;
}
