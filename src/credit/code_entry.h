#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "credit/host_message.h"

namespace codeeingabe {

// A credit code has five digits; the fifth one checks the entry at once.
inline constexpr std::size_t kCodeLength = 5;
// The wrong entry that starts the lock.
inline constexpr std::uint8_t kWrongEntriesToLock = 2;

// What checking a code needs of the world; the code entry window provides it.
class CodeEntryPort {
public:
    virtual ~CodeEntryPort() = default;
    // "00000" for a code not in the list; nullopt when the list exists but cannot be read.
    virtual std::optional<std::string> CodeState(const std::string& code) = 0;
    virtual bool BookCodeUsed(const std::string& code) = 0;      // true once "USED" stands on the disk
    virtual void ReturnCode(const std::string& code) = 0;        // back to "UNUSED"
    virtual SendResult SendCredit(const std::string& code) = 0;  // "AddCredit|" to the host, for the code
    virtual void OpenMasterWindow() = 0;
    virtual void StartLock() = 0;  // lock notice and lock timer
};

enum class EntryOutcome {
    masterWindow,    // the master code: no lookup, no credit
    credited,        // booked, and the credit delivered or queued at a host that did not answer in time
    bookingFailed,   // a free code that could not be booked: no credit, and not a wrong entry
    listUnreadable,  // the list exists but cannot be read: no credit, and not a wrong entry either
    creditLost,      // booked, but the host window was gone: the code is free again
    wrongEntry,
    lockStarted,  // the wrong entry that starts the lock
};

// The check of a complete five-digit entry. The master code comes first, so a code equal to it
// never gives credit. A free code is booked before its credit is sent, so that credit is never
// given for a code that stays free. wrongEntryCount is the process-wide count of wrong entries.
EntryOutcome CheckCode(const std::string& entry, std::string_view masterCode, std::uint8_t& wrongEntryCount,
                       CodeEntryPort& port);

}  // namespace codeeingabe
