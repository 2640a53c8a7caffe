// Shared by the HOD reader tests: chunks with known contents (reader_chunks_test.cpp checks them
// field by field; the hostile tests reuse them).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/hod_builder.h"
#include "support/read_back.h"

namespace gantry::testing {

// The read stopped early with exactly one message holding every text given.
inline ::testing::AssertionResult StoppedSaying(const HodRead& r,
                                                std::initializer_list<std::string_view> texts) {
  if (r.outcome.completed) return ::testing::AssertionFailure() << "the read completed";
  if (r.ui.messages.size() != 1) {
    return ::testing::AssertionFailure() << r.ui.messages.size() << " messages";
  }
  for (std::string_view text : texts) {
    if (r.ui.messages[0].text.find(text) == std::string::npos) {
      return ::testing::AssertionFailure() << "no \"" << text << "\" in " << r.ui.messages[0].text;
    }
  }
  return ::testing::AssertionSuccess();
}

inline HodBuilder& Floats(HodBuilder& b, std::initializer_list<float> values) {
  for (float v : values) b.Single(v);
  return b;
}

inline void AddLights(HodBuilder& b) {
  b.Plain("LITE", [](HodBuilder& c) {
    Floats(c.Long(2).Text("key").Long(2), {1, 2, 3, 0.5f, 0.25f, 0.125f, 0.9f, 0.8f, 0.7f});
    Floats(c.Long(1).Single(100).Text("fill").Long(0), {-1, -2, -3, 1, 1, 1, 0, 0, 0});
    c.Long(0).Single(0);
  });
}

// Colour, texture (with layer name) and an unknown parameter type that carries no data.
inline void AddFramedMaterial(HodBuilder& b) {
  b.Nrml("STAT", [](HodBuilder& c) {
    Floats(c.BigLong(1002).Text("hull").Text("ship").Long(3).Long(4).Long(16),
           {.1f, .2f, .3f, .4f});
    c.Long(5).Long(12).Long(1).Text("$diffuse").Long(9).Long(0);
  });
}

// Without NRML framing: no version, no layer name after the texture index.
inline void AddPlainMaterial(HodBuilder& b) {
  b.Plain("STAT",
          [](HodBuilder& c) { c.Text("glass").Text("thruster").Long(1).Long(5).Long(4).Long(2); });
}

// DXT1 16x8 with three levels: 64, 16 and 8 bytes, two Longs between levels.
inline void AddTexture(HodBuilder& b) {
  b.Plain("LMIP", [](HodBuilder& c) {
    c.Text("hull.tga").Tag("DXT1").Long(3).Long(16).Long(8);
    for (int i = 0; i < 64; ++i) c.Byte(static_cast<std::uint8_t>(i));
    c.Long(8).Long(4).Bytes(ByteVector(16, 0xA0)).Long(4).Long(2).Bytes(ByteVector(8, 0xB0));
  });
}

inline void AddJoints(HodBuilder& b) {
  b.Plain("HIER", [](HodBuilder& c) {
    Floats(c.Long(2).Text("Root").Text(""), {0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0});
    Floats(c.Byte(1).Byte(1).Byte(1).Text("Hull").Text("Root"),
           {1, 2, 3, .1f, .2f, .3f, 2, 2, 2, .5f, .6f, .7f});
    c.Byte(0).Byte(1).Byte(0);
  });
}

inline void AddEngineShape(HodBuilder& b) {
  b.Plain("ETSH", [](HodBuilder& c) {
    Floats(Floats(c.Text("shape").Text("Engine").Long(2), {1, 2, 3, 4, 5, 6}).Long(1), {7, 8, 9});
  });
}

inline void AddEngineBurn(HodBuilder& b) {
  b.Plain("BURN", [](HodBuilder& c) {
    c.Text("burn").Text("Engine").Long(2).Long(3);
    for (int i = 0; i < 18; ++i) c.Single(static_cast<float>(i));
  });
}

inline void AddBoundary(HodBuilder& b) {
  b.Plain("BNDV", [](HodBuilder& c) {
    Floats(c.Text("Whole").Text("Root").Long(2), {-4, -5, -6, 4, 5, 6}).Long(7);
  });
}

// `tracks` keyframe tracks (0: a KEYF of length 4); `ends` gets the offsets where tracks may
// end (after the KEYF ID and after each track).
inline void AddMarker(HodBuilder& b, int tracks, std::vector<std::size_t>* ends = nullptr) {
  b.Form("MRKR", [&](HodBuilder& m) {
    m.Nrml("HEAD", [](HodBuilder& h) {
      h.BigLong(1000).Text("nozzle").Text("Hull").Single(0.5f).Single(2.5f);
      h.Double(1.5).Double(-2.25).Double(3).Double(0.1).Double(0.2).Double(0.3);
    });
    m.Form("KEYF", [&](HodBuilder& k) {
      if (ends != nullptr) ends->push_back(k.size());
      for (int t = 0; t < tracks; ++t) {
        k.Nrml("ANIM", [t](HodBuilder& a) {
          Floats(a.BigLong(2).Text(t == 0 ? "posx" : "posy").Long(2).Double(0).Double(1.5),
                 {1, 2, 3, 4});
          Floats(a.Double(2).Double(-1), {0, 0, 0, 0}).Long(3).Long(4);
        });
        if (ends != nullptr) ends->push_back(k.size());
      }
    });
  });
}

inline void AddNavLights(HodBuilder& b) {
  b.Nrml("NAVL", [](HodBuilder& c) {
    c.BigLong(3).Long(1).Text("nav1").Long(4).Single(2).Single(0.5f).Single(1.5f);
    Floats(c.Text("default"), {1, 0.5f, 0.25f, 1, 300}).Byte(1).Byte(0);
  });
}

// Path "dock1" in the newest layout, "dock2" in path format 1 with point format 3, "dock3" in
// path format 0 with point format 9.
inline void AddDock(HodBuilder& b) {
  b.Plain("DOCK", [](HodBuilder& c) {
    c.Long(3).Text("dock1").Text("Hull").Long(6).Long(10);
    c.Long(11).Long(12).Long(13).Text("Fighter").Long(14).Text("dock2").Long(1);
    Floats(c, {1, 2, 3, 0.1f, 0.2f, 0.3f}).Long(21).Single(5).Long(22).Single(250).Long(23);
    c.Long(24).Long(25).Long(26).Long(27).Long(28);
    c.Text("dock2").Text("Root").Long(1).Long(3).Long(31).Long(2);
    for (int i = 0; i < 2; ++i) Floats(c, {4, 5, 6, 0, 0, 0}).Long(41).Single(7).Long(42);
    Floats(c.Text("dock3").Text("").Long(0).Long(9).Long(1), {0, 0, 0, 0, 0, 0});
    c.Long(51).Single(8).Long(52).Single(100).Long(53).Long(56).Long(57).Long(58).Long(59);
  });
}

inline void AddSegment(HodBuilder& b) {
  b.Form("BGSG", [](HodBuilder& c) {
    c.Text("seg").Long(2);
    for (int i = 1; i <= 16; ++i) c.Single(static_cast<float>(i));
  });
}

inline void AddStarField(HodBuilder& b) {
  b.Nrml("STRF", [](HodBuilder& c) {
    c.BigLong(3).Long(2);
    for (int i = 1; i <= 14; ++i) c.Single(static_cast<float>(i));
  });
}

// One element in each of lists A, B, C; list D holds a group of one record and an empty group.
inline void AddVary(HodBuilder& b) {
  b.Plain("VARY", [](HodBuilder& c) {
    c.Text("v").Text("Hull").Long(1).Long(1).Long(1).Long(2).Long(9);
    Floats(c, {1, 2, 3, 4, 5, 6, 7, 8, 9}).Byte(1).Byte(2).Byte(3).Byte(4);
    for (int i = 100; i < 107; ++i) c.Long(i);
    c.Long(1).Long(11).Long(12).Integer(13).Integer(14).Long(0);
  });
}

// Level 0 has three parts: mask 0x600F (two vertices, a list and a strip), mask 0x7 (one
// vertex, no face lists) and mask 0 (three vertices of no bytes, one list).
inline void AddMultiMesh(HodBuilder& b) {
  b.Nrml("MULT", [](HodBuilder& c) {
    c.BigLong(1400).Text("hull").Text("Hull").Long(2).Form("BMSH", [](HodBuilder& m) {
      m.BigLong(1400).Long(0).Long(3).Long(1).Long(0x600F).Long(2);
      for (int i = 0; i < 2; ++i) {
        Floats(m, {i + 1.0f, 2, 3, 1}).Byte(10).Byte(20).Byte(30).Byte(40);
        Floats(m, {0, 1, 0, 0, 0.25f, 0.75f, 1, 0, 0, 0, 0, 1});
      }
      m.Integer(2).Long(0x202).Long(3).Integer(0).Integer(1).Integer(1);
      m.Long(0x206).Long(4).Integer(1).Integer(0).Integer(1).Integer(0);
      Floats(m.Long(0).Long(0x7).Long(1), {5, 6, 7, 1}).Byte(1).Byte(2).Byte(3).Byte(4);
      Floats(m, {0, 0, 1, 0}).Integer(0);
      m.Long(2).Long(0).Long(3).Integer(1).Long(0x202).Long(3).Integer(0).Integer(1).Integer(2);
    });
    c.SimpleLod(1, 4);
  });
}

inline void AddGoblin(HodBuilder& b) {
  b.Nrml("GOBG",
         [](HodBuilder& c) { c.BigLong(1).Text("goblin").Text("Hull").SimpleLod(0, 3, "NRML"); });
}

inline void AddGlow(HodBuilder& b) {
  b.Form("GLOW", [](HodBuilder& c) {
    c.Nrml("GLOI", [](HodBuilder& i) { i.BigLong(1000).Text("glow").Text("Engine").Long(2); });
    c.SimpleLod(2);
  });
}

inline void AddSimpleMesh(HodBuilder& b) {
  b.Plain("SIMP", [](HodBuilder& c) {
    c.Text("box").Long(2);
    for (int i = 0; i < 20; ++i) c.Single(static_cast<float>(i));
    c.Long(3).Long(0).Long(1).Long(1);
  });
}

inline void AddCollision(HodBuilder& b) {
  b.Form("COLD", [](HodBuilder& c) {
    c.Text("Hull");
    c.Plain("BBOX", [](HodBuilder& p) { Floats(p, {-1, -2, -3, 1, 2, 3}); });
    c.Plain("BSPH", [](HodBuilder& p) { Floats(p, {0, 0.5f, 0, 4}); });
    c.Plain("TRIS", [](HodBuilder& p) {
      Floats(p.Long(3), {0, 0, 0, 1, 0, 0, 0, 1, 0}).Long(3).Integer(0).Integer(2).Integer(1);
    });
  });
}

// The grid holds 2 x 1 x 1 cells: an empty cell, then a cell of two indices.
inline void AddScar(HodBuilder& b) {
  b.Form("BSRM", [](HodBuilder& c) {
    c.Nrml("DESC", [](HodBuilder& p) { p.BigLong(1000).Text("hull").Text("Hull").Long(1); });
    c.Nrml("BBOX", [](HodBuilder& p) { Floats(p.BigLong(1000), {-1, -1, -1, 1, 1, 1}); });
    c.Nrml("BSPH", [](HodBuilder& p) { Floats(p.BigLong(1000), {0, 0, 0, 2}); });
    c.Nrml("TRIS", [](HodBuilder& p) {
      Floats(p.BigLong(1000).Long(1), {1, 2, 3}).Long(3).Integer(0).Integer(0).Integer(0);
    });
    c.Nrml("VNRM", [](HodBuilder& p) { Floats(p.BigLong(1000).Long(1), {0, 0, 1}).Long(0); });
    c.Nrml("SSUB", [](HodBuilder& p) {
      p.BigLong(1000).Long(2).Long(1).Long(1).Long(0).Long(2).Integer(5).Integer(6);
    });
  });
}

inline void AddBackgroundMeshes(HodBuilder& b) {
  b.Form("BGMS", [](HodBuilder& c) { c.SimpleLod(0).SimpleLod(1, 4); });
}

// A file holding every chunk kind the reader knows. `ends` lists where a read may stop
// successfully: each offset with how many bytes past it may still be ignored (7 after a chunk,
// 3 where a keyframe track may end, since 4 bytes would be taken for the next track's tag).
struct RichFile {
  ByteVector bytes;
  std::vector<std::pair<std::size_t, std::size_t>> ends;
};

inline RichFile BuildRichFile() {
  RichFile file;
  HodBuilder b;
  auto end = [&file](HodBuilder& at) { file.ends.push_back({at.size(), 7}); };
  auto add_all = [&end](HodBuilder& c, std::initializer_list<void (*)(HodBuilder&)> adds) {
    end(c);  // the container's header
    for (auto add : adds) {
      add(c);
      end(c);
    }
  };
  b.Version();
  end(b);
  b.Name();
  end(b);
  b.Form("HVMD", [&](HodBuilder& c) {
    add_all(c, {AddFramedMaterial, AddPlainMaterial, AddTexture, AddMultiMesh, AddGoblin,
                AddSimpleMesh, AddLights});
  });
  b.Form("GOBS", [](HodBuilder& c) { c.Long(1).Long(2); });
  end(b);
  b.Form("DTRM", [&](HodBuilder& c) {
    add_all(c, {AddJoints, AddEngineShape, AddEngineBurn, AddGlow});
    std::vector<std::size_t> tracks;
    AddMarker(c, 2, &tracks);
    for (std::size_t t : tracks) file.ends.push_back({t, 3});
    // The second marker has no tracks and an NRML chunk (NAVL) after it.
    add_all(c, {AddDock, [](HodBuilder& m) { AddMarker(m, 0); }, AddNavLights, AddBoundary,
                AddCollision, AddScar, AddVary});
  });
  add_all(b, {[](HodBuilder& c) { c.Nrml("BGLT", [](HodBuilder& p) { p.BigLong(32); }); },
              AddSegment, AddStarField, AddBackgroundMeshes});
  b.Form("INFO", [&](HodBuilder& c) {
    add_all(c, {[](HodBuilder& p) { p.Plain("WARN", [](HodBuilder& t) { t.Text("careful"); }); },
                [](HodBuilder& p) { p.Plain("ERRR", [](HodBuilder& t) { t.Text("broken"); }); }});
    c.Plain("OWNR", [](HodBuilder& p) { p.Text("me"); });
  });
  file.bytes = b.bytes();
  return file;
}

}  // namespace gantry::testing
