// What the fault, concurrency and guessing runs share.
#pragma once

#include <cstdlib>
#include <iostream>

#include "host_test_support.h"
#include "platform/file_store.h"
#include "settings_driver.h"

namespace codeeingabe::test {

// "CreditClick" until the keypad shows: while locked, the lock notice shows instead.
inline bool OpenKeypadWhenFree(HostSession& session, std::chrono::milliseconds within) {
    return WaitUntil(
        [&] {
            session.Send("CreditClick");
            return WaitUntil([&] { return session.KeypadVisible(); }, 200ms);
        },
        within);
}

// The keypad's digit keys, looked up once: a search among the module's windows costs more than a whole entry.
struct DigitKeys {
    explicit DigitKeys(HWND keypad) {
        for (int digit = 0; digit < 10; ++digit) key[digit] = Child(keypad, L"Button", std::to_wstring(digit).c_str());
    }
    void Type(const std::string& digits) const {
        for (char digit : digits) Click(key[digit - '0']);
    }
    HWND key[10] = {};
};

// A figure of a long run, for the log and the README.
inline void PrintFigure(const std::string& line) { std::cout << "[ FIGURES  ] " << line << std::endl; }

// Fixed, so that a failing round can be repeated, unless CODEEINGABE_SEED says otherwise.
inline unsigned RunSeed() {
    const char* text = std::getenv("CODEEINGABE_SEED");
    return text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 20261207u;
}

}  // namespace codeeingabe::test
