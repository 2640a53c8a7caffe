#include "synthetic_hod.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "common/byte_writer.h"

namespace gantry::bench {

namespace {

constexpr std::string_view kTypeName = "Homeworld2 Multi Mesh File";
constexpr std::string_view kParentJoint = "Root";
constexpr std::int32_t kHodVersion = 512;
constexpr std::int32_t kMeshVersion = 1400;
constexpr std::int32_t kVertexMask = 0x600F;  // position, normal, colour, uv, tangent, binormal
constexpr std::uint64_t kVertexBytes = 16 + 4 + 16 + 8 + 12 + 12;
constexpr std::int32_t kTriangleList = 0x202;

// Each top-level chunk is built in its own buffer and handed over, so a large file is never held
// twice in memory.
using ChunkSink = std::function<void(const std::vector<std::uint8_t>&)>;

std::string MeshName(int mesh) { return "mesh_" + std::to_string(mesh); }

std::string TextureName(bool dxt5, int index) {
  return std::string(dxt5 ? "synthetic_dxt5_" : "synthetic_dxt1_") + std::to_string(index) + ".tga";
}

int MipCount(int size) {
  int count = 1;
  while (size > 1) {
    size /= 2;
    ++count;
  }
  return count;
}

std::uint64_t MipBytes(bool dxt5, int size, int level) {
  const std::uint64_t side = std::max<std::uint64_t>((size >> (level - 1)) / 4, 1);
  return side * side * (dxt5 ? 16 : 8);
}

int PartVertices(const SyntheticHodOptions& o, int mesh, int lod, int part) {
  int n = o.part_vertices[static_cast<std::size_t>(part)];
  if (part == 0 && o.big_mesh_every > 0 && mesh % o.big_mesh_every == 0) n = o.big_part_vertices;
  return std::max(n >> lod, 3);
}

std::uint64_t IndexCount(int vertices) { return 3 * static_cast<std::uint64_t>(vertices - 2); }

void WriteText(ByteWriter& w, std::string_view text) {
  w.WriteText(static_cast<std::int32_t>(text.size()), text);
}

void AddHeader(const ChunkSink& sink) {
  ByteWriter w;
  std::size_t mark = w.BeginContainer("FORM", "VERS");
  w.WriteLong(kHodVersion);
  w.EndChunk(mark);
  mark = w.BeginContainer("FORM", "NAME");
  w.WriteChars(kTypeName);
  w.EndChunk(mark);
  // The reader walks flat: the chunks that belong inside HVMD follow it at the top level.
  w.EndChunk(w.BeginContainer("FORM", "HVMD"));
  sink(w.bytes());
}

void AddTexture(const ChunkSink& sink, bool dxt5, int index, int size) {
  ByteWriter w;
  const std::size_t mark = w.BeginPlain("LMIP");
  WriteText(w, TextureName(dxt5, index));
  w.WriteTag(dxt5 ? "DXT5" : "DXT1");
  const int mips = MipCount(size);
  w.WriteLong(mips);
  w.WriteLong(size);
  w.WriteLong(size);
  std::vector<std::uint8_t> level;
  for (int i = 1; i <= mips; ++i) {
    level.resize(MipBytes(dxt5, size, i));
    // Cheap pseudo-random blocks: the reader copies them, their content does not matter.
    std::uint32_t x = 2463534242u + static_cast<std::uint32_t>(index * 131 + i);
    for (std::uint8_t& b : level) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      b = static_cast<std::uint8_t>(x);
    }
    w.WriteBytes(level);
    if (i < mips) {
      w.WriteLong(std::max(size >> i, 1));
      w.WriteLong(std::max(size >> i, 1));
    }
  }
  w.EndChunk(mark);
  sink(w.bytes());
}

void AddPart(ByteWriter& w, int vertices, int seed) {
  w.WriteLong(0);  // material index
  w.WriteLong(kVertexMask);
  w.WriteLong(vertices);
  std::array<std::uint8_t, kVertexBytes> record{};
  for (int v = 0; v < vertices; ++v) {
    const float f = static_cast<float>(v + seed);
    const float values_a[4] = {f, f * 0.5f, -f, 1.0f};
    const std::uint8_t colour[4] = {static_cast<std::uint8_t>(v), 128, 255,
                                    static_cast<std::uint8_t>(seed)};
    const float values_b[4 + 2 + 3 + 3] = {0, 0, 1, 0, f / 65536.0f, 1.0f - f / 65536.0f, 1, 0,
                                           0, 0, 1, 0};
    std::memcpy(record.data(), values_a, 16);
    std::memcpy(record.data() + 16, colour, 4);
    std::memcpy(record.data() + 20, values_b, sizeof values_b);
    w.WriteBytes(record);
  }
  w.WriteInteger(1);  // face lists
  w.WriteLong(kTriangleList);
  const std::uint64_t indices = IndexCount(vertices);
  w.WriteLong(static_cast<std::int32_t>(indices));
  for (int t = 0; t + 2 < vertices; ++t) {
    // Indices are unsigned 16-bit on disk; above 32767 they read back as negative Integers.
    for (int k = 0; k < 3; ++k) w.WriteInteger(static_cast<std::int16_t>(t + k));
  }
}

void AddMesh(const ChunkSink& sink, const SyntheticHodOptions& o, int mesh) {
  ByteWriter w;
  const std::size_t mark = w.BeginContainer("NRML", "MULT");
  w.WriteBigLong(kMeshVersion);
  WriteText(w, MeshName(mesh));
  WriteText(w, kParentJoint);
  w.WriteLong(o.lod_count);
  for (int lod = 0; lod < o.lod_count; ++lod) {
    const std::size_t bmsh = w.BeginContainer("FORM", "BMSH");
    w.WriteBigLong(kMeshVersion);
    w.WriteLong(lod);
    const int parts = static_cast<int>(o.part_vertices.size());
    w.WriteLong(parts);
    for (int p = 0; p < parts; ++p) AddPart(w, PartVertices(o, mesh, lod, p), mesh * 7 + p);
    w.EndChunk(bmsh);
  }
  w.EndChunk(mark);
  sink(w.bytes());
}

void AddTrailer(const ChunkSink& sink) {
  ByteWriter w;
  w.EndChunk(w.BeginContainer("FORM", "DTRM"));
  const std::size_t mark = w.BeginPlain("HIER");
  w.WriteLong(1);
  WriteText(w, kParentJoint);
  WriteText(w, "");
  const float transform[12] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0};
  for (float f : transform) w.WriteSingle(f);
  for (int i = 0; i < 3; ++i) w.WriteByte(1);
  w.EndChunk(mark);
  sink(w.bytes());
}

void Generate(const SyntheticHodOptions& o, const ChunkSink& sink) {
  AddHeader(sink);
  for (int i = 0; i < o.dxt1_textures; ++i) AddTexture(sink, false, i, o.texture_size);
  for (int i = 0; i < o.dxt5_textures; ++i) AddTexture(sink, true, i, o.texture_size);
  for (int m = 0; m < o.mesh_count; ++m) AddMesh(sink, o, m);
  AddTrailer(sink);
}

}  // namespace

SyntheticHodOptions LargeOptions() { return SyntheticHodOptions{}; }

SyntheticHodOptions TinyOptions() {
  SyntheticHodOptions o;
  o.mesh_count = 1;
  o.lod_count = 2;
  o.part_vertices = {4};
  o.big_mesh_every = 0;
  o.dxt1_textures = 1;
  o.dxt5_textures = 1;
  o.texture_size = 8;
  return o;
}

std::uint64_t SyntheticHodSize(const SyntheticHodOptions& o) {
  constexpr std::uint64_t kContainer = 12;  // kind, length, ID
  constexpr std::uint64_t kPlain = 8;       // tag, length
  std::uint64_t total = (kContainer + 4) + (kContainer + kTypeName.size()) + kContainer;
  for (int kind = 0; kind < 2; ++kind) {
    const bool dxt5 = kind == 1;
    const int count = dxt5 ? o.dxt5_textures : o.dxt1_textures;
    for (int i = 0; i < count; ++i) {
      const int mips = MipCount(o.texture_size);
      std::uint64_t t = kPlain + 4 + TextureName(dxt5, i).size() + 4 + 12 + 8 * (mips - 1);
      for (int level = 1; level <= mips; ++level) t += MipBytes(dxt5, o.texture_size, level);
      total += t;
    }
  }
  for (int m = 0; m < o.mesh_count; ++m) {
    total += kContainer + 4 + (4 + MeshName(m).size()) + (4 + kParentJoint.size()) + 4;
    for (int lod = 0; lod < o.lod_count; ++lod) {
      total += kContainer + 12;
      for (std::size_t p = 0; p < o.part_vertices.size(); ++p) {
        const int n = PartVertices(o, m, lod, static_cast<int>(p));
        total += 12 + n * kVertexBytes + 2 + 8 + 2 * IndexCount(n);
      }
    }
  }
  total += kContainer + kPlain + 4 + (4 + kParentJoint.size()) + 4 + 48 + 3;
  return total;
}

std::vector<std::uint8_t> BuildSyntheticHod(const SyntheticHodOptions& options) {
  std::vector<std::uint8_t> all;
  all.reserve(SyntheticHodSize(options));
  Generate(options, [&all](const std::vector<std::uint8_t>& chunk) {
    all.insert(all.end(), chunk.begin(), chunk.end());
  });
  return all;
}

bool WriteSyntheticHod(const std::filesystem::path& path, const SyntheticHodOptions& options,
                       std::string* error) {
  std::filesystem::path partial = path;
  partial += ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot create " + partial.string();
    return false;
  }
  bool ok = true;
  Generate(options, [&](const std::vector<std::uint8_t>& chunk) {
    if (ok) ok = std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
  });
  ok = std::fclose(file) == 0 && ok;
  std::error_code ec;
  if (ok && std::filesystem::file_size(partial, ec) != SyntheticHodSize(options)) {
    *error = "the written size differs from the computed one";
    ok = false;
  } else if (!ok) {
    *error = "cannot write " + partial.string();
  }
  if (ok) std::filesystem::rename(partial, path, ec);
  if (ok && ec) {
    *error = ec.message();
    ok = false;
  }
  if (!ok) std::filesystem::remove(partial, ec);
  return ok;
}

std::filesystem::path DefaultSyntheticHodPath() {
  return std::filesystem::temp_directory_path() / "gantry_bench_synthetic.hod";
}

void EnsureSyntheticHod(const std::filesystem::path& path, const SyntheticHodOptions& options) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size == SyntheticHodSize(options)) return;
  std::string error;
  if (!WriteSyntheticHod(path, options, &error)) {
    throw std::runtime_error("cannot build " + path.string() + ": " + error);
  }
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw std::runtime_error("cannot open " + path);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  if (got != bytes.size()) throw std::runtime_error("short read of " + path);
  return bytes;
}

}  // namespace gantry::bench
