// Every text the installer shows, in Windows-1252 (the i with diaeresis is the byte 0xEF).
//
// Texts with %s are snprintf formats; their callers size the output buffers from the
// format's own length plus the longest possible fill. The stub's snprintf knows only %s and
// %%: the checks at the end of this file hold every text to that and to its count of %s.
#pragma once

namespace installer::texts {

// The authoring tool's support-files address: caption of the connection failure, the page
// opened for a missing 3D library, and (followed by "/") part of the two library messages.
#define INSTALLER_SUPPORT_ADDRESS "http://www.lumivane.example/supfiles"
constexpr const char kSupportAddress[] = INSTALLER_SUPPORT_ADDRESS;

// Caption of the confirmation, completion and failure boxes; %s: the display name.
constexpr const char kCaptionFormat[] = "%s Screen Saver Installatie";
// Progress dialog line under "Installeren"; %s: the display name.
constexpr const char kProgressLineFormat[] = "%s Screen Saver";

// %s: target screen-saver name, display name, upper-case Windows directory, byte total.
constexpr const char kConfirmFormat[] =
    "Dit programma installeert %s (%s Screen Saver) in %s en maakt er de standaard screen "
    "saver van.  De installatie neemt %s bytes in beslag.";

// %s: Windows directory with separator, then the upper-case last part of the data folder.
constexpr const char kCompletionFormat[] =
    "Installatie volledig!\r\n\r\nDe gegevensbestanden werden ook in de map "
    "%sTOLVERAN\\LUMIVANE%s ge\xEF"
    "nstalleerd.";

constexpr const char kReplaceCaption[] = "Screen saver vervangen?";
// %s: the screen-saver file name that the installation would overwrite.
constexpr const char kReplaceFormat[] =
    "Er is reeds een screen saver met dezelfde naam (%s) op je systeem aanwezig.  Wil je deze "
    "vervangen?";

constexpr const char kRenameCaption[] = "Hernoem installatieprogramma.";
// %s: the installer base name followed by ".EXE".
constexpr const char kRenameFormat[] =
    "Indien je de naam van het .SCR-bestand dat ge\xEF"
    "nstalleerd word wil vervangen, verander dan de bestandsnaam van het installatieprogramma "
    "(%s) en start het opnieuw op.";

constexpr const char kDiskFullCaption[] = "Schijf vol";
// %s: kilobytes needed, kilobytes free, both grouped by thousands.
constexpr const char kDiskFullFormat[] =
    "Je hebt %s kilobytes in de Windowsmap nodig om deze screen saver te installeren.  Er zijn "
    "slechts %s kilobytes beschikbaar op deze schijf.  Wil je de installatie verderzetten?";

constexpr const char kOutdatedCaption[] = "Veroudert bestand";
constexpr const char kOutdatedText[] =
    "Het OPENGL32.DLL bestand op je systeem is veroudert. Doorgaan ?";

constexpr const char kMissingCaption[] = "Ontbrekend bestand";
constexpr const char kOpenGlMissingText[] =
    "Deze screen saver gebruikt het bestand OPENGL32.DLL. Klik op de \"JA\" toets om dit "
    "bestand de downloaden bij " INSTALLER_SUPPORT_ADDRESS
    "/, en start daarna het installatieprogramma opnieuw op. Klik op \"Nee\" om de screen saver "
    "toch te installeren, hoewel hij NIET zal werken! Klik op \"Annuleer\" om de installatie af "
    "te breken.";
constexpr const char kGluMissingText[] =
    "Deze screen saver draait niet zonder het bestand GLU32.DLL. Klik op de \"Ja\" toets om het "
    "bestand te downloaden bij " INSTALLER_SUPPORT_ADDRESS
    "/, en start daarna het installatieprogramma opnieuw op. Klik op \"Nee\" om de screen saver "
    "toch te installeren, hoewel hij NIET zal werken! Klik op \"Annuleer\" om de installatie af "
    "te breken.";

// Shown with the support-files address as its caption.
constexpr const char kNoConnectionText[] = "Kan geen verbinding maken met de website.";

constexpr const char kDamagedCaption[] = "Beschadigd installatieprogramma";
// %s: the installer's file name.
constexpr const char kDamagedFormat[] =
    "Het installatieprogramma %s is beschadigd of onvolledig en kan niets installeren. Download "
    "het opnieuw en start het daarna opnieuw op.";

// %s: the folder whose paths would be too long.
constexpr const char kPathTooLongFormat[] =
    "De installatiemap %s is te lang om deze screen saver te installeren. Geef het "
    "installatieprogramma een kortere naam en start het opnieuw op.";

// %s: the target path of the file that was cut short.
constexpr const char kShortWriteFormat[] =
    "Het bestand %s kon niet volledig worden geschreven. Controleer of er genoeg ruimte vrij is "
    "op de schijf en start het installatieprogramma daarna opnieuw op.";

// %s: the target path of the file that could not be created.
constexpr const char kNotCreatedFormat[] =
    "Het bestand %s kon niet aangemaakt worden. Controleer of het niet in gebruik of "
    "alleen-lezen is en start het installatieprogramma daarna opnieuw op.";

constexpr const char kNoMemoryCaption[] = "Onvoldoende geheugen";
// %s: the target screen-saver name.
constexpr const char kNoMemoryFormat[] =
    "Er is niet genoeg geheugen vrij om %s te installeren. Sluit enkele programma's en start "
    "het installatieprogramma daarna opnieuw op.";

constexpr const char kIncompleteCaption[] = "Onvolledige installatie";
// %s: the installer's file name.
constexpr const char kIncompleteFormat[] =
    "Het installatieprogramma %s kon tijdens de installatie niet meer gelezen worden, zodat de "
    "screen saver onvolledig ge\xEF"
    "nstalleerd is. Start het installatieprogramma opnieuw op wanneer het weer bereikbaar is.";

#undef INSTALLER_SUPPORT_ADDRESS

// The number of %s in a text, or -1 when it holds a directive other than %s and %%: the
// stub's formatter (platform/win32/text_format.hpp) would show that one as it stands and
// take no argument for it, so every argument after it would fill the wrong place. Where a
// call passes the text itself, the compiler matches its arguments to the %s; the texts
// reported through installer/verdicts.cpp report() take one argument each.
constexpr int fills(const char* text) {
  int count = 0;
  for (; *text != '\0'; ++text) {
    if (*text != '%') continue;
    ++text;
    if (*text == 's') {
      ++count;
    } else if (*text != '%') {
      return -1;
    }
  }
  return count;
}

// Every text above, with the arguments its callers pass.
static_assert(fills(kSupportAddress) == 0);
static_assert(fills(kCaptionFormat) == 1);
static_assert(fills(kProgressLineFormat) == 1);
static_assert(fills(kConfirmFormat) == 4);
static_assert(fills(kCompletionFormat) == 2);
static_assert(fills(kReplaceCaption) == 0);
static_assert(fills(kReplaceFormat) == 1);
static_assert(fills(kRenameCaption) == 0);
static_assert(fills(kRenameFormat) == 1);
static_assert(fills(kDiskFullCaption) == 0);
static_assert(fills(kDiskFullFormat) == 2);
static_assert(fills(kOutdatedCaption) == 0);
static_assert(fills(kOutdatedText) == 0);
static_assert(fills(kMissingCaption) == 0);
static_assert(fills(kOpenGlMissingText) == 0);
static_assert(fills(kGluMissingText) == 0);
static_assert(fills(kNoConnectionText) == 0);
static_assert(fills(kDamagedCaption) == 0);
static_assert(fills(kDamagedFormat) == 1);
static_assert(fills(kPathTooLongFormat) == 1);
static_assert(fills(kShortWriteFormat) == 1);
static_assert(fills(kNotCreatedFormat) == 1);
static_assert(fills(kNoMemoryCaption) == 0);
static_assert(fills(kNoMemoryFormat) == 1);
static_assert(fills(kIncompleteCaption) == 0);
static_assert(fills(kIncompleteFormat) == 1);

}  // namespace installer::texts
