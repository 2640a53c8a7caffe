// Text files the importers read: line breaks unified, empty lines dropped, the file replaced only
// whole. The OBJ importer: triangulation, welding, V reversal, thresholds, materials, refusals,
// and the real files of the corpus.
#include "interchange/obj_import.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/paths.h"
#include "geometry/vectors.h"
#include "interchange/text_rewrite.h"
#include "support/corpus.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

// Lines cut at every CR and LF, the plain way.
std::vector<std::string> ReferenceLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  std::erase(lines, "");
  return lines;
}

// Every break ends a line in CR LF and empty lines go; blank-only lines are lines like any other.
TEST(NormaliseLineBreaks, RewriteLinesAndShapeCheckAgreeWithThePlainWay) {
  // Every short text over a, CR and LF, then long ones whose bytes lie next to CR and LF in
  // value (or differ in the top bit only), cutting lines across eight-byte words.
  std::vector<std::string> texts = {""};
  for (std::size_t from = 0; texts.size() < 3280; ++from) {
    for (const char c : {'a', '\r', '\n'}) texts.push_back(texts[from] + c);
  }
  std::mt19937 rng(11);
  const std::string bytes("ab \t\r\n\x0c\x0e\x8d\x8a\x09\x0b\x00\xff", 14);  // NUL included
  for (int i = 0; i < 3000; ++i) {
    std::string text(rng() % 120, 'x');
    for (char& c : text) c = rng() % 4 == 0 ? bytes[rng() % bytes.size()] : 'q';
    texts.push_back(text);
    texts.push_back(NormaliseLineBreaks(text));
  }
  for (const std::string& text : texts) {
    std::vector<std::string> lines;
    ForEachTextLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    ASSERT_EQ(lines, ReferenceLines(text)) << ::testing::PrintToString(text);
    std::string rewritten;
    for (const std::string& line : lines) rewritten += line + "\r\n";
    ASSERT_EQ(NormaliseLineBreaks(text), rewritten) << ::testing::PrintToString(text);
    ASSERT_EQ(HasNormalLineBreaks(text), NormaliseLineBreaks(text) == text)
        << ::testing::PrintToString(text);
  }
}

// In place, the backup removed; also under a name whose bytes are in the system's narrow
// encoding (the ANSI code page on Windows).
TEST(TextRewrite, RewritesInPlaceAndRemovesTheBackupOrLeavesTheFileAlone) {
  TempFolder folder;
  const fs::path& dir = folder.path();
  std::string path = folder.Path("ship.hsc");
  ScriptedUi ui;
  // Written and read by its narrow name: on Windows a path object would take the bytes as UTF-8
  // rather than the ANSI code page.
  const auto write = [&path](const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  };
  const auto contents = [&path] {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  EXPECT_EQ(BackupPathFor(path), (dir / "ship_BAK.hsc").string());
  for (const std::string name : {"ship.hsc", "caf\xe9\x80.obj"}) {
    path = JoinPath(PathText(dir), name);
    write("v 1 2 3\n\nf 1 1 1\r");
    const TextRewrite result = RewriteTextFile(path, ui);
    EXPECT_EQ(
        std::tuple(result.status, contents(), result.text, folder.FileCount(), ui.messages.size()),
        std::tuple(TextRewriteStatus::Rewritten, "v 1 2 3\r\nf 1 1 1\r\n", "v 1 2 3\r\nf 1 1 1\r\n",
                   name == "ship.hsc" ? 1u : 2u, 0u));
  }

  // An empty, unreadable or unreplaceable file is reported and left as it was.
  path = folder.Path("ship.hsc");
  write("");
  EXPECT_EQ(RewriteTextFile(path, ui).status, TextRewriteStatus::Empty);
  EXPECT_EQ(std::tuple(ui.MessageTexts(), ui.messages.at(0).icon, folder.FileCount()),
            std::tuple(std::vector<std::string>{"File is empty!"}, Icon::None, 2u));
  EXPECT_EQ(RewriteTextFile((dir / "missing.obj").string(), ui).status,
            TextRewriteStatus::Unreadable);
  EXPECT_EQ(ui.messages.size(), 2u);
  write("a\nb");
  fs::create_directory(BackupPathFor(path));  // the backup cannot be made
  const TextRewrite result = RewriteTextFile(path, ui);
  EXPECT_EQ(std::tuple(result.status, result.text, contents()),
            std::tuple(TextRewriteStatus::NotWritten, "a\r\nb\r\n", "a\nb"));
  write("a\r\nb\r\n");  // already in shape: nothing is written, so nothing fails
  const TextRewrite kept = RewriteTextFile(path, ui);
  EXPECT_EQ(std::tuple(kept.status, kept.text),
            std::tuple(TextRewriteStatus::Rewritten, "a\r\nb\r\n"));
}

using Texts = std::vector<std::string>;

ObjImportOptions Faces(bool merge = true) {
  ObjImportOptions options;
  options.ReadFaces = true;
  options.MergeVertices = merge;
  options.Quiet = true;
  return options;
}

// The text imported; a refusal throws, failing the test.
LodMesh Imported(std::string_view obj, ScriptedUi& ui, const ObjImportOptions& options = Faces(),
                 const ObjImportContext& context = {}) {
  return ImportOBJMeshText(obj, options, context, ui).value();
}

std::vector<int> IndicesOf(const MeshPart& part) {
  const std::vector<std::int16_t>& indices = part.FaceLists.at(0).Indices;
  return {indices.begin(), indices.end()};  // each below 32768 here
}

constexpr const char* kQuad =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\n"
    "f 1/1/1 2/2/2 3/3/3 4/4/4\n"
    "f 1/1/1 2/2/2\n";

TEST(ObjImport, PolygonsBecomeFansAndSharedCornersWeld) {
  ScriptedUi ui;
  ObjImportContext context;
  context.lod_level = 2;
  const LodMesh apart = Imported(kQuad, ui, Faces(false), context);
  const MeshPart& part = apart.Parts.at(0);
  EXPECT_EQ(std::tuple(apart.Kind, apart.ID, apart.Version, apart.LodLevel, apart.PartCount,
                       part.VertexMask, part.VertexCount, part.FaceLists.at(0).Type,
                       part.FaceLists[0].IndexCount),
            std::tuple(Tag("NRML"), Tag("BMSH"), 1400, 2, 1, 27, 6, 0x202, 6));
  // (1, 2, 3) and (1, 3, 4); the two-corner line adds nothing.
  const float xs[] = {0, 1, 1, 0, 1, 0}, ys[] = {0, 0, 1, 0, 1, 1};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(part.Vertices[i].Position, (Vector4{xs[i], ys[i], 0, 1})) << i;
  }
  const MeshPart merged = Imported(kQuad, ui, Faces(), context).Parts.at(0);
  EXPECT_EQ(std::tuple(merged.VertexCount, IndicesOf(merged), merged.Vertices[3].Normal),
            std::tuple(4, std::vector<int>{0, 1, 2, 0, 2, 3}, Vector4{0, 0, 1, 1}));
  // A bare corner names no normal, whatever the line before named: nothing welds here.
  const MeshPart bare =
      Imported("v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2//1 3//1\nf 3 2 1\n", ui).Parts[0];
  EXPECT_EQ(std::tuple(bare.VertexCount, bare.Vertices[3].Normal, ui.messages.size()),
            std::tuple(6, Vector4{0, 0, 0, 1}, 0u));
  // Without faces the positions are the mesh.
  ObjImportOptions points = Faces(false);
  points.ReadFaces = false;
  const MeshPart cloud = Imported(kQuad, ui, points).Parts.at(0);
  EXPECT_EQ(std::tuple(cloud.VertexCount, cloud.FaceListCount, cloud.Vertices.at(2).Position,
                       cloud.Vertices[2].UV),
            std::tuple(4, 0, Vector4{1, 1, 0, 1}, Vector2{1, 1}));
}

TEST(ObjImport, VIsReversedUnlessTheAnswerIsNo) {
  const struct {
    bool ask;
    Answer answer;
    float v;
  } cases[] = {{true, Answer::Yes, 0.75f}, {true, Answer::No, 0.25f}, {false, Answer::Yes, 0.25f}};
  for (const auto& c : cases) {
    ScriptedUi ui;
    ui.answers = {c.answer};
    ObjImportOptions options = Faces(false);
    options.AskReverseUVs = c.ask;
    const LodMesh mesh =
        Imported("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.25\nf 1/1 2/1 3/1\n", ui, options);
    EXPECT_EQ(mesh.Parts.at(0).Vertices[0].UV, (Vector2{0.5f, c.v})) << c.ask;
    EXPECT_EQ(ui.MessageTexts(), c.ask ? Texts{"Reverse UVs? (Usually Yes)"} : Texts{});
  }
}

// Two triangles whose first corners are `a` and `b`, the other corners shared.
std::string TwoTriangles(const std::string& a, const std::string& b, const char* normal_b) {
  return "v " + a + "\nv " + b + "\nv 0 5 0\nv 0 0 5\nvn 0 0 1\nvn " + normal_b +
         "\nf 1//1 3//1 4//1\nf 2//2 3//2 4//2\n";
}

TEST(ObjImport, ThresholdsAndTheKeyWindowDecideWhatWelds) {
  const struct {
    std::string obj;
    bool ignore_normals;
    std::optional<std::string> vertex_threshold;  // asked when set
    int vertices;
  } cases[] = {
      {TwoTriangles("1 0 0", "1.002 0 0", "0 0 1"), false, std::nullopt, 3},
      {TwoTriangles("1 0 0", "1.002 0 0", "0 0.5 1"), false, std::nullopt, 6},
      {TwoTriangles("1 0 0", "1.002 0 0", "0 0.5 1"), true, std::nullopt, 3},
      // 1.4999 and 1.5001 fall into neighbouring keys: searched with 0.01 (window 1), not with
      // 0.001 (window 0), while 1.4 and 1.4002 share a key.
      {TwoTriangles("1.4999 0 0", "1.5001 0 0", "0 0 1"), false, std::nullopt, 3},
      {TwoTriangles("1.4999 0 0", "1.5001 0 0", "0 0 1"), false, "0.001", 4},
      {TwoTriangles("1.4 0 0", "1.4002 0 0", "0 0 1"), false, "0.001", 3},
      // Beyond single range is as far as can be: every corner welds into the first.
      {TwoTriangles("1 0 0", "3 0 0", "0 0 1"), false, "1e40", 1},
  };
  for (const auto& c : cases) {
    ScriptedUi ui;
    ObjImportOptions options = Faces();
    options.IgnoreNormals = c.ignore_normals;
    // The files hold no texture coordinates: a UV threshold of 0 and V reversed change nothing.
    options.AskMergeThresholds = options.AskReverseUVs = c.vertex_threshold.has_value();
    ui.inputs = {c.vertex_threshold, "0.1", "0"};
    ui.answers = {Answer::Yes};
    const MeshPart part = Imported(c.obj, ui, options).Parts.at(0);
    EXPECT_EQ(std::tuple(part.VertexCount, part.Vertices[0].UV), std::tuple(c.vertices, Vector2{}))
        << c.obj;
    if (c.vertex_threshold) {
      EXPECT_EQ(ui.prompts, (Texts{"Vertex(es) nearer than this will be merged",
                                   "Vertex(es) with normal(s) nearer than this will be merged",
                                   "Vertex(es) with UV(s) nearer than this will be merged\r\n"
                                   "( For a 128x128 texture, use 0.01;\r\n"
                                   " for a 1024x1024 texture, use 0.001; etc. )"}));
    }
  }
  ScriptedUi cancelled;  // no answer to the first threshold: nothing is imported or said
  ObjImportOptions asking = Faces();
  asking.AskMergeThresholds = true;
  EXPECT_FALSE(ImportOBJMeshText(kQuad, asking, {}, cancelled));
  EXPECT_TRUE(cancelled.messages.empty());
}

constexpr const char* kMaterials =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nusemtl hull\nf 1 2 3\n"
    "usemtl  glass\nf 3 2 1\nusemtl hull\nf 2 3 1\n";

TEST(ObjImport, MaterialsBecomePartsAndAreSubstituted) {
  ScriptedUi ui;
  ui.materials = {1, -1};  // the second chooser is closed without a choice
  ObjImportOptions options = Faces(false);
  options.Quiet = false;
  options.SubstituteMaterials = true;
  ObjImportContext context;
  context.material_names = {"Paint", "Metal"};
  const LodMesh mesh = Imported(kMaterials, ui, options, context);
  ASSERT_EQ(mesh.PartCount, 2);
  // Faces before "usemtl" go to the first part.
  EXPECT_EQ(std::tuple(mesh.Parts[0].FaceLists[0].IndexCount, mesh.Parts[1].FaceLists[0].IndexCount,
                       mesh.Parts[0].MaterialIndex, mesh.Parts[1].MaterialIndex),
            std::tuple(9, 3, 1, 0));
  EXPECT_EQ(ui.MessageTexts(), Texts{"2 materials, 3 vertices, 4 faces, 0 UV-Coordinates, 0 vertex "
                                     "normals found.\r\nPlease verify whether this is correct. "});
  EXPECT_EQ(ui.prompts, (Texts{"Choose a substitute for material: 'hull'",
                               "Choose a substitute for material: 'glass'"}));

  ScriptedUi none;
  none.materials = {0};
  Imported(kQuad, none, options, context);
  EXPECT_EQ(
      std::tuple(none.MessageTexts(), none.prompts),
      std::tuple(Texts{" -> NO material(s) used by ANY object(s). \r\n4 vertices, 2 faces, "
                       "4 UV-Coordinates, 4 vertex normals found.\r\nPlease verify whether "
                       "this is correct. "},
                 Texts{"Choose a substitute for material: 'No materials used by object(s)'"}));
  // Batch: names matched exactly, else ignoring case, else 0; nothing is asked or said.
  ScriptedUi quiet;
  context.batch = true;
  context.material_names = {"Glass", "HULL", "glass"};
  const LodMesh batch = Imported(kMaterials, quiet, options, context);
  EXPECT_EQ(std::tuple(batch.Parts[0].MaterialIndex, batch.Parts[1].MaterialIndex),
            std::tuple(1, 2));
  // As many materials as a mesh holds parts.
  std::string most = "v 0 0 0\n";
  for (int i = 0; i < 254; ++i) most += fmt::format("usemtl m{}\nf 1 1 1\n", i);
  EXPECT_EQ(Imported(most, quiet, options, context).PartCount, 254);
  EXPECT_TRUE(quiet.messages.empty() && quiet.prompts.empty());
}

TEST(ObjImport, NumbersAndCornersReadAlikeHoweverSpelled) {
  // Plain decimals and indices are read as they are scanned; every other spelling must still
  // read as before. A line of fewer than three corners is skipped, whatever it holds.
  ScriptedUi ui;
  const LodMesh mesh = Imported(
      "v\t1,5  +2 -.25\nv 5. 1e1 0.1234567890123456789\nv -0 2.5abc 7\nvt 0.5 0.25\n"
      "f 1 -2\nf 1.4/1/0 2//0/junk \t3/x\n",
      ui, Faces(false));
  const std::vector<MeshVertex>& v = mesh.Parts.at(0).Vertices;
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(std::tuple(v[0].Position, v[1].Position, v[2].Position, v[0].UV, v[2].UV),
            std::tuple(Vector4{1.5f, 2, -0.25f, 1}, Vector4{5, 10, 0.1234567890123456789f, 1},
                       Vector4{0, 2.5f, 7, 1}, Vector2{0.5f, 0.25f}, Vector2{0, 0}));
  // "vt u" alone is legal: v is 0.
  EXPECT_EQ(Imported("v 0 0 0\nvt 0.5\n", ui, Faces(false)).Parts.at(0).Vertices[0].UV,
            (Vector2{0.5f, 0}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ObjImport, MalformedFilesAreRefusedWithAClearMessage) {
  std::string crowded = "v 0 0 0\n";  // 65538 corners that never weld
  for (int i = 0; i < 21846; ++i) crowded += "f 1 1 1\n";
  // Both parts overflow; the smaller one (welded last) first in file order.
  std::string two_crowded = "v 0 0 0\n";
  for (const auto& [material, faces] :
       {std::pair{"big", 10000}, {"small", 21846}, {"big", 20000}}) {
    two_crowded += fmt::format("usemtl {}\n", material);
    for (int i = 0; i < faces; ++i) two_crowded += "f 1 1 1\n";
  }
  std::string many_materials = "v 0 0 0\n";  // a part each, one more than a mesh holds
  for (int i = 0; i < 255; ++i) many_materials += fmt::format("usemtl m{}\nf 1 1 1\n", i);
  const struct {
    std::string obj;
    std::string message;  // its first line
  } cases[] = {
      {"", "Given file's length = 0 (!)"},
      {"v 1 2\n", "OBJ line 1 has too few numbers: v 1 2"},
      {"v 0 0 0\nvt nan 1\n",
       "OBJ line 2 holds a number that is out of range or not a number: vt nan 1"},
      {"v 1e39 0 0\n",
       "OBJ line 1 holds a number that is out of range or not a number: v 1e39 0 0"},
      {"v 0 0 0\nf 1 1 -1\n", "OBJ line 2 has a negative index: f 1 1 -1"},
      {"v 0 0 0\nf 1 -1 1/nan\n", "OBJ line 2 has a negative index: f 1 -1 1/nan"},
      {"v 0 0 0\nf 1 1 99999999999\n",
       "OBJ line 2 refers to position 4294967295, but the file has only 1."},
      {"v 0 0 0\nvt 0 0\n# c\nf 1 1/2 1\n",
       "OBJ line 4 refers to texture coordinate 2, but the file has only 1."},
      {"v 0 0 0\nf 1 1 1\nf 1//1 1 1\n", "OBJ line 3 refers to normal 1, but the file has only 0."},
      {crowded,
       "Material 'No materials used by object(s)' needs more than 65536 vertices, more "
       "than one part can address. Please split it between several materials."},
      {two_crowded,
       "Material 'small' needs more than 65536 vertices, more than one part can address. Please "
       "split it between several materials."},
      {many_materials,
       "The file uses 255 materials, but a mesh can hold at most 254 parts, one per material. "
       "Please merge some of its materials."},
  };
  for (const auto& c : cases) {
    ScriptedUi ui;
    EXPECT_FALSE(ImportOBJMeshText(c.obj, Faces(false), {}, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tuple(ui.messages[0].text.substr(0, ui.messages[0].text.find('\r')),
                         ui.messages[0].icon),
              std::tuple(c.message, Icon::Exclamation));
  }
}

TEST(ObjImport, ALongFileReadsAlikeWhereverItIsCutBetweenThreads) {
  // A few megabytes are read in stretches of lines on threads of their own. The lines of a small
  // file, spread far apart by comments, and CR LF breaks cut anywhere, must read as before.
  const std::string small =
      "v 0 0 0\nv 1 0 0\nvt 0 0\nv 1 1 0\nvn 0 0 1\nvt 1 1\nusemtl hull\nf 1/1/1 2/1/1 3/2/1\n"
      "v 0 1 0\nusemtl glass\nf 1//1 3//1 4//1\nvn 0 1 0\nusemtl  hull\nf 4/2/2 3/2/1 1/1/2 2/1/1\n"
      "usemtl paint\nusemtl glass\nf 3 2 1\nusemtl hull\nusemtl decal\n";
  std::string big;
  std::mt19937 rng(5);
  std::size_t line_count = 0;
  const auto pad = [&] {
    for (std::size_t n = 1000 + rng() % 1000; n > 0; --n, ++line_count) {
      big += "# " + std::string(rng() % 250, 'x') + "\r\n";
    }
  };
  for (std::size_t at = 0, end; (end = small.find('\n', at)) != std::string::npos; at = end + 1) {
    pad();
    big += small.substr(at, end - at) + "\r\n";
    ++line_count;
  }
  while (big.size() < std::size_t{6} << 20) pad();
  big += "f 1 2 3\r\n";  // the faces after the last "usemtl", megabytes before, go to its part
  ScriptedUi ui;
  const LodMesh expected = Imported(small + "f 1 2 3\n", ui);
  EXPECT_EQ(Imported(big, ui), expected);
  EXPECT_EQ(std::tuple(expected.PartCount, expected.Parts[0].FaceLists[0].IndexCount,
                       expected.Parts.at(3).FaceLists[0].IndexCount),
            std::tuple(4, 9, 3));
  ObjImportOptions summary = Faces();
  summary.Quiet = false;
  Imported(big, ui, summary);
  EXPECT_EQ(ui.MessageTexts().at(0).substr(0, 46),
            "4 materials, 4 vertices, 6 faces, 2 UV-Coordin");

  // Refusals name the line as counted through the whole file (whose positions are all counted).
  for (const auto& [line, message] :
       {std::pair{"f 1 -2 3", " has a negative index: f 1 -2 3"},
        {"f 1 2 9", " refers to position 9, but the file has only 8."}}) {
    ui.messages.clear();
    EXPECT_FALSE(ImportOBJMeshText(big + line + "\r\n" + big, Faces(), {}, ui));
    EXPECT_EQ(ui.MessageTexts().at(0).substr(0, ui.MessageTexts()[0].find('\r')),
              "OBJ line " + std::to_string(line_count + 2) + message);
  }

  // From a file, read a piece at a time when already in CR LF shape, else rewritten first: with
  // a first line longer than a piece, the last line without its break, or LF breaks.
  const TempFolder folder;
  std::string lf = big;
  std::erase(lf, '\r');
  const std::string long_line = "# " + std::string(std::size_t{5} << 20, 'y') + "\r\n";
  for (const std::string& text : {big, long_line + big, big.substr(0, big.size() - 2), lf}) {
    const std::string path = folder.Write("big.obj", text);
    ui.messages.clear();
    const std::optional<LodMesh> read = ImportOBJMesh(path, Faces(), {}, ui);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tuple(*read == expected, ui.messages.size(), FileText(path).size()),
              std::tuple(
                  true, 0u,
                  text.size() + (text == lf ? line_count + 1 : 0) + (text.back() != '\n' ? 2 : 0)));
  }
  const std::string path = folder.Write("big.obj", big + "f 1 2 9\r\n" + big);
  EXPECT_FALSE(ImportOBJMesh(path, Faces(), {}, ui));
  EXPECT_EQ(ui.MessageTexts().at(0).substr(0, ui.MessageTexts()[0].find('\r')),
            "OBJ line " + std::to_string(line_count + 2) +
                " refers to position 9, but the file has only 8.");
}

// The merge search done plainly: buckets by key, searched in key order, each in the order its
// vertices were made. The importer's position cells must choose exactly the same vertices.
std::vector<int> ReferenceWeld(const std::vector<std::array<Vector3, 2>>& corners) {
  std::vector<std::array<double, 7>> sums;  // position, normal, count
  std::map<long, std::vector<int>> buckets;
  std::vector<int> indices;
  for (const auto& [p, n] : corners) {
    const double d = Distance3D(0, 0, 0, p.x, p.y, p.z);
    const long whole = static_cast<long>(d);
    const long key = d - whole < 0.5 || whole % 2 == 0 ? whole : whole + 1;
    int found = -1;
    for (long k = std::max(0L, key - 1); k <= key + 1 && found < 0; ++k) {
      for (const int i : buckets[k]) {
        const auto average = [&s = sums[i]](int a) { return static_cast<float>(s[a] / s[6]); };
        if (Distance3D(average(0), average(1), average(2), p.x, p.y, p.z) < 0.01f &&
            Distance3D(average(3), average(4), average(5), n.x, n.y, n.z) < 0.1f) {
          found = i;
          break;
        }
      }
    }
    if (found < 0) {
      found = static_cast<int>(sums.size());
      sums.emplace_back();
      buckets[key].push_back(found);
    }
    const float add[7] = {p.x, p.y, p.z, n.x, n.y, n.z, 1};
    for (int a = 0; a < 7; ++a) sums[found][a] += add[a];
    indices.push_back(found);
  }
  return indices;
}

TEST(ObjImport, WeldingChoosesTheVerticesTheKeyOrderedSearchWould) {
  // B (key 1, made second) is searched before A (key 2, made first): C, near both, takes B.
  ScriptedUi ui;
  const LodMesh keyed_mesh = Imported(
      "v 1.505 0 0\nv 1.4949 0 0\nv 1.5 0 0\nv 0 5 0\nv 0 0 5\nf 1 4 5\nf 2 4 5\nf 3 4 5\n", ui);
  const MeshPart& keyed = keyed_mesh.Parts.at(0);
  EXPECT_EQ(IndicesOf(keyed), (std::vector<int>{0, 1, 2, 3, 1, 2, 3, 1, 2}));
  EXPECT_FLOAT_EQ(keyed.Vertices[3].Position.x, (1.4949f + 1.5f) / 2);  // the average
  // A corner repeating exactly the one that made vertex B still goes to A, made first, once A's
  // average has wandered within the threshold of it: by corners all too far from B to match it.
  const LodMesh wandered = Imported(
      "v 5.012 5.004 0\nv 5 5 0\nv 5.006 5.0115 0\nv 5.0012 5.0105 0\nv 5.0105 5 0\n"
      "v 0 9 0\nv 0 0 9\nf 1 6 7\nf 2 6 7\nf 3 6 7\nf 4 6 7\nf 5 6 7\nf 2 6 7\nf 2 6 7\n",
      ui);
  EXPECT_EQ(IndicesOf(wandered.Parts.at(0)),
            (std::vector<int>{0, 1, 2, 3, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}));
  // Clusters of corners a little wider than the threshold, around the keys 1 and 2.
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> radius(1.45f, 1.55f), angle(0, 6.283f),
      jitter(-0.004f, 0.004f);
  std::vector<std::array<float, 2>> pool(200);
  for (auto& [x, y] : pool) {
    const float r = radius(rng), a = angle(rng);
    x = r * std::cos(a), y = r * std::sin(a);
  }
  std::vector<std::array<Vector3, 2>> corners;
  std::string obj;
  // Writes a number and gives it back as the importer reads it.
  const auto put = [&obj](float value) {
    const std::string text = std::to_string(value);
    obj += " " + text;
    return static_cast<float>(std::stod(text));
  };
  for (int c = 1; c <= 6000; ++c) {
    const auto& [x, y] = pool[rng() % pool.size()];
    obj += "v";
    const Vector3 p{put(x + jitter(rng)), put(y + jitter(rng)), put(jitter(rng))};
    obj += "\nvn 0";
    const Vector3 n{0, put(10 * jitter(rng)), 1};
    obj += " 1\n";
    corners.push_back({p, n});
    if (c % 3 == 0) obj += fmt::format("f {0}//{0} {1}//{1} {2}//{2}\n", c - 2, c - 1, c);
  }
  EXPECT_EQ(IndicesOf(Imported(obj, ui).Parts.at(0)), ReferenceWeld(corners));
}

// Files other programs wrote. (Files read from disk: ALongFileReadsAlikeWhereverItIsCut...)
TEST(ObjImport, CorpusFilesImport) {
  const struct {
    const char* name;
    int triangles;
    int most_vertices;
    Vector3 first;  // position of the first corner
  } cases[] = {
      {"Real-Gecko__hw2-complex__engineglow11.obj", 196, 112, {-2.887698f, -11.59734f, 3.605317f}},
      {"mjhorvath__Mikali-Map-Collection-for-HWRM__asteroid1.obj",
       486,
       1457,
       {8.81625f, 4.127012f, -1.983544f}},
      {"mjhorvath__Mikali-Map-Collection-for-HWRM__box_2048_64_2048.obj", 20, 60, {-992, -32, 992}},
  };
  int found = 0;
  for (const auto& c : cases) {
    const std::string source = CorpusOtherFile(c.name);
    if (source.empty()) continue;
    ++found;
    ScriptedUi ui;
    ObjImportOptions options = Faces();
    options.SubstituteMaterials = options.AskReverseUVs = true;
    ObjImportContext context;
    context.batch = true;
    const LodMesh mesh = Imported(ReadTextFile(source, nullptr).value(), ui, options, context);
    const MeshPart& part = mesh.Parts.at(0);
    const Vector4& first = part.Vertices.at(0).Position;
    EXPECT_EQ(std::tuple(ui.messages.size(), mesh.PartCount, part.FaceLists[0].IndexCount,
                         part.VertexCount <= c.most_vertices),
              std::tuple(0u, 1, 3 * c.triangles, true))
        << c.name;
    EXPECT_LT(Distance3D(first.x, first.y, first.z, c.first.x, c.first.y, c.first.z), 0.02);
  }
  if (found == 0) GANTRY_CORPUS_ABSENT("no OBJ files in the corpus");
}

TEST(ReadObjPoints, PositionsBecomeOneCurve) {
  const TempFolder folder;
  const std::string path = folder.Write("burn.obj", "# burn\nv 1 2 3\nvt 9 9\nv\t4  5 6\r\n");
  ScriptedUi ui;
  EngineBurn burn;
  ASSERT_TRUE(ReadOBJPoints(path, burn, ui));
  EXPECT_EQ(std::tuple(burn.Vertices, burn.VertexCount, burn.CurveCount),
            std::tuple(std::vector<Vector3>{{1, 2, 3}, {4, 5, 6}}, 2, 1));
  const EngineBurn before = burn;
  folder.Write("burn.obj", "");
  EXPECT_FALSE(ReadOBJPoints(path, burn, ui));
  EXPECT_FALSE(fs::exists(path));  // an empty file is deleted
  EXPECT_FALSE(ReadOBJPointsText("v 1 2 3\nv 1 2\n", burn, ui));
  EXPECT_EQ(burn, before);
}

}  // namespace
}  // namespace gantry::testing
