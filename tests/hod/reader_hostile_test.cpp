// Damaged and hostile files: every fault stops the read with one message, keeps what was read
// completely before it and never crashes or allocates what the file cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/paths.h"
#include "hod/hod_test_files.h"
#include "hod/messages.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

const RichFile& Rich() {
  static const RichFile file = BuildRichFile();
  return file;
}

// Reads the rich file followed by `hostile`: the read must stop inside the chunk `tag` and keep
// exactly what the rich file alone gives.
void ExpectStopAfterRich(std::string_view tag, const std::function<void(HodBuilder&)>& hostile) {
  static const HodModel rich = HodRead(Rich().bytes).model;
  HodBuilder b;
  b.Bytes(Rich().bytes);
  hostile(b);
  const HodRead r(b);
  EXPECT_TRUE(StoppedSaying(r, {tag, "byte"}));
  EXPECT_TRUE(r.model == rich) << "the failed " << tag << " chunk changed the model";
}

// A chunk with one element's bytes whose count (or text length) `n` is written by the case.
struct CountCase {
  const char* tag;
  std::function<void(HodBuilder&, std::int32_t)> write;
};

// kind "" is a plain chunk.
CountCase Chunk(const char* kind, const char* tag,
                std::function<void(HodBuilder&, std::int32_t)> body) {
  return {tag, [=](HodBuilder& b, std::int32_t n) {
            auto inner = [&](HodBuilder& c) { body(c, n); };
            *kind == 0 ? b.Plain(tag, inner) : b.Container(kind, tag, inner);
          }};
}

// A multi-mesh of one level and one part of one vertex with one face list.
CountCase Lod(int field) {
  return Chunk("NRML", "MULT", [field](HodBuilder& c, std::int32_t n) {
    auto pick = [&](int i, std::int32_t normal) { return i == field ? n : normal; };
    c.BigLong(1400).Text("m").Text("Root").Long(1).Tag("FORM").BigLong(60).Tag("BMSH");
    c.BigLong(1400).Long(0).Long(pick(0, 1)).Long(0).Long(0x1).Long(pick(1, 1));
    const auto lists = static_cast<std::int16_t>(std::clamp(pick(2, 1), -32768, 32767));
    Floats(c, {1, 2, 3, 1}).Integer(lists).Long(0x202).Long(pick(3, 1)).Integer(0);
  });
}

TEST(ReaderHostile, CountsBeyondTheDataStopWithOneMessage) {
  using B = HodBuilder;
  using N = std::int32_t;
  const std::vector<CountCase> cases = {
      {"NAME",
       [](B& b, N n) {
         b.Container(
             "FORM", "NAME", [](B& c) { c.Chars("abc"); }, n);
       }},
      Chunk("", "LITE", [](B& c, N n) { c.Long(n).Text("a").Long(0).Zeros(44); }),
      Chunk("", "WARN", [](B& c, N n) { c.Long(n).Chars("abc"); }),
      Chunk("", "STAT", [](B& c, N n) { c.Text("a").Text("b").Long(n).Long(0).Long(0); }),
      Chunk("", "LMIP",
            [](B& c, N n) { c.Text("t").Tag("DXT1").Long(n).Long(4).Long(4).Zeros(8); }),
      Chunk("", "HIER", [](B& c, N n) { c.Long(n).Text("a").Text("").Zeros(51); }),
      Chunk("", "ETSH", [](B& c, N n) { c.Text("s").Text("p").Long(n).Zeros(12); }),
      Chunk("", "BURN", [](B& c, N n) { c.Text("b").Text("p").Long(2).Long(n).Zeros(24); }),
      Chunk("", "BNDV", [](B& c, N n) { c.Text("b").Text("p").Long(n).Zeros(16); }),
      Chunk("FORM", "MRKR",
            [](B& c, N n) {
              c.Nrml("HEAD", [](B& h) { h.BigLong(1).Text("k").Text("p").Zeros(56); });
              c.Form("KEYF", [n](B& k) {
                k.Nrml("ANIM", [n](B& a) { a.BigLong(1).Text("x").Long(n).Zeros(40); });
              });
            }),
      Chunk("NRML", "NAVL",
            [](B& c, N n) { c.BigLong(3).Long(n).Text("n").Zeros(16).Text("s").Zeros(22); }),
      Chunk("", "DOCK",
            [](B& c, N n) { c.Long(1).Text("d").Text("p").Long(0).Long(0).Long(n).Zeros(24); }),
      Chunk("FORM", "BGSG", [](B& c, N n) { c.Text("s").Long(n).Zeros(32); }),
      Chunk("NRML", "STRF", [](B& c, N n) { c.BigLong(1).Long(n).Zeros(28); }),
      Chunk("", "VARY",
            [](B& c, N n) {
              c.Text("v").Text("p").Long(0).Long(0).Long(0).Long(1).Long(0).Long(n).Zeros(12);
            }),
      Chunk("NRML", "MULT",
            [](B& c, N n) { c.BigLong(1400).Text("m").Text("Root").Long(n).SimpleLod(0); }),
      Lod(0),
      Lod(1),
      Lod(2),
      Lod(3),
      Chunk("", "SIMP", [](B& c, N n) { c.Text("s").Long(n).Zeros(40).Long(0); }),
      Chunk("FORM", "COLD",
            [](B& c, N n) {
              c.Text("p").Plain("BBOX", [](B& p) { p.Zeros(24); });
              c.Plain("BSPH", [](B& p) { p.Zeros(16); });
              c.Plain("TRIS", [n](B& p) { p.Long(1).Zeros(12).Long(n).Zeros(2); });
            }),
      {"BSRM",
       [](B& b, N n) {
         // The grid's second cell gets the hostile index count.
         HodBuilder scar;
         AddScar(scar);
         ByteVector bytes = scar.bytes();
         for (int i = 0; i < 4; ++i) bytes[bytes.size() - 8 + i] = (n >> (8 * i)) & 0xFF;
         b.Bytes(bytes);
       }},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    for (std::int32_t n : {-1, 5000, 0x7FFFFFFF}) {
      SCOPED_TRACE(::testing::Message() << "case " << i << " (" << cases[i].tag << "): " << n);
      ExpectStopAfterRich(cases[i].tag, [&](HodBuilder& b) { cases[i].write(b, n); });
    }
  }
}

TEST(ReaderHostile, CountsAboveTheLimitsStopEvenWithTheBytes) {
  using B = HodBuilder;
  using N = std::int32_t;
  // 254 parameters and parts read whole: ReaderLimits.AtTheLimitSavesAndReadsBackWhole.
  const std::vector<CountCase> cases = {
      Chunk("", "STAT", [](B& c, N) { c.Text("m").Text("s").Long(255).Zeros(8 * 255); }),
      Chunk("NRML", "MULT",
            [](B& c, N) {
              c.BigLong(1400).Text("m").Text("Root").Long(1);
              c.Form("BMSH", [](B& m) { m.BigLong(1).Long(0).Long(255).Zeros(14 * 255); });
            }),
      Chunk("", "LITE",
            [](B& c, N) {
              c.Long(32768);
              for (int i = 0; i < 32768; ++i) c.Text("").Zeros(48);
            }),
      Chunk("", "LMIP",
            [](B& c, N) {
              c.Text("t").Tag("DXT1").Long(32768).Long(0).Long(0).Zeros(32768 * 16 - 8);
            }),
      // A level too large for any file.
      Chunk("", "LMIP",
            [](B& c, N) {
              c.Text("t").Tag("8888").Long(1).Long(0x7FFFFFFF).Long(0x7FFFFFFF).Zeros(16);
            }),
      Chunk("NRML", "MULT",
            [](B& c, N) {
              c.BigLong(1400).Text("m").Text("Root").Long(32768);
              for (int i = 0; i < 32768; ++i)
                c.Tag("FORM").BigLong(16).Tag("BMSH").BigLong(1).Zeros(8);
            }),
      Chunk("", "DOCK",
            [](B& c, N) {
              c.Long(1).Text("d").Text("p").Long(0).Long(0).Long(32768).Zeros(32768 * 24);
            }),
      Chunk("", "ETSH", [](B& c, N) { c.Text("s").Text("p").Long(32768).Zeros(32768 * 12); }),
      // Two outlines passing 32767 bytes together.
      Chunk("", "ETSH",
            [](B& c, N) { c.Text("s").Text("").Long(2000).Zeros(24000).Long(1000).Zeros(12000); }),
      {"GOBS",
       [](B& b, N) {
         b.Container(
             "NRML", "GOBS", [](B& c) { c.Long(0); }, 5000);
       }},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "case " << i);
    ExpectStopAfterRich(cases[i].tag, [&](B& b) { cases[i].write(b, 0); });
  }
  // Grids whose cell count overflows a Long (not wrapping to a small count).
  for (const auto& size : {std::array{65536, 65536, 1}, std::array{2048, 2048, 1024},
                           std::array{-65536, 65536, 1}, std::array{46341, 46341, 1}}) {
    const auto [x, y, z] = size;
    SCOPED_TRACE(::testing::Message() << x << " x " << y << " x " << z);
    HodBuilder scar;
    AddScar(scar);
    ByteVector bytes = scar.bytes();
    bytes.resize(bytes.size() - 24);  // the grid's sizes and cells
    ExpectStopAfterRich("BSRM", [&](HodBuilder& b) {
      b.Bytes(bytes).Long(size[0]).Long(size[1]).Long(size[2]).Zeros(64);
    });
  }
}

TEST(ReaderHostile, CutBackgroundSetKeepsItsCompleteMeshes) {
  HodBuilder b;
  b.Version().Form("BGMS", [](HodBuilder& c) {
    c.SimpleLod(4).Form("BMSH",
                        [](HodBuilder& m) { m.BigLong(1).Long(0).Long(1).Long(0).Long(1); });
  });
  const HodRead r(b);
  EXPECT_TRUE(StoppedSaying(r, {"BGMS", "byte"}));
  ASSERT_EQ(r.model.BackgroundMeshSet.Meshes.size(), 1u);
  EXPECT_EQ(r.model.BackgroundMeshSet.Meshes[0].LodLevel, 4);
}

TEST(ReaderHostile, InvalidFaceListTypeMessage) {
  HodBuilder f;
  AddGoblin(f.Version());
  f.Nrml("MULT", [](HodBuilder& c) {
    c.BigLong(1400).Text("m").Text("Root").Long(1);
    c.Form("BMSH", [](HodBuilder& m) {
      m.BigLong(1400).Long(0).Long(1).Long(0).Long(0).Long(3);
      m.Integer(2).Long(0x202).Long(3).Integer(0).Integer(1).Integer(2);
      m.Long(0x204).Long(3).Integer(0).Integer(1).Integer(2);
    });
  });
  const HodRead s(f);
  ASSERT_EQ(s.ui.messages.size(), 1u);
  // The goblin stays, the broken mesh goes.
  EXPECT_EQ(std::tuple(s.outcome.completed, s.ui.messages[0].icon, s.model.Meshes.size(),
                       s.ui.messages[0].text),
            std::tuple(false, Icon::None, 1u, std::string(messages::kInvalidFaceList) + "2"));
}

// A length is unsigned wherever it is shown: the skip of an unknown chunk and the stop both.
TEST(ReaderHostile, NegativeChunkLengthsStopTheRead) {
  for (const char* tag : {"GOBS", "ZZZZ"}) {
    HodBuilder b;
    b.Version().Plain(tag, nullptr, -8).Version(5);
    const HodRead r(b);
    EXPECT_FALSE(r.outcome.completed) << tag;
    ASSERT_FALSE(r.ui.messages.empty());
    for (const std::string& text : r.ui.MessageTexts()) {
      EXPECT_NE(text.find("4294967288 bytes"), std::string::npos) << text;
    }
    EXPECT_EQ(r.model.HodVersion.Version, 512);
  }
}

// A fault before any tag was read names the file, not a blank chunk; a header cut after a
// complete chunk is not blamed on that chunk.
TEST(ReaderHostile, StopMessagesNameWhatWasBeingRead) {
  const HodRead empty(ByteVector{});
  ASSERT_EQ(empty.ui.messages.size(), 1u);
  EXPECT_EQ(empty.ui.messages[0].text.rfind("Error reading the file: the file holds only 0", 0), 0u)
      << empty.ui.messages[0].text;

  // A container cut inside its ID is named by its kind.
  HodBuilder b;
  b.Version();
  ByteVector cut = b.bytes();
  const std::uint8_t form[] = {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'L', 'I'};
  cut.insert(cut.end(), std::begin(form), std::end(form));
  const HodRead r(cut);
  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_NE(r.ui.messages[0].text.find("the FORM chunk that starts at byte 16"), std::string::npos)
      << r.ui.messages[0].text;
}

// Folders and named pipes are refused before anything is opened for reading; a pipe would
// otherwise block until somebody writes to it.
TEST(ReaderHostile, OnlyPlainFilesAreRead) {
  const TempFolder temp;
  // A name with a non-ASCII character is bytes in the system's encoding (the ANSI code page on
  // Windows, where std::filesystem reads narrow texts otherwise).
  std::vector<std::pair<std::string, std::string>> cases = {
      {temp.Path("not_a_file.hod"), "it is a folder, not a file"},
      {PathText(temp.path()) + "/dir\x80.hod", "it is a folder, not a file"}};
  for (const auto& [folder, reason] : cases)
    std::filesystem::create_directories(FileSystemPath(folder));
#ifndef _WIN32
  ASSERT_EQ(mkfifo(temp.Path("pipe.hod").c_str(), 0600), 0);
  cases.emplace_back(temp.Path("pipe.hod"), "it is not a regular file");
#endif
  for (const auto& [path, reason] : cases) {
    const HodRead r = HodRead::File(path);
    EXPECT_FALSE(r.outcome.completed);
    EXPECT_EQ(r.ui.MessageTexts(),
              std::vector<std::string>{"Couldn't open file: " + path + "\r\n" + reason});
  }
}

// Every prefix of the rich file: reads that stop at (or up to 7 bytes past) a chunk end succeed;
// all others stop with one message. Nothing crashes.
TEST(ReaderHostile, EveryPrefixOfAValidFileFailsCleanly) {
  const RichFile& file = Rich();
  for (std::size_t p = 0; p < file.bytes.size(); ++p) {
    const HodRead r(ByteVector(file.bytes.begin(), file.bytes.begin() + p));
    ASSERT_LE(r.outcome.position, p);
    if (p < 16) {
      EXPECT_FALSE(r.outcome.completed) << p;
      continue;
    }
    EXPECT_EQ(r.model.HodVersion.Length, 8) << p;
    const bool may_end = std::any_of(file.ends.begin(), file.ends.end(), [p](const auto& e) {
      return p >= e.first && p - e.first <= e.second;
    });
    if (may_end) {
      EXPECT_TRUE(Clean(r)) << "prefix " << p;
    } else {
      EXPECT_FALSE(r.outcome.completed) << "prefix " << p;
      EXPECT_EQ(r.ui.messages.size(), 1u) << "prefix " << p;
    }
  }
}

// ReadHod from a file gives what the memory reader gives, also when chunks straddle the edge of
// the reader's 1 MiB window.
TEST(ReaderHostile, FileBackedReaderMatchesMemory) {
  const TempFolder temp;
  const ByteVector body(Rich().bytes.begin() + 16, Rich().bytes.end());  // without VERS
  for (std::size_t edge = 0; edge < body.size(); edge += 61) {
    // VERS, then a WARN whose text fills the window up to `edge` bytes before its end.
    const std::size_t text = (1u << 20) - edge - 16 - 12;
    HodBuilder b;
    b.Version().Plain(
        "WARN", [text](HodBuilder& c) { c.Long(static_cast<std::int32_t>(text)).Zeros(text); });
    b.Bytes(body);
    const std::string path =
        temp.Write("reader.hod", std::string(b.bytes().begin(), b.bytes().end()));
    const HodRead memory(b);
    const HodRead file = HodRead::File(path);
    SCOPED_TRACE(::testing::Message() << "window edge at body byte " << edge);
    EXPECT_TRUE(Clean(memory));
    EXPECT_TRUE(Clean(file));
    EXPECT_TRUE(file.model == memory.model);
    EXPECT_EQ(file.ui.file_names.back(), "reader.hod");
  }
}

// Parts whose mask selects nothing take no bytes per vertex; their counts draw on one budget
// for the whole read, so a small file cannot make the reader allocate gigabytes.
TEST(ReaderHostile, VerticesWithoutDataShareOneBudget) {
  auto file = [](std::vector<std::int32_t> counts) {
    HodBuilder b;
    b.Version();
    for (const std::int32_t count : counts) {
      b.Nrml("MULT", [count](HodBuilder& c) {
        c.BigLong(1400).Text("m").Text("Root").Long(1);
        c.Form("BMSH", [count](HodBuilder& m) {
          m.BigLong(1400).Long(0).Long(1).Long(0).Long(0).Long(count);
          m.Integer(1).Long(0x202).Long(3).Integer(0).Integer(1).Integer(2);
        });
      });
    }
    return b;
  };
  const HodRead within(file({40000, 25536}));
  EXPECT_TRUE(Clean(within));
  ASSERT_EQ(within.model.Meshes.size(), 2u);
  EXPECT_EQ(within.model.Meshes[1].Lods[0].Parts[0].Vertices.size(), 25536u);

  const HodRead beyond(file({40000, 25537}));
  EXPECT_TRUE(StoppedSaying(beyond, {"MULT", "byte"}));
  EXPECT_EQ(beyond.model.Meshes.size(), 1u);
}

}  // namespace
}  // namespace gantry::testing
