#include "editing/light_editor.h"

#include <cmath>
#include <utility>

#include "common/number_parse.h"
#include "common/number_text.h"
#include "editing/rotations.h"

namespace gantry {

namespace {

// 4x4 matrices as Direct3D's helper library (D3DX) builds them: single precision, row vectors
// (a point is the row (x, y, z, 1) multiplied from the left, so A * B applies A first), the
// translation in the fourth row, and rotations whose sine stands above the diagonal for X and Z
// and below it for Y. Keeping those conventions makes the directions agree with the game's tools.
using Matrix4 = std::array<std::array<float, 4>, 4>;

Matrix4 Identity() {
  Matrix4 m{};
  for (int i = 0; i < 4; ++i) m[i][i] = 1;
  return m;
}

Matrix4 Multiply(const Matrix4& l, const Matrix4& r) {
  Matrix4 m{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < 4; ++k) m[i][j] += l[i][k] * r[k][j];
    }
  }
  return m;
}

Matrix4 TranslationMatrix(float x, float y, float z) {
  Matrix4 m = Identity();
  m[3] = {x, y, z, 1};
  return m;
}

Matrix4 ScalingMatrix(float x, float y, float z) {
  Matrix4 m = Identity();
  m[0][0] = x;
  m[1][1] = y;
  m[2][2] = z;
  return m;
}

Matrix4 RotationX(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix4 m = Identity();
  m[1][1] = c;
  m[1][2] = s;
  m[2][1] = -s;
  m[2][2] = c;
  return m;
}

Matrix4 RotationY(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix4 m = Identity();
  m[0][0] = c;
  m[0][2] = -s;
  m[2][0] = s;
  m[2][2] = c;
  return m;
}

Matrix4 RotationZ(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix4 m = Identity();
  m[0][0] = c;
  m[0][1] = s;
  m[1][0] = -s;
  m[1][1] = c;
  return m;
}

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
  for (std::size_t i = 0; i < kFieldCount; ++i) fields_[i] = i < kScale ? "0" : "1";
}

void LightEditor::SetField(std::size_t index, std::string text, Ui& ui) {
  if (index >= kScale && index < kFieldCount && LeadingNumber(text) == 0) {
    ui.Message(light_editor_messages::kScaleZero, Icon::Exclamation);
    text = "1";
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
