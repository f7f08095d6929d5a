#include "credit/code_entry.h"

#include <limits>

#include "codelist/codelist_file.h"

namespace codeeingabe {

EntryOutcome CheckCode(const std::string& entry, std::string_view masterCode, std::uint8_t& wrongEntryCount,
                       CodeEntryPort& port) {
    if (entry == masterCode) {
        port.OpenMasterWindow();
        wrongEntryCount = 0;
        return EntryOutcome::masterWindow;
    }
    const std::optional<std::string> state = port.CodeState(entry);
    // Another program holds the list, or it is not in the module's encoding: the entry may well be
    // a valid code, so the guest is not counted towards the lock.
    if (!state) return EntryOutcome::listUnreadable;
    if (*state == kUnused) {
        // The guest typed a valid code: whatever fails from here on is no wrong entry.
        if (!port.BookCodeUsed(entry)) return EntryOutcome::bookingFailed;
        if (port.SendCredit(entry) == SendResult::hostGone) {
            port.ReturnCode(entry);
            return EntryOutcome::creditLost;
        }
        wrongEntryCount = 0;
        return EntryOutcome::credited;
    }
    if (wrongEntryCount < std::numeric_limits<std::uint8_t>::max()) ++wrongEntryCount;
    if (wrongEntryCount == kWrongEntriesToLock) {
        port.StartLock();
        return EntryOutcome::lockStarted;
    }
    return EntryOutcome::wrongEntry;
}

}  // namespace codeeingabe
