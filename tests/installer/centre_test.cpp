#include "installer/centre.hpp"

#include <gtest/gtest.h>

namespace {

struct CentreCase {
  int screen_width, screen_height;
  platform::Rect window;
  int left, top;
};

class Centring : public ::testing::TestWithParam<CentreCase> {};

TEST_P(Centring, HalvesScreenAndWindowTruncating) {
  const CentreCase& c = GetParam();
  const installer::Position p =
      installer::centred_position(c.screen_width, c.screen_height, c.window);
  EXPECT_EQ(p.left, c.left);
  EXPECT_EQ(p.top, c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Centring,
    ::testing::Values(
        // 281 x 122 at the origin: 512 - 140, 384 - 61.
        CentreCase{1024, 768, {0, 0, 281, 122}, 372, 323},
        // Position in the template does not matter, only the size.
        CentreCase{1024, 768, {500, 300, 781, 422}, 372, 323},
        // Odd screen: 801 / 2 = 400, 601 / 2 = 300.
        CentreCase{801, 601, {0, 0, 100, 50}, 350, 275},
        // Window larger than the screen: negative position truncates toward zero.
        CentreCase{640, 480, {0, 0, 1001, 701}, -180, -110},
        CentreCase{1024, 768, {0, 0, 1024, 768}, 0, 0}));

}  // namespace
