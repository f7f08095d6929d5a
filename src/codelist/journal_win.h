#pragma once

#include "codelist/journal.h"
#include "codelist/process_values.h"

namespace codeeingabe {

// This year's journal in the module folder.
FilePath JournalFile(const ProcessValues& values);

// Appends the entry, stamped with the local time, to this year's journal and flushes it to the
// disk before it returns. A journal that another program holds (a spreadsheet locks the file it
// shows) gets the line later: it waits, flushed as well, in a file beside the journal, and every
// later line waits behind it. False when the line is lost: the disk is full or the folder cannot
// be written. The journal never stops what it records, so callers go on either way.
bool WriteJournal(const ProcessValues& values, const JournalEntry& entry);

// Appends the waiting lines, in order, once the journal is free again; called by a timer, so
// that they arrive without waiting for the next event.
void AppendWaitingJournalLines(const ProcessValues& values);

}  // namespace codeeingabe
