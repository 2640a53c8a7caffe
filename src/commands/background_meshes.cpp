#include "commands/background_meshes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "commands/background_messages.h"
#include "commands/create.h"
#include "common/number_text.h"
#include "common/prompts.h"
#include "geometry/mesh_triangles.h"
#include "geometry/rotations.h"
#include "interchange/obj_export.h"

namespace gantry {

namespace {

namespace msg = background_messages;

constexpr std::int32_t kMaxPartVertices = 65535;
constexpr std::int32_t kGeneratedMask = kMaskPosition | kMaskColour | kMaskUV;
// Finest cells along one part's side: (126 + 1)^2 corners and the fan centres stay well below
// 32768 vertices, so the indices are valid whether a reader takes them signed or not.
constexpr std::int64_t kMaxPartSide = 126;
constexpr int kMaxRefinement = 7;
constexpr double kColourTolerance = 24;
// A vertex this close (in v) to a pole has no meaningful u.
constexpr float kPoleV = 1e-5f;

bool Ask(Ui& ui, const char* question, Answer preselected = Answer::Yes) {
  return ui.Ask(question, Icon::Question, Buttons::YesNo, preselected) == Answer::Yes;
}

// Row 0 is the picture's top, column 0 its left, whatever order the file stores them in.
std::uint32_t PixelAt(const TGAImage& image, std::int64_t column, std::int64_t row) {
  const std::int64_t w = image.Header.Width, h = image.Header.Height;
  const std::int64_t file_row = (image.Header.Descriptor & 0x20) ? row : h - 1 - row;
  const std::int64_t file_column = (image.Header.Descriptor & 0x10) ? w - 1 - column : column;
  return image.Pixels[static_cast<std::size_t>(file_row * w + file_column)];
}

std::array<std::uint8_t, 4> ColourBytes(std::uint32_t argb) {
  return {static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 8),
          static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 24)};
}

bool AtPole(float v) { return v <= kPoleV || v >= 1 - kPoleV; }

using Triangle = CornerIndices;

FaceList TriangleList(const std::vector<Triangle>& triangles) {
  FaceList list;
  list.Type = kFaceListTriangles;
  list.Indices.reserve(triangles.size() * 3);
  for (const Triangle& t : triangles) {
    for (std::int32_t i : t) list.Indices.push_back(static_cast<std::int16_t>(i));
  }
  list.IndexCount = static_cast<std::int32_t>(list.Indices.size());
  return list;
}

// ---- The sphere built from an image ---------------------------------------------------------

// Positions and sizes count cells of the finest grid.
struct Cell {
  std::int64_t x = 0, y = 0, size = 1;
};
using GridPoint = std::pair<std::int64_t, std::int64_t>;

class SphereBuilder {
 public:
  SphereBuilder(const TGAImage& image, const MeshFromTextureSettings& settings) : image_(image) {
    const double n = settings.parts_exponent;
    const int exponent =
        std::isfinite(n) && n > 0 ? static_cast<int>(std::min<double>(n, kMaxPartsExponent)) : 0;
    part_columns_ = std::int64_t{2} << exponent;
    part_rows_ = std::int64_t{1} << exponent;
    const double density =
        std::isfinite(settings.density) ? std::clamp(settings.density, 0.0, 1e4) : 1;
    cells_ = std::clamp<std::int64_t>(std::llround(32 * density / part_columns_), 1, kMaxPartSide);
    const double sensitivity = settings.sensitivity;
    if (std::isfinite(sensitivity) && sensitivity > 0) {
      tolerance_ = kColourTolerance / sensitivity;
      const auto fits = [&](int level) {
        const std::int64_t side = cells_ << level;
        return side <= kMaxPartSide && part_columns_ * side <= image.Header.Width &&
               part_rows_ * side <= image.Header.Height;
      };
      while (levels_ < kMaxRefinement && fits(levels_ + 1)) ++levels_;
    }
    side_ = cells_ << levels_;
    grid_width_ = part_columns_ * side_;
    grid_height_ = part_rows_ * side_;
  }

  std::vector<MeshPart> Build() {
    std::vector<std::vector<Cell>> leaves(static_cast<std::size_t>(part_columns_ * part_rows_));
    const std::int64_t base = std::int64_t{1} << levels_;
    for (std::int64_t py = 0; py < part_rows_; ++py) {
      for (std::int64_t px = 0; px < part_columns_; ++px) {
        auto& part = leaves[static_cast<std::size_t>(py * part_columns_ + px)];
        for (std::int64_t cy = 0; cy < cells_; ++cy) {
          for (std::int64_t cx = 0; cx < cells_; ++cx) {
            Refine({px * side_ + cx * base, py * side_ + cy * base, base}, part);
          }
        }
      }
    }
    for (const auto& part : leaves) {
      for (const Cell& c : part) {
        for (const auto& [x, y] : Corners(c)) corners_.insert(Key(x, y));
      }
    }
    std::vector<MeshPart> parts;
    parts.reserve(leaves.size());
    for (const auto& part : leaves) parts.push_back(Triangulate(part));
    return parts;
  }

 private:
  static std::array<GridPoint, 4> Corners(const Cell& c) {
    return {{{c.x, c.y}, {c.x + c.size, c.y}, {c.x + c.size, c.y + c.size}, {c.x, c.y + c.size}}};
  }

  // The seam's two columns are one.
  std::uint64_t Key(std::int64_t x, std::int64_t y) const {
    return (static_cast<std::uint64_t>(x % grid_width_) << 32) | static_cast<std::uint64_t>(y);
  }

  Vector2 UV(std::int64_t x, std::int64_t y) const {
    return {static_cast<float>(static_cast<double>(x % grid_width_) / grid_width_),
            static_cast<float>(static_cast<double>(y) / grid_height_)};
  }

  std::array<std::uint8_t, 4> ColourOf(std::int64_t x, std::int64_t y) const {
    const Vector2 uv = UV(x, y);
    return ImageColourAt(image_, uv.u, uv.v);
  }

  void Refine(const Cell& cell, std::vector<Cell>& leaves) const {
    if (cell.size > 1 && NeedsSplit(cell)) {
      const std::int64_t half = cell.size / 2;
      for (std::int64_t dy : {std::int64_t{0}, half}) {
        for (std::int64_t dx : {std::int64_t{0}, half}) {
          Refine({cell.x + dx, cell.y + dy, half}, leaves);
        }
      }
    } else {
      leaves.push_back(cell);
    }
  }

  // True when a pixel whose centre lies in the cell strays from the bilinear blend of the
  // corners' colours by more than the tolerance.
  bool NeedsSplit(const Cell& cell) const {
    const auto corners = Corners(cell);
    std::array<std::array<std::uint8_t, 4>, 4> colour;
    for (int i = 0; i < 4; ++i) colour[i] = ColourOf(corners[i].first, corners[i].second);
    const double w = image_.Header.Width, h = image_.Header.Height;
    const double c0 = static_cast<double>(cell.x) * w / grid_width_;
    const double c1 = static_cast<double>(cell.x + cell.size) * w / grid_width_;
    const double r0 = static_cast<double>(cell.y) * h / grid_height_;
    const double r1 = static_cast<double>(cell.y + cell.size) * h / grid_height_;
    const auto first = [](double edge) { return static_cast<std::int64_t>(std::ceil(edge - 0.5)); };
    for (std::int64_t row = std::max<std::int64_t>(0, first(r0));
         row < std::min<std::int64_t>(image_.Header.Height, first(r1)); ++row) {
      const double fy = (row + 0.5 - r0) / (r1 - r0);
      for (std::int64_t column = std::max<std::int64_t>(0, first(c0));
           column < std::min<std::int64_t>(image_.Header.Width, first(c1)); ++column) {
        const double fx = (column + 0.5 - c0) / (c1 - c0);
        const auto pixel = ColourBytes(PixelAt(image_, column, row));
        for (int ch = 0; ch < 4; ++ch) {
          const double top = colour[0][ch] + (colour[1][ch] - colour[0][ch]) * fx;
          const double bottom = colour[3][ch] + (colour[2][ch] - colour[3][ch]) * fx;
          if (std::fabs(pixel[ch] - (top + (bottom - top) * fy)) > tolerance_) return true;
        }
      }
    }
    return false;
  }

  MeshPart Triangulate(const std::vector<Cell>& leaves) const {
    MeshPart part;
    part.VertexMask = kGeneratedMask;
    std::unordered_map<std::uint64_t, std::int32_t> index;
    const auto vertex = [&](std::int64_t x, std::int64_t y) {
      const auto [at, added] =
          index.try_emplace(Key(x, y), static_cast<std::int32_t>(part.Vertices.size()));
      if (added) {
        MeshVertex& v = part.Vertices.emplace_back();
        const double w = image_.Header.Width, h = image_.Header.Height;
        const Vector3 p = SpherePoint(static_cast<double>(x % grid_width_) * w / grid_width_,
                                      static_cast<double>(y) * h / grid_height_, w, h,
                                      kBackgroundRadius, Vector3{});
        v.Position = {p.x, p.y, p.z, 1};
        v.UV = UV(x, y);
        v.Colour = ImageColourAt(image_, v.UV.u, v.UV.v);
      }
      return at->second;
    };

    std::vector<Triangle> triangles;
    std::vector<GridPoint> loop;
    for (const Cell& c : leaves) {
      // The cell's outline clockwise in the image from its top-left corner, with every vertex
      // a smaller neighbour put on it. Clockwise in the image faces the sphere's centre.
      loop.clear();
      const auto walk = [&](std::int64_t x, std::int64_t y, int dx, int dy) {
        loop.emplace_back(x, y);
        for (std::int64_t t = 1; t < c.size; ++t) {
          const GridPoint on_edge{x + t * dx, y + t * dy};
          if (corners_.contains(Key(on_edge.first, on_edge.second))) loop.push_back(on_edge);
        }
      };
      walk(c.x, c.y, 1, 0);
      walk(c.x + c.size, c.y, 0, 1);
      walk(c.x + c.size, c.y + c.size, -1, 0);
      walk(c.x, c.y + c.size, 0, -1);

      const auto emit = [&](GridPoint a, GridPoint b, GridPoint d) {
        // Two corners on a pole row are one point: nothing to draw.
        for (std::int64_t pole : {std::int64_t{0}, grid_height_}) {
          if ((a.second == pole) + (b.second == pole) + (d.second == pole) >= 2) return;
        }
        triangles.push_back(
            {vertex(a.first, a.second), vertex(b.first, b.second), vertex(d.first, d.second)});
      };
      if (loop.size() == 4) {
        emit(loop[0], loop[1], loop[2]);
        emit(loop[0], loop[2], loop[3]);
      } else {
        const GridPoint centre{c.x + c.size / 2, c.y + c.size / 2};
        for (std::size_t i = 0; i < loop.size(); ++i) {
          emit(centre, loop[i], loop[(i + 1) % loop.size()]);
        }
      }
    }
    part.VertexCount = static_cast<std::int32_t>(part.Vertices.size());
    part.FaceLists.push_back(TriangleList(triangles));
    part.FaceListCount = 1;
    return part;
  }

  const TGAImage& image_;
  std::int64_t part_columns_ = 2;
  std::int64_t part_rows_ = 1;
  std::int64_t cells_ = 1;  // base cells along a part's side
  int levels_ = 0;          // splits a base cell may take
  double tolerance_ = 0;
  std::int64_t side_ = 1;  // finest cells along a part's side
  std::int64_t grid_width_ = 2;
  std::int64_t grid_height_ = 1;
  std::unordered_set<std::uint64_t> corners_;
};

std::optional<TGAImage> ChooseImage(Ui& ui, const char* title) {
  const std::optional<std::string> path = ui.OpenFile(msg::kTgaFilter, title);
  if (!path || path->empty()) return std::nullopt;
  TGAImage image = ReadTGAImage(*path);
  if (!IsUsableTGA(image)) {
    ui.Message(msg::kInvalidTga, Icon::Exclamation);
    return std::nullopt;
  }
  return image;
}

// ---- Texture generation ---------------------------------------------------------------------

RenderVertex Corner(const MeshVertex& v) {
  const double x = v.Position.x, y = v.Position.y, z = v.Position.z;
  const auto& c = v.Colour;  // blue, green, red, alpha
  return {v.UV.u,
          v.UV.v,
          static_cast<float>(std::sqrt(x * x + y * y + z * z)),
          {c[2], c[1], c[0], c[3]}};
}

}  // namespace

double Wrap(double value, double lower, double upper, double step) {
  if (!std::isfinite(value)) return lower;
  step = std::fabs(step);
  if (step == 0 || !std::isfinite(step)) step = 1;
  if (value < lower) value += std::ceil((lower - value) / step) * step;
  if (value > upper) value -= std::ceil((value - upper) / step) * step;
  return value;
}

bool IsUsableTGA(const TGAImage& image) {
  const TGAHeader& h = image.Header;
  return h.ImageType == 2 && h.ColourMapType == 0 && h.Depth == 32 && h.Width > 0 && h.Height > 0 &&
         image.Pixels.size() >=
             static_cast<std::size_t>(h.Width) * static_cast<std::size_t>(h.Height);
}

std::array<std::uint8_t, 4> ImageColourAt(const TGAImage& image, float u, float v) {
  const double w = image.Header.Width, h = image.Header.Height;
  const auto clamped = [](double value, double size) {
    if (!(value >= 0)) return std::int64_t{0};  // NaN too
    return static_cast<std::int64_t>(std::min(std::floor(value), size - 1));
  };
  return ColourBytes(PixelAt(image, clamped(u * w, w), clamped(v * h, h)));
}

std::vector<MeshPart> MeshPartsFromTexture(const TGAImage& image,
                                           const MeshFromTextureSettings& settings) {
  return SphereBuilder(image, settings).Build();
}

CommandResult CreateMeshFromTexture(HodModel& model, Ui& ui) {
  const auto parts = AskNumber(ui, msg::kPartsPrompt, "1");
  if (!parts) return CommandResult::Unchanged();
  if (*parts >= kMaxPartsExponent + 1) ui.Message(msg::kPartsTooMany, Icon::Exclamation);
  const auto density = AskNumber(ui, msg::kDensityPrompt, "1");
  if (!density) return CommandResult::Unchanged();
  const auto sensitivity = AskNumber(ui, msg::kSensitivityPrompt, "1");
  if (!sensitivity) return CommandResult::Unchanged();
  const std::optional<TGAImage> image = ChooseImage(ui, msg::kMeshGenCaption);
  if (!image) return CommandResult::Unchanged();

  ui.Status(msg::kConverting);
  std::vector<MeshPart> mesh_parts = MeshPartsFromTexture(*image, {*parts, *density, *sensitivity});
  const CommandResult result = AddBackgroundMesh(model);
  LodMesh& mesh = model.BackgroundMeshSet.Meshes[*result.select];
  mesh.Parts = std::move(mesh_parts);
  mesh.PartCount = static_cast<std::int32_t>(mesh.Parts.size());
  ui.Status(msg::kReady);
  return result;
}

void RecolourMesh(LodMesh& mesh, const TGAImage& image) {
  for (MeshPart& part : mesh.Parts) {
    part.VertexMask |= kMaskColour;  // the colours would not reach the file otherwise
    for (MeshVertex& v : part.Vertices) v.Colour = ImageColourAt(image, v.UV.u, v.UV.v);
  }
}

CommandResult RecolourBackgroundMesh(HodModel& model, std::optional<std::size_t> selected, Ui& ui) {
  const auto index = SelectionIn(selected, model.BackgroundMeshSet.Meshes.size());
  if (!index) {
    ui.Message(msg::kSelectObjectFirst, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::optional<TGAImage> image = ChooseImage(ui, "");
  if (!image) return CommandResult::Unchanged();
  ui.Status(msg::kColourizing);
  RecolourMesh(model.BackgroundMeshSet.Meshes[*index], *image);
  ui.Status(msg::kReady);
  return CommandResult::Changed(index);
}

Vector2 UnprojectToUV(const Vector4& position) {
  const double x = position.x, y = position.y, z = position.z;
  const double r = std::sqrt(x * x + y * y + z * z);
  if (!(r > 0) || !std::isfinite(r)) return {0, 0.5f};
  constexpr double kPi = std::numbers::pi;
  double u = std::atan2(-x, -z) / (2 * kPi);
  if (u < 0) u += 1;
  float uf = static_cast<float>(u);
  if (uf >= 1) uf = 0;
  return {uf, static_cast<float>(std::acos(std::clamp(y / r, -1.0, 1.0)) / kPi)};
}

std::vector<LodMesh> UnprojectedCopies(const BackgroundMeshSetRecord& set) {
  std::vector<LodMesh> copies = set.Meshes;
  for (LodMesh& mesh : copies) {
    for (MeshPart& part : mesh.Parts) {
      part.VertexMask |= kMaskUV;
      for (MeshVertex& v : part.Vertices) v.UV = UnprojectToUV(v.Position);
    }
  }
  return copies;
}

void FixCircularWrapping(LodMesh& mesh) {
  for (MeshPart& part : mesh.Parts) {
    std::vector<Triangle> triangles = PartTriangles(part);
    std::vector<MeshVertex> vertices = part.Vertices;
    std::vector<std::int32_t> shifted(vertices.size(), -1);
    bool changed = false;
    for (Triangle& t : triangles) {
      float low = 2, high = -1, sum = 0;
      int count = 0;
      for (std::int32_t i : t) {
        const Vector2& uv = vertices[i].UV;
        if (AtPole(uv.v)) continue;
        low = std::min(low, uv.u);
        high = std::max(high, uv.u);
      }
      for (std::int32_t& i : t) {
        if (AtPole(vertices[i].UV.v)) continue;
        if (high - low > 0.5f && vertices[i].UV.u < 0.5f) {
          if (shifted[i] < 0) {
            shifted[i] = static_cast<std::int32_t>(vertices.size());
            MeshVertex copy = vertices[i];
            copy.UV.u += 1;
            vertices.push_back(copy);
          }
          i = shifted[i];
          changed = true;
        }
        sum += vertices[i].UV.u;
        ++count;
      }
      if (count == 0 || count == 3) continue;
      for (std::int32_t& i : t) {
        if (!AtPole(vertices[i].UV.v)) continue;
        MeshVertex copy = vertices[i];
        copy.UV.u = sum / static_cast<float>(count);
        i = static_cast<std::int32_t>(vertices.size());
        vertices.push_back(copy);
        changed = true;
      }
    }
    if (!changed || vertices.size() > static_cast<std::size_t>(kMaxPartVertices)) continue;
    part.Vertices = std::move(vertices);
    part.VertexCount = static_cast<std::int32_t>(part.Vertices.size());
    part.FaceLists = {TriangleList(triangles)};
    part.FaceListCount = 1;
  }
}

void BackgroundTextureGenerator::SetNewSizeMultiplier(double multiplier) {
  multiplier = std::fabs(multiplier);
  if (multiplier == 0 || !std::isfinite(multiplier)) multiplier = 1;
  multiplier_ = std::min(multiplier, 2.0);
}

int BackgroundTextureGenerator::width() const {
  return std::max(1, static_cast<int>(std::lround(kBaseWidth * multiplier_)));
}

int BackgroundTextureGenerator::height() const { return std::max(1, width() / 2); }

void BackgroundTextureGenerator::Init(Ui& ui) {
  options_.alpha_blending = Ask(ui, msg::kAlphaBlending);
  options_.anti_aliasing = Ask(ui, msg::kAntiAliasing);
  options_.depth_test = Ask(ui, msg::kDepthTest);
  options_.double_tone = Ask(ui, msg::kDoubleTone);
}

void BackgroundTextureGenerator::AddAVert(const LodMesh& mesh, const WrapSettings& wrap) {
  const auto emit = [&](RenderTriangle t) {
    triangles_.push_back(t);
    if (!wrap.additional_faces) return;
    float low = t[0].u, high = t[0].u;
    for (const RenderVertex& c : t) {
      low = std::min(low, c.u);
      high = std::max(high, c.u);
    }
    // Past one edge it belongs on the other as well.
    for (float shift : {high > 1 ? -1.0f : 0.0f, low < 0 ? 1.0f : 0.0f}) {
      if (shift == 0) continue;
      RenderTriangle copy = t;
      for (RenderVertex& c : copy) c.u += shift;
      triangles_.push_back(copy);
    }
  };

  for (const MeshPart& part : mesh.Parts) {
    for (const Triangle& t : PartTriangles(part)) {
      RenderTriangle corners;
      bool pole[3];
      int poles = 0;
      float low = 2, high = -1;
      for (int k = 0; k < 3; ++k) {
        corners[k] = Corner(part.Vertices[t[k]]);
        pole[k] = AtPole(corners[k].v);
        poles += pole[k];
        if (pole[k]) continue;
        low = std::min(low, corners[k].u);
        high = std::max(high, corners[k].u);
      }
      if (poles == 3) continue;
      if (low < wrap.lower && high > wrap.upper) {
        for (int k = 0; k < 3; ++k) {
          if (!pole[k] && corners[k].u < wrap.lower) corners[k].u += 1;
        }
      }
      if (poles == 1 && wrap.duplicate_poles) {
        const int k = pole[0] ? 0 : pole[1] ? 1 : 2;
        const RenderVertex& a = corners[(k + 1) % 3];
        const RenderVertex& b = corners[(k + 2) % 3];
        RenderVertex above_a = corners[k], above_b = corners[k];
        above_a.u = a.u;
        above_b.u = b.u;
        emit({above_b, above_a, a});
        emit({above_b, a, b});
        continue;
      }
      if (poles > 0) {
        float sum = 0;
        for (int k = 0; k < 3; ++k) sum += pole[k] ? 0 : corners[k].u;
        for (int k = 0; k < 3; ++k) {
          if (pole[k]) corners[k].u = sum / static_cast<float>(3 - poles);
        }
      }
      emit(corners);
    }
  }
}

RgbaImage BackgroundTextureGenerator::Render() const {
  return TriangleRenderer(width(), height(), options_).Render(triangles_);
}

bool BackgroundTextureGenerator::SaveTexture(Ui& ui) const {
  const std::optional<std::string> path = ui.SaveFile(msg::kBmpFilter, msg::kSaveTexture);
  if (!path || path->empty()) return false;
  return WriteBmp24(*path, Render(), ui);
}

double CorrectedSizeMultiplier(double multiplier, Ui& ui) {
  if (multiplier == 0) {
    ui.Message(msg::kSizeZero, Icon::Exclamation);
    return 1;
  }
  if (multiplier > 2) {
    ui.Message(msg::kSizeTooLarge, Icon::Exclamation);
    return 2;
  }
  return multiplier;
}

std::optional<double> AskSizeMultiplier(Ui& ui) {
  const auto answer = AskNumber(ui, msg::kSizePrompt, "1");
  if (!answer) return std::nullopt;
  return CorrectedSizeMultiplier(*answer, ui);
}

double CorrectedThreshold(double value, bool upper, Ui& ui) {
  if (value == 0) {
    ui.Message(upper ? msg::kUpperZero : msg::kLowerZero, Icon::Exclamation);
    return WrapSettings().lower;
  }
  const double wrapped = Wrap(value, 0, 1, 1);
  if (wrapped != value) {
    ui.Message(NumberText(value) + (upper ? msg::kUpperOutOfRange : msg::kLowerOutOfRange) +
                   NumberText(wrapped),
               Icon::Exclamation);
  }
  return wrapped;
}

std::optional<double> AskThreshold(Ui& ui, bool upper) {
  const auto answer =
      upper ? AskNumber(ui, msg::kUpperPrompt, "0.875") : AskNumber(ui, msg::kLowerPrompt, "0.125");
  if (!answer) return std::nullopt;
  return CorrectedThreshold(*answer, upper, ui);
}

TextureGeneration GenerateTexture(const BackgroundMeshSetRecord& set,
                                  const TextureGenerationSettings& settings) {
  TextureGeneration result{UnprojectedCopies(set), {}};
  if (settings.fix_wrapping) {
    for (LodMesh& mesh : result.working) FixCircularWrapping(mesh);
  }
  result.generator.SetNewSizeMultiplier(settings.size_multiplier);
  result.generator.options() = settings.render;
  for (const LodMesh& mesh : result.working) result.generator.AddAVert(mesh, settings.wrap);
  return result;
}

std::optional<BackgroundTextureGenerator> GenerateBackgroundTexture(const Workspace& workspace,
                                                                    Ui& ui) {
  std::vector<LodMesh> working = UnprojectedCopies(workspace.model.BackgroundMeshSet);
  if (Ask(ui, msg::kFixWrapping)) {
    for (LodMesh& mesh : working) FixCircularWrapping(mesh);
  }
  const std::optional<double> multiplier = AskSizeMultiplier(ui);
  if (!multiplier) return std::nullopt;
  BackgroundTextureGenerator generator;
  generator.SetNewSizeMultiplier(*multiplier);
  generator.Init(ui);

  WrapSettings wrap;
  wrap.additional_faces = Ask(ui, msg::kAdditionalFaces);
  if (wrap.additional_faces) {
    wrap.duplicate_poles = Ask(ui, msg::kDuplicateFaces);
    const auto lower = AskThreshold(ui, false);
    if (!lower) return std::nullopt;
    const auto upper = AskThreshold(ui, true);
    if (!upper) return std::nullopt;
    wrap.lower = *lower;
    wrap.upper = *upper;
  } else {
    wrap.duplicate_poles = false;
  }
  for (const LodMesh& mesh : working) generator.AddAVert(mesh, wrap);

  if (Ask(ui, msg::kSaveMeshes, Answer::No)) ExportGeneratedMeshes(workspace, working, ui);
  return generator;
}

}  // namespace gantry
