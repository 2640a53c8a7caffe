#include "hod/hod2_kdop.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <utility>

namespace gantry {

namespace {

constexpr std::array<std::array<int, 3>, 13> kDirections = {{
    {1, 0, 0},
    {0, 1, 0},
    {0, 0, 1},
    {1, 1, 0},
    {-1, 1, 0},
    {0, 1, 1},
    {0, -1, 1},
    {1, 0, 1},
    {1, 0, -1},
    {1, 1, 1},
    {-1, 1, 1},
    {1, -1, 1},
    {1, 1, -1},
}};

// Each component of d / |d| rounded to single precision, as the game's tools do.
std::array<float, 3> UnitDirection(int slab) {
  const auto& d = kDirections[static_cast<std::size_t>(slab)];
  const double length = std::sqrt(double(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
  return {static_cast<float>(d[0] / length), static_cast<float>(d[1] / length),
          static_cast<float>(d[2] / length)};
}

// Left to right in single precision: only this order gives the stored values bit for bit.
float Project(const Vector3& p, const std::array<float, 3>& u) {
  volatile float xy = p.x * u[0];
  xy = xy + p.y * u[1];
  const float z = p.z * u[2];
  return xy + z;
}

struct Point {
  double x, y, z;
};
double Dot(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point Cross(const Point& a, const Point& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Point Scaled(const Point& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
Point Sum(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

struct Plane {
  Point normal;  // outward
  double offset;
};

// The face the plane cuts from the polytope of all planes: a large square on the plane clipped
// by every other plane in turn.
std::vector<Point> FacePolygon(const std::vector<Plane>& planes, std::size_t face, double reach,
                               double epsilon) {
  const Plane& plane = planes[face];
  const Point n = plane.normal;
  const double nn = Dot(n, n);
  const Point centre = Scaled(n, plane.offset / nn);
  const Point helper = std::fabs(n.x) < 0.9 ? Point{1, 0, 0} : Point{0, 1, 0};
  Point t1 = Cross(n, helper);
  t1 = Scaled(t1, 1 / std::sqrt(Dot(t1, t1)));
  Point t2 = Cross(n, t1);
  t2 = Scaled(t2, 1 / std::sqrt(Dot(t2, t2)));
  std::vector<Point> polygon = {
      Sum(centre, Sum(Scaled(t1, -reach), Scaled(t2, -reach))),
      Sum(centre, Sum(Scaled(t1, reach), Scaled(t2, -reach))),
      Sum(centre, Sum(Scaled(t1, reach), Scaled(t2, reach))),
      Sum(centre, Sum(Scaled(t1, -reach), Scaled(t2, reach))),
  };
  std::vector<Point> kept;  // reused from clip to clip
  for (std::size_t k = 0; k < planes.size() && !polygon.empty(); ++k) {
    if (k == face) continue;
    const Plane& clip = planes[k];
    kept.clear();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const Point& a = polygon[i];
      const Point& b = polygon[(i + 1) % polygon.size()];
      const double da = Dot(clip.normal, a) - clip.offset;
      const double db = Dot(clip.normal, b) - clip.offset;
      if (da <= epsilon) kept.push_back(a);
      if ((da <= epsilon) != (db <= epsilon)) {
        const double t = da / (da - db);
        kept.push_back(Sum(a, Scaled(Sum(b, Scaled(a, -1)), t)));
      }
    }
    std::swap(polygon, kept);
  }
  return polygon;
}

void BuildHull(Kdop& kdop, double scale) {
  std::vector<Plane> planes;
  for (int s = 0; s < 13; ++s) {
    const std::array<float, 3> u = UnitDirection(s);
    const Point n{u[0], u[1], u[2]};
    planes.push_back({Scaled(n, -1), -double{kdop.slabs[s].min}});
    planes.push_back({n, double{kdop.slabs[s].max}});
  }
  const double reach = 4 * scale + 1;
  const double epsilon = 1e-9 * (scale + 1);
  const float weld = static_cast<float>(1e-6 * (scale + 1));
  const auto index_of = [&](const Vector3& v) {
    for (std::size_t i = 0; i < kdop.hull.size(); ++i) {
      const Vector3& h = kdop.hull[i];
      if (std::fabs(h.x - v.x) <= weld && std::fabs(h.y - v.y) <= weld &&
          std::fabs(h.z - v.z) <= weld) {
        return static_cast<std::uint16_t>(i);
      }
    }
    kdop.hull.push_back(v);
    return static_cast<std::uint16_t>(kdop.hull.size() - 1);
  };
  for (std::size_t f = 0; f < planes.size(); ++f) {
    std::vector<std::uint16_t> face;
    for (const Point& p : FacePolygon(planes, f, reach, epsilon)) {
      const std::uint16_t i =
          index_of({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
      if (face.empty() || face.back() != i) face.push_back(i);
    }
    while (face.size() > 1 && face.front() == face.back()) face.pop_back();
    for (std::size_t k = 1; k + 1 < face.size(); ++k) {
      kdop.triangles.push_back({face[0], face[k], face[k + 1]});
    }
  }
}

struct Reader {
  const std::vector<std::uint8_t>& bytes;
  std::size_t pos = 0;
  bool ok = true;
  template <typename T>
  T Next() {
    T v{};
    if (bytes.size() - pos < sizeof(T)) {
      ok = false;
      return v;
    }
    std::memcpy(&v, bytes.data() + pos, sizeof(T));
    pos += sizeof(T);
    return v;
  }
  Vector3 Vector() {
    const float x = Next<float>();
    const float y = Next<float>();
    return {x, y, Next<float>()};
  }
};

template <typename T>
void Put(std::vector<std::uint8_t>& out, T value) {
  const std::size_t at = out.size();
  out.resize(at + sizeof(T));
  std::memcpy(out.data() + at, &value, sizeof(T));
}
void Put(std::vector<std::uint8_t>& out, const Vector3& v) {
  Put(out, v.x);
  Put(out, v.y);
  Put(out, v.z);
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(const Vector3& a, const Vector3& b) {
  return SameBits(a.x, b.x) && SameBits(a.y, b.y) && SameBits(a.z, b.z);
}

}  // namespace

Kdop KdopSlabs(const HodModel& model) {
  Kdop kdop;
  std::array<std::array<float, 3>, 13> units;
  for (int s = 0; s < 13; ++s) units[s] = UnitDirection(s);
  for (KdopSlab& slab : kdop.slabs) {
    slab.min = FLT_MAX;
    slab.max = -FLT_MAX;
  }
  for (const MultiMesh& mesh : model.Meshes) {
    if (IsGoblin(mesh) || mesh.Lods.empty()) continue;
    for (const MeshPart& part : mesh.Lods[0].Parts) {
      for (const MeshVertex& v : part.Vertices) {
        const Vector3 p{v.Position.x, v.Position.y, v.Position.z};
        for (int s = 0; s < 13; ++s) {
          KdopSlab& slab = kdop.slabs[s];
          const float d = Project(p, units[s]);
          if (d < slab.min) {
            slab.min = d;
            slab.min_point = p;
          }
          if (d > slab.max) {
            slab.max = d;
            slab.max_point = p;
          }
        }
      }
    }
  }
  kdop.box_min = {FLT_MAX, FLT_MAX, FLT_MAX};
  kdop.box_max = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  return kdop;
}

void CompleteKdop(Kdop& kdop) {
  if (kdop.slabs[0].min > kdop.slabs[0].max) return;  // no vertices: the inside-out box
  double scale = 0;
  for (const KdopSlab& slab : kdop.slabs) {
    scale = std::max({scale, std::fabs(double{slab.min}), std::fabs(double{slab.max})});
  }
  BuildHull(kdop, scale);
  double radius = 0;
  for (const Vector3& h : kdop.hull) {
    kdop.box_min = {std::min(kdop.box_min.x, h.x), std::min(kdop.box_min.y, h.y),
                    std::min(kdop.box_min.z, h.z)};
    kdop.box_max = {std::max(kdop.box_max.x, h.x), std::max(kdop.box_max.y, h.y),
                    std::max(kdop.box_max.z, h.z)};
    radius = std::max(radius, std::sqrt(double{h.x} * h.x + double{h.y} * h.y + double{h.z} * h.z));
  }
  kdop.radius = static_cast<float>(radius);
}

Kdop ComputeKdop(const HodModel& model) {
  Kdop kdop = KdopSlabs(model);
  CompleteKdop(kdop);
  return kdop;
}

std::vector<std::uint8_t> KdopBody(const Kdop& kdop) {
  std::vector<std::uint8_t> out;
  out.reserve(460 + 12 * kdop.hull.size() + 6 * kdop.triangles.size());
  Put(out, kdop.radius);
  Put(out, kdop.box_min);
  Put(out, kdop.box_max);
  for (const KdopSlab& slab : kdop.slabs) {
    Put(out, slab.min);
    Put(out, slab.max);
    Put(out, slab.min_point);
    Put(out, slab.max_point);
  }
  Put(out, static_cast<std::uint32_t>(kdop.hull.size()));
  for (const Vector3& v : kdop.hull) Put(out, v);
  Put(out, static_cast<std::uint32_t>(kdop.triangles.size()));
  for (const auto& t : kdop.triangles) {
    for (const std::uint16_t i : t) Put(out, i);
  }
  Put(out, std::uint32_t{0});
  Put(out, std::uint32_t{0});
  return out;
}

std::optional<Kdop> ParseKdop(const std::vector<std::uint8_t>& body) {
  Reader r{body};
  Kdop kdop;
  kdop.radius = r.Next<float>();
  kdop.box_min = r.Vector();
  kdop.box_max = r.Vector();
  for (KdopSlab& slab : kdop.slabs) {
    slab.min = r.Next<float>();
    slab.max = r.Next<float>();
    slab.min_point = r.Vector();
    slab.max_point = r.Vector();
  }
  const std::uint32_t vertices = r.Next<std::uint32_t>();
  if (!r.ok || vertices > (body.size() - r.pos) / 12) return std::nullopt;
  kdop.hull.resize(vertices);
  for (Vector3& v : kdop.hull) v = r.Vector();
  const std::uint32_t triangles = r.Next<std::uint32_t>();
  if (!r.ok || triangles > (body.size() - r.pos) / 6) return std::nullopt;
  kdop.triangles.resize(triangles);
  for (auto& t : kdop.triangles) {
    for (std::uint16_t& i : t) i = r.Next<std::uint16_t>();
  }
  r.Next<std::uint32_t>();
  r.Next<std::uint32_t>();
  if (!r.ok || r.pos != body.size()) return std::nullopt;
  return kdop;
}

bool SameSlabs(const Kdop& a, const Kdop& b) {
  for (std::size_t s = 0; s < a.slabs.size(); ++s) {
    const KdopSlab& x = a.slabs[s];
    const KdopSlab& y = b.slabs[s];
    if (!SameBits(x.min, y.min) || !SameBits(x.max, y.max) || !SameBits(x.min_point, y.min_point) ||
        !SameBits(x.max_point, y.max_point)) {
      return false;
    }
  }
  return true;
}

}  // namespace gantry
