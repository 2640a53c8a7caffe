#include "commands/light_editor.h"

#include <cmath>
#include <utility>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "geometry/matrix4.h"
#include "geometry/rotations.h"

namespace gantry {

namespace {

Vector3 RowOf(const Matrix4& m, int row) { return {m[row][0], m[row][1], m[row][2]}; }

}  // namespace

LightEditor::LightEditor() { SetTransformValues({}); }

void LightEditor::SetLightType(std::int32_t type) { type_ = type; }

const char* LightEditor::TypeText() const {
  switch (type_) {
    case kAmbient:
      return light_editor_messages::kAmbientLight;
    case kDirectional:
      return light_editor_messages::kDirectionalLight;
    case kPoint:
      return light_editor_messages::kPointLight;
    default:
      return light_editor_messages::kUnknownLight;
  }
}

void LightEditor::SetTransformValues(const Vector3& values) {
  entry_ = values;
  result_ = values;
  // One character assigned as such: GCC 12 at -O3 misreads the literal's copy as overlapping.
  for (std::size_t i = 0; i < kFieldCount; ++i) fields_[i].assign(1, i < kScale ? '0' : '1');
}

void LightEditor::SetField(std::size_t index, std::string text, Ui& ui) {
  if (index >= kScale && index < kFieldCount && LeadingNumber(text) == 0) {
    ui.Message(light_editor_messages::kScaleZero, Icon::Exclamation);
    text.assign(1, '1');
  }
  fields_.at(index) = std::move(text);
}

bool LightEditor::IsFieldText(std::string_view text) { return IsNumberText(text); }

Vector3 LightEditor::Translation() const {
  return {static_cast<float>(LeadingNumber(fields_[kTranslation])),
          static_cast<float>(LeadingNumber(fields_[kTranslation + 1])),
          static_cast<float>(LeadingNumber(fields_[kTranslation + 2]))};
}

void LightEditor::SetTranslation(const Vector3& position) {
  fields_[kTranslation] = NumberText(position.x);
  fields_[kTranslation + 1] = NumberText(position.y);
  fields_[kTranslation + 2] = NumberText(position.z);
}

void LightEditor::Ok() {
  auto number = [this](std::size_t i) { return static_cast<float>(LeadingNumber(fields_[i])); };
  auto angle = [this](std::size_t i) {
    return static_cast<float>(DegreesToRadians(LeadingNumber(fields_[i])));
  };
  // M = S * Rz * Ry * Rx * T, built up from T as the rotations are put in front of it.
  Matrix4 m =
      TranslationMatrix(number(kTranslation), number(kTranslation + 1), number(kTranslation + 2));
  m = Multiply(RotationX(angle(kRotation)), m);
  m = Multiply(RotationY(angle(kRotation + 1)), m);
  m = Multiply(RotationZ(angle(kRotation + 2)), m);
  m = Multiply(ScalingMatrix(number(kScale), number(kScale + 1), number(kScale + 2)), m);
  switch (type_) {
    case kAmbient:
      result_ = {};
      break;
    case kDirectional:
      result_ = RowOf(m, 2);  // the scaled Z axis, turned
      break;
    case kPoint:
      result_ = RowOf(m, 3);  // the translation
      break;
    default:
      break;
  }
}

}  // namespace gantry
