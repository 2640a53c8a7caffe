// Writing a model in the later dialect (POOL streams), and what a model loses when written in
// the other dialect.
//
// Any multi-mesh model can be written as HOD 2.0. What the writer cannot derive is handled so:
// - KDOP: kept as read while level 0 of the meshes gives the same slabs, recomputed otherwise.
// - SCAR: its checksum has no known rule, so a scar mesh is written only while it and level 0 of
//   its mesh are exactly as read; any other mesh is written without TAGS and SCAR (the shape of
//   real files without battle scars). Hod2WriteOptions::rebuilt_scars writes the scar mesh the
//   model holds anyway, with a placeholder checksum (untested in the game).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hod/model.h"

namespace gantry {

// Written where a rebuilt scar mesh's checksum belongs: the game's rule is unknown.
inline constexpr std::uint32_t kPlaceholderScarChecksum = 0;

struct Hod2WriteOptions {
  // Write scar meshes that no longer carry the checksum read with them (rebuilt from level 0).
  bool rebuilt_scars = false;
};

// The one triangle list a part is written as in the later dialect: strips unrolled (every other
// triangle turned so all face alike, stitching triangles left out), several lists joined. A
// scar mesh built from level 0 must list its triangles so to hold for the mesh.
FaceList AsTriangleList(const MeshPart& part);
// A strip's indices as AsTriangleList lists them.
std::vector<std::int16_t> UnrolledStrip(const std::vector<std::int16_t>& strip);

// Why the model cannot be written in the later dialect at all; empty when it can.
std::vector<std::string> Hod2WriteBlockers(const HodModel& model);

// What the HOD 2.0 file leaves out of the model or holds only in another form; empty when
// nothing is lost.
std::vector<std::string> Hod2Losses(const HodModel& model, const Hod2WriteOptions& options = {});

// What a classic file cannot hold of a model read from the later dialect; empty for a classic
// model.
std::vector<std::string> ClassicLosses(const HodModel& model);

// True while the scar mesh is the one read from the file (so its checksum holds) and still
// matches level 0 of `mesh`: positions, normals and triangles.
bool ScarStillHolds(const HodModel& model, const ScarMesh& scar, const MultiMesh& mesh);

// The texts a save shows: the warnings that list what the file being written leaves out, the
// question asked before converting to the other dialect, and the refusal that lists why a HOD
// 2.0 file cannot be written.
std::string ClassicLossText(const std::vector<std::string>& losses);
std::string Hod2LossText(const std::vector<std::string>& losses);
std::string ConvertQuestionText(HodDialect target, const std::vector<std::string>& losses);
std::string Hod2RefusalText(const std::vector<std::string>& reasons);

// The file's bytes. False (with *error) when the model is refused or does not describe its data.
bool EncodeHod2(const HodModel& model, std::vector<std::uint8_t>& bytes,
                std::string* error = nullptr, const Hod2WriteOptions& options = {});

}  // namespace gantry
