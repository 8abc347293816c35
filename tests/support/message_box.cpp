#include "tests/support/message_box.hpp"

namespace testsupport {

bool operator==(const Box& a, const Box& b) {
  return a.caption == b.caption && a.text == b.text && a.type == b.type;
}

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{caption \"" << box.caption << "\", text \"" << box.text << "\", type 0x" << std::hex
       << box.type << std::dec << "}";
}

constexpr unsigned kOkError = 0x10;

Box not_created_box(const std::string& caption, const std::string& path) {
  return {caption,
          "Het bestand " + path +
              " kon niet aangemaakt worden. Controleer of het niet in gebruik of alleen-lezen is "
              "en start het installatieprogramma daarna opnieuw op.",
          kOkError};
}

Box no_memory_box(const std::string& saver_name) {
  return {"Onvoldoende geheugen",
          "Er is niet genoeg geheugen vrij om " + saver_name +
              " te installeren. Sluit enkele programma's en start het installatieprogramma "
              "daarna opnieuw op.",
          kOkError};
}

Box incomplete_box(const std::string& installer_name) {
  return {"Onvolledige installatie",
          "Het installatieprogramma " + installer_name +
              " kon tijdens de installatie niet meer gelezen worden, zodat de screen saver "
              "onvolledig ge\xEFnstalleerd is. Start het installatieprogramma opnieuw op wanneer "
              "het weer bereikbaar is.",
          kOkError};
}

}  // namespace testsupport
