// The scar grid: which triangles each cell of the scar box lists. A triangle is listed in a cell
// when one of its corners or its centroid lies in the cell's closed bounds, so a point on a
// shared face belongs to both cells and a point outside every cell (outside the box) to none; a
// triangle that crosses the box with all four points outside it is listed nowhere.
//
// The fast builder must match the plain cell-by-cell test bit for bit, so both take cell bounds
// and triangle points from the same helpers and compare the same floats.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "commands/mesh_conversion.h"

namespace gantry {
namespace {

constexpr int kMaxCells = 128;

// Smallest power of two not below r; stops at the cap, which is all the caller needs.
int PowerOfTwoAtLeast(double r) {
  int p = 1;
  while (p < r && p < kMaxCells) p *= 2;
  return p;
}

float Extent(float minimum, float maximum) {
  const float e = std::fabs(maximum - minimum);
  return e == 0 ? 1.0f : e;
}

struct Axis {
  float minimum = 0;
  float size = 1;
  int count = 1;
};

std::array<Axis, 3> AxesOf(const BoundingBox& box) {
  const GridCounts counts = ScarGridCounts(box);
  const Vector3& lo = box.Minimum;
  const Vector3& hi = box.Maximum;
  return {Axis{lo.x, Extent(lo.x, hi.x) / static_cast<float>(counts.x), counts.x},
          Axis{lo.y, Extent(lo.y, hi.y) / static_cast<float>(counts.y), counts.y},
          Axis{lo.z, Extent(lo.z, hi.z) / static_cast<float>(counts.z), counts.z}};
}

float CellLow(const Axis& axis, int i) {
  const float offset = static_cast<float>(i) * axis.size;
  return axis.minimum + offset;
}
float CellHigh(const Axis& axis, float low) { return low + axis.size; }

bool InCell(float low, float high, float v) { return low <= v && v <= high; }

// The three corners, then the centroid.
using TrianglePoints = std::array<Vector3, 4>;

std::vector<TrianglePoints> PointsOf(const TriangleMesh& mesh) {
  // Indices name vertices as unsigned 16-bit numbers; one that names no vertex is the origin.
  const auto vertex = [&](std::int16_t index) {
    const std::size_t i = static_cast<std::uint16_t>(index);
    return i < mesh.Vertices.size() ? mesh.Vertices[i] : Vector3{};
  };
  std::vector<TrianglePoints> triangles(mesh.Indices.size() / 3);
  for (std::size_t t = 0; t < triangles.size(); ++t) {
    const Vector3 a = vertex(mesh.Indices[3 * t]);
    const Vector3 b = vertex(mesh.Indices[3 * t + 1]);
    const Vector3 c = vertex(mesh.Indices[3 * t + 2]);
    triangles[t] = {
        a, b, c,
        Vector3{(a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f, (a.z + b.z + c.z) / 3.0f}};
  }
  return triangles;
}

ScarGrid EmptyGrid(const std::array<Axis, 3>& axes) {
  ScarGrid grid;
  grid.SizeX = axes[0].count;
  grid.SizeY = axes[1].count;
  grid.SizeZ = axes[2].count;
  grid.Cells.resize(static_cast<std::size_t>(grid.SizeX) * grid.SizeY * grid.SizeZ);
  return grid;
}

// Triangle numbers are stored as their low 16 bits, like every index of the file.
std::int16_t TriangleNumber(std::size_t t) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(t));
}

// One axis's cell bounds, computed once, and the cells whose closed bounds hold a coordinate.
class AxisCells {
 public:
  explicit AxisCells(const Axis& axis) : axis_(axis) {
    ordered_ = true;
    for (int i = 0; i < axis.count; ++i) {
      low_[i] = CellLow(axis, i);
      high_[i] = CellHigh(axis, low_[i]);
      if (std::isnan(low_[i]) || std::isnan(high_[i]) ||
          (i > 0 && (low_[i] < low_[i - 1] || high_[i] < high_[i - 1]))) {
        ordered_ = false;
      }
    }
  }

  // Writes the cells holding v to `out` in increasing order and returns how many there are.
  int Find(float v, std::array<int, kMaxCells>& out) const {
    int n = 0;
    if (!ordered_) {  // NaN bounds: only the plain test gives the same answer
      for (int i = 0; i < axis_.count; ++i) {
        if (InCell(low_[i], high_[i], v)) out[n++] = i;
      }
      return n;
    }
    if (std::isnan(v)) return 0;
    // With bounds that never decrease, the cells with low <= v are a prefix [0, end) and those
    // with high >= v a suffix [begin, count); rounding can make neighbouring cells share bounds,
    // so walk from the estimate to both edges instead of trusting it to within one cell.
    const int last = axis_.count - 1;
    const double estimate =
        std::floor((static_cast<double>(v) - axis_.minimum) / static_cast<double>(axis_.size));
    const int guess = estimate >= 0 ? static_cast<int>(std::min<double>(estimate, last)) : 0;
    int end = guess;
    if (low_[end] <= v) {
      while (end <= last && low_[end] <= v) ++end;
    } else {
      while (end > 0 && low_[end - 1] > v) --end;
    }
    int begin = guess;
    if (high_[begin] >= v) {
      while (begin > 0 && high_[begin - 1] >= v) --begin;
    } else {
      while (begin <= last && high_[begin] < v) ++begin;
    }
    for (int i = begin; i < end; ++i) out[n++] = i;
    return n;
  }

 private:
  Axis axis_;
  bool ordered_;
  std::array<float, kMaxCells> low_{};
  std::array<float, kMaxCells> high_{};
};

ScarGrid BuildScarGridFast(const TriangleMesh& triangles, const BoundingBox& box) {
  const std::array<Axis, 3> axes = AxesOf(box);
  const AxisCells xs(axes[0]), ys(axes[1]), zs(axes[2]);
  ScarGrid grid = EmptyGrid(axes);
  const std::size_t sx = static_cast<std::size_t>(grid.SizeX);
  const std::size_t sxy = sx * static_cast<std::size_t>(grid.SizeY);

  // First the (cell, triangle) listings in triangle order, so each cell's indices can be
  // allocated once at their final size and filled in increasing order.
  struct Listing {
    std::uint32_t cell;
    std::uint32_t triangle;
  };
  std::vector<Listing> listings;
  std::vector<std::int32_t> counts(grid.Cells.size(), 0);
  // The last triangle (plus one) listed in each cell: a triangle whose points share a cell is
  // listed there once.
  std::vector<std::size_t> listed(grid.Cells.size(), 0);

  const std::vector<TrianglePoints> points = PointsOf(triangles);
  std::array<int, kMaxCells> cx, cy, cz;
  for (std::size_t t = 0; t < points.size(); ++t) {
    for (const Vector3& p : points[t]) {
      const int nz = zs.Find(p.z, cz);
      if (nz == 0) continue;
      const int ny = ys.Find(p.y, cy);
      if (ny == 0) continue;
      const int nx = xs.Find(p.x, cx);
      for (int k = 0; k < nz; ++k) {
        for (int j = 0; j < ny; ++j) {
          for (int i = 0; i < nx; ++i) {
            const std::size_t cell = cx[i] + sx * cy[j] + sxy * cz[k];
            if (listed[cell] == t + 1) continue;
            listed[cell] = t + 1;
            ++counts[cell];
            listings.push_back({static_cast<std::uint32_t>(cell), static_cast<std::uint32_t>(t)});
          }
        }
      }
    }
  }

  for (std::size_t c = 0; c < grid.Cells.size(); ++c) {
    grid.Cells[c].IndexCount = counts[c];
    grid.Cells[c].Indices.reserve(static_cast<std::size_t>(counts[c]));
  }
  for (const Listing& l : listings) {
    grid.Cells[l.cell].Indices.push_back(TriangleNumber(l.triangle));
  }
  return grid;
}

}  // namespace

GridCounts ScarGridCounts(const BoundingBox& box) {
  const std::array<float, 3> extents = {Extent(box.Minimum.x, box.Maximum.x),
                                        Extent(box.Minimum.y, box.Maximum.y),
                                        Extent(box.Minimum.z, box.Maximum.z)};
  const double smallest = std::min({extents[0], extents[1], extents[2]});
  std::array<int, 3> counts{};
  for (int a = 0; a < 3; ++a) counts[a] = PowerOfTwoAtLeast(extents[a] / smallest);
  const bool all_small = std::all_of(counts.begin(), counts.end(), [](int c) { return c < 16; });
  const bool any_one = std::any_of(counts.begin(), counts.end(), [](int c) { return c == 1; });
  if (all_small && any_one) {
    for (int& c : counts) c *= 2;
  }
  for (int& c : counts) c = std::min(c, kMaxCells);
  return {counts[0], counts[1], counts[2]};
}

ScarGrid BuildScarGridReference(const TriangleMesh& triangles, const BoundingBox& box) {
  const std::array<Axis, 3> axes = AxesOf(box);
  ScarGrid grid = EmptyGrid(axes);
  const std::vector<TrianglePoints> points = PointsOf(triangles);
  std::size_t cell = 0;
  for (int k = 0; k < grid.SizeZ; ++k) {
    const float z0 = CellLow(axes[2], k), z1 = CellHigh(axes[2], z0);
    for (int j = 0; j < grid.SizeY; ++j) {
      const float y0 = CellLow(axes[1], j), y1 = CellHigh(axes[1], y0);
      for (int i = 0; i < grid.SizeX; ++i, ++cell) {
        const float x0 = CellLow(axes[0], i), x1 = CellHigh(axes[0], x0);
        ScarCell& target = grid.Cells[cell];
        for (std::size_t t = 0; t < points.size(); ++t) {
          const bool hit = std::any_of(points[t].begin(), points[t].end(), [&](const Vector3& p) {
            return InCell(x0, x1, p.x) && InCell(y0, y1, p.y) && InCell(z0, z1, p.z);
          });
          if (hit) {
            target.Indices.push_back(TriangleNumber(t));
            ++target.IndexCount;
          }
        }
      }
    }
  }
  return grid;
}

bool BuildScarGrid(ScarMesh& scar) {
  scar.Grid = BuildScarGridFast(scar.Triangles, scar.Box);
  return true;
}

}  // namespace gantry
