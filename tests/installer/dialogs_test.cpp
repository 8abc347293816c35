// The two dialogs as the sandbox runs them: texts set on opening, results, placement.
#include <gtest/gtest.h>

#include "tests/installer/sandbox_run.hpp"

namespace installer_test {
namespace {

constexpr int kOk = 1;

// Left and top of a window of the event's size centred on a 1024 x 768 screen.
void expect_centred(const Event& dialog) {
  const int width = dialog.right - dialog.left;
  const int height = dialog.bottom - dialog.top;
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);
  EXPECT_EQ(dialog.left, 512 - width / 2);
  EXPECT_EQ(dialog.top, 384 - height / 2);
}

TEST(ProgressDialog, ShowsTheNameRunsTheExtractionAndEndsWithOne) {
  SandboxRun sandbox;
  testsupport::PackageOptions options;
  options.name = "Aurora  ";
  sandbox.write_package("Aurora.exe", stored_saver(3000, 40), options);
  ASSERT_EQ(sandbox.run({kOk, kOk}), 0);

  const Event* progress = sandbox.dialog(103);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->caption, "Aurora Screen Saver Installatie");
  EXPECT_EQ(progress->items,
            (std::vector<std::pair<int, std::string>>{{1001, "Aurora Screen Saver"}}));
  EXPECT_EQ(progress->dialog_result, 1);
  expect_centred(*progress);
  EXPECT_EQ(sandbox.windows_file("AURORA.SCR").size(), 3000u);
}

TEST(OrderInfoDialog, IsCentredAndClosesOnEscape) {
  SandboxRun sandbox;
  sandbox.write_package("Aurora.exe", stored_saver(100, 40));
  ASSERT_EQ(sandbox.run({kOk, kOk}), 0);

  const Event* order_info = sandbox.dialog(104);
  ASSERT_NE(order_info, nullptr);
  EXPECT_EQ(order_info->dialog_result, 2);  // the idle user's Escape, as the close box would
  EXPECT_TRUE(order_info->items.empty());
  expect_centred(*order_info);
}

}  // namespace
}  // namespace installer_test
