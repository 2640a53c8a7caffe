#include "commands/star_fields.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "commands/star_messages.h"
#include "common/number_parse.h"
#include "common/number_text.h"
#include "geometry/rotations.h"

namespace gantry {

namespace {

namespace msg = star_messages;

constexpr double kMinBrightness = 50;
constexpr std::uint32_t kMinAlpha = 128;
// Brightness over this step, as a power of two, is the star's size in tenths.
constexpr double kSizeStep = 13.78125;
constexpr std::size_t kColumnEighths = 8;

struct Pixel {
  double red, green, blue, alpha;
};

Pixel Channels(std::uint32_t argb) {
  const auto channel = [argb](int shift) { return static_cast<double>((argb >> shift) & 0xFF); };
  return {channel(16), channel(8), channel(0), channel(24)};
}

// 0..15: the column's eighth (a cut belongs to the eighth right of it), plus 8 in the top half.
std::size_t StarFieldGroup(double column, double row, double width, double height) {
  const double across = column / width;
  std::size_t group = 0;
  for (std::size_t cut = 1; cut < kColumnEighths; ++cut) {
    if (static_cast<double>(cut) / kColumnEighths <= across) ++group;
  }
  return row / height > 0.5 ? group + kColumnEighths : group;
}

// Uniform in [0, 1), the same for a given seed on every standard library (the distributions'
// algorithms are not fixed by the standard).
double UniformUnit(std::mt19937& random) {
  static_assert(std::mt19937::min() == 0 && std::mt19937::max() == 0xFFFFFFFFu);
  return std::ldexp(static_cast<double>(random()), -32);
}

template <typename List>
std::int32_t CountOf(const List& list) {
  return static_cast<std::int32_t>(list.size());
}

bool HasSides(const TGAImage& image) { return image.Header.Width > 0 && image.Header.Height > 0; }

// An answer that is not a number, and Cancel, read as 0.
double AskedNumber(Ui& ui, const char* prompt, double initial) {
  const std::optional<std::string> text = ui.Input(prompt, NumberText(static_cast<float>(initial)));
  return text ? LeadingNumber(*text) : 0;
}

bool SegmentChosen(const HodModel& model, std::optional<std::size_t> group) {
  return group && *group < model.BackgroundSegments.size();
}

// The position fields of the chosen star, or null when there is no such star.
template <typename Model>
auto StarPosition(Model& model, StarGroupFamily family, std::optional<std::size_t> group,
                  std::optional<std::size_t> star)
    -> decltype(model.StarFields[0].Stars[0].data()) {
  if (!group || !star) return nullptr;
  if (family == StarGroupFamily::StarFields) {
    if (*group >= model.StarFields.size()) return nullptr;
    auto& stars = model.StarFields[*group].Stars;
    return *star < stars.size() ? stars[*star].data() : nullptr;
  }
  if (*group >= model.BackgroundSegments.size()) return nullptr;
  auto& elements = model.BackgroundSegments[*group].Elements;
  return *star < elements.size() ? elements[*star].data() : nullptr;
}

}  // namespace

std::int64_t PowerOfTwoAtLeast(double value) {
  constexpr std::int64_t kLargest = std::int64_t{1} << 62;
  std::int64_t power = 1;
  while (power < value && power < kLargest) power *= 2;
  return power;
}

StarSphere StarMapDefaults(const HodModel& model) {
  std::vector<Vector3> points;
  for (const LodMesh& mesh : model.BackgroundMeshSet.Meshes) {
    for (const MeshPart& part : mesh.Parts) {
      for (const MeshVertex& vertex : part.Vertices) {
        points.push_back({vertex.Position.x, vertex.Position.y, vertex.Position.z});
      }
    }
  }
  if (points.empty()) return {};
  double x = 0, y = 0, z = 0;
  for (const Vector3& p : points) {
    x += p.x;
    y += p.y;
    z += p.z;
  }
  const double n = static_cast<double>(points.size());
  x /= n;
  y /= n;
  z /= n;
  double distance = 0;
  for (const Vector3& p : points) distance += std::hypot(p.x - x, p.y - y, p.z - z);
  return {{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}, distance / n};
}

double StarMapRadius(double answer, double suggested, Ui& ui) {
  const double radius = std::abs(answer);
  if (radius != 0) return radius;
  ui.Message(msg::kZeroRadius + fmt::format("{:.3f}", suggested - 1) + msg::kZeroRadiusEnd,
             Icon::None);
  return suggested - 1;
}

bool CheckStarMap(const TGAImage& image, Ui& ui) {
  if (image.Header.Depth != 32) {
    ui.Message(msg::kNot32Bit, Icon::Exclamation);
    return false;
  }
  if (!HasSides(image)) {
    ui.Message(msg::kNoWidthOrHeight, Icon::Exclamation);
    return false;
  }
  return true;
}

CommandResult AddStarsFromMap(HodModel& model, const TGAImage& image,
                              const StarMapSettings& settings, StarGroupFamily family,
                              std::size_t segment, std::mt19937& random) {
  const double size = std::abs(settings.size);
  const bool to_fields = family == StarGroupFamily::StarFields;
  if (size == 0 || image.Header.Depth != 32 || !HasSides(image) ||
      (!to_fields && segment >= model.BackgroundSegments.size())) {
    return CommandResult::Unchanged();
  }
  const Vector3 centre{std::abs(settings.centre.x), std::abs(settings.centre.y),
                       std::abs(settings.centre.z)};

  if (to_fields) {
    model.StarFields.assign(kStarFieldGroups, StarField{});
    for (StarField& field : model.StarFields) {
      field.Kind = "NRML";
      field.ID = "STRF";
      field.Version = kNewStarFieldVersion;
    }
  }
  const std::size_t width = static_cast<std::size_t>(image.Header.Width);
  const std::size_t height = static_cast<std::size_t>(image.Header.Height);
  const double w = static_cast<double>(width);
  const double h = static_cast<double>(height);
  // A file cut short has fewer pixels than its header promises.
  const std::size_t count = std::min(image.Pixels.size(), width * height);
  for (std::size_t k = 0; k < count; ++k) {
    const Pixel p = Channels(image.Pixels[k]);
    const double brightness = std::sqrt(p.red * p.red + p.green * p.green + p.blue * p.blue);
    if (brightness < kMinBrightness || p.alpha < kMinAlpha) continue;
    const double column = static_cast<double>(k % width + 1);
    const double row = h - static_cast<double>(k / width);
    const Vector3 at = SpherePoint(column, row, w, h, settings.radius, centre);
    if (to_fields) {
      double star_size = static_cast<double>(PowerOfTwoAtLeast(brightness / kSizeStep)) / 10 * size;
      if (settings.randomize) star_size += UniformUnit(random);
      const double opacity = p.alpha / 255;
      model.StarFields[StarFieldGroup(column, row, w, h)].Stars.push_back(
          {at.x, at.y, at.z, static_cast<float>(opacity * p.red / 255),
           static_cast<float>(opacity * p.green / 255), static_cast<float>(opacity * p.blue / 255),
           static_cast<float>(star_size)});
    } else {
      model.BackgroundSegments[segment].Elements.push_back(
          {at.x, at.y, at.z, 0, static_cast<float>(p.red / 255), static_cast<float>(p.green / 255),
           static_cast<float>(p.blue / 255), static_cast<float>(p.alpha / 255)});
    }
  }
  if (to_fields) {
    for (StarField& field : model.StarFields) field.StarCount = CountOf(field.Stars);
    return CommandResult::Changed(0);
  }
  BackgroundSegment& target = model.BackgroundSegments[segment];
  target.ElementCount = CountOf(target.Elements);
  return CommandResult::Changed(segment);
}

CommandResult STRFAutoAdd(HodModel& model, StarGroupFamily family, std::optional<std::size_t> group,
                          std::mt19937& random, Ui& ui) {
  const bool to_fields = family == StarGroupFamily::StarFields;
  if (!to_fields && !SegmentChosen(model, group)) {
    ui.Message(msg::kSelectObjectFirst, Icon::Exclamation);
    return CommandResult::Unchanged();
  }
  const std::optional<std::string> path = ui.OpenFile(msg::kStarMapFilter, "");
  if (!path) return CommandResult::Unchanged();
  const TGAImage image = ReadTGAImage(*path);
  if (!CheckStarMap(image, ui)) {
    ui.Status(msg::kReady);
    return CommandResult::Unchanged();
  }

  const StarSphere suggested = StarMapDefaults(model);
  StarMapSettings settings;
  settings.centre.x = static_cast<float>(AskedNumber(ui, msg::kCentreXPrompt, suggested.centre.x));
  settings.centre.y = static_cast<float>(AskedNumber(ui, msg::kCentreYPrompt, suggested.centre.y));
  settings.centre.z = static_cast<float>(AskedNumber(ui, msg::kCentreZPrompt, suggested.centre.z));
  settings.radius =
      StarMapRadius(AskedNumber(ui, msg::kRadiusPrompt, suggested.radius), suggested.radius, ui);
  settings.size = AskedNumber(ui, msg::kSizePrompt, 1);
  if (settings.size == 0) {
    ui.Status(msg::kReady);
    return CommandResult::Unchanged();
  }
  settings.randomize =
      ui.Message(msg::kRandomizePrompt, Icon::Question, Buttons::YesNo) == Answer::Yes;

  ui.Status(msg::kReadingStarMap);
  const CommandResult result =
      AddStarsFromMap(model, image, settings, family, to_fields ? 0 : *group, random);
  ui.Status(msg::kReady);
  return result;
}

bool RefusePlacingStarWithoutSelection(const HodModel& model, StarGroupFamily family,
                                       std::optional<std::size_t> group,
                                       std::optional<std::size_t> star, Ui& ui) {
  if (StarPosition(model, family, group, star)) return false;
  ui.Message(msg::kSelectObjectFirst, Icon::Exclamation);
  return true;
}

Vector3 StarViewerPosition(const HodModel& model, StarGroupFamily family, std::size_t group,
                           std::size_t star) {
  const float* p = StarPosition(model, family, group, star);
  return p ? Vector3{p[0], p[1], p[2]} : Vector3{};
}

CommandResult PlaceStar(HodModel& model, StarGroupFamily family, std::size_t group,
                        std::size_t star, const Vector3& picked) {
  float* p = StarPosition(model, family, group, star);
  if (!p) return CommandResult::Unchanged();
  p[0] = picked.x;
  p[1] = picked.y;
  p[2] = picked.z;
  return CommandResult::Changed(star);
}

}  // namespace gantry
