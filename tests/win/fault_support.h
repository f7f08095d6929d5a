// What the fault, concurrency and guessing runs share.
#pragma once

#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>

#include "host_test_support.h"
#include "platform/file_store.h"
#include "platform/profile_document.h"
#include "settings_driver.h"

namespace codeeingabe::test {

// The codes and their states when the bytes are a whole code list as the program writes it: rebuilt
// from the settings and distinct "UNUSED" or "USED" five-digit codes they hold, a torn file differs.
inline std::optional<std::map<std::string, std::string>> WholeCodeList(const std::string& bytes) {
    std::map<std::string, std::string> states;
    std::string lines;
    for (const std::string& line : ProfileSectionLines(bytes, "Codes")) {
        const std::string code = line.substr(0, line.find('=')), state = line.substr(std::min<std::size_t>(line.size(), 6));
        if (code.size() != 5 || code.find_first_not_of("0123456789") != std::string::npos ||
            (state != "UNUSED" && state != "USED") || !states.emplace(code, state).second)
            return std::nullopt;
        lines += line + "\r\n";
    }
    const auto setting = [&](const char* key) { return ProfileValue(bytes, "Einstellungen", key).value_or(""); };
    if (bytes != CodeListBytes(setting("CreditsPerCode"), setting("MasterCode"), {}) + lines) return std::nullopt;
    return states;
}

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
