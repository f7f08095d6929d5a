#include "codelist/journal.h"

#include <cstdio>
#include <string_view>

namespace codeeingabe {
namespace {

constexpr std::string_view kEventTexts[] = {
    "Code gebucht",       "Buchung fehlgeschlagen", "Credits gesendet",        "Code zurückgegeben",
    "Falscheingabe",      "Sperre gestartet",       "Mastermenü geöffnet",     "Alle Codes freigegeben",
    "Codeliste erstellt", "Codeliste exportiert",   "Einstellungen gesichert", "Hostmodus gestartet",
    "Hostmodus beendet",
};

}  // namespace

std::string JournalFileName(int year) { return "Journal " + std::to_string(year) + ".csv"; }

std::string JournalHeading() {
    return "\xEF\xBB\xBF"
           "Datum;Uhrzeit;Ereignis;Code;Credits;Bemerkung\r\n";
}

std::string JournalLine(const JournalTime& time, const JournalEntry& entry) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%04d;%02d:%02d:%02d;", time.day, time.month, time.year, time.hour,
                  time.minute, time.second);
    std::string line(stamp);
    line.append(kEventTexts[static_cast<std::size_t>(entry.event)]).append(";");
    if (!entry.code.empty()) line.append("=\"").append(entry.code).append("\"");
    line.append(";");
    if (entry.credits) line.append(std::to_string(*entry.credits));
    return line.append(";").append(entry.remark).append("\r\n");
}

}  // namespace codeeingabe
