// The Background Mesh tab's image tools: a coloured sphere mesh built from a TGA image, a
// background mesh recoloured from an image, and every background mesh rendered back into an
// image (the texture generator).
//
// Images and meshes meet through texture coordinates: u runs across the picture from its left
// edge, v down from its top edge (the TGA's origin bit tells which stored row is the top), both
// 0 to 1. A vertex colour is the pixel at column u * width, row v * height; its four bytes are the
// Direct3D colour DWORD in little-endian order: blue, green, red, alpha.
//
// On the sphere, v = 0 is the +Y pole and v = 1 the -Y pole; u = 0 lies towards -Z and grows
// towards -X, as SpherePoint lays an image out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "commands/background_render.h"
#include "commands/command_result.h"
#include "common/ui.h"
#include "hod/model.h"
#include "hod/workspace.h"
#include "interchange/tga.h"

namespace gantry {

inline constexpr float kBackgroundRadius = 100;

// value with step added while it is below lower, then subtracted while it is above upper. A step
// of 0 counts as 1 and a negative step as its size; a value that is not finite gives lower.
double Wrap(double value, double lower, double upper, double step);

// Uncompressed true-colour, 32 bits, a width and a height, and every pixel present.
bool IsUsableTGA(const TGAImage& image);
// The pixel at (u, v) as vertex colour bytes; coordinates past the edges take the edge pixel.
// The image must be usable.
std::array<std::uint8_t, 4> ImageColourAt(const TGAImage& image, float u, float v);

// ---- Mesh from texture ----------------------------------------------------------------------

// N of the 2 * 4^N parts is cut to a whole number in 0..3 (a mesh holds at most 254 parts).
// The sphere is the image laid out as a grid of 2^(N+1) x 2^N blocks, one part each. Blocks
// start as square cells, about 32 * density of them around the equator. A cell is split into
// four while a pixel inside it is further than 24 / sensitivity (in any channel) from the
// bilinear blend of the cell's corner colours, down to single pixels and to at most 126 cells
// along a part's side, which keeps every part below 32768 vertices. A cell's triangles take in
// every vertex on its edges (fanned from its centre when there are such vertices), so neighbours
// refined to different depths, in one part or two, leave no cracks. The poles keep one vertex
// per grid column, with that column's colour; triangles joining two of them are left out.
// Triangles face the centre, as in the game's own background files.
struct MeshFromTextureSettings {
  double parts_exponent = 1;
  double density = 1;
  double sensitivity = 1;
};
inline constexpr int kMaxPartsExponent = 3;

// Parts with positions, colours and texture coordinates (mask 13), one triangle list each. The
// image must be usable.
std::vector<MeshPart> MeshPartsFromTexture(const TGAImage& image,
                                           const MeshFromTextureSettings& settings);
// cmdBGMSMeshGen: the three questions, the image, then a new background mesh. Cancelling a
// question or the file dialog changes nothing; an unusable image is refused like recolouring.
CommandResult CreateMeshFromTexture(HodModel& model, Ui& ui);

// ---- Recolouring ----------------------------------------------------------------------------

void RecolourMesh(LodMesh& mesh, const TGAImage& image);
// cmdBGMSRecolourize on the selected background mesh.
CommandResult RecolourBackgroundMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui);

// ---- Texture generation ---------------------------------------------------------------------

// The position's direction from the origin as texture coordinates: u in [0, 1), v in [0, 1].
Vector2 UnprojectToUV(const Vector4& position);
// Every background mesh with texture coordinates from its positions (mask gains UV).
std::vector<LodMesh> UnprojectedCopies(const BackgroundMeshSetRecord& set);
// "Attempt to fix circular wrapping?": gives each face coordinates that do not jump across the
// image's seam. A face spanning more than half the width has its vertices left of the middle
// replaced by copies at u + 1, and a vertex at a pole by a copy whose u is the mean of the face's
// other vertices. The part's faces become one triangle list; a part that would pass 65535
// vertices is left as it was.
void FixCircularWrapping(LodMesh& mesh);

// How faces at the image's edges become triangles. A face with a corner left of `lower` and one
// right of `upper` crosses the seam: its left corners move right by 1. With additional faces, a
// triangle reaching past the left or right edge is drawn again shifted by the image's width, so
// it appears on both sides; without, it is clipped. A face with one corner at a pole: with
// duplicate_poles that corner becomes two, above (or below) each other corner on the image's top
// (or bottom) edge, filling the edge; otherwise it sits at the mean u of the other corners.
struct WrapSettings {
  double lower = 0.125;
  double upper = 0.875;
  bool additional_faces = true;
  bool duplicate_poles = true;
};

// frmBGMSTexGen: collects triangles from the working meshes and renders them. The picture is
// 2048 * m pixels wide and half as high.
class BackgroundTextureGenerator {
 public:
  static constexpr int kBaseWidth = 2048;

  // Takes |m|; 0 or a value that is not finite counts as 1, and anything above 2 as 2 (the
  // questions never let more through; this keeps a negative answer from asking for more).
  void SetNewSizeMultiplier(double multiplier);
  double size_multiplier() const { return multiplier_; }
  int width() const;
  int height() const;

  // Asks the four rendering options, each Yes or No.
  void Init(Ui& ui);
  RenderOptions& options() { return options_; }
  const RenderOptions& options() const { return options_; }
  void SetCullMode(CullMode mode) { options_.cull = mode; }

  // Appends the mesh's faces (lists and strips; indices past the part's vertices are skipped).
  // Corner depth is the distance from the origin; colours are the vertex colours.
  void AddAVert(const LodMesh& mesh, const WrapSettings& wrap);
  const std::vector<RenderTriangle>& triangles() const { return triangles_; }

  RgbaImage Render() const;
  // cmdSaveTex: asks for the bitmap's name and writes it; false when cancelled or not written.
  bool SaveTexture(Ui& ui) const;

 private:
  double multiplier_ = 1;
  RenderOptions options_;
  std::vector<RenderTriangle> triangles_;
};

// The size multiplier question with its corrections (messages with the exclamation icon);
// nullopt when cancelled.
std::optional<double> AskSizeMultiplier(Ui& ui);
// An answer's corrections alone: 0 gives 1 and above 2 gives 2, each with its message.
double CorrectedSizeMultiplier(double multiplier, Ui& ui);
// A threshold question (default 0.125 or 0.875) with its corrections; nullopt when cancelled.
std::optional<double> AskThreshold(Ui& ui, bool upper);
double CorrectedThreshold(double value, bool upper, Ui& ui);

struct TextureGenerationSettings {
  bool fix_wrapping = true;
  double size_multiplier = 1;
  RenderOptions render;
  WrapSettings wrap;
};
struct TextureGeneration {
  std::vector<LodMesh> working;  // the meshes as rendered, with their texture coordinates
  BackgroundTextureGenerator generator;
};
TextureGeneration GenerateTexture(const BackgroundMeshSetRecord& set,
                                  const TextureGenerationSettings& settings);

// cmdBGMSTexGen: every question, the generator filled, then "Save generated meshes?" (Yes
// writes them as OBJ files to the working folder). nullopt when a question was cancelled; the
// generator window shows and saves what is returned.
std::optional<BackgroundTextureGenerator> GenerateBackgroundTexture(const Workspace& workspace,
                                                                    Ui& ui);

}  // namespace gantry
