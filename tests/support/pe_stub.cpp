// The stub image: DOS header, PE headers, a code section and the resource section last.
#include "tests/support/pe_builder.hpp"

#include "tests/support/bytes_le.hpp"
#include "tests/support/resource_section.hpp"

#include <algorithm>
#include <string>

namespace testsupport {
namespace {

constexpr std::uint32_t kPeOffset = 0x80;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kHeadersSize = 0x200;
constexpr std::uint32_t kCodeRva = 0x1000;
constexpr std::uint32_t kResourceRva = 0x2000;
constexpr std::uint32_t kFileHeaderSize = 20;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint16_t kIconType = 3, kDialogType = 5, kIconGroupType = 14;

struct Section {
  std::string name;
  std::uint32_t rva;
  Bytes data;  // used bytes; the raw size is this rounded up to kFileAlignment
  std::uint32_t characteristics;
};

Bytes text_bytes(const char* text) {
  return Bytes(text, text + std::char_traits<char>::length(text));
}

Bytes le32_bytes(std::uint32_t v) {
  Bytes b(4);
  le::put32(b, 0, v);
  return b;
}

Bytes icon_group() {
  Bytes g(20, 0);
  le::put16(g, 2, 1);  // type: icon
  le::put16(g, 4, 1);  // one image
  g[6] = 16;           // 16 x 16
  g[7] = 16;
  le::put16(g, 10, 1);  // planes
  le::put16(g, 12, 4);  // bits per pixel
  le::put32(g, 14, 40);
  le::put16(g, 18, 1);  // icon id 1
  return g;
}

// A control of a classic dialog template: style, place and size in dialog units, number,
// class atom (0x80 button, 0x82 static) and text (ASCII).
struct TemplateControl {
  std::uint32_t style;
  std::int16_t x, y, cx, cy;
  std::uint16_t id;
  std::uint16_t atom;
  std::string text;
};

constexpr std::uint32_t kShown = 0x10000000;  // WS_VISIBLE
constexpr std::uint16_t kButton = 0x80, kStatic = 0x82, kNoId = 0xFFFF;

void put_utf16(Bytes& b, const std::string& text) {
  for (char c : text) le::append16(b, static_cast<unsigned char>(c));
  le::append16(b, 0);
}

// The template as the resource compiler lays it out: header, no menu, default class,
// caption, 8-point font, then each control aligned to 4 bytes.
Bytes dialog_template(std::uint32_t style, std::int16_t cx, std::int16_t cy,
                      const std::string& caption, const std::vector<TemplateControl>& controls) {
  Bytes b;
  le::append32(b, style | 0x40);  // DS_SETFONT
  le::append32(b, 0);
  le::append16(b, static_cast<std::uint16_t>(controls.size()));
  for (std::int16_t v : {std::int16_t{0}, std::int16_t{0}, cx, cy})
    le::append16(b, static_cast<std::uint16_t>(v));
  put_utf16(b, "");
  put_utf16(b, "");
  put_utf16(b, caption);
  le::append16(b, 8);
  put_utf16(b, "MS Sans Serif");
  for (const TemplateControl& c : controls) {
    while (b.size() % 4 != 0) b.push_back(0);
    le::append32(b, c.style);
    le::append32(b, 0);
    for (std::int16_t v : {c.x, c.y, c.cx, c.cy}) le::append16(b, static_cast<std::uint16_t>(v));
    le::append16(b, c.id);
    le::append16(b, 0xFFFF);
    le::append16(b, c.atom);
    put_utf16(b, c.text);
    le::append16(b, 0);
  }
  return b;
}

// The installer's two dialogs, as its resource script has them.
Bytes progress_template(const StubOptions& o) {
  return dialog_template(0x90000080, 187, 75, "",
                         {{0, 131, 6, 50, 14, 1, kButton, "OK"},
                          {0, 131, 23, 50, 14, 2, kButton, "Cancel"},
                          {kShown, 50, 15, 86, 8, kNoId, kStatic, o.progress_text},
                          {kShown, 48, 50, 90, 8, kNoId, kStatic, "Wachten aub..."},
                          {kShown, 13, 31, 159, 8, 1001, kStatic, ""}});
}

Bytes order_info_template() {
  return dialog_template(
      0x90C80080, 205, 154, "Lumivane Deluxe Bestelinfo",
      {{kShown, 23, 25, 158, 10, kNoId, kStatic, "*** LUMIVANE DELUXE ***"},
       {kShown, 157, 18, 11, 8, kNoId, kStatic, "TM"},
       {kShown, 78, 134, 50, 14, 1, kButton, "OK"},
       {kShown, 23, 7, 158, 10, kNoId, kStatic, "Dit programma werd gemaakt met"},
       {kShown, 23, 42, 158, 8, kNoId, kStatic, "Maak screen savers zonder te programmeren"},
       {kShown, 23, 59, 158, 8, kNoId, kStatic, "Download GRATIS screen savers"},
       {kShown, 23, 74, 158, 8, kNoId, kStatic, "www.lumivane.example"},
       {kShown, 23, 91, 158, 36, kNoId, kStatic,
        "Lumivane Software\r\n\r\ninfo@lumivane.example"}});
}

std::vector<Resource> stub_resources(const StubOptions& o) {
  std::vector<Resource> r;
  if (o.named_type_before_lastres)
    r.push_back({kEarlierTypeName, 0, 1, 1033, text_bytes(kEarlierTypeData)});
  r.push_back({"LASTRES", 0, 1000, 1033, le32_bytes(o.placeholder)});
  r.push_back({"", kIconType, 1, 1033, Bytes(40, 0x11)});
  const bool damaged = o.damaged_dialogs;
  r.push_back({"", kDialogType, 103, 1033, damaged ? Bytes(24, 0x22) : progress_template(o)});
  r.push_back({"", kDialogType, 104, 1033, damaged ? Bytes(24, 0x33) : order_info_template()});
  r.push_back({"", kIconGroupType, 101, 1033, icon_group()});
  return r;
}

std::vector<Section> stub_sections(const StubOptions& o) {
  std::vector<Section> sections;
  sections.push_back(
      {".text", kCodeRva, Bytes{0x31, 0xC0, 0xC3}, 0x60000020u});  // xor eax,eax; ret
  if (!o.without_rsrc) {
    const std::vector<Resource> resources = stub_resources(o);
    const std::size_t lastres = o.named_type_before_lastres ? 1 : 0;
    const std::size_t last_body = o.lastres_not_last ? resources.size() - 1 : lastres;
    sections.push_back({".rsrc", kResourceRva,
                        build_resource_section(resources, kResourceRva, last_body), 0x40000040u});
  }
  return sections;
}

std::uint32_t raw_size(const Section& s) {
  return le::align_up(static_cast<std::uint32_t>(s.data.size()), kFileAlignment);
}

std::uint32_t image_size(const std::vector<Section>& sections) {
  const Section& last = sections.back();
  return last.rva + le::align_up(static_cast<std::uint32_t>(last.data.size()), kSectionAlignment);
}

void put_file_header(Bytes& img, const StubOptions& o, std::size_t sections) {
  const std::uint32_t at = kPeOffset + 4;
  le::put16(img, at, o.pe32plus ? 0x8664 : 0x014C);  // machine
  le::put16(img, at + 2, static_cast<std::uint16_t>(sections));
  le::put32(img, at + 4, 0x35000000u);  // time stamp
  le::put16(img, at + 16, o.pe32plus ? 240 : 224);
  // Executable, relocations, line numbers and symbols stripped; 32-bit or large-address.
  le::put16(img, at + 18, o.pe32plus ? 0x0023 : 0x010F);
}

// Offsets of the fields that move between the two optional header formats.
struct OptionalLayout {
  std::uint32_t image_base, stack_heap, word, loader_flags, directories;
};

void put_optional_header(Bytes& img, const StubOptions& o, const std::vector<Section>& sections) {
  const std::uint32_t at = kPeOffset + 4 + kFileHeaderSize;
  const OptionalLayout f =
      o.pe32plus ? OptionalLayout{24, 72, 8, 104, 112} : OptionalLayout{28, 72, 4, 88, 96};
  le::put16(img, at, o.pe32plus ? 0x020B : 0x010B);
  img[at + 2] = 6;                                // linker version
  le::put32(img, at + 4, raw_size(sections[0]));  // size of code
  if (sections.size() > 1) le::put32(img, at + 8, raw_size(sections[1]));
  le::put32(img, at + 16, kCodeRva);                       // entry point
  le::put32(img, at + 20, kCodeRva);                       // base of code
  if (!o.pe32plus) le::put32(img, at + 24, kResourceRva);  // base of data
  if (o.pe32plus)
    le::put64(img, at + f.image_base, 0x140000000ull);
  else
    le::put32(img, at + f.image_base, 0x00400000u);
  le::put32(img, at + 32, kSectionAlignment);
  le::put32(img, at + 36, kFileAlignment);
  le::put16(img, at + 40, 4);                   // operating system version
  le::put16(img, at + 48, o.pe32plus ? 5 : 4);  // subsystem version
  le::put16(img, at + 50, o.pe32plus ? 2 : 0);
  le::put32(img, at + 56, image_size(sections));
  le::put32(img, at + 60, kHeadersSize);
  le::put16(img, at + 68, 2);  // Windows GUI
  const std::uint32_t reserve_commit[] = {0x100000, 0x1000, 0x100000, 0x1000};
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (o.pe32plus)
      le::put64(img, at + f.stack_heap + i * f.word, reserve_commit[i]);
    else
      le::put32(img, at + f.stack_heap + i * f.word, reserve_commit[i]);
  }
  le::put32(img, at + f.loader_flags + 4, 16);  // number of data directories
  if (sections.size() > 1) {
    const std::uint32_t resource_directory = at + f.directories + 2 * 8;
    le::put32(img, resource_directory, sections[1].rva);
    le::put32(img, resource_directory + 4, static_cast<std::uint32_t>(sections[1].data.size()));
  }
}

void put_section(Bytes& img, std::uint32_t header_at, const Section& s, std::uint32_t raw_at) {
  for (std::size_t i = 0; i < s.name.size(); ++i)
    img[header_at + i] = static_cast<std::uint8_t>(s.name[i]);
  le::put32(img, header_at + 8, static_cast<std::uint32_t>(s.data.size()));
  le::put32(img, header_at + 12, s.rva);
  le::put32(img, header_at + 16, raw_size(s));
  le::put32(img, header_at + 20, raw_at);
  le::put32(img, header_at + 36, s.characteristics);
  std::copy(s.data.begin(), s.data.end(), img.begin() + raw_at);
}

}  // namespace

Bytes build_stub(const StubOptions& options) {
  const std::vector<Section> sections = stub_sections(options);
  std::uint32_t file_size = kHeadersSize;
  for (const Section& s : sections) file_size += raw_size(s);
  Bytes img(file_size, 0);
  img[0] = 'M';
  img[1] = 'Z';
  le::put32(img, 0x3C, kPeOffset);
  img[kPeOffset] = 'P';
  img[kPeOffset + 1] = 'E';
  put_file_header(img, options, sections.size());
  put_optional_header(img, options, sections);
  std::uint32_t header_at = kPeOffset + 4 + kFileHeaderSize + (options.pe32plus ? 240 : 224);
  std::uint32_t raw_at = kHeadersSize;
  for (const Section& s : sections) {
    put_section(img, header_at, s, raw_at);
    header_at += kSectionHeaderSize;
    raw_at += raw_size(s);
  }
  return img;
}

}  // namespace testsupport
