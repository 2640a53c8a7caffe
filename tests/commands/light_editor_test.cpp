#include "commands/light_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

void ExpectNear(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

// The editor as the Lights tab opens it, with the nine fields then typed in.
struct Opened {
  Opened(std::int32_t type, Vector3 entry, const std::vector<std::string>& fields = {}) {
    editor.SetLightType(type);
    editor.SetTransformValues(entry);
    std::size_t i = 0;
    for (const std::string& f : fields) editor.SetField(i++, f, ui);
  }
  Vector3 AfterOk() {
    editor.Ok();
    return editor.GetTransformValues();
  }
  LightEditor editor;
  testing::ScriptedUi ui;
};

TEST(LightEditor, DirectionIsTheScaledZAxisTurnedAboutZThenYThenX) {
  // (90, 90): Y before X, the other order would give (0, -1, 0). Only the Z scale reaches the
  // direction; the translation never does.
  const std::pair<std::vector<std::string>, Vector3> cases[] = {
      {{"0", "0", "0", "90", "0", "0"}, {0, -1, 0}},
      {{"0", "0", "0", "0", "90", "0"}, {1, 0, 0}},
      {{"0", "0", "0", "90", "90", "0"}, {1, 0, 0}},
      {{"5", "6", "7", "90", "0", "0", "3", "4", "2"}, {0, -2, 0}}};
  for (const auto& [fields, direction] : cases) {
    ExpectNear(Opened(LightEditor::kDirectional, {}, fields).AfterOk(), direction);
  }
}

TEST(LightEditor, PointLightGetsTheTranslationWhateverTheRotationAndScale) {
  // The fields start at translation 0, not at the light's position.
  ExpectNear(Opened(LightEditor::kPoint, {5, 6, 7}).AfterOk(), {0, 0, 0});
  ExpectNear(
      Opened(LightEditor::kPoint, {5, 6, 7}, {"1", "-2", "3.5", "30", "40", "50", "2", "3", "4"})
          .AfterOk(),
      {1, -2, 3.5f});
  // The object viewer places the translation fields.
  Opened placed(LightEditor::kPoint, {});
  placed.editor.SetTranslation({1.5f, -2, 0.25f});
  EXPECT_EQ(placed.editor.Field(1), "-2");
  ExpectNear(placed.AfterOk(), {1.5f, -2, 0.25f});
}

TEST(LightEditor, AmbientIsAlwaysZeroAndUnknownTypesKeepTheirValues) {
  ExpectNear(Opened(LightEditor::kAmbient, {5, 6, 7}, {"1", "2", "3", "0", "90"}).AfterOk(),
             {0, 0, 0});
  Opened unknown(7, {5, 6, 7}, {"1", "2", "3"});
  EXPECT_STREQ(unknown.editor.TypeText(), "UNKNOWN");
  ExpectNear(unknown.AfterOk(), {5, 6, 7});
  const char* names[] = {"Ambient Light", "Directional Light", "Point Light", "UNKNOWN"};
  for (std::int32_t type = -1; type < 4; ++type) {
    unknown.editor.SetLightType(type);
    EXPECT_STREQ(unknown.editor.TypeText(), names[type < 0 ? 3 : type]);
  }
}

TEST(LightEditor, CancelReturnsTheEntryValuesAndReopeningResetsTheFields) {
  Opened opened(LightEditor::kPoint, {5, 6, 7}, {"1", "2", "3", "10", "20", "30", "2", "2", "2"});
  opened.editor.Ok();
  opened.editor.Cancel();
  ExpectNear(opened.editor.GetTransformValues(), {5, 6, 7});
  opened.editor.SetTransformValues({});
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < LightEditor::kFieldCount; ++i)
    fields.push_back(opened.editor.Field(i));
  EXPECT_EQ(fields, (std::vector<std::string>{"0", "0", "0", "0", "0", "0", "1", "1", "1"}));
  ExpectNear(opened.editor.GetTransformValues(), {0, 0, 0});
}

TEST(LightEditor, ScaleOfZeroIsRefusedAndSetToOne) {
  LightEditor editor;
  testing::ScriptedUi ui;
  editor.SetField(LightEditor::kScale + 1, "0", ui);
  editor.SetField(LightEditor::kScale + 2, "0.0", ui);
  EXPECT_EQ(std::tuple(editor.Field(LightEditor::kScale + 1), editor.Field(LightEditor::kScale + 2),
                       ui.MessageTexts()),
            std::tuple("1", "1",
                       std::vector<std::string>(2, "Scale cannot be zero! Setting scale to 1.")));
  // Other scales and zero translations or angles are kept as typed.
  editor.SetField(LightEditor::kScale, "0.5", ui);
  editor.SetField(LightEditor::kTranslation, "0", ui);
  editor.SetField(LightEditor::kRotation, "0", ui);
  EXPECT_EQ(std::tuple(editor.Field(LightEditor::kScale), ui.messages.size()),
            std::tuple("0.5", 2u));
}

}  // namespace
}  // namespace gantry
