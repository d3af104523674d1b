// The backdrop's painting, checked on the recorded drawing.

#include <gtest/gtest.h>

#include <map>

#include "platform/sim/SimUserInterface.h"
#include "setup/MainFrame.h"

namespace qz::test {
namespace {

using platform::sim::DrawOp;
using platform::sim::Painting;
using platform::sim::RecordingCanvas;

Painting Background(int height) {
  RecordingCanvas canvas({0, 0, 800, height}, 96);
  PaintBackground(canvas);
  return canvas.Finish();
}

Painting Title(const SetupSettings& settings, int dpi, int width = 1024, int height = 738) {
  RecordingCanvas canvas({0, 0, width, height}, dpi);
  PaintTitle(canvas, settings);
  return canvas.Finish();
}

SetupSettings Settings(std::int32_t type) {
  SetupSettings s;
  s.installType = type;
  s.appName.Assign("Demo");
  s.appVersion.Assign("2.0");
  s.oldVersion.Assign("1.5");
  return s;
}

TEST(MainWindowTest, TheGradientUsesBrushesZeroToSixtyTwoAndNeverBlack) {
  Painting p = Background(630);
  auto fills = p.Of(DrawOp::Fill);
  ASSERT_EQ(fills.size(), 630u);
  std::map<int, int> rowsPerBrush;
  for (std::size_t y = 0; y < fills.size(); ++y) {
    const DrawOp& f = *fills[y];
    EXPECT_EQ(f.rect.top, static_cast<int>(y));
    EXPECT_EQ(f.rect.bottom, static_cast<int>(y) + 1);
    EXPECT_EQ(f.rect.left, 0);
    EXPECT_EQ(f.rect.right, 800);
    EXPECT_EQ(f.color.red, 0);
    EXPECT_EQ(f.color.blue, 0);
    ASSERT_EQ(f.color.green % 2, 0);
    ++rowsPerBrush[(126 - f.color.green) / 2];
  }
  ASSERT_EQ(rowsPerBrush.size(), 63u);
  for (auto [brush, rows] : rowsPerBrush) {
    EXPECT_GE(brush, 0);
    EXPECT_LE(brush, 62);
    EXPECT_EQ(rows, 10) << "brush " << brush;
  }
  EXPECT_EQ(fills.front()->color, (platform::Color{0, 126, 0}));
}

TEST(MainWindowTest, OneRowIsBrushZeroAndNoRowsDrawNothing) {
  Painting one = Background(1);
  Painting zero = Background(0);
  ASSERT_EQ(one.Of(DrawOp::Fill).size(), 1u);
  EXPECT_EQ(one.Of(DrawOp::Fill)[0]->color, (platform::Color{0, 126, 0}));
  EXPECT_TRUE(zero.Of(DrawOp::Fill).empty());
  for (int height : {2, 63, 64, 65, 1000, 4321}) {
    Painting p = Background(height);
    for (const DrawOp* f : p.Of(DrawOp::Fill)) ASSERT_GE(f->color.green, 2) << height;
  }
}

TEST(MainWindowTest, FontsFollowTheScreensResolution) {
  for (auto [dpi, title, banner] : {std::tuple{96, -40, -20}, std::tuple{120, -50, -25}, std::tuple{72, -30, -15},
                                    std::tuple{144, -60, -30}, std::tuple{97, -40, -20}}) {
    Painting p = Title(Settings(kInstallInstall), dpi);
    ASSERT_EQ(p.fontsMade.size(), 2u);
    EXPECT_EQ(p.fontsMade[0].height, title) << dpi;
    EXPECT_EQ(p.fontsMade[1].height, banner) << dpi;
    for (const auto& f : p.fontsMade) {
      EXPECT_STREQ(f.face.c_str(), "Verdana");
      EXPECT_EQ(f.weight, 100);
      EXPECT_TRUE(f.italic);
      EXPECT_FALSE(f.underline);
      EXPECT_FALSE(f.strikeOut);
      EXPECT_EQ(f.outPrecision, 2);
      EXPECT_EQ(f.clipPrecision, 1);
      EXPECT_EQ(f.width, 0);
    }
  }
}

TEST(MainWindowTest, TheTitleStandsWhiteOnItsShadowAboveTheBannerLine) {
  Painting p = Title(Settings(kInstallInstall), 96);
  auto texts = p.Of(DrawOp::Text);
  ASSERT_EQ(texts.size(), 3u);
  const DrawOp& shadow = *texts[0];
  const DrawOp& title = *texts[1];
  const DrawOp& banner = *texts[2];
  EXPECT_EQ(shadow.text, "Telepítő - Demo v2.0");
  EXPECT_EQ(shadow.color, (platform::Color{0, 0, 0}));
  EXPECT_EQ(shadow.rect.left, 5);
  EXPECT_EQ(shadow.rect.top, 5);
  EXPECT_EQ(shadow.rect.right, 1024);
  EXPECT_EQ(shadow.rect.bottom, 738);
  EXPECT_EQ(title.text, shadow.text);
  EXPECT_EQ(title.color, (platform::Color{255, 255, 255}));
  EXPECT_EQ(title.rect.left, 0);
  EXPECT_EQ(title.rect.top, 0);
  EXPECT_EQ(title.font.height, -40);
  EXPECT_TRUE(shadow.transparent && title.transparent && banner.transparent);
  EXPECT_EQ(title.format, platform::kTextSingleLine);
  EXPECT_EQ(banner.text, "VORMEX SOFTWARE KFT.  >>>  (WWW.VORMEX.HU)");
  EXPECT_EQ(banner.color, (platform::Color{255, 255, 255}));
  EXPECT_EQ(banner.font.height, -20);
  EXPECT_EQ(banner.format, platform::kTextSingleLine | platform::kTextBottom);
}

TEST(MainWindowTest, TheTitleTellsTheKindOfRun) {
  Painting patch = Title(Settings(kInstallPatch), 96);
  EXPECT_EQ(patch.Of(DrawOp::Text)[1]->text, "Kiegészítés - Demo v1.5");
  Painting update = Title(Settings(kInstallUpdate), 96);
  EXPECT_EQ(update.Of(DrawOp::Text)[1]->text, "Frissítő program - Demo v1.5 -> v2.0");
  Painting nothing = Title(Settings(kInstallNone), 96);
  auto none = nothing.Of(DrawOp::Text);
  ASSERT_EQ(none.size(), 1u) << "only the banner line";
  EXPECT_EQ(none[0]->text, "VORMEX SOFTWARE KFT.  >>>  (WWW.VORMEX.HU)");
}

TEST(MainWindowTest, ALongTitleIsCutAt255Characters) {
  SetupSettings s = Settings(kInstallUpdate);
  s.appName.Assign(std::string(255, 'N'));
  NameText title;
  FormatTitle(s, title);
  EXPECT_EQ(title.length(), 255u);
  EXPECT_EQ(title.view().substr(0, 22), "Frissítő program - NNN");
}

}  // namespace
}  // namespace qz::test
