#pragma once

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>

namespace codeeingabe::test {

class HostSession;

// The codes and their states when the bytes are a whole code list as the program writes it: the
// settings, then distinct five-digit codes "UNUSED" or "USED", every line ended by CR LF.
std::optional<std::map<std::string, std::string>> WholeCodeList(const std::string& bytes);

// "CreditClick" until the keypad shows: while locked, the lock notice shows instead.
bool OpenKeypadWhenFree(HostSession& session, std::chrono::milliseconds within);

// The keypad's digit keys, looked up once: a search among the module's windows costs more than
// a whole entry.
struct DigitKeys {
    explicit DigitKeys(HWND keypad);
    void Type(const std::string& digits) const;
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
