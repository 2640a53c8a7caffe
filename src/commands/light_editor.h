// The light editor: builds a transform from a translation, three rotations (degrees) and a scale,
// and hands back from it a point light's position or a directional light's direction. The GUI
// binds its nine text boxes to the fields and its buttons to Ok and Cancel; the Lights tab calls
// SetLightType and SetTransformValues before showing it and GetTransformValues afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ui.h"
#include "hod/model.h"

namespace gantry {

namespace light_editor_messages {

inline constexpr const char* kCaption = "Light Editor";
inline constexpr const char* kAmbientLight = "Ambient Light";
inline constexpr const char* kDirectionalLight = "Directional Light";
inline constexpr const char* kPointLight = "Point Light";
inline constexpr const char* kUnknownLight = "UNKNOWN";
inline constexpr const char* kScaleZero = "Scale cannot be zero! Setting scale to 1.";

}  // namespace light_editor_messages

class LightEditor {
 public:
  // Field indices: translation x, y, z; rotation about X, Y, Z in degrees; scale x, y, z.
  static constexpr std::size_t kTranslation = 0;
  static constexpr std::size_t kRotation = 3;
  static constexpr std::size_t kScale = 6;
  static constexpr std::size_t kFieldCount = 9;

  static constexpr std::int32_t kAmbient = 0;
  static constexpr std::int32_t kDirectional = 1;
  static constexpr std::int32_t kPoint = 2;

  LightEditor();

  void SetLightType(std::int32_t type);
  std::int32_t light_type() const { return type_; }
  // What the type box shows: "Ambient Light", "Directional Light", "Point Light" or "UNKNOWN".
  const char* TypeText() const;

  // The values handed in become both the entry values (for Cancel) and the result; the fields
  // start again at translation 0, rotation 0 and scale 1, whatever the values.
  void SetTransformValues(const Vector3& values);
  Vector3 GetTransformValues() const { return result_; }

  const std::string& Field(std::size_t index) const { return fields_.at(index); }
  // Stores a box's text; call it when the box is left. A scale field whose number is 0 is
  // refused with a message and set to 1.
  void SetField(std::size_t index, std::string text, Ui& ui);
  // False when a keystroke left a box's text that is not a number (the GUI beeps).
  static bool IsFieldText(std::string_view text);

  // Fields 0 to 2, exchanged with the object viewer when the position is placed there.
  Vector3 Translation() const;
  void SetTranslation(const Vector3& position);

  // OK: the result from the fields, by light type. Cancel: the entry values again.
  void Ok();
  void Cancel() { result_ = entry_; }

 private:
  std::int32_t type_ = kAmbient;
  Vector3 entry_;
  Vector3 result_;
  std::array<std::string, kFieldCount> fields_;
};

}  // namespace gantry
