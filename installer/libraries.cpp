#include "installer/checks.hpp"

#include "installer/texts.hpp"

namespace installer {

namespace {

constexpr unsigned kMissingQuestion = platform::kMbYesNoCancel | platform::kMbIconQuestion;

// The answer to a missing-library question: 1 to install anyway, 0 to stop.
int handle_missing_answer(int answer) {
  if (answer == platform::kIdNo) return 1;
  if (answer == platform::kIdYes) open_support_page();
  return 0;
}

// 1 when OPENGL32.DLL is usable or the user goes on without it.
int check_opengl() {
  platform::Library opengl = platform::library_load("OPENGL32.DLL");
  if (opengl == nullptr) {
    return handle_missing_answer(
        platform::message_box(texts::kOpenGlMissingText, texts::kMissingCaption, kMissingQuestion));
  }
  int go_on = 1;
  if (!platform::library_has_export(opengl, "glGenTextures")) {
    const int answer = platform::message_box(texts::kOutdatedText, texts::kOutdatedCaption,
                                             platform::kMbYesNo | platform::kMbIconQuestion);
    if (answer == platform::kIdNo) go_on = 0;
  }
  platform::library_free(opengl);
  return go_on;
}

// 1 when GLU32.DLL is present or the user goes on without it.
int check_glu() {
  platform::Library glu = platform::library_load("GLU32.DLL");
  if (glu != nullptr) {
    platform::library_free(glu);
    return 1;
  }
  return handle_missing_answer(
      platform::message_box(texts::kGluMissingText, texts::kMissingCaption, kMissingQuestion));
}

}  // namespace

int check_3d_libraries() {
  return check_opengl() != 0 ? check_glu() : 0;
}

void open_support_page() {
  if (platform::shell_open(texts::kSupportAddress) > 32) return;
  platform::message_box(texts::kNoConnectionText, texts::kSupportAddress,
                        platform::kMbOk | platform::kMbIconError);
}

}  // namespace installer
