#include "tests/support/message_box.hpp"

namespace testsupport {

bool operator==(const Box& a, const Box& b) {
  return a.caption == b.caption && a.text == b.text && a.type == b.type;
}

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{caption \"" << box.caption << "\", text \"" << box.text << "\", type 0x" << std::hex
       << box.type << std::dec << "}";
}

Box not_created_box(const std::string& caption, const std::string& path) {
  return {caption,
          "Het bestand " + path +
              " kon niet aangemaakt worden. Controleer of het niet in gebruik of alleen-lezen is "
              "en start het installatieprogramma daarna opnieuw op.",
          0x10};
}

Box no_memory_box(const std::string& saver) {
  return {"Onvoldoende geheugen",
          "Er is niet genoeg geheugen vrij om " + saver +
              " te installeren. Sluit enkele programma's en start het installatieprogramma "
              "daarna opnieuw op.",
          0x10};
}

Box incomplete_box(const std::string& installer) {
  return {"Onvolledige installatie",
          "Het installatieprogramma " + installer +
              " kon tijdens de installatie niet meer gelezen worden, zodat de screen saver "
              "onvolledig ge\xEFnstalleerd is. Start het installatieprogramma opnieuw op "
              "wanneer het weer bereikbaar is.",
          0x10};
}

std::string confirmation_text(const std::string& saver, const std::string& display,
                              const std::string& total) {
  return "Dit programma installeert " + saver + " (" + display +
         " Screen Saver) in C:\\WINDOWS en maakt er de standaard screen saver van.  De "
         "installatie neemt " +
         total + " bytes in beslag.";
}

std::string completion_text(const std::string& windows, const std::string& folder) {
  return "Installatie volledig!\r\n\r\nDe gegevensbestanden werden ook in de map " + windows +
         "\\TOLVERAN\\LUMIVANE\\" + folder + " ge\xEFnstalleerd.";
}

std::string disk_full_text(const std::string& needed, const std::string& available) {
  return "Je hebt " + needed +
         " kilobytes in de Windowsmap nodig om deze screen saver te installeren.  Er zijn "
         "slechts " +
         available + " kilobytes beschikbaar op deze schijf.  Wil je de installatie verderzetten?";
}

Box too_long_box(const std::string& caption, const std::string& folder) {
  return {caption,
          "De installatiemap " + folder +
              " is te lang om deze screen saver te installeren. Geef het installatieprogramma "
              "een kortere naam en start het opnieuw op.",
          0x10};
}

Box damaged_box(const std::string& installer) {
  return {"Beschadigd installatieprogramma",
          "Het installatieprogramma " + installer +
              " is beschadigd of onvolledig en kan niets installeren. Download het opnieuw en "
              "start het daarna opnieuw op.",
          0x10};
}

}  // namespace testsupport
