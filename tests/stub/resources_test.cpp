// The stub's resources as the installer uses them: dialog templates 103 and 104, icon 101.
#include "tests/stub/stub_image.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stubtest {
namespace {

constexpr std::uint32_t kIconType = 3, kDialogType = 5, kIconGroupType = 14;
constexpr std::uint32_t kEnglishUs = 1033;

// Window and control styles, with their Windows values.
constexpr std::uint32_t kPopup = 0x80000000, kChild = 0x40000000, kVisible = 0x10000000;
constexpr std::uint32_t kCaption = 0x00C00000, kSysMenu = 0x00080000;
constexpr std::uint32_t kGroup = 0x00020000, kTabStop = 0x00010000;
constexpr std::uint32_t kModalFrame = 0x80, kSetFont = 0x40;
constexpr std::uint32_t kPushButton = 0x0, kDefPushButton = 0x1;
constexpr std::uint32_t kLeft = 0x0, kCenter = 0x1, kNoPrefix = 0x80;
constexpr std::uint16_t kButtonClass = 0x80, kStaticClass = 0x82;
constexpr std::uint16_t kNoId = 0xFFFF;

struct Control {
  std::uint16_t id;
  std::uint16_t class_atom;
  std::string text;
  int x, y, cx, cy;
  std::uint32_t style;
};

struct Dialog {
  std::uint32_t style = 0, ex_style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string title, font;
  int point_size = 0;
  std::vector<Control> controls;
};

// Reads a classic (not extended) dialog template; texts must be Latin-1 range here.
class TemplateReader {
 public:
  explicit TemplateReader(const Bytes& b) : b_(b) {}

  Dialog dialog() {
    Dialog d;
    d.style = u32();
    d.ex_style = u32();
    std::uint32_t count = u16();
    d.x = s16(), d.y = s16(), d.cx = s16(), d.cy = s16();
    EXPECT_EQ(u16(), 0u) << "menu";
    EXPECT_EQ(u16(), 0u) << "window class";
    d.title = text();
    if (d.style & kSetFont) {
      d.point_size = u16();
      d.font = text();
    }
    for (std::uint32_t i = 0; i < count; ++i) d.controls.push_back(control());
    return d;
  }

 private:
  Control control() {
    at_ = (at_ + 3) & ~std::size_t{3};
    Control c{};
    c.style = u32();
    EXPECT_EQ(u32(), 0u) << "extended style";
    c.x = s16(), c.y = s16(), c.cx = s16(), c.cy = s16();
    c.id = static_cast<std::uint16_t>(u16());
    EXPECT_EQ(u16(), 0xFFFFu) << "class given as an atom";
    c.class_atom = static_cast<std::uint16_t>(u16());
    c.text = text();
    at_ += u16();  // creation data
    return c;
  }

  std::string text() {
    std::string s;
    for (std::uint32_t ch = u16(); ch != 0; ch = u16()) s += static_cast<char>(ch);
    return s;
  }
  std::uint32_t u16() {
    std::uint32_t v = b_.at(at_) | (b_.at(at_ + 1) << 8);
    at_ += 2;
    return v;
  }
  int s16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() { return u16() | (u16() << 16); }

  const Bytes& b_;
  std::size_t at_ = 0;
};

Dialog load_dialog(const StubImage& stub, std::uint32_t id) {
  std::vector<Resource> resources = resources_in_tree_order(stub.bytes, stub.view);
  const Resource* r = find_resource(resources, kDialogType, id);
  if (r == nullptr) {
    ADD_FAILURE() << "no dialog " << id;
    return {};
  }
  EXPECT_EQ(r->language, kEnglishUs);
  return TemplateReader(resource_data(stub.bytes, stub.view, *r)).dialog();
}

void expect_controls(const Dialog& dialog, const std::vector<Control>& expected) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Control &got = dialog.controls[i], &want = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.class_atom, want.class_atom);
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.style, want.style) << std::hex << got.style << " vs " << want.style;
  }
}

#define LOAD_STUB_OR_SKIP()                                  \
  const StubImage* stub = i686_stub();                       \
  if (stub == nullptr) GTEST_SKIP() << "no i686 stub built"; \
  ASSERT_FALSE(stub->view.sections.empty())

TEST(ProgressDialog, TemplateHeader) {
  LOAD_STUB_OR_SKIP();
  Dialog d = load_dialog(*stub, 103);
  EXPECT_EQ(d.style, kPopup | kVisible | kModalFrame | kSetFont);
  EXPECT_EQ(d.ex_style, 0u);
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  EXPECT_EQ(d.cx, 187);
  EXPECT_EQ(d.cy, 75);
  EXPECT_EQ(d.title, "");
  EXPECT_EQ(d.point_size, 8);
  EXPECT_EQ(d.font, "MS Sans Serif");
}

TEST(ProgressDialog, Controls) {
  LOAD_STUB_OR_SKIP();
  const std::uint32_t statics = kChild | kVisible | kGroup | kCenter;
  expect_controls(load_dialog(*stub, 103),
                  {
                      {1, kButtonClass, "OK", 131, 6, 50, 14, kChild | kTabStop | kDefPushButton},
                      {2, kButtonClass, "Cancel", 131, 23, 50, 14, kChild | kTabStop | kPushButton},
                      {kNoId, kStaticClass, "Installeren", 50, 15, 86, 8, statics},
                      {kNoId, kStaticClass, "Wachten aub...", 48, 50, 90, 8, statics},
                      {1001, kStaticClass, "", 13, 31, 159, 8, statics | kNoPrefix},
                  });
}

TEST(OrderInfoDialog, TemplateHeader) {
  LOAD_STUB_OR_SKIP();
  Dialog d = load_dialog(*stub, 104);
  EXPECT_EQ(d.style, kPopup | kVisible | kCaption | kSysMenu | kModalFrame | kSetFont);
  EXPECT_EQ(d.ex_style, 0u);
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  EXPECT_EQ(d.cx, 205);
  EXPECT_EQ(d.cy, 154);
  EXPECT_EQ(d.title, "Lumivane Deluxe Bestelinfo");
  EXPECT_EQ(d.point_size, 8);
  EXPECT_EQ(d.font, "MS Sans Serif");
}

TEST(OrderInfoDialog, Controls) {
  LOAD_STUB_OR_SKIP();
  const std::uint32_t centred = kChild | kVisible | kGroup | kCenter;
  expect_controls(
      load_dialog(*stub, 104),
      {
          {kNoId, kStaticClass, "*** LUMIVANE DELUXE ***", 23, 25, 158, 10, centred},
          {kNoId, kStaticClass, "TM", 157, 18, 11, 8, kChild | kVisible | kGroup | kLeft},
          {1, kButtonClass, "OK", 78, 134, 50, 14, kChild | kVisible | kTabStop | kDefPushButton},
          {kNoId, kStaticClass, "Dit programma werd gemaakt met", 23, 7, 158, 10, centred},
          {kNoId, kStaticClass, "Maak screen savers zonder te programmeren", 23, 42, 158, 8,
           centred},
          {kNoId, kStaticClass, "Download GRATIS screen savers", 23, 59, 158, 8, centred},
          {kNoId, kStaticClass, "www.lumivane.example", 23, 74, 158, 8, centred},
          {kNoId, kStaticClass, "Lumivane Software\r\n\r\ninfo@lumivane.example", 23, 91, 158, 36,
           centred},
      });
}

TEST(Icon, GroupHoldsOne32By32SixteenColourImageNumberedOne) {
  LOAD_STUB_OR_SKIP();
  std::vector<Resource> resources = resources_in_tree_order(stub->bytes, stub->view);
  const Resource* group = find_resource(resources, kIconGroupType, 101);
  ASSERT_NE(group, nullptr);
  Bytes g = resource_data(stub->bytes, stub->view, *group);
  ASSERT_EQ(g.size(), 6u + 14u);
  EXPECT_EQ(g[2] | g[3] << 8, 1) << "icon type";
  EXPECT_EQ(g[4] | g[5] << 8, 1) << "image count";
  EXPECT_EQ(g[6], 32);
  EXPECT_EQ(g[7], 32);
  EXPECT_EQ(g[8], 16) << "colours";
  EXPECT_EQ(g[12] | g[13] << 8, 4) << "bits per pixel";
  EXPECT_EQ(g[18] | g[19] << 8, 1) << "image id";

  const Resource* image = find_resource(resources, kIconType, 1);
  ASSERT_NE(image, nullptr);
  Bytes i = resource_data(stub->bytes, stub->view, *image);
  // Header, 16-entry palette, 4-bit colour rows, 1-bit mask rows.
  ASSERT_EQ(i.size(), 40u + 16u * 4u + 32u * 16u + 32u * 4u);
  EXPECT_EQ(static_cast<std::uint32_t>(g[14] | g[15] << 8 | g[16] << 16), i.size());
  EXPECT_EQ(i[4], 32) << "width";
  EXPECT_EQ(i[8], 64) << "height, colour and mask";
  EXPECT_EQ(i[14], 4) << "bits per pixel";
}

TEST(Resources, AllAreStoredForUsEnglish) {
  LOAD_STUB_OR_SKIP();
  for (const Resource& r : resources_in_tree_order(stub->bytes, stub->view))
    EXPECT_EQ(r.language, kEnglishUs) << r.type_name << r.type_id << "/" << r.id;
}

}  // namespace
}  // namespace stubtest
