// Editing HOD 2.0 models and saving them in their own dialect: each shared HOD 2.0 file edited
// the ways a modder edits one, saved, read back and compared; the k-DOP recomputed from the
// geometry; scar meshes kept only while their mesh is unchanged; classic models upgraded. Written
// files are also walked by their stored lengths, apart from the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "commands/save_helpers.h"
#include "hod/hod2_kdop.h"
#include "hod/hod2_writer.h"
#include "hod/hod_test_files.h"
#include "hod/model_counts.h"
#include "hod/model_diff.h"
#include "hod/pool_codec.h"
#include "hod/save.h"
#include "interchange/obj_export.h"
#include "support/corpus.h"
#include "support/model_parts.h"
#include "support/random_model.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

// The chunks tile the file, in the order the game's own files have them, with one k-DOP.
::testing::AssertionResult WellFormed(const ByteVector& bytes) {
  static const std::vector<std::string> order = {
      "VERS", "NAME", "POOL", "HVMD", "LMIP", "STAT", "MULT", "DTRM", "HIER", "ETSH",
      "BURN", "GLOW", "NAVL", "DOCK", "MRKS", "KDOP", "COLD", "SCAR", "INFO", "OWNR"};
  const std::vector<std::string> ids = TopChunkIds(bytes);
  auto at = order.begin();
  for (const std::string& id : ids) {
    at = std::find(at, order.end(), id);
    if (at == order.end()) return ::testing::AssertionFailure() << id << " out of order";
  }
  if (std::count(ids.begin(), ids.end(), "KDOP") != 1) {
    return ::testing::AssertionFailure() << "not one KDOP";
  }
  return ::testing::AssertionSuccess();
}

// ---- Helpers --------------------------------------------------------------------------------

ByteVector SaveAsHod2(const HodModel& model, const Hod2WriteOptions& options = {}) {
  ByteVector bytes;
  std::string error;
  EXPECT_TRUE(EncodeHod2(model, bytes, &error, options)) << error;
  return bytes;
}

// Every difference between the file and what came back lies where the edit (or what it makes
// the writer recompute) belongs, and there is at least one.
void ExpectOnlyDifferences(const HodModel& before, const HodModel& after,
                           std::initializer_list<std::string_view> where) {
  const std::vector<std::string> lines = DiffModels(before, after);
  EXPECT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    EXPECT_TRUE(
        line.starts_with("(stopped") ||
        std::any_of(where.begin(), where.end(), [&](auto p) { return line.starts_with(p); }))
        << line;
  }
}

const KdopSlab& Slab(const Kdop& k, int i) { return k.slabs[static_cast<std::size_t>(i)]; }

std::optional<Kdop> StoredKdop(const HodModel& m) {
  for (const OpaqueChunk& chunk : m.Hod2.Chunks) {
    if (chunk.ID == Tag("KDOP") || chunk.Kind == Tag("KDOP")) return ParseKdop(chunk.Body);
  }
  return std::nullopt;
}

// ---- Tests ----------------------------------------------------------------------------------

TEST(Hod2Kdop, RecomputedSlabsMatchTheStoredOnesBitForBitAndTheHullClosely) {
  for (const std::string& file : Hod2CorpusFiles()) {
    SCOPED_TRACE(file);
    const std::string path = CorpusFile(file);
    if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
    const HodRead r(FileBytes(path));
    const std::optional<Kdop> stored = StoredKdop(r.model);
    ASSERT_TRUE(stored);
    const Kdop computed = ComputeKdop(r.model);
    EXPECT_TRUE(SameSlabs(*stored, computed));
    // The hull is the polytope the slabs cut out: every vertex inside all 13 slabs.
    const double size = std::max(1.0f, stored->radius);
    EXPECT_NEAR(computed.radius, stored->radius, 1e-4 * size);
    EXPECT_NEAR(computed.box_min.x, stored->box_min.x, 1e-4 * size);
    EXPECT_NEAR(computed.box_max.z, stored->box_max.z, 1e-4 * size);
    EXPECT_FALSE(computed.triangles.empty());
    for (const auto& t : computed.triangles) {
      for (const std::uint16_t i : t) EXPECT_LT(i, computed.hull.size());
    }
    for (const Vector3& v : computed.hull) {
      EXPECT_GE(v.x, Slab(computed, 0).min - 1e-4 * size);
      EXPECT_LE(v.y, Slab(computed, 1).max + 1e-4 * size);
    }
    // Written alone, the body reads back to the same values.
    const std::optional<Kdop> again = ParseKdop(KdopBody(computed));
    ASSERT_TRUE(again);
    EXPECT_TRUE(SameSlabs(*again, computed));
    EXPECT_EQ(again->hull.size(), computed.hull.size());
  }
}

TEST(Hod2Kdop, AnEmptyModelHasTheInsideOutBox) {
  const Kdop k = ComputeKdop(HodModel{});
  EXPECT_EQ(k.radius, 0);
  EXPECT_EQ(k.box_min.x, FLT_MAX);
  EXPECT_EQ(Slab(k, 12).max, -FLT_MAX);
  EXPECT_TRUE(k.hull.empty());
  EXPECT_EQ(KdopBody(k).size(), 460u);
}

// Each edit a modder makes, on every shared HOD 2.0 file: saved as HOD 2.0 and read back, the
// model holds the edit and nothing else changed but what the edit makes the writer redo.
TEST(Hod2Authoring, EditedFilesSaveInTheirDialectAndReadBackWithExactlyTheEdit) {
  for (const std::string& file : Hod2CorpusFiles()) {
    SCOPED_TRACE(file);
    const std::string path = CorpusFile(file);
    if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
    const HodModel original = HodRead(FileBytes(path)).model;
    ASSERT_FALSE(original.Meshes.empty());

    const auto save_and_read = [&](const HodModel& edited) {
      const ByteVector bytes = SaveAsHod2(edited);
      EXPECT_TRUE(WellFormed(bytes));
      HodRead back(bytes);
      EXPECT_TRUE(Clean(back));
      EXPECT_EQ(back.model.Dialect, HodDialect::Hod2);
      return back.model;
    };

    // Untouched, the file is written byte for byte: Hod2Corpus.ReadsCleanlyWithItsFigures...
    {  // Vertices moved: the mesh loses its scars (named), the k-DOP follows the geometry.
      HodModel edited = original;
      for (MeshVertex& v : edited.Meshes[0].Lods[0].Parts[0].Vertices) v.Position.x += 2.5f;
      const std::vector<std::string> losses = Hod2Losses(edited);
      const bool had_scar = !original.ScarMeshes.empty();
      if (had_scar) {
        ASSERT_FALSE(losses.empty());
        EXPECT_NE(losses.back().find(original.Meshes[0].Name), std::string::npos);
      }
      const HodModel back = save_and_read(edited);
      EXPECT_EQ(back.Meshes[0].Lods[0].Parts, edited.Meshes[0].Lods[0].Parts);
      const std::optional<Kdop> kdop = StoredKdop(back);
      ASSERT_TRUE(kdop);
      EXPECT_TRUE(SameSlabs(*kdop, ComputeKdop(edited)));
      ExpectOnlyDifferences(original, back,
                            {"meshes[0].Lods[0].Parts[0].Vertices", "hod2.Chunks", "scar_meshes",
                             "hod2.ScarChecksums", "hod2.MeshTags"});
      for (const ScarMesh& scar : back.ScarMeshes) {
        EXPECT_NE(scar.Description.Name, original.Meshes[0].Name);
      }
    }
    {  // A joint and a marker added.
      HodModel edited = original;
      edited.JointList.Joints.push_back(
          {0, "NewJoint", 0, "Root", {1, 2, 3}, {}, {1, 1, 1}, {}, {}});
      ++edited.JointList.JointCount;
      Marker marker = edited.Markers.empty() ? Marker{} : edited.Markers.front();
      marker.Name = "NewMarker";
      marker.ParentName = "NewJoint";
      marker.Position = {4, 5, 6};
      marker.Tracks.clear();
      marker.Flags1 = marker.Flags2 = 0;
      edited.Markers.push_back(marker);
      const HodModel back = save_and_read(edited);
      EXPECT_EQ(back.JointList.Joints.back().Name, "NewJoint");
      EXPECT_EQ(back.Markers.back().Position, marker.Position);
      ExpectOnlyDifferences(original, back,
                            {"joints.", "markers", "hod2.JointExtras", "hod2.MarkerListHeader"});
      EXPECT_EQ(back.ScarMeshes, original.ScarMeshes);
    }
    {  // A material renamed.
      HodModel edited = original;
      edited.Materials[0].Name = "renamed_material";
      const HodModel back = save_and_read(edited);
      const std::vector<std::string> lines = DiffModels(original, back);
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_EQ(lines[0].rfind("materials[0].Name", 0), 0u) << lines[0];
    }
    {  // A texture imported (a DXT1 texture of 8 x 8 with two levels) and used.
      HodModel edited = original;
      const Texture texture = SampleTexture("imported_DIFF", "DXT1", 8, 8, 2);
      edited.Textures.push_back(texture);
      const auto index = static_cast<std::int32_t>(edited.Textures.size() - 1);
      edited.Materials[0].Parameters.push_back({kParameterTexture, 4, {}, index, 0, "$glow"});
      ++edited.Materials[0].ParameterCount;
      const HodModel back = save_and_read(edited);
      EXPECT_EQ(back.Textures.back().MipLevels, texture.MipLevels);
      ExpectOnlyDifferences(original, back, {"textures", "materials[0].Parameter"});
    }
    {  // A level replaced by a smaller mesh (its last triangle gone), as an OBJ import does.
      HodModel edited = original;
      FaceList& list = edited.Meshes[0].Lods[0].Parts[0].FaceLists[0];
      list.Indices.resize(list.Indices.size() - 3);
      list.IndexCount -= 3;
      const HodModel back = save_and_read(edited);
      EXPECT_EQ(back.Meshes[0].Lods[0].Parts, edited.Meshes[0].Lods[0].Parts);
      ExpectOnlyDifferences(original, back,
                            {"meshes[0].Lods[0].Parts[0].FaceLists", "hod2.Chunks", "scar_meshes",
                             "hod2.ScarChecksums", "hod2.MeshTags"});
    }
  }
}

// Parts without tangents as read from a HOD 2.0 file (some real ones have none) are not named;
// a part imported without them, or every part of a classic model, is.
TEST(Hod2Authoring, PartsWithoutTangentsAreNamedWhenImportedOrClassic) {
  const auto names_tangents = [](const std::vector<std::string>& losses, const std::string& part) {
    return std::any_of(losses.begin(), losses.end(), [&](const std::string& loss) {
      return loss.find("tangents") != std::string::npos && loss.find(part) != std::string::npos;
    });
  };
  for (const std::string& file : Hod2CorpusFiles()) {
    SCOPED_TRACE(file);
    const std::string path = CorpusFile(file);
    if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
    HodModel model = HodRead(FileBytes(path)).model;
    EXPECT_FALSE(names_tangents(Hod2Losses(model), ""));
    const std::string part = "\"" + model.Meshes[0].Name + "\" level 0 part 1";
    model.Meshes[0].Lods[0].Parts[0].VertexMask = kMaskPosition | kMaskNormal | kMaskUV | 0x10;
    EXPECT_TRUE(names_tangents(Hod2Losses(model), part));
    model.Meshes[0].Lods[0].Parts[0].VertexMask = kMaskPosition | kMaskNormal | kMaskUV;
    EXPECT_FALSE(names_tangents(Hod2Losses(model), part));
    model.Dialect = HodDialect::Classic;
    EXPECT_TRUE(names_tangents(Hod2Losses(model), part));
  }
}

TEST(Hod2Authoring, RebuiltScarsAreWrittenOnlyWhenAskedWithThePlaceholderChecksum) {
  const std::string path = CorpusFile(Hod2CorpusFiles()[3]);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  // Level 0 moved; then also made one triangle strip (as classic files and OBJ imports may
  // have), which the file lists unrolled, and its scar mesh must list so too.
  for (const bool strip : {false, true}) {
    SCOPED_TRACE(strip ? "strip" : "list");
    Workspace workspace;
    workspace.model = HodRead(FileBytes(path)).model;
    MeshPart& part = workspace.model.Meshes[0].Lods[0].Parts[0];
    for (MeshVertex& v : part.Vertices) v.Position.y -= 1;
    std::size_t triangles = part.FaceLists[0].Indices.size() / 3;
    if (strip) {
      FaceList& list = part.FaceLists[0];
      list.Type = kFaceListStrip;
      list.Indices.clear();
      for (std::size_t i = 0; i < part.Vertices.size(); ++i) {
        list.Indices.push_back(static_cast<std::int16_t>(i));
      }
      list.IndexCount = static_cast<std::int32_t>(list.Indices.size());
      triangles = list.Indices.size() - 2;
    }
    const TempFolder folder;
    const std::string out = folder.Path("gantry_hod2_rebuilt.hod");
    ScriptedUi ui;
    SaveOptions options = StandardSaveOptions();
    options.rebuild_scars = true;
    ASSERT_EQ(SaveHod(workspace, out, ui, {}, options), SaveResult::Saved);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("placeholder"), std::string::npos) << ui.messages[0].text;
    const HodRead back(FileBytes(out));
    EXPECT_TRUE(Clean(back));
    ASSERT_EQ(back.model.ScarMeshes.size(), 1u);
    ASSERT_EQ(back.model.Hod2.ScarChecksums.size(), 1u);
    EXPECT_EQ(back.model.Hod2.ScarChecksums[0].Checksum, kPlaceholderScarChecksum);
    EXPECT_EQ(back.model.ScarMeshes[0].Triangles.Vertices[0].y, part.Vertices[0].Position.y);
    EXPECT_EQ(back.model.ScarMeshes[0].Triangles.Indices.size(), 3 * triangles);
    EXPECT_EQ(back.model.Meshes[0].Lods[0].Parts[0].FaceLists[0].Indices.size(), 3 * triangles);
  }
}

// Two real files have meshes without TAGS and SCAR: such a model saves as HOD 2.0 as it is, and
// as classic with scar meshes built from level 0, which the question names. The quiet save in
// the file's dialect and a declined conversion: Hod2Save.SavesInTheModelsDialectAndConverts...
TEST(Hod2Authoring, MeshesWithoutScarsSaveInBothDialects) {
  const std::string path = CorpusFile(Hod2CorpusFiles()[1]);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  HodModel model = HodRead(FileBytes(path)).model;
  model.ScarMeshes.clear();
  model.Hod2.ScarChecksums.clear();
  model.Hod2.MeshTags.clear();
  const ByteVector bytes = SaveAsHod2(model);
  EXPECT_TRUE(WellFormed(bytes));
  Workspace workspace;
  workspace.model = HodRead(bytes).model;
  EXPECT_TRUE(workspace.model.ScarMeshes.empty());
  const TempFolder folder;
  const std::string out = folder.Path("gantry_hod2_unscarred.hod");
  ScriptedUi convert;
  convert.answers.push_back(Answer::Yes);
  ASSERT_EQ(SaveHod(workspace, out, convert, {}, StandardSaveOptions(HodDialect::Classic)),
            SaveResult::Saved);
  ASSERT_EQ(convert.preselected.size(), 1u);
  EXPECT_NE(convert.preselected[0].first.find("built from level 0"), std::string::npos);
  const HodRead classic(FileBytes(out));
  EXPECT_TRUE(Clean(classic));
  EXPECT_EQ(std::tuple(classic.model.Dialect, classic.model.ScarMeshes.size()),
            std::tuple(HodDialect::Classic, classic.model.Meshes.size()));
}

// Every classic multi-mesh file of the corpus upgraded to HOD 2.0: it reads back with the same
// meshes, levels, parts, vertices, textures and joints; the scar meshes are named as left out.
TEST(Hod2Upgrade, ClassicMultiMeshFilesUpgradeAndReadBack) {
  int upgraded = 0;
  for (const std::string& file : CleanCorpusFiles()) {
    const std::string path = CorpusFile(file);
    if (path.empty()) continue;
    const HodModel classic = HodRead(FileBytes(path)).model;
    SCOPED_TRACE(file);
    Workspace workspace;
    workspace.model = classic;
    ScriptedUi ui;
    SaveOptions options = StandardSaveOptions(HodDialect::Hod2);
    options.ask_before_converting = false;
    const TempFolder folder;
    const std::string out = folder.Path("gantry_upgrade.hod");
    const SaveResult result = SaveHod(workspace, out, ui, {}, options);
    if (TypeOf(classic) != HodType::MultiMesh) {
      EXPECT_EQ(result, SaveResult::Invalid);
      ASSERT_FALSE(ui.messages.empty());
      EXPECT_NE(ui.messages.back().text.find("no known form"), std::string::npos);
      continue;
    }
    ASSERT_EQ(result, SaveResult::Saved);
    const ByteVector bytes = FileBytes(out);
    EXPECT_TRUE(WellFormed(bytes));
    const HodRead back(bytes);
    EXPECT_TRUE(Clean(back));
    EXPECT_EQ(back.model.Dialect, HodDialect::Hod2);
    // Each mesh but the goblins as its levels' part and vertex counts.
    const auto shape = [](const HodModel& m) {
      std::vector<std::vector<std::size_t>> meshes;
      for (const MultiMesh& mesh : m.Meshes) {
        if (IsGoblin(mesh)) continue;
        std::vector<std::size_t>& counts = meshes.emplace_back();
        for (const LodMesh& lod : mesh.Lods) {
          counts.push_back(lod.Parts.size());
          for (const MeshPart& part : lod.Parts) counts.push_back(part.Vertices.size());
        }
      }
      return meshes;
    };
    EXPECT_EQ(shape(back.model), shape(classic));
    EXPECT_EQ(back.model.Textures.size(), classic.Textures.size());
    for (const Texture& t : back.model.Textures) EXPECT_NE(t.Format, Tag("8888")) << t.FileName;
    EXPECT_EQ(back.model.JointList.Joints.size(), classic.JointList.Joints.size());
    EXPECT_EQ(back.model.Markers.size(), classic.Markers.size());
    EXPECT_TRUE(back.model.ScarMeshes.empty());
    if (!classic.ScarMeshes.empty()) {
      ASSERT_FALSE(ui.messages.empty());
      EXPECT_NE(ui.messages.back().text.find("battle scars"), std::string::npos);
    }
    ++upgraded;
  }
  if (upgraded == 0) GANTRY_CORPUS_ABSENT("no classic multi-mesh corpus file");
}

// A pooled part's UV bit carries u and v: the OBJ gets both, V turned over when asked.
TEST(Hod2Export, ObjTexturesOfPooledPartsCarryBothCoordinates) {
  const std::string path = CorpusFile(Hod2CorpusFiles()[3]);
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent");
  const HodModel model = HodRead(FileBytes(path)).model;
  const LodMesh& lod = model.Meshes[0].Lods[0];
  const MeshVertex& first = lod.Parts[0].Vertices[0];
  ScriptedUi ui;
  for (const bool reverse : {false, true}) {
    const std::string text = LodMeshObjText(model, "x.hod", lod, "m", reverse, {"d", "t"}, ui);
    const std::size_t at = text.find("\nvt ");
    ASSERT_NE(at, std::string::npos);
    const std::string line = text.substr(at + 4, text.find('\r', at) - at - 4);
    float u = 0, v = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%f %f", &u, &v), 2) << line;
    EXPECT_NEAR(u, first.UV.u, 1e-5);
    EXPECT_NEAR(v, reverse ? 1 - first.UV.v : first.UV.v, 1e-5);
  }
}

}  // namespace
}  // namespace gantry::testing
