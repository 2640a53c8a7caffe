// HOD 2.0 files (POOL streams): the shared files read with their known figures, convert to
// classic with a warning, write back as they came; damaged pools and lying sizes stop the read
// with a message naming the stream; changed parts whose checksum is unknown are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "hod/hod2_writer.h"
#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "hod/model_counts.h"
#include "hod/save.h"
#include "support/corpus.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDemon = "GuillermoOM__HWRM_FSFC__shi_demon.hod";
constexpr const char* kAwacs = "GuillermoOM__HWRM_FSFC__ter_awacs_0.hod";
constexpr const char* kCrystal = "mjhorvath__Mikali-Map-Collection-for-HWRM__hwccrystal_1_02.hod";
constexpr const char* kAxes = "mjhorvath__Test-Mission-Grid-for-HWRM__meg_coordinateaxes.hod";

// Materials, textures, meshes, levels, parts, vertices, triangles, joints, markers, dock paths,
// dock points, nav lights, burns, collision meshes, scar meshes, mip levels.
using Figures = std::vector<std::size_t>;

// As counted by hand from the files' description.
const std::pair<const char*, Figures> kFigures[] = {
    {kDemon, {5, 12, 6, 6, 11, 3054, 1020, 173, 42, 2, 7, 4, 4, 1, 6, 81}},
    {kAwacs, {1, 0, 1, 1, 1, 24, 12, 1, 0, 0, 0, 0, 0, 0, 1, 0}},
    {kCrystal, {3, 3, 1, 3, 9, 396, 132, 4, 0, 0, 0, 0, 0, 1, 1, 18}},
    {kAxes, {1, 1, 1, 1, 1, 72, 24, 2, 0, 0, 0, 0, 0, 1, 1, 6}},
};

Figures Count(const HodModel& m) {
  std::size_t lods = 0, parts = 0, vertices = 0, triangles = 0, points = 0, mips = 0;
  for (const MultiMesh& mesh : m.Meshes) {
    lods += mesh.Lods.size();
    for (const LodMesh& lod : mesh.Lods) {
      parts += lod.Parts.size();
      for (const MeshPart& part : lod.Parts) {
        vertices += part.Vertices.size();
        for (const FaceList& list : part.FaceLists) triangles += list.Indices.size() / 3;
      }
    }
  }
  for (const DockPath& path : m.DockPathList.Paths) points += path.Points.size();
  for (const Texture& t : m.Textures) mips += t.MipLevels.size();
  // clang-format off
  return {m.Materials.size(), m.Textures.size(), m.Meshes.size(), lods, parts, vertices, triangles,
          m.JointList.Joints.size(), m.Markers.size(), m.DockPathList.Paths.size(), points,
          m.NavLightList.NavLights.size(), m.EngineBurns.size(), m.CollisionMeshes.size(),
          m.ScarMeshes.size(), mips};
  // clang-format on
}

bool Contains(const std::vector<std::string>& lines, std::string_view text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

TEST(Hod2Corpus, ReadsCleanlyWithItsFiguresConvertsAndWritesBack) {
  for (const auto& [file, figures] : kFigures) {
    SCOPED_TRACE(file);
    const std::string path = CorpusFile(file);
    if (path.empty()) continue;
    const HodRead from_file = HodRead::File(path);
    EXPECT_TRUE(Clean(from_file)) << ::testing::PrintToString(from_file.ui.MessageTexts());
    EXPECT_EQ(from_file.outcome.position, fs::file_size(path));
    const HodRead r(FileBytes(path));
    EXPECT_TRUE(r.model == from_file.model);
    const HodModel& m = r.model;
    EXPECT_EQ(m.Dialect, HodDialect::Hod2);
    EXPECT_EQ(Count(m), figures);

    // Classic: what it cannot hold is named; what it can reads back with the same counts.
    const std::vector<std::string> losses = ClassicLosses(m);
    EXPECT_TRUE(Contains(losses, "KDOP"));
    EXPECT_TRUE(Contains(losses, "SCAR"));
    ByteVector classic;
    std::string error;
    ASSERT_TRUE(EncodeHod(m, classic, &error)) << error;
    const HodRead converted(classic);
    EXPECT_TRUE(Clean(converted));
    EXPECT_EQ(converted.model.Dialect, HodDialect::Classic);
    EXPECT_EQ(CountModel(converted.model), CountModel(m));

    // The same dialect, untouched: the file comes back byte for byte (each stream's payload as
    // it was read), so it reads back as the same model too.
    EXPECT_TRUE(Hod2WriteBlockers(m).empty());
    ByteVector written;
    ASSERT_TRUE(EncodeHod2(m, written, &error)) << error;
    EXPECT_TRUE(written == FileBytes(path));
    // Compressed afresh (nothing kept from the read), the streams give the same model.
    HodModel fresh = m;
    fresh.Hod2.Pool = {};
    ByteVector packed;
    ASSERT_TRUE(EncodeHod2(fresh, packed, &error)) << error;
    const HodRead repacked(packed);
    EXPECT_TRUE(Clean(repacked));
    EXPECT_TRUE(repacked.model == m);
  }
}

TEST(Hod2Corpus, KnownValuesLandInTheirFields) {
  const std::string path = CorpusFile(kAxes);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const HodRead r(FileBytes(path));
  const HodModel& m = r.model;
  ASSERT_EQ(std::tuple(m.Textures.size(), m.ScarMeshes.size(), m.Hod2.MeshTags.size(),
                       m.CollisionMeshes.size()),
            std::tuple(1u, 1u, 1u, 1u));
  const Texture& t = m.Textures[0];
  EXPECT_EQ(std::tuple(t.FileName, t.Format, t.MipLevels[0].size(), t.MipLevels[5].size()),
            std::tuple("CoordinateAxes_DIFF", Tag("DXT1"), 64u * 64u * 8u, 2u * 2u * 8u));
  const MeshPart& part = m.Meshes.at(0).Lods.at(0).Parts.at(0);
  EXPECT_EQ(part.VertexMask, 0x600B);
  // Positions and normals carry w = 1, normals are unit length: the layout is read right.
  for (const MeshVertex& v : part.Vertices) {
    EXPECT_EQ(std::tuple(v.Position.w, v.Normal.w), std::tuple(1.0f, 1.0f));
    EXPECT_NEAR(v.Normal.x * v.Normal.x + v.Normal.y * v.Normal.y + v.Normal.z * v.Normal.z, 1.0,
                1e-4);
  }
  for (const std::int16_t i : part.FaceLists.at(0).Indices) EXPECT_LT(i, part.VertexCount);
  const ScarMesh& scar = m.ScarMeshes[0];
  const TriangleMesh& cold = m.CollisionMeshes[0].Triangles;
  EXPECT_EQ(
      std::tuple(m.JointList.Joints.at(0).Name, m.JointList.Joints.at(1).ParentName,
                 scar.Description.Name, scar.Triangles.Vertices.size(),
                 scar.Normals.Vertices.size(), scar.Grid.Cells.size(), m.Hod2.MeshTags[0].MeshName,
                 m.Hod2.MeshTags[0].Chunks.at(0).ID, cold.Vertices.size(), cold.Indices.size()),
      std::tuple("Root", "Root", m.Meshes[0].Name, 24u, 7u, 27u, m.Meshes[0].Name, Tag("TAGS"), 8u,
                 36u));
}

TEST(Hod2Write, ChangedScarsAndKdopAreNamedNotRefusedAndOtherTypesAreRefused) {
  const std::string path = CorpusFile(kAxes);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const HodRead r(FileBytes(path));
  EXPECT_TRUE(Hod2Losses(r.model).empty());

  // A scar mesh changed, or its mesh's normals: its checksum no longer holds.
  HodModel scar = r.model;
  scar.ScarMeshes[0].Triangles.Vertices[0].x += 1;
  EXPECT_TRUE(Contains(Hod2Losses(scar), "battle scars of \"" + scar.Meshes[0].Name + "\""));
  HodModel normals = r.model;
  normals.Meshes[0].Lods[0].Parts[0].Vertices[0].Normal.y += 0.5f;
  EXPECT_TRUE(Contains(Hod2Losses(normals), "battle scars"));
  ByteVector bytes;
  std::string error;
  EXPECT_TRUE(EncodeHod2(scar, bytes, &error)) << error;
  const HodRead back(bytes);
  EXPECT_EQ(std::tuple(Clean(back), back.model.ScarMeshes.size(), back.model.Hod2.MeshTags.size()),
            std::tuple(true, 0u, 0u));

  // What the dialect cannot hold is named; a model of another type is refused.
  HodModel joint = r.model;
  joint.JointList.Joints[1].Freedom = {1, 1, 1};
  EXPECT_TRUE(Contains(Hod2Losses(joint), "freedom of joint"));
  HodModel simple = r.model;
  simple.HodName.TypeName = kSimpleMeshTypeName;
  EXPECT_TRUE(Contains(Hod2WriteBlockers(simple), "no known form"));
  EXPECT_FALSE(EncodeHod2(simple, bytes, &error));
  EXPECT_TRUE(ClassicLosses(MakeDefaultModel()).empty());
}

TEST(Hod2Save, SavesInTheModelsDialectAndConvertsOnlyWhenAsked) {
  const std::string path = CorpusFile(kAwacs);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const TempFolder folder;
  Workspace workspace;
  workspace.model = HodRead(FileBytes(path)).model;

  ScriptedUi quiet;
  const std::string own = folder.Path("own.hod");
  EXPECT_EQ(SaveHod(workspace, own, quiet), SaveResult::Saved);
  EXPECT_TRUE(quiet.messages.empty());
  EXPECT_EQ(HodRead(FileBytes(own)).model.Dialect, HodDialect::Hod2);

  // Converting asks first, No preselected, naming the losses; No writes nothing.
  ScriptedUi declined;
  const std::string classic = folder.Path("classic.hod");
  EXPECT_EQ(SaveHod(workspace, classic, declined, {}, HodDialect::Classic), SaveResult::Cancelled);
  EXPECT_FALSE(fs::exists(classic));
  ASSERT_EQ(declined.preselected.size(), 1u);
  EXPECT_EQ(declined.preselected[0].second, Answer::No);
  EXPECT_NE(declined.preselected[0].first.find("KDOP"), std::string::npos);

  // Not asking (the command line's --dialect), the warning names what is left out.
  ScriptedUi told;
  SaveOptions options(HodDialect::Classic);
  options.ask_before_converting = false;
  ASSERT_EQ(SaveHod(workspace, classic, told, {}, options), SaveResult::Saved);
  ASSERT_EQ(told.messages.size(), 1u);
  EXPECT_EQ(told.messages[0].icon, Icon::Exclamation);
  EXPECT_NE(told.messages[0].text.find("\"ShipMesh1\""), std::string::npos);
  EXPECT_EQ(std::tuple(HodRead(FileBytes(classic)).model.Dialect, workspace.model.Dialect),
            std::tuple(HodDialect::Classic, HodDialect::Classic));
}

// ---- Damaged and hostile files ----------------------------------------------------------------

std::size_t Find(const ByteVector& bytes, std::string_view tag) {
  const auto it = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
  return static_cast<std::size_t>(it - bytes.begin());
}

void Put32(ByteVector& bytes, std::size_t at, std::uint32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);
}

TEST(Hod2Hostile, DamagedPoolsAndLyingSizesStopWithTheStreamNamed) {
  const std::string path = CorpusFile(kAwacs);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const ByteVector file = FileBytes(path);
  // POOL: version, then (packed, size, payload) for the texture (empty), mesh, face streams.
  const std::size_t pool = Find(file, "POOL");
  const std::size_t mesh_size = pool + 8 + 4 + 8 + 4;
  const std::size_t face_payload = mesh_size + 4 + 216 + 8;

  ByteVector lying = file;
  Put32(lying, mesh_size, 0x7fffffff);
  EXPECT_TRUE(StoppedSaying(HodRead(lying), {"POOL", "mesh stream", "more than they can hold"}));

  ByteVector short_by_one = file;
  Put32(short_by_one, mesh_size, 1127);
  EXPECT_TRUE(StoppedSaying(HodRead(short_by_one), {"the mesh stream"}));

  // The face stream's first code made a match, with nothing output yet to copy from.
  ByteVector backwards = file;
  Put32(backwards, face_payload, 0x80000001);
  EXPECT_TRUE(StoppedSaying(HodRead(backwards),
                            {"the face stream", "payload byte 4", "reaches 0 bytes back"}));

  ByteVector beyond = file;
  Put32(beyond, mesh_size - 4, 100000);
  EXPECT_TRUE(StoppedSaying(HodRead(beyond), {"mesh stream claims 100000 bytes"}));

  // One vertex fewer leaves mesh bytes nobody takes; far more asks for bytes the stream lacks.
  const std::size_t vertex_count = Find(file, "BMSH") + 24;
  ByteVector fewer = file;
  Put32(fewer, vertex_count, 23);
  const HodRead left_over(fewer);
  ASSERT_EQ(left_over.ui.messages.size(), 1u);
  EXPECT_NE(left_over.ui.messages[0].text.find("mesh stream holds 1128 bytes"), std::string::npos)
      << left_over.ui.messages[0].text;
  ByteVector more = file;
  Put32(more, vertex_count, 0x10000000);
  EXPECT_TRUE(StoppedSaying(HodRead(more), {"mesh stream", "only"}));
}

TEST(Hod2Hostile, EveryTruncatedFileGivesAMessageAndKeepsWhatCameBefore) {
  const std::string path = CorpusFile(kAwacs);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const ByteVector file = FileBytes(path);
  // Cut before its POOL chunk's header, a file is a whole classic one.
  for (std::size_t n = Find(file, "POOL") + 8; n < file.size(); ++n) {
    const HodRead r(ByteVector(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
    EXPECT_FALSE(Clean(r)) << n;
    EXPECT_EQ(r.model.HodVersion.Version, 512) << n;
  }
}

}  // namespace
}  // namespace gantry::testing
