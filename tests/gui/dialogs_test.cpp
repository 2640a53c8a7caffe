// The dialogs: options, HOD attributes, message boxes and choosers, the generator window and the
// texture import dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "common/debug_log.h"
#include "gui/attributes_dialog.h"
#include "gui/gui_helpers.h"
#include "gui/options_dialog.h"
#include "gui/qt_ui.h"
#include "gui/texture_import_dialog.h"
#include "gui/tool_dialogs.h"
#include "hod/reset.h"
#include "interchange/texture_decode.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

using testing::Find;

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { settings_.clear(); }

  std::unique_ptr<OptionsDialog> Open() {
    return std::make_unique<OptionsDialog>(
        settings_, log_, [this](const RenderConfig& config) { handed_ = config; });
  }

  QSettings settings_;
  DebugLog log_;
  RenderConfig handed_{9, 9, true, true};
};

TEST_F(OptionsTest, FirstRunDefaultsAndDependentBoxes) {
  auto dialog = Open();
  // At 400, 800 where the screen has room; moved in so that all of it shows where it has not.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(area.contains(QRect(dialog->pos(), dialog->size()))) << area.height();
  if (area.contains(QRect(QPoint(400, 800), dialog->size() + QSize(16, 48)))) {
    EXPECT_EQ(dialog->pos(), QPoint(400, 800));
  } else {
    EXPECT_EQ(dialog->pos().x(), std::min(400, area.right() + 1 - dialog->width() - 16));
  }
  EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "optOption1")->isChecked());
  EXPECT_EQ(handed_, RenderConfig{});
  EXPECT_EQ(log_.debug_level(), 1);

  // Two triples follow one rule: the first box, checked at first, governs the second, which
  // offers the third.
  const auto state = [&](const char* name) {
    const auto* box = Find<QCheckBox>(dialog.get(), name);
    return std::pair(box->isChecked(), box->isEnabled());
  };
  const auto click = [&](const char* name) { Find<QCheckBox>(dialog.get(), name)->click(); };
  using Triple = std::tuple<const char*, const char*, const char*, int RenderConfig::*>;
  for (const auto& [least, second, third, mode] :
       {Triple{"chkSoftware", "chkHardware", "chkPureDevice", &RenderConfig::device_mode},
        Triple{"chkNone", "chkBilinear", "chkAF", &RenderConfig::filter_mode}}) {
    SCOPED_TRACE(least);
    click(least);  // cleared: the second on, the third available but off
    EXPECT_EQ(std::pair(state(second), state(third)),
              std::pair(std::pair(true, true), std::pair(false, true)));
    click(third);
    EXPECT_EQ(dialog->Config().*mode, 2);
    click(second);  // cleared: the third off and unavailable
    EXPECT_EQ(state(third), std::pair(false, false));
    click(least);  // checked: both off and unavailable
    EXPECT_EQ(std::pair(state(second), state(third)),
              std::pair(std::pair(false, false), std::pair(false, false)));
  }
  // High resolution is offered only with the automatic resolution.
  EXPECT_EQ(state("chkHiRes"), std::pair(false, false));
  click("chkAutoRes");
  click("chkHiRes");
  EXPECT_TRUE(dialog->Config().high_resolution);
  click("chkAutoRes");
  EXPECT_EQ(state("chkHiRes"), std::pair(false, false));
}

TEST_F(OptionsTest, ApplyPersistsAndCancelDoesNot) {
  {
    auto dialog = Open();
    Find<QRadioButton>(dialog.get(), "optOption0")->click();
    Find<QCheckBox>(dialog.get(), "chkSoftware")->click();
    Find<QCheckBox>(dialog.get(), "chkNone")->click();
    dialog->move(120, 130);
    Find<QPushButton>(dialog.get(), "cmdApply")->click();
    EXPECT_EQ(log_.debug_level(), 0);  // at once, without reopening anything
  }
  EXPECT_EQ(settings_.value("Options/DebuggingLevel").toInt(), 0);
  EXPECT_EQ(settings_.value("Options/OptionSDX_Hardware").toInt(), 1);
  EXPECT_EQ(settings_.value("Options/OptionSDX_FBilinear").toInt(), 1);
  EXPECT_EQ(settings_.value("Options/OptionDialog_Left").toFloat(), 120.0f);
  {
    auto dialog = Open();
    EXPECT_EQ(handed_, (RenderConfig{1, 1, false, false}));
    EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "optOption0")->isChecked());
    EXPECT_EQ(dialog->pos(), QPoint(120, 130));
    Find<QRadioButton>(dialog.get(), "optOption1")->click();
    Find<QPushButton>(dialog.get(), "cmdCancel")->click();
  }
  EXPECT_EQ(settings_.value("Options/DebuggingLevel").toInt(), 0);
}

TEST(AttributesDialogTest, StartsOnTheModelsTypeAndRefusesBadVersions) {
  HodModel model = MakeDefaultModel();
  model.HodName.TypeName = "Homeworld2 Simple Mesh File";
  model.HodVersion.Version = 1000;
  EXPECT_EQ(AttributesTypeIndex(model), 1);  // the version wins
  model.HodVersion.Version = 512;
  EXPECT_EQ(AttributesTypeIndex(model), 3);
  model.HodName.TypeName = "Something else";
  EXPECT_EQ(AttributesTypeIndex(model), 0);

  testing::ScriptedUi ui;
  AttributesDialog dialog(model, ui, QStringLiteral("HOD Attributes"));
  auto* version = Find<QLineEdit>(&dialog, "txtHODVersion");
  auto* apply = Find<QPushButton>(&dialog, "cmdApply");
  version->setText(QStringLiteral("512.5"));
  apply->click();
  version->setText(QStringLiteral("abc"));
  apply->click();
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"HOD Version is not a integeral value. Please correct.",
                                      "HOD Version is not a numerical value. Please correct."}));
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(model.HodVersion.Version, 512);

  Find<QRadioButton>(&dialog, "optHW2HODType1")->click();
  EXPECT_EQ(version->text(), QStringLiteral("1000"));
  apply->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(model.HodVersion.Version, 1000);
  EXPECT_EQ(model.HodName.TypeName, "What's in a name?");
  EXPECT_EQ(model.HodName.Length, 17 + 4);
}

// Texts read as UTF-8, else as code page 1252 (where it and Latin-1 differ too: 0x80, 0x99);
// filters in Qt's form; message boxes and the material chooser answer as clicked.
TEST(QtUiTest, TextsFiltersAndMessageBoxes) {
  EXPECT_EQ(ToQt("/home/d\xC3\xA9j\xC3\xA0/ship.hod"),
            QStringLiteral("/home/d\u00e9j\u00e0/ship.hod"));
  EXPECT_EQ(ToQt("Caf\xE9 \x80\x99"), QStringLiteral("Caf\u00e9 \u20ac\u2122"));
  EXPECT_EQ(FromQt(QStringLiteral("Caf\u00e9 \u20ac\u2122")), "Caf\xE9 \x80\x99");
  EXPECT_EQ(QtFileFilter("HW2 Geometry Files (*.HOD) | *.hod|All Files (*.*) | *.*"),
            QStringLiteral("HW2 Geometry Files (*.hod *.HOD);;All Files (*.*)"));
  EXPECT_EQ(QtFileFilter("*.DDS|*.*"), QStringLiteral("*.DDS (*.*)"));

  QtUi ui;
  testing::OnNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Continue?"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(ui.Message("Continue?", Icon::Critical, Buttons::YesNo), Answer::No);
  testing::OnNextModal([](QWidget* modal) { modal->close(); });
  EXPECT_EQ(ui.Message("Which?", Icon::Question, Buttons::YesNoCancel), Answer::Cancel);
  // A question can preselect No.
  testing::OnNextModal(
      [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->defaultButton()->click(); });
  EXPECT_EQ(ui.Ask("Save generated meshes?", Icon::Question, Buttons::YesNo, Answer::No),
            Answer::No);

  testing::OnNextModal([](QWidget* chooser) {
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Pick one"));
    // OK with nothing chosen: said so, and the chooser stays.
    testing::OnNextModal([](QWidget* box) {
      EXPECT_EQ(qobject_cast<QMessageBox*>(box)->text(),
                QStringLiteral("Please select a material!"));
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    Find<QPushButton>(chooser, "cmdOK")->click();
    EXPECT_TRUE(chooser->isVisible());
    Find<QComboBox>(chooser, "cboMaterialName")->setCurrentIndex(1);
    Find<QPushButton>(chooser, "cmdOK")->click();
  });
  EXPECT_EQ(ui.ChooseMaterial("Pick one", {"hull", "glow"}), 1);
}

TEST(QtUiTest, WithoutBoxesMessagesGoToTheErrorStream) {
  QtUi ui;
  ui.set_show_boxes(false);
  ::testing::internal::CaptureStderr();
  // Nothing is shown, so nothing waits: questions get the answer Enter would give.
  EXPECT_EQ(ui.Message("Damaged\r\nfile", Icon::Critical, Buttons::YesNo), Answer::Yes);
  EXPECT_EQ(ui.Ask("Save?", Icon::Question, Buttons::YesNo, Answer::No), Answer::No);
  EXPECT_EQ(ui.Input("Name?", "x"), std::nullopt);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Damaged\nfile\nSave?\n");
}

// The choices stand in the order of CullMode: the chosen position is the mode.
TEST(GeneratorWindowTest, CullModesInTheOrderOfTheirValues) {
  QtUi ui;
  BackgroundTextureDialog dialog(BackgroundTextureGenerator{}, ui);
  auto* cull = Find<QComboBox>(&dialog, "cboCullMode");
  ASSERT_EQ(cull->count(), 3);
  EXPECT_EQ(cull->itemText(static_cast<int>(CullMode::Clockwise)), QStringLiteral("Clock-wise"));
  EXPECT_EQ(cull->itemText(static_cast<int>(CullMode::CounterClockwise)),
            QStringLiteral("Counter Clock-wise"));
}

namespace fs = std::filesystem;

TEST(TextureImportDialogTest, ShowsTheChoiceSizeAndEveryLevel) {
  RgbaImage image{48, 40, {}};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(x * 5), 90, 200,
                                               static_cast<std::uint8_t>(y * 6)});
    }
  }
  const std::string path = (fs::temp_directory_path() / "gantry_dialog_glow[1].png").string();
  const auto png = EncodePng(image);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  HodModel model;
  TextureImportDialog dialog({path}, model, std::nullopt);
  EXPECT_TRUE(dialog.ChoiceText().startsWith("DXT5")) << dialog.ChoiceText().toStdString();
  EXPECT_EQ(Find<QLabel>(&dialog, "lblSize")->text(), QString("48 x 40 -> 64 x 32"));
  auto* level = Find<QSpinBox>(&dialog, "spnLevel");
  EXPECT_EQ(level->maximum(), 7);
  EXPECT_TRUE(dialog.ErrorText().startsWith("64 x 32, PSNR")) << dialog.ErrorText().toStdString();
  level->setValue(7);
  EXPECT_TRUE(dialog.ErrorText().startsWith("1 x 1, PSNR"));

  Find<QComboBox>(&dialog, "cboFormat")->setCurrentText("8888");
  EXPECT_TRUE(dialog.ChoiceText().isEmpty());
  EXPECT_TRUE(dialog.ErrorText().contains("exact"));
  Find<QComboBox>(&dialog, "cboRounding")->setCurrentIndex(1);  // down
  Find<QComboBox>(&dialog, "cboMaxSize")->setCurrentText("128");
  Find<QCheckBox>(&dialog, "chkMips")->setChecked(false);
  EXPECT_EQ(level->maximum(), 1);
  Find<QCheckBox>(&dialog, "chkAlphaTest")->setChecked(true);
  const ImageImportOptions options = dialog.Options();
  EXPECT_EQ(std::tuple(options.format, options.settings.rounding, options.settings.max_size,
                       options.settings.mips, options.settings.alpha_test),
            std::tuple(TextureFormat::k8888, SizeRounding::kDown, 128, false, 128));
  EXPECT_EQ(Find<QLabel>(&dialog, "lblSize")->text(), QString("48 x 40 -> 32 x 32"));
  fs::remove(path);
}

}  // namespace
}  // namespace gantry
