// The scar grid: cell counts from the box, which cells list which triangles, and the fast builder
// against the plain cell-by-cell test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "commands/mesh_conversion.h"

namespace gantry::testing {
namespace {

BoundingBox Box(Vector3 minimum, Vector3 maximum) { return {minimum, maximum}; }

void ExpectCounts(const BoundingBox& box, int x, int y, int z) {
  const GridCounts c = ScarGridCounts(box);
  EXPECT_EQ(std::tuple(c.x, c.y, c.z), std::tuple(x, y, z));
}

TEST(ScarGridCounts, PowersOfTheExtentRatiosDoubledWhenSmallAndCapped) {
  ExpectCounts(Box({0, 0, 0}, {100, 100, 100}), 2, 2, 2);
  ExpectCounts(Box({0, 0, 0}, {300, 100, 100}), 8, 2, 2);
  ExpectCounts(Box({0, 0, 0}, {800, 800, 100}), 16, 16, 2);  // doubled while all are below 16
  ExpectCounts(Box({0, 0, 0}, {1600, 100, 100}), 16, 1, 1);
  ExpectCounts(Box({0, 0, 0}, {1e6f, 100, 1e6f}), 128, 1, 128);
  ExpectCounts(Box({300, 0, 0}, {0, 100, 100}), 8, 2, 2);  // reversed
  ExpectCounts(Box({0, 0, 5}, {4, 2, 5}), 8, 4, 2);        // flat: z counts as 1
  ExpectCounts(Box({0, 0, 0}, {0, 0, 0}), 2, 2, 2);
}

TriangleMesh Triangles(const std::vector<std::vector<Vector3>>& corners) {
  TriangleMesh mesh;
  for (const auto& triangle : corners) {
    for (const Vector3& p : triangle) {
      mesh.Indices.push_back(static_cast<std::int16_t>(mesh.Vertices.size()));
      mesh.Vertices.push_back(p);
    }
  }
  mesh.VertexCount = static_cast<std::int32_t>(mesh.Vertices.size());
  mesh.IndexCount = static_cast<std::int32_t>(mesh.Indices.size());
  return mesh;
}

// Cells of the 2x2x2 grid of a 100 cube (cell size 50), numbered x fastest.
std::vector<std::vector<std::int16_t>> CubeGridCells(const TriangleMesh& mesh) {
  ScarMesh scar;
  scar.Box = Box({0, 0, 0}, {100, 100, 100});
  scar.Triangles = mesh;
  EXPECT_TRUE(BuildScarGrid(scar));
  EXPECT_EQ(scar.Grid, BuildScarGridReference(scar.Triangles, scar.Box));
  EXPECT_EQ(scar.Grid.SizeX * scar.Grid.SizeY * scar.Grid.SizeZ, 8);
  std::vector<std::vector<std::int16_t>> cells;
  for (const ScarCell& cell : scar.Grid.Cells) {
    EXPECT_EQ(cell.IndexCount, static_cast<std::int32_t>(cell.Indices.size()));
    cells.push_back(cell.Indices);
  }
  return cells;
}

using Cells = std::vector<std::vector<std::int16_t>>;

TEST(ScarGrid, ListsTrianglesInTheCellsTheirPointsLieIn) {
  // Wholly inside cell (1, 0, 1).
  EXPECT_EQ(CubeGridCells(Triangles({{{60, 10, 60}, {70, 10, 60}, {60, 20, 70}}})),
            (Cells{{}, {}, {}, {}, {}, {0}, {}, {}}));
  // Corners in cells (0, 0, 0) and (0, 1, 0).
  EXPECT_EQ(CubeGridCells(Triangles({{{10, 10, 10}, {20, 10, 10}, {10, 90, 10}}})),
            (Cells{{0}, {}, {0}, {}, {}, {}, {}, {}}));
  // A corner on the face x = 50 is in the cells on both sides.
  EXPECT_EQ(CubeGridCells(Triangles({{{10, 10, 10}, {50, 10, 10}, {10, 20, 10}}})),
            (Cells{{0}, {0}, {}, {}, {}, {}, {}, {}}));
  // Corners only in the far corner cells: the centroid (50, 50, 50) is in all eight.
  EXPECT_EQ(CubeGridCells(Triangles({{{0, 0, 0}, {150, 150, 150}, {0, 0, 0}}})),
            (Cells{{0}, {0}, {0}, {0}, {0}, {0}, {0}, {0}}));
  // Crossing the box with every point outside it: listed nowhere.
  EXPECT_EQ(CubeGridCells(Triangles({{{-10, 50, 50}, {-10, 60, 50}, {-40, 50, 50}},
                                     {{10, 10, 10}, {10, 10, 11}, {10, 11, 10}},
                                     {{-300, 50, 50}, {200, 50, 50}, {500, 50, 50}},
                                     {{10, 10, 10}, {90, 10, 10}, {10, 10, 11}}})),
            (Cells{{1, 3}, {3}, {}, {}, {}, {}, {}, {}}));
}

// Corners on a lattice that shares the cell size, so many land exactly on cell faces, plus some
// outside the box.
TriangleMesh RandomTriangles(std::mt19937& rng, const BoundingBox& box, float step, int triangles) {
  std::uniform_int_distribution<int> pick(0, 3);
  std::uniform_real_distribution<float> unit(-0.1f, 1.1f);
  // Spread over the cells, which run up from the minimum by the extent (0 taken as 1).
  const auto coordinate = [&](float lo, float hi) {
    const float extent = std::fabs(hi - lo) == 0 ? 1 : std::fabs(hi - lo);
    const float v = lo + unit(rng) * extent;
    return pick(rng) == 0 ? v : lo + step * std::round((v - lo) / step);
  };
  TriangleMesh mesh;
  for (int i = 0; i < triangles * 2; ++i) {
    mesh.Vertices.push_back({coordinate(box.Minimum.x, box.Maximum.x),
                             coordinate(box.Minimum.y, box.Maximum.y),
                             coordinate(box.Minimum.z, box.Maximum.z)});
  }
  std::uniform_int_distribution<int> vertex(0, triangles * 2 - 1);
  for (int i = 0; i < triangles * 3; ++i) {
    mesh.Indices.push_back(static_cast<std::int16_t>(vertex(rng)));
  }
  mesh.Indices.push_back(0);  // a spare index that makes no triangle
  mesh.VertexCount = static_cast<std::int32_t>(mesh.Vertices.size());
  mesh.IndexCount = static_cast<std::int32_t>(mesh.Indices.size());
  return mesh;
}

TEST(ScarGrid, FastBuilderMatchesThePlainTestOnRandomMeshes) {
  struct Shape {
    BoundingBox box;
    float step;  // a lattice spacing that puts points on cell faces
  };
  const Shape shapes[] = {
      {Box({0, 0, 0}, {100, 100, 100}), 25},
      {Box({-400, -100, 0}, {400, 100, 200}), 50},
      {Box({0, 0, 5}, {64, 32, 5}), 1},              // flat: z extent 0 counts as 1
      {Box({0, 0, 0}, {12800, 12800, 100}), 100},    // the largest grid, 128 x 128 x 1
      {Box({10, 10, 10}, {-290, -90, -90}), 12.5f},  // reversed: cells run up from the minimum
      {Box({-1.1f, 0.3f, 7.7f}, {2.9f, 0.9f, 8.1f}), 0.1f},
      {Box({1e7f, 0, 0}, {1e7f + 4, 0.5f, 0.5f}), 0.25f},  // cells narrower than the float step
  };
  std::mt19937 rng(20240611);
  int listings = 0;
  for (const Shape& shape : shapes) {
    ScarMesh scar;
    scar.Box = shape.box;
    scar.Triangles = RandomTriangles(rng, shape.box, shape.step, 150);
    ASSERT_TRUE(BuildScarGrid(scar));
    const ScarGrid reference = BuildScarGridReference(scar.Triangles, scar.Box);
    EXPECT_EQ(scar.Grid, reference) << shape.box.Maximum.x;
    for (const ScarCell& cell : reference.Cells) listings += cell.IndexCount;
  }
  EXPECT_GT(listings, 7 * 150);  // the meshes do land in cells
}

}  // namespace
}  // namespace gantry::testing
