// VERS, NAME, the HVMD/DTRM/INFO containers, WARN/ERRR entries and OWNR.
#include "hod/read_context.h"
#include "hod/write_context.h"

namespace gantry {

void ReadVersionChunk(ReadContext& ctx) {
  HodVersionRecord record;
  TakeHeader(ctx, record);
  record.Version = ctx.in.ReadLong();
  ctx.Note("Version Identifier: ", record.ID);
  ctx.Note("HOD Version: ", record.Version);
  ctx.model.HodVersion = record;
}

void ReadNameChunk(ReadContext& ctx) {
  HodNameRecord record;
  TakeHeader(ctx, record);
  const std::int64_t chars = std::int64_t{record.Length} - 4;
  ctx.Require(chars, 1, "NAME text length");
  record.TypeName = ctx.in.ReadChars(static_cast<std::uint64_t>(chars));
  ctx.Note("Name ID? ", record.ID);
  ctx.Note("Type of HW2 HOD: ", record.TypeName);
  ctx.model.HodName = record;
}

void ReadFormHeaderChunk(ReadContext& ctx, FormHeader& target) { TakeHeader(ctx, target); }

void ReadInfoEntryChunk(ReadContext& ctx, std::vector<InfoEntry>& target) {
  InfoEntry entry;
  TakeHeader(ctx, entry);
  entry.Text = ctx.ReadText(entry.TextLength);
  target.push_back(std::move(entry));
}

void ReadOwnerChunk(ReadContext& ctx) {
  HodOwnerRecord record;
  TakeHeader(ctx, record);
  if (record.Length != 0) record.Owner = ctx.ReadText(record.OwnerLength);
  ctx.Note("HOD Owner: ", record.Owner);
  ctx.model.HodOwner = record;
}

std::int64_t ChunkBytes(const InfoEntry& entry) { return TextBytes(entry.Text); }

// The entry's tag (WARN or ERRR) follows from its list and is set there.
std::int32_t ComputeInfoEntryLengths(InfoEntry& entry) {
  entry.ID = Tag();
  return StoreLength(entry.Length, SyncText(entry.TextLength, entry.Text), "a warning or error");
}

void WriteInfoEntryChunk(WriteContext& ctx, const InfoEntry& entry) {
  const std::size_t mark = ctx.BeginPlain(entry.Kind, entry.Length);
  ctx.Text(entry.TextLength, entry.Text);
  ctx.End(mark, entry.Length, "a warning or error");
}

// The owner text is stored with one NUL at its end, appended once however often a model is
// saved.
std::int64_t ChunkBytes(const HodOwnerRecord& owner) { return TextBytes(owner.Owner); }

std::int32_t ComputeOwnerLengths(HodOwnerRecord& owner) {
  Frame(owner, "OWNR");
  if (owner.Owner.find('\0') == std::string::npos) owner.Owner.push_back('\0');
  return StoreLength(owner.Length, SyncText(owner.OwnerLength, owner.Owner), "the owner");
}

void WriteOwnerChunk(WriteContext& ctx, const HodOwnerRecord& owner) {
  const std::size_t mark = ctx.BeginPlain("OWNR", owner.Length);
  ctx.Text(owner.OwnerLength, owner.Owner);
  ctx.End(mark, owner.Length, "the owner");
}

}  // namespace gantry
