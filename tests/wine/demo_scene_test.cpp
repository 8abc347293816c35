// The demo screen saver's picture: colours, strips inside the canvas, motion, stars.
#include <gtest/gtest.h>

#include <vector>

#include "demo/scene.hpp"

namespace aurora {
namespace {

struct HueCase {
  int degrees, brightness;
  int red, green, blue;
};

class Hues : public ::testing::TestWithParam<HueCase> {};

TEST_P(Hues, MapToSaturatedColours) {
  const Rgb c = hue_colour(GetParam().degrees, GetParam().brightness);
  EXPECT_EQ(c.red, GetParam().red);
  EXPECT_EQ(c.green, GetParam().green);
  EXPECT_EQ(c.blue, GetParam().blue);
}

INSTANTIATE_TEST_SUITE_P(
    Wheel, Hues,
    ::testing::Values(HueCase{0, 255, 255, 0, 0}, HueCase{60, 255, 255, 255, 0},
                      HueCase{120, 255, 0, 255, 0}, HueCase{180, 255, 0, 255, 255},
                      HueCase{240, 255, 0, 0, 255}, HueCase{300, 255, 255, 0, 255},
                      HueCase{30, 200, 200, 100, 0}, HueCase{360 + 120, 100, 0, 100, 0},
                      HueCase{-120, 255, 0, 0, 255}, HueCase{90, 300, 128, 255, 0},
                      HueCase{200, -5, 0, 0, 0}));

std::vector<Strip> strips_of(const AuroraSettings& settings, int width, int height, unsigned tick) {
  std::vector<Strip> strips;
  draw_curtains(
      settings, width, height, tick,
      [](const Strip& s, void* out) { static_cast<std::vector<Strip>*>(out)->push_back(s); },
      &strips);
  return strips;
}

struct CanvasCase {
  int width, height, curtains;
};

class Canvases : public ::testing::TestWithParam<CanvasCase> {};

TEST_P(Canvases, EveryCurtainCoversTheWidthInsideTheCanvas) {
  AuroraSettings settings;
  settings.curtains = GetParam().curtains;
  const int width = GetParam().width;
  const int height = GetParam().height;
  const int columns = (width + kColumnWidth - 1) / kColumnWidth;
  for (unsigned tick : {0u, 1u, 500u, 123457u}) {
    const std::vector<Strip> strips = strips_of(settings, width, height, tick);
    ASSERT_EQ(strips.size(), static_cast<std::size_t>(columns * kShades * settings.curtains));
    for (const Strip& s : strips) {
      EXPECT_GE(s.left, 0);
      EXPECT_LE(s.right, width);
      EXPECT_LT(s.left, s.right);
      EXPECT_GE(s.top, 0);
      EXPECT_LE(s.top, s.bottom);
      EXPECT_LE(s.bottom, height);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Canvases,
                         ::testing::Values(CanvasCase{1024, 768, 3}, CanvasCase{152, 112, 1},
                                           CanvasCase{1922, 1080, 6}, CanvasCase{3, 2, 2}));

TEST(Curtains, MoveFromFrameToFrameAndRepeatForTheSameFrame) {
  const AuroraSettings settings;
  const std::vector<Strip> first = strips_of(settings, 320, 240, 10);
  const std::vector<Strip> again = strips_of(settings, 320, 240, 10);
  const std::vector<Strip> later = strips_of(settings, 320, 240, 40);
  ASSERT_EQ(first.size(), later.size());
  int same_as_again = 0;
  int moved = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    same_as_again += first[i].top == again[i].top && first[i].bottom == again[i].bottom;
    moved += first[i].top != later[i].top || first[i].bottom != later[i].bottom;
  }
  EXPECT_EQ(same_as_again, static_cast<int>(first.size()));
  EXPECT_GT(moved, static_cast<int>(first.size()) / 2);
}

TEST(Curtains, NothingOnAnEmptyCanvas) {
  EXPECT_TRUE(strips_of(AuroraSettings{}, 0, 768, 1).empty());
  EXPECT_TRUE(strips_of(AuroraSettings{}, 1024, 0, 1).empty());
}

TEST(Stars, StayOnTheCanvasAndInPlace) {
  int spread = 0;
  for (int index = 0; index < 500; ++index) {
    int x = -1, y = -1, x2 = -1, y2 = -1;
    star_position(index, 1024, 768, x, y);
    star_position(index, 1024, 768, x2, y2);
    ASSERT_GE(x, 0);
    ASSERT_LT(x, 1024);
    ASSERT_GE(y, 0);
    ASSERT_LT(y, 768);
    EXPECT_EQ(x, x2);
    EXPECT_EQ(y, y2);
    spread += (x < 512) + (y < 384);
  }
  // Not all in one corner: about half of the coordinates fall in each half.
  EXPECT_GT(spread, 350);
  EXPECT_LT(spread, 650);
}

}  // namespace
}  // namespace aurora
