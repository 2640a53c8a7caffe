#include "hod/hod_reader.h"

#include <fmt/format.h>

#include "common/assert.h"
#include "common/paths.h"
#include "hod/hod2_read.h"
#include "hod/messages.h"
#include "hod/read_context.h"

namespace gantry {

void ReadContext::Limit(std::int64_t count, std::int64_t limit, std::string_view what) const {
  if (count > limit) {
    throw ReadStop(fmt::format("{} is {}; at most {} can be held", what, count, limit),
                   Icon::Critical);
  }
}

namespace {

// A chunk header occupies 8 bytes; the walk goes on while a whole one remains.
constexpr std::uint64_t kHeaderBytes = 8;

enum class Walk { Continue, Ended };

// Skips an unknown chunk exactly: a container's length counts its ID (already read), a plain
// chunk's does not. The length is unsigned on disk: one that reads as negative claims more
// than 2 GB, which no file we read can hold.
void SkipChunk(ReadContext& ctx) {
  const std::uint64_t length = static_cast<std::uint32_t>(ctx.header.Length);
  std::uint64_t skip = length;
  if (ctx.container) skip = skip >= 4 ? skip - 4 : 0;
  if (skip > ctx.in.remaining()) {
    throw ReadError(
        fmt::format("the chunk claims {} bytes but only {} remain", length, ctx.in.remaining()),
        ctx.in.position());
  }
  ctx.in.Skip(skip);
}

Walk Dispatch(ReadContext& ctx, const Tag& tag) {
  HodModel& m = ctx.model;
  const std::string_view t = tag.view();
  if (tag.IsNull()) {
    ctx.ui.Message(ctx.header.Length == 0 ? messages::kBeyondEofNullForm : messages::kBeyondEof,
                   Icon::Exclamation);
    return Walk::Ended;
  }
  // A POOL chunk makes the file one of the later dialect, whose chunks read differently.
  if (t == "POOL") {
    ReadPoolChunk(ctx);
    return Walk::Continue;
  }
  if (ctx.hod2 && ReadHod2Chunk(ctx, tag)) return Walk::Continue;
  if (t == "VERS") {
    ReadVersionChunk(ctx);
  } else if (t == "NAME") {
    ReadNameChunk(ctx);
  } else if (t == "HVMD") {
    ReadFormHeaderChunk(ctx, m.HvmdHeader);
  } else if (t == "DTRM") {
    ReadFormHeaderChunk(ctx, m.DtrmHeader);
  } else if (t == "INFO") {
    ReadFormHeaderChunk(ctx, m.InfoHeader);
  } else if (t == "LITE") {
    ReadLightChunk(ctx);
  } else if (t == "STAT") {
    ReadMaterialChunk(ctx);
  } else if (t == "LMIP") {
    ReadTextureChunk(ctx);
  } else if (t == "HIER") {
    ReadJointChunk(ctx);
  } else if (t == "ETSH") {
    ReadEngineShapeChunk(ctx);
  } else if (t == "BURN") {
    ReadEngineBurnChunk(ctx);
  } else if (t == "BNDV") {
    ReadBoundaryVertexChunk(ctx);
  } else if (t == "MRKR") {
    ReadMarkerChunk(ctx);
  } else if (t == "NAVL") {
    ReadNavLightChunk(ctx);
  } else if (t == "DOCK") {
    ReadDockChunk(ctx);
  } else if (t == "ERRR") {
    ReadInfoEntryChunk(ctx, m.Errors);
  } else if (t == "WARN") {
    ReadInfoEntryChunk(ctx, m.Warnings);
  } else if (t == "OWNR") {
    ReadOwnerChunk(ctx);
  } else if (t == "BGLT") {
    ReadBackgroundLightChunk(ctx);
  } else if (t == "BGSG") {
    ReadBackgroundSegmentChunk(ctx);
  } else if (t == "STRF") {
    ReadStarFieldChunk(ctx);
  } else if (t == "VARY") {
    ReadVaryChunk(ctx);
  } else if (t == "SIMP") {
    ReadSimpleMeshChunk(ctx);
  } else if (t == "MULT" || t == "GOBG") {
    ReadMultiMeshChunk(ctx);
  } else if (t == "GLOW") {
    ReadEngineGlowChunk(ctx);
  } else if (t == "COLD") {
    ReadCollisionChunk(ctx);
  } else if (t == "BSRM") {
    ReadScarChunk(ctx);
  } else if (t == "BGMS") {
    ReadBackgroundMeshChunk(ctx);
  } else if (t == "GOBS" || t == "GOBD") {
    SkipChunk(ctx);
  } else {
    // Lengths are unsigned on disk; a huge one must not show as a negative number.
    ctx.ui.Message(
        fmt::format("{}{}\r\n{}{}{}", messages::kUnknownChunk, tag.printable(), messages::kSkipping,
                    static_cast<std::uint32_t>(ctx.header.Length), messages::kBytesEllipsis),
        Icon::Critical);
    SkipChunk(ctx);
  }
  return Walk::Continue;
}

// Reads one chunk header (and the ID of a container) and hands the chunk to its handler.
Walk ReadChunk(ReadContext& ctx) {
  ctx.chunk_start = ctx.in.position();
  ctx.header = ChunkHeader{};  // a cut header must not be reported as the previous chunk
  ctx.container = false;
  const Tag tag = ctx.in.ReadTag();
  ctx.header.Kind = tag;
  const std::int32_t length = ctx.in.ReadBigLong();
  ctx.Note("Form Name: ", tag);
  ctx.Note("Form Length: ", static_cast<std::uint32_t>(length));
  ctx.header.Length = length;
  ctx.container = tag == Tag("FORM") || tag == Tag("NRML");
  Tag dispatch_on = tag;
  if (ctx.container) {
    // An ID of "FORM" or "NRML" is itself a container marker: its next four bytes are the ID.
    dispatch_on = ctx.in.ReadTag();
    while (dispatch_on == Tag("FORM") || dispatch_on == Tag("NRML")) {
      ctx.header.Kind = dispatch_on;
      dispatch_on = ctx.in.ReadTag();
    }
    ctx.header.ID = dispatch_on;
  }
  return Dispatch(ctx, dispatch_on);
}

std::string StopMessage(const ReadContext& ctx, std::string_view detail, std::uint64_t offset) {
  const Tag name = ctx.container && ctx.header.ID != Tag() ? ctx.header.ID : ctx.header.Kind;
  // Before the first tag has been read there is no chunk to name.
  const std::string where = name == Tag() ? std::string("the file")
                                          : fmt::format("the {} chunk that starts at byte {}",
                                                        name.str(), ctx.chunk_start);
  return fmt::format(
      "Error reading {}: {} (at byte {}).\r\nReading stopped; everything read before it is kept.",
      where, detail, offset);
}

}  // namespace

ReadOutcome ReadHodSource(ByteSource& source, std::string_view file_name, HodModel& model,
                          DebugLog& log, Ui& ui) {
  ByteReader in(source);
  ReadContext ctx(in, model, log, ui);
  ReadOutcome outcome;

  log.Log(messages::kReadingHod);
  ui.Status(messages::kReadingFile);
  ui.FileName(file_name.empty() ? std::string_view(messages::kUntitled) : file_name);
  ctx.Progress();

  try {
    if (in.remaining() < kHeaderBytes) {
      throw ReadError(
          fmt::format("the file holds only {} bytes, less than one chunk header", in.remaining()),
          0);
    }
    Walk walk = Walk::Continue;
    while (walk == Walk::Continue && in.remaining() >= kHeaderBytes) {
      walk = ReadChunk(ctx);
      // Every chunk moves the walk forward; a handler that did not would loop for ever.
      if (!Assert(in.position() > ctx.chunk_start, in.position(), log, ui)) walk = Walk::Ended;
      ctx.Progress();
    }
    if (walk == Walk::Continue) {
      if (ctx.hod2) FinishHod2(ctx);
      outcome.completed = true;
      if (ctx.detailed) {
        log.Log(messages::kSuccessBanner1);
        log.Log(messages::kSuccessBanner2);
        log.Log(messages::kSuccessBanner3);
      } else {
        log.Log(messages::kReadingComplete);
      }
    }
  } catch (const ReadError& e) {
    const std::string text = StopMessage(ctx, e.what(), e.offset());
    log.Log(text);
    ui.Message(text, Icon::Critical);
  } catch (const ReadStop& e) {
    const std::string text = e.verbatim() ? e.what() : StopMessage(ctx, e.what(), in.position());
    log.Log(text);
    ui.Message(text, e.icon());
  } catch (const std::bad_alloc&) {
    const std::string text = StopMessage(ctx, "not enough memory", in.position());
    log.Log(text);
    ui.Message(text, Icon::Critical);
  }

  outcome.position = in.position();
  ui.Progress(static_cast<std::int64_t>(in.size()), static_cast<std::int64_t>(in.size()));
  ui.Status(messages::kReady);
  return outcome;
}

ReadOutcome ReadHodBytes(std::span<const std::uint8_t> bytes, HodModel& model, DebugLog& log,
                         Ui& ui) {
  MemorySource source(bytes);
  return ReadHodSource(source, "", model, log, ui);
}

ReadOutcome ReadHod(const std::string& path, HodModel& model, DebugLog& log, Ui& ui) {
  std::string error;
  auto source = FileSource::Open(NativePath(path), &error);
  if (!source) {
    ui.Message(fmt::format("Couldn't open file: {}\r\n{}", path, error), Icon::Critical);
    return ReadOutcome{};
  }
  return ReadHodSource(*source, FileNameOf(path), model, log, ui);
}

}  // namespace gantry
