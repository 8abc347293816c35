// Reads classic DIALOG templates: the header, then each control, every one aligned to 4
// bytes, with texts as UTF-16 strings or numbers.
#include "platform/posix/dialog_resources.hpp"

#include <cstdint>

#include "payload/cp1252.hpp"
#include "payload/format.hpp"
#include "payload/locator.hpp"
#include "platform/platform.hpp"

namespace platform::posix {

namespace {

constexpr std::uint32_t kDialogType = 5;  // RT_DIALOG
constexpr std::uint32_t kLargestTemplate = 0x10000;
constexpr std::uint32_t kSetFont = 0x40;          // DS_SETFONT: a point size and face follow
constexpr std::uint32_t kCaption = 0x00C00000;    // WS_CAPTION
constexpr std::uint32_t kVisible = 0x10000000;    // WS_VISIBLE
constexpr std::uint16_t kNumberFollows = 0xFFFF;  // a string field holding a number instead
constexpr std::uint16_t kButtonAtom = 0x80;       // the predefined class Button
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
constexpr int kFrame = 6;        // modal frame, each side
constexpr int kCaptionBar = 19;  // caption bar height

char cp1252_of(std::uint16_t unit) {
  const int byte = payload::cp1252_byte(unit);
  return byte < 0 ? '?' : static_cast<char>(byte);
}

// A cursor over the template that turns every read past its end into a failure.
struct TemplateReader {
  const std::vector<unsigned char>& bytes;
  std::size_t at = 0;
  bool failed = false;

  std::uint16_t u16() {
    if (at + 2 > bytes.size()) failed = true;
    if (failed) return 0;
    at += 2;
    return payload::get_u16(bytes.data() + at - 2);
  }
  std::uint32_t u32() { return u16() | std::uint32_t{u16()} << 16; }
  int i16() { return static_cast<std::int16_t>(u16()); }
  void align() { at = (at + 3) & ~std::size_t{3}; }

  // A string field: empty, a number (its value returned in `number`) or a UTF-16 text.
  std::string text(std::uint16_t* number = nullptr) {
    const std::uint16_t first = u16();
    if (first == kNumberFollows) {
      const std::uint16_t value = u16();
      if (number != nullptr) *number = value;
      return "";
    }
    std::string result;
    for (std::uint16_t unit = first; unit != 0 && !failed; unit = u16()) {
      result += cp1252_of(unit);
    }
    return result;
  }
};

DialogControl read_control(TemplateReader& in) {
  in.align();
  const std::uint32_t style = in.u32();
  in.u32();  // extended style
  DialogControl control{};
  control.visible = (style & kVisible) != 0;
  control.x = in.i16();
  control.y = in.i16();
  control.width = in.i16();
  control.height = in.i16();
  control.id = static_cast<std::int16_t>(in.u16());
  std::uint16_t atom = 0;
  const std::string class_name = in.text(&atom);
  control.button = atom == kButtonAtom || class_name == "Button" || class_name == "BUTTON";
  control.text = in.text();
  in.at += in.u16();  // creation data
  return control;
}

std::optional<DialogTemplate> parse_template(const std::vector<unsigned char>& bytes) {
  TemplateReader in{bytes};
  const std::uint32_t style = in.u32();
  in.u32();  // extended style
  const std::uint16_t count = in.u16();
  DialogTemplate dialog{};
  dialog.has_caption = (style & kCaption) == kCaption;
  in.i16();  // x and y: where the dialog goes is the procedure's business
  in.i16();
  dialog.width = in.i16();
  dialog.height = in.i16();
  in.text();  // menu
  in.text();  // window class
  dialog.caption = in.text();
  if ((style & kSetFont) != 0) {
    in.u16();   // point size
    in.text();  // face name
  }
  for (std::uint16_t i = 0; i < count && !in.failed; ++i) {
    dialog.controls.push_back(read_control(in));
  }
  if (in.failed || in.at > bytes.size()) return std::nullopt;
  return dialog;
}

}  // namespace

std::optional<DialogTemplate> read_dialog_template(const std::string& host_path, int id) {
  std::uint32_t size = 0;
  const File file = payload::open_resource_at(host_path.c_str(), kDialogType,
                                              static_cast<std::uint32_t>(id), size);
  if (file == kInvalidFile) return std::nullopt;
  std::vector<unsigned char> bytes(size < kLargestTemplate ? size : 0);
  const bool read = !bytes.empty() && file_read(file, bytes.data(), size) == size;
  file_close(file);
  return read ? parse_template(bytes) : std::nullopt;
}

Rect dialog_pixel_rect(const DialogTemplate& dialog) {
  return {0, 0, dialog.width * kBaseUnitX / 4 + 2 * kFrame,
          dialog.height * kBaseUnitY / 8 + 2 * kFrame + (dialog.has_caption ? kCaptionBar : 0)};
}

}  // namespace platform::posix
