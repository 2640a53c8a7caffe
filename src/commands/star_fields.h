// The Star Field tab's generative commands: the star-map import (button cmdSTRFAutoAdd), which
// turns the bright pixels of a 32-bit TGA into stars on a sphere around the background, and
// placing one star with the object viewer (button cmdSTRFPosition).
//
// The import fills either the star fields, which it replaces by 16 new ones (the image's columns
// cut into eighths, its top and bottom halves), or one background segment, which it appends to.
// Selections are 0-based; nullopt (or an index past its list) means nothing is selected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>

#include "commands/command_result.h"
#include "commands/remove.h"
#include "common/ui.h"
#include "hod/model.h"
#include "interchange/tga.h"

namespace gantry {

inline constexpr std::size_t kStarFieldGroups = 16;
// The version every star field of the game's own background HODs carries. The reader keeps
// whatever a file holds and nothing checks it, so only the game cares.
inline constexpr std::int32_t kNewStarFieldVersion = 1000;

// 1, 2, 4, 8, ...: the smallest not below `value`; 1 for anything up to 1 (and for NaN).
// Saturates at 2^62.
std::int64_t PowerOfTwoAtLeast(double value);

// The sphere the background meshes suggest: the mean of all their vertex positions, and the
// mean distance of the vertices from it. Zero without vertices.
struct StarSphere {
  Vector3 centre;
  double radius = 0;
};
StarSphere StarMapDefaults(const HodModel& model);

// The answer rule for the radius: its absolute value, except that 0 says so and gives
// `suggested` - 1.
double StarMapRadius(double answer, double suggested, Ui& ui);

// Says why an image cannot be a star map (not 32 bits, or no width or height) and returns false.
bool CheckStarMap(const TGAImage& image, Ui& ui);

// What the import is run with. The centre is subtracted from every point. Centre and size are
// taken as absolute values, so raw answers may be passed; the radius is used as given (pass it
// through StarMapRadius: a negative radius from it puts the stars on the far side).
struct StarMapSettings {
  Vector3 centre;
  double radius = 0;
  double size = 1;         // the size multiplier; 0 adds nothing
  bool randomize = false;  // adds a uniform 0..1 to every star field star's size
};

// The import without questions: every pixel of at least brightness 50 and alpha 128 becomes a
// star in the star fields (replaced first) or in background segment `segment` (appended).
// Unchanged for a size of 0, an image CheckStarMap refuses, or a segment that is not there.
// `random` is drawn from only when randomizing.
CommandResult AddStarsFromMap(HodModel& model, const TGAImage& image,
                              const StarMapSettings& settings, StarGroupFamily family,
                              std::size_t segment, std::mt19937& random);

// The button: asks for the image, the centre, radius and size multiplier (suggested by
// StarMapDefaults) and whether to randomize, then runs AddStarsFromMap. For background
// segments the group selected is the target; without one it says so before asking anything.
CommandResult STRFAutoAdd(HodModel& model, StarGroupFamily family, std::optional<std::size_t> group,
                          std::mt19937& random, Ui& ui);

// Placing a star: the check the button makes before opening the viewer (says so and returns
// true when no star is selected), the position the viewer opens with, and storing what it
// returned. Stars hang on no joint, so positions are in the model's frame both ways.
bool RefusePlacingStarWithoutSelection(const HodModel& model, StarGroupFamily family,
                                       std::optional<std::size_t> group,
                                       std::optional<std::size_t> star, Ui& ui);
Vector3 StarViewerPosition(const HodModel& model, StarGroupFamily family, std::size_t group,
                           std::size_t star);
CommandResult PlaceStar(HodModel& model, StarGroupFamily family, std::size_t group,
                        std::size_t star, const Vector3& picked);

}  // namespace gantry
