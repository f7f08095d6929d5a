#pragma once

#include <optional>
#include <string>

namespace codeeingabe {

// What the operator's journal records. A still free code is never shown, nor the master code, nor
// the digits of a wrong entry.
enum class JournalEvent {
    codeBooked,  // written before the list marks the code "USED": a crash before the credit still leaves the line
    bookingFailed,
    creditSent,
    codeReturned,
    wrongEntry,
    lockStarted,
    masterWindowOpened,
    codesSetFree,
    listGenerated,
    listExported,
    settingsSaved,
    hostModeStarted,
    hostModeEnded,
};

struct JournalEntry {
    JournalEvent event;
    std::string code;  // empty: none
    std::optional<long> credits;
    std::string remark;
};

struct JournalTime {
    int year, month, day, hour, minute, second;
};

// "Journal 2026.csv": one file per calendar year, so that a year's file stays small enough for a
// spreadsheet and can be archived whole.
std::string JournalFileName(int year);

// What a new journal starts with: a UTF-8 byte order mark (spreadsheets then show the umlauts
// right) and the column heading.
std::string JournalHeading();

// One line, ";"-separated and CRLF-ended, the date and time in German form. The code is written as
// a text formula, so that a spreadsheet keeps its leading zeros.
std::string JournalLine(const JournalTime& time, const JournalEntry& entry);

}  // namespace codeeingabe
