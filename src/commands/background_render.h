// The background texture generator's renderer: triangles with per-vertex colours drawn into an
// RGBA picture in software, so the texture comes out the same with or without a graphics device,
// and the 24-bit Windows bitmap the picture is saved as.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/ui.h"
#include "interchange/texture_decode.h"

namespace gantry {

// Which winding, as the triangle appears in the picture, is not drawn.
enum class CullMode { None, Clockwise, CounterClockwise };

// Anti-aliasing is 2x2 supersampling with a box filter. Alpha blending draws "source over":
// colour * alpha + picture * (1 - alpha). The depth test keeps a sample whose depth is less than
// or equal to the nearest drawn so far. Double tone doubles every interpolated colour channel
// (saturating at 255) before blending, as the game's modulate-2x stage brightens vertex colours.
struct RenderOptions {
  bool alpha_blending = true;
  bool anti_aliasing = true;
  bool depth_test = false;
  bool double_tone = false;
  CullMode cull = CullMode::None;
};

// A corner in picture coordinates: u across the width and v down the height, both 0 to 1 over
// the picture (values outside are drawn off the picture and clipped). Colour is red, green,
// blue, alpha.
struct RenderVertex {
  float u = 0;
  float v = 0;
  float depth = 0;
  std::array<std::uint8_t, 4> rgba{};
};
using RenderTriangle = std::array<RenderVertex, 3>;

// The red, green, blue, alpha bytes of a pixel of a picture (top row first, rows unpadded).
std::array<std::uint8_t, 4> PixelAt(const RgbaImage& image, int x, int y);

// Draws triangles in the order given over an opaque black picture; the result is always opaque.
// Triangles with a corner that is not finite or lies more than 16 picture widths away are
// skipped. Sample positions are pixel centres; edges shared by two triangles are drawn once.
class TriangleRenderer {
 public:
  // Sizes below 1 count as 1.
  TriangleRenderer(int width, int height, const RenderOptions& options);

  RgbaImage Render(std::span<const RenderTriangle> triangles) const;

  int width() const { return width_; }
  int height() const { return height_; }
  const RenderOptions& options() const { return options_; }

 private:
  int width_;
  int height_;
  RenderOptions options_;
};

// The picture as a 24-bit bitmap: BITMAPFILEHEADER, BITMAPINFOHEADER, then blue, green, red rows
// bottom row first, each padded to a multiple of 4 bytes. Alpha is dropped.
std::vector<std::uint8_t> EncodeBmp24(const RgbaImage& image);
// Written through a temporary file; a failure is shown with the critical icon.
bool WriteBmp24(const std::string& path, const RgbaImage& image, Ui& ui);

}  // namespace gantry
