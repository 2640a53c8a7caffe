// The texture import dialog: the automatic choice it shows, settings into options, and the
// per-level preview with its error figure.
#include "gui/texture_import_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "gui/gui_helpers.h"
#include "interchange/texture_decode.h"

namespace gantry {
namespace {

using testing::Find;
namespace fs = std::filesystem;

std::string WriteGlowPng() {
  RgbaImage image;
  image.width = 48;
  image.height = 40;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(x * 5), 90, 200,
                                               static_cast<std::uint8_t>(y * 6)});
    }
  const std::string path = (fs::temp_directory_path() / "gantry_dialog_glow[1].png").string();
  const auto png = EncodePng(image);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return path;
}

TEST(TextureImportDialogTest, ShowsTheChoiceSizeAndEveryLevel) {
  const std::string path = WriteGlowPng();
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
