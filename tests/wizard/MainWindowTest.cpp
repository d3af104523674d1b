// The backdrop's painting, checked on the recorded drawing.

#include <gtest/gtest.h>

#include <map>

#include "platform/sim/SimUserInterface.h"
#include "setup/MainFrame.h"

namespace qz::test {
namespace {

using platform::Color;
using platform::sim::DrawOp;
using platform::sim::Painting;
using platform::sim::RecordingCanvas;

Painting Background(int height) {
  RecordingCanvas canvas({0, 0, 800, height}, 96);
  PaintBackground(canvas);
  return canvas.Finish();
}

Painting Title(std::int32_t type, int dpi) {
  SetupSettings s;
  s.installType = type;
  s.appName.Assign("Demo");
  s.appVersion.Assign("2.0");
  s.oldVersion.Assign("1.5");
  RecordingCanvas canvas({0, 0, 1024, 738}, dpi);
  PaintTitle(canvas, s);
  return canvas.Finish();
}

TEST(MainWindowTest, TheGradientUsesBrushesZeroToSixtyTwoTenRowsEachAndNeverBlack) {
  Painting p = Background(630);
  auto fills = p.Of(DrawOp::Fill);
  ASSERT_EQ(fills.size(), 630u);
  std::map<int, int> rowsPerBrush;
  for (int y = 0; y < 630; ++y) {
    const DrawOp& f = *fills[static_cast<std::size_t>(y)];
    EXPECT_EQ(std::tuple(f.rect.left, f.rect.top, f.rect.right, f.rect.bottom), std::tuple(0, y, 800, y + 1));
    EXPECT_EQ(std::tuple(f.color.red, f.color.blue, f.color.green % 2), std::tuple(0, 0, 0)) << y;
    ++rowsPerBrush[(126 - f.color.green) / 2];
  }
  EXPECT_EQ(fills.front()->color, (Color{0, 126, 0}));
  ASSERT_EQ(rowsPerBrush.size(), 63u);
  EXPECT_EQ(rowsPerBrush.begin()->first, 0);
  EXPECT_EQ(rowsPerBrush.rbegin()->first, 62);
  for (auto [brush, rows] : rowsPerBrush) EXPECT_EQ(rows, 10) << "brush " << brush;
  for (int height : {0, 1, 2, 63, 64, 65, 1000, 4321}) {
    Painting p2 = Background(height);
    for (const DrawOp* f : p2.Of(DrawOp::Fill)) ASSERT_GE(f->color.green, 2) << height;
  }
}

TEST(MainWindowTest, FontsFollowTheScreensResolution) {
  for (auto [dpi, title, banner] : {std::tuple{96, -40, -20}, std::tuple{120, -50, -25}, std::tuple{72, -30, -15},
                                    std::tuple{144, -60, -30}, std::tuple{97, -40, -20}}) {
    Painting p = Title(kInstallInstall, dpi);
    ASSERT_EQ(p.fontsMade.size(), 2u);
    EXPECT_EQ(p.fontsMade[0].height, title) << dpi;
    EXPECT_EQ(p.fontsMade[1].height, banner) << dpi;
    for (const auto& f : p.fontsMade) EXPECT_EQ(std::tuple(f.face.view(), f.italic), std::tuple("Verdana", true));
  }
}

TEST(MainWindowTest, TheTitleTellsTheKindOfRun) {
  Painting patch = Title(kInstallPatch, 96), update = Title(kInstallUpdate, 96), nothing = Title(kInstallNone, 96);
  // The title's shadow first, then the title, then the banner line.
  EXPECT_EQ(patch.Of(DrawOp::Text)[1]->text, "Kiegészítés - Demo v1.5");
  EXPECT_EQ(update.Of(DrawOp::Text)[1]->text, "Frissítő program - Demo v1.5 -> v2.0");
  auto none = nothing.Of(DrawOp::Text);
  ASSERT_EQ(none.size(), 1u) << "only the banner line";
  EXPECT_EQ(none[0]->text, "VORMEX SOFTWARE KFT.  >>>  (WWW.VORMEX.HU)");
  SetupSettings s;
  s.installType = kInstallUpdate;
  s.appName.Assign(std::string(255, 'N'));
  NameText cut;
  FormatTitle(s, cut);
  EXPECT_EQ(cut.length(), 255u) << "a long title is cut at 255 characters";
  EXPECT_EQ(cut.view().substr(0, 22), "Frissítő program - NNN");
}

}  // namespace
}  // namespace qz::test
