// The script importer: the canonical form and matching, argument and number reading, the script's
// folder, the file handling of an import, silent skipping and a long script.
#include "script/script_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "hod/reset.h"
#include "interchange/text_rewrite.h"
#include "script/script_commands.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

TEST(ScriptGrammar, CanonicalForm) {
  const struct {
    const char* line;
    const char* canonical;
  } cases[] = {
      {"STAT_Add ( 'hull' , \t'ship', 2 ); // c", "STAT_Add(\"hull\",\"ship\",2)"},
      {"  HIER_Add( 'a b' ,\"c\t\")  ", "HIER_Add(\"a b\",\"c\t\")"},
      {"\tLMIP_Add(x) 'q' , ", "LMIP_Add(x)\"q\","},
  };
  for (const auto& c : cases) EXPECT_EQ(CanonicalScriptLine(c.line), c.canonical) << c.line;
}

TEST(ScriptGrammar, LinesMatchByNameInAnyCaseAndArgumentCount) {
  using enum ScriptCommand;
  const struct {
    const char* line;
    std::optional<ScriptCommand> command;
  } cases[] = {
      {"stat_add('a','b',0)", kMaterialAdd},
      {"STAT_Add( 'a', 'b', 1, 2 );", std::nullopt},
      {"STAT_Add('a','b',0); // left arm", kMaterialAdd},
      {"STAT_Add('a','b',0); // don't", std::nullopt},
      {"STAT_Add('a, b','c',0)", kMaterialAdd},
      {"  STAT_Add('a','b',0)", kMaterialAdd},
      {"//STAT_Add('a','b',0)", std::nullopt},
      {"STAT_Add('a)','b',0)", std::nullopt},
      {"STAT_Add(('a'),'b',0)", std::nullopt},
      {"(STAT_Add('a','b',0)", std::nullopt},
      {"STAT_Add('a','b',0", std::nullopt},
      {"LMIP_Add()", kTextureAdd},
      {"HOD__ImportScale(1,2)", std::nullopt},
      {"STAT_SetParameter(1,1,4,0,0,0,0,0,'x')", std::nullopt},
      {"STAT_SetParamter(1,1,4,0,0,0,0,0,'x')", kMaterialSetParameter},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchScriptLine(c.line), c.command) << c.line;
}

TEST(ScriptGrammar, ArgumentsNumbersAndRounding) {
  EXPECT_EQ(SplitScriptArguments("'hull, left', \"b\",2"),
            (std::vector<std::string>{"hull, left", " b", "2"}));
  EXPECT_EQ(ScriptArgumentText("X( a ) b )"), " a ");
  EXPECT_EQ(ScriptText("  a b  "), "a b");

  const std::pair<const char*, double> numbers[] = {
      {" 1 2.5", 12.5}, {"3.5cm", 3.5}, {"abc", 0},     {"-1e2x", -100},
      {"1,5", 1},       {".5", 0.5},    {"\t-\t2", -2},
  };
  for (const auto& [piece, value] : numbers) EXPECT_EQ(ScriptNumber(piece), value) << piece;

  const std::array<double, 4> halves{2.5, 3.5, -2.5, -0.5};
  const std::array<std::int32_t, 4> even{2, 4, -2, 0};
  for (std::size_t i = 0; i < halves.size(); ++i) EXPECT_EQ(RoundedWhole(halves[i]), even[i]);
  EXPECT_EQ(RoundedWhole(2.6), 3);
  EXPECT_EQ(RoundedWhole(1e12), 2147483647);
  EXPECT_EQ(TruncatedWhole(-2.7), -2);
  EXPECT_EQ(ScriptSingle(1e300), std::numeric_limits<float>::max());
}

TEST(ScriptGrammar, ScriptFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\mods\\ship.hsc", "C:\\mods"}, {"/tmp/x/ship.hsc", "/tmp/x"}, {"a\\b/c.hsc", "a"},
      {"ship.hsc", "ship.hsc"},           {"\\ship.hsc", "\\ship.hsc"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(ScriptFolderOf(path), folder) << path;
}

class ScriptImportTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    return folder_.Write(name, text);
  }
  std::string Contents(const std::string& path) { return *ReadTextFile(path, nullptr); }

  TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  HodModel model_ = MakeDefaultModel();
  ScriptImportContext context_;
  ScriptedUi ui_;
};

TEST_F(ScriptImportTest, ScriptIsRewrittenAndRunWithAFreshScale) {
  const std::string path =
      Write("ship.hsc", "// joints\n\nHIER_Add('Hull','Root',1,1,1,0,0,0,1,1,1,0,0,0,0,0,0)\n");
  context_.ImportScale = {5, 5, 5};
  const ScriptImportResult result = ImportHodScript(model_, path, context_, ui_);
  EXPECT_EQ(Contents(path),
            "// joints\r\nHIER_Add('Hull','Root',1,1,1,0,0,0,1,1,1,0,0,0,0,0,0)\r\n");
  EXPECT_TRUE(result.read && result.changed);
  EXPECT_EQ(result.lines, 2u);
  EXPECT_EQ(result.commands, 1u);
  EXPECT_EQ(model_.JointList.Joints.at(1).Position, (Vector3{1, 1, 1}));
  EXPECT_EQ(context_.ScriptFolder, dir_.string());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ScriptImportTest, EmptyAndMissingScriptsChangeNothing) {
  const ScriptImportResult empty = ImportHodScript(model_, Write("e.hsc", ""), context_, ui_);
  EXPECT_TRUE(empty.read);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"File is empty!"});
  const ScriptImportResult missing =
      ImportHodScript(model_, (dir_ / "none.hsc").string(), context_, ui_);
  EXPECT_FALSE(missing.read);
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(model_, MakeDefaultModel());
}

TEST_F(ScriptImportTest, BatchReadsAsIsAndNamesTheLineOfAFileItCannotLoad) {
  const std::string script = "\n// burn\nBURN_Add('b','Root','\\missing.obj')\n";
  const std::string path = Write("b.hsc", script);
  context_.batch = true;
  const ScriptImportResult result = ImportHodScript(model_, path, context_, ui_);
  EXPECT_EQ(Contents(path), script);
  // Named as the system names it, whatever separator the script used.
  const std::string missing = (dir_ / "missing.obj").string();
  EXPECT_EQ(result.file_failures, (std::vector<ScriptFileFailure>{{3, "BURN_Add", missing}}));
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].line, 3u);
  EXPECT_EQ(result.messages[0].text,
            "Could not read the file '" + missing + "': No such file or directory");
  // The burn added before the load stays, without the fields set after it.
  ASSERT_EQ(model_.EngineBurns.size(), 1u);
  EXPECT_NE(model_.EngineBurns[0].Name, "b");
}

TEST_F(ScriptImportTest, AByteOrderMarkIsNoPartOfTheFirstCommand) {
  const ScriptImportResult result = ImportHodScript(
      model_, Write("bom.hsc", "\xEF\xBB\xBFSTAT_Add('a','s',0)\r\nSTAT_Add('b','s',0)\r\n"),
      context_, ui_);
  EXPECT_EQ(result.commands, 2u);
  ASSERT_EQ(model_.Materials.size(), 2u);
  EXPECT_EQ(model_.Materials[0].Name, "a");
}

// The editor skips malformed lines without a word; the result names them for the command line
// and the log, apart from blank lines, comments and lone braces.
TEST_F(ScriptImportTest, MalformedLinesAreSkippedSilentlyButListed) {
  const std::string script =
      "NAVL_Add(\n)(\nSTAT_Add('a','b')\nSTAT_Add('a','b',1,2)\nSTAT_Add('a,'b',1)\n"
      "MULT_Add('a','b',0,1) // it's\nHIER_Add\nstat add('a','b',1)\n,,,,\n\"\"\"\n"
      "MRKR_Add'(x)'\nLMIP_Add((x))\n\x01\xff(\t)\n \t\n  // note\n{\n\t} \n";
  const ScriptImportResult result = RunHodScript(model_, script, context_, ui_);
  EXPECT_EQ(result.commands, 0u);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(model_, MakeDefaultModel());
  EXPECT_EQ(result.unmatched_lines,
            (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

// Notepad's "Unicode" is UTF-16 with a mark, either byte order; a character no single byte holds
// refuses the script rather than building from a part of it.
TEST_F(ScriptImportTest, Utf16ScriptsAreReadOrRefusedClearly) {
  const auto utf16 = [](std::u16string_view text, bool little) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t c : text) {
      const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
      bytes += little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
  };
  context_.batch = true;
  for (const bool little : {true, false}) {
    HodModel model = MakeDefaultModel();
    const ScriptImportResult result = ImportHodScript(
        model,
        Write("u.hsc", utf16(u"STAT_Add('a\u00e9','s',0)\r\nSTAT_Add('b','s',0)\r\n", little)),
        context_, ui_);
    EXPECT_EQ(result.commands, 2u);
    ASSERT_EQ(model.Materials.size(), 2u);
    EXPECT_EQ(model.Materials[0].Name, "a\xe9");
  }
  context_.batch = false;  // the editor's import must not rewrite it either
  const std::string path = Write("w.hsc", utf16(u"STAT_Add('\u20ac','s',0)\r\n", true));
  const ScriptImportResult wide = ImportHodScript(model_, path, context_, ui_);
  EXPECT_FALSE(wide.read);
  EXPECT_EQ(model_, MakeDefaultModel());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("UTF-16"), std::string::npos);
  EXPECT_EQ(Contents(path), utf16(u"STAT_Add('\u20ac','s',0)\r\n", true));
}

TEST_F(ScriptImportTest, HundredThousandLineScript) {
  std::ostringstream script;
  for (int i = 0; i < 20000; ++i) {
    script << "// element " << i << "\r\n"
           << "HIER_Add('j" << i << "','Root',1,2,3,0,0,0,1,1,1,0,0,0,1,0,0)\r\n"
           << "NAVL_Add('n" << i << "',0,1,0,1,'default',1,1,1,1,100,1,0)\r\n"
           << "LITE_Add('l" << i << "',2,0,0,0,1,1,1,1,1,1,0,0)\r\n"
           << "DOCK_Add('d" << i << "','Root',1,0,'',0,'',3)\r\n";
  }
  const ScriptImportResult result = RunHodScript(model_, script.str(), context_, ui_);
  EXPECT_EQ(result.lines, 100000u);
  EXPECT_EQ(result.commands, 80000u);
  EXPECT_EQ(model_.JointList.JointCount, 20001);
  EXPECT_EQ(model_.NavLightList.NavLights.size(), 20000u);
  EXPECT_EQ(model_.LightList.LightCount, 20000);
  EXPECT_EQ(model_.DockPathList.Paths.back().Points.size(), 3u);
}

}  // namespace
}  // namespace gantry::testing
