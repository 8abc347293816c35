#include "platform/platform.hpp"
#include "sandbox_fixture.hpp"
#include "tests/support/pe_builder.hpp"

namespace {

struct Call {
  unsigned message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  bool operator==(const Call& other) const {
    return message == other.message && wparam == other.wparam && lparam == other.lparam;
  }
};

std::vector<Call> calls;
platform::Window ok_button = nullptr;

// Like the progress dialog: names itself, posts its own command 1, ends on commands 1 and 2.
std::intptr_t self_starting(platform::Window dialog, unsigned message, std::uintptr_t wparam,
                            std::intptr_t lparam) {
  calls.push_back({message, wparam, lparam});
  if (message == platform::kWmInitDialog) {
    platform::set_window_text(dialog, "Aurora Screen Saver Installatie");
    platform::set_item_text(dialog, 1001, "Aurora Screen Saver");
    const platform::Rect rect = platform::window_rect(dialog);
    platform::move_window(dialog, platform::screen_width() / 2 - (rect.right - rect.left) / 2,
                          platform::screen_height() / 2 - (rect.bottom - rect.top) / 2);
    ok_button = platform::dialog_item(dialog, 1);
    platform::post_message(dialog, platform::kWmCommand, 1,
                           reinterpret_cast<std::intptr_t>(ok_button));
    platform::post_message(dialog, 0x0400, 7, 8);  // must not arrive after the end
    return 1;
  }
  if (message == platform::kWmCommand && (wparam == 1 || wparam == 2)) {
    platform::end_dialog(dialog, static_cast<std::intptr_t>(wparam));
    return 1;
  }
  return 0;
}

// Waits for the user: only the simulated Escape ends it.
std::intptr_t waiting(platform::Window dialog, unsigned message, std::uintptr_t wparam,
                      std::intptr_t lparam) {
  calls.push_back({message, wparam, lparam});
  if (message == platform::kWmCommand && (wparam == 1 || wparam == 2)) {
    platform::end_dialog(dialog, static_cast<std::intptr_t>(wparam));
    return 1;
  }
  return message == platform::kWmInitDialog ? 1 : 0;
}

std::intptr_t ignoring(platform::Window, unsigned message, std::uintptr_t wparam,
                       std::intptr_t lparam) {
  calls.push_back({message, wparam, lparam});
  return 0;
}

class Dialogs : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    testsupport::write_file(module_.string(), testsupport::build_stub());
    calls.clear();
    ok_button = nullptr;
  }
  platform::Module module_handle = reinterpret_cast<platform::Module>(0x400000);
};

TEST_F(Dialogs, PostedCommandIsDeliveredAfterInitAndEndsTheDialog) {
  EXPECT_EQ(platform::dialog_box(module_handle, 103, self_starting), 1);
  ASSERT_NE(ok_button, nullptr);
  const std::vector<Call> expected = {
      {platform::kWmInitDialog, 0, 0},
      {platform::kWmCommand, 1, reinterpret_cast<std::intptr_t>(ok_button)}};
  EXPECT_EQ(calls, expected);

  ASSERT_EQ(events_.size(), 1u);
  const platform::posix::Event& event = events_[0];
  EXPECT_EQ(event.kind, platform::posix::Event::Kind::dialog);
  EXPECT_EQ(event.resource, 103);
  EXPECT_EQ(event.caption, "Aurora Screen Saver Installatie");
  const std::vector<std::pair<int, std::string>> items = {{1001, "Aurora Screen Saver"}};
  EXPECT_EQ(event.items, items);
  EXPECT_EQ(event.dialog_result, 1);
  // 292 x 133 centred on 1024 x 768.
  EXPECT_EQ(event.left, 366);
  EXPECT_EQ(event.top, 318);
  EXPECT_EQ(event.right, 658);
  EXPECT_EQ(event.bottom, 451);
}

TEST_F(Dialogs, IdleDialogIsClosedWithEscape) {
  EXPECT_EQ(platform::dialog_box(module_handle, 104, waiting), platform::kIdCancel);
  const std::vector<Call> expected = {{platform::kWmInitDialog, 0, 0},
                                      {platform::kWmCommand, 2, 0}};
  EXPECT_EQ(calls, expected);
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].caption, "Lumivane Deluxe Bestelinfo") << "the template's title";
  EXPECT_EQ(events_[0].dialog_result, platform::kIdCancel);
}

TEST_F(Dialogs, DialogIgnoringEscapeIsAbandoned) {
  EXPECT_EQ(platform::dialog_box(module_handle, 104, ignoring), -1);
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_EQ(platform::dialog_box(module_handle, 999, ignoring), -1) << "no such template";
  testsupport::StubOptions damaged;
  damaged.damaged_dialogs = true;
  testsupport::write_file(module_.string(), testsupport::build_stub(damaged));
  EXPECT_EQ(platform::dialog_box(module_handle, 103, ignoring), -1) << "damaged template";
  EXPECT_EQ(calls.size(), 2u) << "no procedure runs without a template";
  ASSERT_FALSE(events_.empty());
  EXPECT_FALSE(events_.back().dialog.has_value());
}

struct SizeCase {
  int resource;
  int width, height;
};

std::intptr_t measuring(platform::Window dialog, unsigned message, std::uintptr_t, std::intptr_t) {
  if (message != platform::kWmInitDialog) return 0;
  const platform::Rect rect = platform::window_rect(dialog);
  calls.push_back(
      {message, static_cast<std::uintptr_t>(rect.right - rect.left), rect.bottom - rect.top});
  calls.push_back({0, 0, reinterpret_cast<std::intptr_t>(platform::window_instance(dialog))});
  calls.push_back({0, 0, rect.left + rect.top});
  platform::end_dialog(dialog, 5);
  return 1;
}

TEST_F(Dialogs, TemplatesOpenAtTheOriginWithTheirPixelSize) {
  const SizeCase cases[] = {{103, 292, 133}, {104, 319, 281}};
  for (const SizeCase& c : cases) {
    calls.clear();
    EXPECT_EQ(platform::dialog_box(module_handle, c.resource, measuring), 5);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].wparam, static_cast<std::uintptr_t>(c.width)) << c.resource;
    EXPECT_EQ(calls[0].lparam, c.height) << c.resource;
    EXPECT_EQ(calls[1].lparam, reinterpret_cast<std::intptr_t>(module_handle));
    EXPECT_EQ(calls[2].lparam, 0) << "initial position";
  }
}

}  // namespace
