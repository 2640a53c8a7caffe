// Wavefront OBJ files into the model. ImportOBJMesh turns one file into a level-of-detail mesh:
// one part per OBJ material (in order of first use), polygons cut into triangle fans, corners
// that lie close together (with close normals and texture coordinates) welded into shared
// vertices whose attributes are the corners' averages, texture V optionally reversed, and each
// OBJ material mapped onto a model material. ReadOBJPoints reads only the positions, into an
// engine burn.
//
// A file that cannot be imported whole (a line with too few numbers, a number out of single
// range or spelled NaN/Inf, a negative or out-of-range index, more than 254 materials, a part
// with more than 65536 vertices) is refused with a message naming the problem: nothing is
// returned, so the caller changes nothing. Choices of ours where the format's usual readers
// differ:
//  - a corner may be a bare position ("f 1 2 3") or "p/t" as well as "p/t/n", "p//n", "p/t/";
//  - a number may use "," as its decimal point (files written on such locales);
//  - a UTF-8 byte-order mark before the first line is ignored;
//  - "vt u" with one number has v = 0;
//  - a file without texture coordinates has no V to reverse, and its corners are not kept apart
//    by the UV threshold;
//  - a threshold typed beyond single range is the largest single;
//  - an empty file, a cancelled threshold question or a refused file give no mesh at all;
//  - a material chooser closed without a choice gives material 0;
//  - a file whose rewrite cannot be saved (read-only folder) is imported from the rewritten text
//    all the same;
//  - corners are welded only with vertices of their own part.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

// The importer's eight yes/no options, in their customary order.
struct ObjImportOptions {
  bool SubstituteMaterials = false;  // the user maps every OBJ material; otherwise material 0
  bool AskReverseUVs = false;        // ask whether to reverse V; otherwise V is kept
  bool MergeVertices = false;        // weld close corners; otherwise each corner is a vertex
  bool AskMergeThresholds = false;   // with MergeVertices: ask the three thresholds
  bool Quiet = false;                // no summary message
  bool IgnoreNormals = false;        // normals never keep corners apart
  bool IgnoreUVs = false;            // texture coordinates never keep corners apart
  bool ReadFaces = false;            // read "f " lines; otherwise the positions become the mesh
};

struct ObjImportContext {
  // The model's material names in model order: the chooser's entries, and what OBJ material
  // names are matched against in a batch import.
  std::vector<std::string> material_names;
  // The LodLevel the mesh gets (the level selected on the geometry tab, else 0).
  std::int32_t lod_level = 0;
  // Nobody to ask (command line, fuzzing): no summary, V reversed exactly when AskReverseUVs,
  // the default thresholds, and with SubstituteMaterials every OBJ material becomes the model
  // material of the same name (exact, else ignoring case), else material 0. Refusals are still
  // reported through the Ui.
  bool batch = false;
};

// Thresholds used when they are not asked.
inline constexpr float kDefaultVertexThreshold = 0.01f;
inline constexpr float kDefaultNormalThreshold = 0.1f;
inline constexpr float kDefaultUVThreshold = 0.01f;
// What a threshold becomes when its attribute is ignored.
inline constexpr float kIgnoredThreshold = 1000.0f;
// 16-bit indices name at most this many vertices of a part.
inline constexpr std::size_t kMaxPartVertices = 65536;

// Rewrites the file (text file rewrite) and imports it.
std::optional<LodMesh> ImportOBJMesh(const std::string& path, const ObjImportOptions& options,
                                     const ObjImportContext& context, Ui& ui);
// The same on text already in memory; the file is neither read nor rewritten.
std::optional<LodMesh> ImportOBJMeshText(std::string_view text, const ObjImportOptions& options,
                                         const ObjImportContext& context, Ui& ui);

// Every "v " line's position into the burn's Vertices in file order; VertexCount = their number,
// CurveCount = 1. A file of length 0 is deleted; it, an unreadable file or a refused line give
// false and leave the burn as it was.
bool ReadOBJPoints(const std::string& path, EngineBurn& burn, Ui& ui);
bool ReadOBJPointsText(std::string_view text, EngineBurn& burn, Ui& ui);

}  // namespace gantry
