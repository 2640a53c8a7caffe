// How the reader walks a file: chunk after chunk, unknown chunks, trailing bytes, NUL padding,
// what it logs and what it tells the status bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "hod/hod_test_files.h"
#include "hod/messages.h"

namespace gantry::testing {
namespace {

using Texts = std::vector<std::string>;

// Fewer than 8 bytes after a chunk are ignored, zeros too (other bytes:
// ReaderHostile.EveryPrefixOfAValidFileFailsCleanly); 8 zeros are a NUL tag, which ends the read.
TEST(ReaderWalk, TrailingZerosAndNulTags) {
  for (std::size_t extra = 1; extra <= 7; ++extra) {
    HodBuilder b;
    b.Version(1000).Zeros(extra);
    const HodRead t(b);
    EXPECT_TRUE(Clean(t)) << extra << " trailing bytes";
    EXPECT_EQ(t.model.HodVersion.Version, 1000);
  }
  HodBuilder padded;
  padded.Version().Zeros(8).Version(3);
  const HodRead r(padded);
  // Nothing after the NUL tag is read.
  EXPECT_EQ(std::tuple(r.outcome.completed, r.ui.MessageTexts(), r.ui.messages.at(0).icon,
                       r.model.HodVersion.Version),
            std::tuple(false, Texts{messages::kBeyondEofNullForm}, Icon::Exclamation, 512));
  HodBuilder with_length;
  with_length.Version().Zeros(4).BigLong(12).Zeros(12);
  const HodRead s(with_length);
  EXPECT_EQ(std::tuple(s.outcome.completed, s.ui.MessageTexts(), s.ui.messages.at(0).icon),
            std::tuple(false, Texts{messages::kBeyondEof}, Icon::Exclamation));
}

TEST(ReaderWalk, UnknownChunksAreReportedAndSkippedExactly) {
  HodBuilder b;
  b.Version();
  b.Form("DTRM", [](HodBuilder& c) {
    c.Plain("ZZZZ", [](HodBuilder& p) { p.Chars("abcde"); });
    AddBoundary(c);
    c.Form("QQQQ", [](HodBuilder& p) { p.Long(1).Chars("xy"); });
    // A damaged tag's bytes are escaped, not sent to the terminal.
    c.Plain(std::string_view("\x80?C\x02", 4), [](HodBuilder& p) { p.Chars("z"); });
    // Goblin sets are skipped without a word.
    c.Form("GOBS", [](HodBuilder& p) { p.Long(1).Long(2).Byte(3); });
    c.Plain("GOBD", [](HodBuilder& p) { p.Chars("123456789"); });
    c.Version(77);
  });
  const HodRead r(b);
  EXPECT_TRUE(r.outcome.completed);
  EXPECT_EQ(std::tuple(r.ui.MessageTexts(), r.ui.messages.at(0).icon),
            std::tuple(Texts{"Unknown chunk: ZZZZ\r\nSkipping 5 bytes...",
                             "Unknown chunk: QQQQ\r\nSkipping 10 bytes...",
                             "Unknown chunk: \\x80?C\\x02\r\nSkipping 1 bytes..."},
                       Icon::Critical));
  EXPECT_EQ(std::tuple(r.model.BoundaryVertices.Trailer, r.model.HodVersion.Version,
                       r.model.DtrmHeader.Length, r.outcome.position),
            std::tuple(7, 77, static_cast<std::int32_t>(b.size() - 16 - 8), b.size()));
}

TEST(ReaderWalk, AContainerTagAsIdIsItselfAMarkerWhoseNextFourBytesAreTheId) {
  HodBuilder b;
  b.Version();
  b.Form("FORM", [](HodBuilder& c) { c.Tag("VERS").Long(7); });
  b.Version(9);
  HodRead r(b);
  HodBuilder nested;
  nested.Form("NRML", [](HodBuilder& c) { c.Tag("VERS").Long(7); });
  const HodRead inner(nested);
  EXPECT_EQ(std::tuple(Clean(r), r.model.HodVersion.Version, Clean(inner),
                       inner.model.HodVersion.Version),
            std::tuple(true, 9, true, 7));
}

TEST(ReaderWalk, LogLinesDependOnTheDebugLevel) {
  HodBuilder b;
  b.Version();
  AddLights(b);
  AddPlainMaterial(b);
  b.Nrml("MULT",
         [](HodBuilder& c) { c.BigLong(1400).Text("m").Text("Root").Long(1).SimpleLod(0); });
  const HodRead quiet(b, 0);
  EXPECT_TRUE(Clean(quiet));
  EXPECT_EQ(quiet.log.messages(), (Texts{messages::kReadingHod, messages::kReadingComplete}));
  const HodRead loud(b, 1);
  EXPECT_TRUE(Clean(loud));
  const std::vector<std::string>& lines = loud.log.messages();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), messages::kReadingHod);
  EXPECT_EQ(
      Texts(lines.end() - 3, lines.end()),
      (Texts{messages::kSuccessBanner1, messages::kSuccessBanner2, messages::kSuccessBanner3}));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), messages::kReadingComplete), 0);
  Texts form_names;
  for (const std::string& line : lines) {
    if (line.starts_with("Form Name: ")) form_names.push_back(line);
  }
  EXPECT_EQ(form_names,
            (Texts{"Form Name: FORM", "Form Name: LITE", "Form Name: STAT", "Form Name: NRML"}));
  auto has = [&lines](std::string_view line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  for (const char* line :
       {"Form Length: 8", "HOD Version: 512", "Number of Lights: 2", " Light Name: key",
        " Light Name: fill", "Name of material: glass", "Face List\\Strip number 1 is a List!"}) {
    EXPECT_TRUE(has(line)) << line;
  }
}

TEST(ReaderWalk, StatusAndProgress) {
  HodBuilder b;
  b.Version();
  AddTexture(b);
  AddJoints(b);
  const HodRead r(b);
  EXPECT_TRUE(Clean(r));
  ASSERT_GE(r.ui.statuses.size(), 2u);
  ASSERT_FALSE(r.ui.progress.empty());
  const auto size = static_cast<std::int64_t>(b.size());
  EXPECT_EQ(std::tuple(r.ui.statuses.front(), r.ui.statuses.back(), r.ui.progress.back()),
            std::tuple(messages::kReadingFile, messages::kReady, std::make_pair(size, size)));
  for (const auto& [value, maximum] : r.ui.progress) {
    EXPECT_EQ(maximum, size);
    EXPECT_LE(value, size);
  }
  // A failed read still ends with a full bar and "Ready".
  HodBuilder cut;
  cut.Version().Plain("LITE", [](HodBuilder& c) { c.Long(3); });
  const HodRead f(cut);
  const auto cut_size = static_cast<std::int64_t>(cut.size());
  EXPECT_EQ(std::tuple(f.outcome.completed, f.ui.statuses.at(f.ui.statuses.size() - 1),
                       f.ui.progress.at(f.ui.progress.size() - 1)),
            std::tuple(false, messages::kReady, std::make_pair(cut_size, cut_size)));
}

}  // namespace
}  // namespace gantry::testing
