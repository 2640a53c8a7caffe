#include "commands/background_render.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "commands/background_messages.h"
#include "common/paths.h"
#include "common/safe_file.h"

namespace gantry {

namespace {

namespace msg = background_messages;

// Corners are snapped to 1/256 of a sample, so that neighbouring triangles agree exactly on their
// shared edges whatever the rounding of the floating-point corners.
constexpr int kSubBits = 8;
constexpr std::int64_t kSub = std::int64_t{1} << kSubBits;
constexpr float kFarthest = 16;

struct Point {
  std::int64_t x = 0;
  std::int64_t y = 0;
};

// Positive when c lies to the right of a -> b with y pointing down: a clockwise triangle.
std::int64_t Cross(const Point& a, const Point& b, const Point& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool Drawable(const RenderVertex& v) {
  return std::isfinite(v.u) && std::isfinite(v.v) && std::isfinite(v.depth) &&
         std::fabs(v.u) <= kFarthest && std::fabs(v.v) <= kFarthest;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// One edge of a clockwise triangle: its function at a sample and the change per sample step.
// Samples exactly on an edge belong to the triangle only when the edge is a top or a left one,
// so a sample on an edge two triangles share is drawn once (no double blending there).
struct Edge {
  Edge(const Point& a, const Point& b, const Point& origin)
      : step_x(-(b.y - a.y) * kSub),
        step_y((b.x - a.x) * kSub),
        value((b.x - a.x) * (origin.y - a.y) - (b.y - a.y) * (origin.x - a.x)),
        bias(((b.y == a.y && b.x > a.x) || b.y < a.y) ? 0 : -1) {}
  std::int64_t step_x;
  std::int64_t step_y;
  std::int64_t value;
  std::int64_t bias;
};

class Target {
 public:
  Target(int width, int height, const RenderOptions& options)
      : width_(width), height_(height), options_(options) {
    colour_.assign(static_cast<std::size_t>(width) * height * 3, 0);
    if (options.depth_test) {
      depth_.assign(static_cast<std::size_t>(width) * height, std::numeric_limits<float>::max());
    }
  }

  void Draw(const RenderTriangle& triangle) {
    for (const RenderVertex& v : triangle) {
      if (!Drawable(v)) return;
    }
    Point p[3];
    for (int i = 0; i < 3; ++i) {
      p[i] = {std::llround(double{triangle[i].u} * width_ * kSub),
              std::llround(double{triangle[i].v} * height_ * kSub)};
    }
    std::int64_t area = Cross(p[0], p[1], p[2]);
    if (area == 0) return;
    const bool clockwise = area > 0;
    if ((options_.cull == CullMode::Clockwise && clockwise) ||
        (options_.cull == CullMode::CounterClockwise && !clockwise)) {
      return;
    }
    int order[3] = {0, 1, 2};
    if (!clockwise) {
      std::swap(order[1], order[2]);
      std::swap(p[1], p[2]);
      area = -area;
    }

    const auto [min_x, max_x] = std::minmax({p[0].x, p[1].x, p[2].x});
    const auto [min_y, max_y] = std::minmax({p[0].y, p[1].y, p[2].y});
    const std::int64_t x0 = std::max<std::int64_t>(0, FloorDiv(min_x, kSub));
    const std::int64_t x1 = std::min<std::int64_t>(width_ - 1, FloorDiv(max_x, kSub));
    const std::int64_t y0 = std::max<std::int64_t>(0, FloorDiv(min_y, kSub));
    const std::int64_t y1 = std::min<std::int64_t>(height_ - 1, FloorDiv(max_y, kSub));
    if (x0 > x1 || y0 > y1) return;

    // Edge k faces corner k: its function over the area is that corner's weight.
    const Point origin{x0 * kSub + kSub / 2, y0 * kSub + kSub / 2};
    Edge edges[3] = {Edge(p[1], p[2], origin), Edge(p[2], p[0], origin), Edge(p[0], p[1], origin)};
    std::array<std::array<float, 5>, 3> corner{};  // r, g, b, a, depth
    for (int k = 0; k < 3; ++k) {
      const RenderVertex& v = triangle[order[k]];
      for (int c = 0; c < 4; ++c) corner[k][c] = static_cast<float>(v.rgba[c]);
      corner[k][4] = v.depth;
    }
    const double inverse_area = 1.0 / static_cast<double>(area);

    for (std::int64_t y = y0; y <= y1; ++y) {
      std::int64_t e[3] = {edges[0].value, edges[1].value, edges[2].value};
      for (std::int64_t x = x0; x <= x1; ++x) {
        if (e[0] + edges[0].bias >= 0 && e[1] + edges[1].bias >= 0 && e[2] + edges[2].bias >= 0) {
          const float w[3] = {static_cast<float>(e[0] * inverse_area),
                              static_cast<float>(e[1] * inverse_area),
                              static_cast<float>(e[2] * inverse_area)};
          Shade(static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x), w, corner);
        }
        for (int k = 0; k < 3; ++k) e[k] += edges[k].step_x;
      }
      for (Edge& edge : edges) edge.value += edge.step_y;
    }
  }

  // Box-filters factor x factor samples into each pixel of an opaque picture.
  RgbaImage Resolve(int factor) const {
    RgbaImage image;
    image.width = width_ / factor;
    image.height = height_ / factor;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    const int samples = factor * factor;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        int sum[3] = {0, 0, 0};
        for (int sy = 0; sy < factor; ++sy) {
          const std::uint8_t* row =
              &colour_[(static_cast<std::size_t>(y * factor + sy) * width_ + x * factor) * 3];
          for (int sx = 0; sx < factor * 3; ++sx) sum[sx % 3] += row[sx];
        }
        std::uint8_t* out = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
        for (int c = 0; c < 3; ++c) {
          out[c] = static_cast<std::uint8_t>((sum[c] + samples / 2) / samples);
        }
        out[3] = 255;
      }
    }
    return image;
  }

 private:
  void Shade(std::size_t at, const float (&w)[3],
             const std::array<std::array<float, 5>, 3>& corner) {
    float value[5];
    for (int c = 0; c < 5; ++c) {
      value[c] = w[0] * corner[0][c] + w[1] * corner[1][c] + w[2] * corner[2][c];
    }
    if (options_.depth_test) {
      if (value[4] > depth_[at]) return;
      depth_[at] = value[4];
    }
    std::uint8_t* out = &colour_[at * 3];
    const float alpha = std::clamp(value[3] / 255.0f, 0.0f, 1.0f);
    for (int c = 0; c < 3; ++c) {
      float source = options_.double_tone ? std::min(255.0f, 2 * value[c]) : value[c];
      if (options_.alpha_blending) source = source * alpha + out[c] * (1 - alpha);
      out[c] = static_cast<std::uint8_t>(std::clamp(source + 0.5f, 0.0f, 255.0f));
    }
  }

  int width_;
  int height_;
  RenderOptions options_;
  std::vector<std::uint8_t> colour_;  // r, g, b per sample
  std::vector<float> depth_;
};

void PutLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::array<std::uint8_t, 4> PixelAt(const RgbaImage& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return {};
  const std::uint8_t* p =
      &image.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                     static_cast<std::size_t>(x)) *
                    4];
  return {p[0], p[1], p[2], p[3]};
}

TriangleRenderer::TriangleRenderer(int width, int height, const RenderOptions& options)
    : width_(std::max(1, width)), height_(std::max(1, height)), options_(options) {}

RgbaImage TriangleRenderer::Render(std::span<const RenderTriangle> triangles) const {
  const int factor = options_.anti_aliasing ? 2 : 1;
  Target target(width_ * factor, height_ * factor, options_);
  for (const RenderTriangle& triangle : triangles) target.Draw(triangle);
  return target.Resolve(factor);
}

std::vector<std::uint8_t> EncodeBmp24(const RgbaImage& image) {
  constexpr std::uint32_t kHeaderBytes = 14 + 40;
  constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
  const std::uint32_t row_bytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
  const std::uint32_t pixel_bytes = row_bytes * static_cast<std::uint32_t>(image.height);
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderBytes + pixel_bytes);
  out.push_back('B');
  out.push_back('M');
  PutLittle(out, kHeaderBytes + pixel_bytes, 4);
  PutLittle(out, 0, 4);  // two reserved words
  PutLittle(out, kHeaderBytes, 4);
  PutLittle(out, 40, 4);
  PutLittle(out, static_cast<std::uint32_t>(image.width), 4);
  PutLittle(out, static_cast<std::uint32_t>(image.height), 4);  // positive: bottom row first
  PutLittle(out, 1, 2);                                         // planes
  PutLittle(out, 24, 2);
  PutLittle(out, 0, 4);  // no compression
  PutLittle(out, pixel_bytes, 4);
  PutLittle(out, kPixelsPerMetre, 4);
  PutLittle(out, kPixelsPerMetre, 4);
  PutLittle(out, 0, 4);  // colours used
  PutLittle(out, 0, 4);  // important colours
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const auto p = PixelAt(image, x, y);
      out.insert(out.end(), {p[2], p[1], p[0]});
    }
    out.resize(out.size() + (row_bytes - static_cast<std::uint32_t>(image.width) * 3), 0);
  }
  return out;
}

bool WriteBmp24(const std::string& path, const RgbaImage& image, Ui& ui) {
  const std::vector<std::uint8_t> bytes = EncodeBmp24(image);
  const auto failure = WriteFileSafely(NativePath(path), bytes);
  if (!failure) return true;
  ui.Message(std::string(msg::kCannotWrite) + path + "\r\n" + failure->description, Icon::Critical);
  return false;
}

}  // namespace gantry
