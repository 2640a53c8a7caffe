// Shared state of one HOD read and the small helpers every chunk handler uses: logging labelled
// values (only when the log is detailed), checking counts before anything is allocated, and
// reporting progress. Internal to hod/.
#pragma once

#include <fmt/format.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/byte_reader.h"
#include "common/debug_log.h"
#include "common/number_text.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/reader_limits.h"

namespace gantry {

// Thrown by handlers for faults that are not a short read (limits, invalid face lists).
// Verbatim texts are the program's own fixed messages and are shown exactly as they stand;
// others are framed with the chunk and the byte offset.
class ReadStop : public std::runtime_error {
 public:
  enum class Framing { WithChunk, Verbatim };
  ReadStop(std::string message, Icon icon, Framing framing = Framing::WithChunk)
      : std::runtime_error(std::move(message)), icon_(icon), framing_(framing) {}
  Icon icon() const { return icon_; }
  bool verbatim() const { return framing_ == Framing::Verbatim; }

 private:
  Icon icon_;
  Framing framing_;
};

struct Hod2ReadState;  // the decoded POOL streams of a later-dialect file (hod2_read.h)

struct ReadContext {
  ReadContext(ByteReader& reader, HodModel& target, DebugLog& debug_log, Ui& user)
      : in(reader), model(target), log(debug_log), ui(user), detailed(debug_log.detailed()) {}

  ByteReader& in;
  HodModel& model;
  DebugLog& log;
  Ui& ui;
  const bool detailed;

  // The chunk being handled: its header, whether it came through FORM/NRML, where its tag is.
  ChunkHeader header;
  bool container = false;
  std::uint64_t chunk_start = 0;
  std::uint64_t last_progress = 0;
  // Vertices whose mask selects no components may still be counted; one 16-bit index range of
  // them is allowed per read.
  std::int64_t empty_vertex_budget = kMaxEmptyVertices;
  // Set once a POOL chunk has been read: the file is of the later dialect.
  std::shared_ptr<Hod2ReadState> hod2;

  // Logs label + value when the log is detailed.
  template <typename T>
  void Note(std::string_view label, const T& value) {
    if (detailed) log.Log(fmt::format("{}{}", label, Text(value)));
  }
  void Note(std::string_view label) {
    if (detailed) log.Log(label);
  }

  // Refuses counts above what the program can hold.
  void Limit(std::int64_t count, std::int64_t limit, std::string_view what) const;
  // A count read from the file: not negative, and its items (of at least item_size bytes each)
  // fit in what remains of the file.
  void Require(std::int64_t count, std::uint64_t item_size, std::string_view what) const {
    in.Require(count, item_size, what);
  }

  // Moves the progress bar when the position has advanced enough to show.
  void Tick() {
    const std::uint64_t pos = in.position();
    if (pos - last_progress >= (in.size() >> 8) + 1) Progress();
  }
  void Progress() {
    last_progress = in.position();
    ui.Progress(static_cast<std::int64_t>(last_progress), static_cast<std::int64_t>(in.size()));
  }

  std::string ReadText(std::int32_t& length) { return in.ReadText(length); }
  Vector3 ReadVector3() {
    Vector3 v;
    v.x = in.ReadSingle();
    v.y = in.ReadSingle();
    v.z = in.ReadSingle();
    return v;
  }

  static std::string Text(std::string_view s) { return std::string(s); }
  static std::string Text(const std::string& s) { return s; }
  static std::string Text(const char* s) { return s; }
  static std::string Text(const Tag& t) { return t.str(); }
  static std::string Text(const Vector3& v) {
    return NumberText(v.x) + " " + NumberText(v.y) + " " + NumberText(v.z);
  }
  static std::string Text(const ColourRGB& c) {
    return NumberText(c.r) + " " + NumberText(c.g) + " " + NumberText(c.b);
  }
  static std::string Text(const ColourRGBA& c) {
    return NumberText(c.r) + " " + NumberText(c.g) + " " + NumberText(c.b) + " " + NumberText(c.a);
  }
  template <typename N>
  requires std::is_arithmetic_v<N>
  static std::string Text(N n) { return NumberText(n); }
};

// Chunk handlers. Each reads exactly its chunk's content, starting right after the header that
// ReadContext::header describes.
void ReadVersionChunk(ReadContext& ctx);
void ReadNameChunk(ReadContext& ctx);
void ReadFormHeaderChunk(ReadContext& ctx, FormHeader& target);
void ReadInfoEntryChunk(ReadContext& ctx, std::vector<InfoEntry>& target);
void ReadOwnerChunk(ReadContext& ctx);
void ReadLightChunk(ReadContext& ctx);
void ReadMaterialChunk(ReadContext& ctx);
void ReadTextureChunk(ReadContext& ctx);
void ReadJointChunk(ReadContext& ctx);
void ReadEngineShapeChunk(ReadContext& ctx);
void ReadEngineBurnChunk(ReadContext& ctx);
void ReadEngineGlowChunk(ReadContext& ctx);
void ReadBoundaryVertexChunk(ReadContext& ctx);
void ReadMarkerChunk(ReadContext& ctx);
void ReadNavLightChunk(ReadContext& ctx);
void ReadDockChunk(ReadContext& ctx);
void ReadBackgroundLightChunk(ReadContext& ctx);
void ReadBackgroundSegmentChunk(ReadContext& ctx);
void ReadStarFieldChunk(ReadContext& ctx);
void ReadVaryChunk(ReadContext& ctx);
void ReadMultiMeshChunk(ReadContext& ctx);
void ReadSimpleMeshChunk(ReadContext& ctx);
void ReadBackgroundMeshChunk(ReadContext& ctx);
void ReadCollisionChunk(ReadContext& ctx);
void ReadScarChunk(ReadContext& ctx);

// A BMSH with its own header, wherever a mesh occurs.
LodMesh ReadLodMesh(ReadContext& ctx);

// SizeX * SizeY * SizeZ of a scar grid as the file's Long arithmetic gives it; nullopt when it
// overflows a Long.
std::optional<std::int64_t> ScarCellCount(const ScarGrid& grid);

// The record's copy of the current chunk's header.
template <typename Record>
void TakeHeader(const ReadContext& ctx, Record& record) {
  static_cast<ChunkHeader&>(record) = ctx.header;
}

}  // namespace gantry
