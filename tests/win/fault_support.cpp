#include "fault_support.h"

#include <vector>

#include "host_test_support.h"
#include "platform/profile_document.h"
#include "settings_driver.h"

namespace codeeingabe::test {

std::optional<std::map<std::string, std::string>> WholeCodeList(const std::string& bytes) {
    std::map<std::string, std::string> states;
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& line : ProfileSectionLines(bytes, "Codes")) {
        const std::string code = line.substr(0, line.find('='));
        const std::string state = line.substr(std::min(line.size(), code.size() + 1));
        const bool digits = code.size() == 5 && code.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || (state != "UNUSED" && state != "USED") || !states.emplace(code, state).second) return std::nullopt;
        codes.emplace_back(code, state);
    }
    // Rebuilt as the program writes it, a torn file differs.
    const auto setting = [&](const char* key) { return ProfileValue(bytes, "Einstellungen", key).value_or(""); };
    if (bytes != CodeListBytes(setting("CreditsPerCode"), setting("MasterCode"), codes)) return std::nullopt;
    return states;
}

bool OpenKeypadWhenFree(HostSession& session, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < deadline) {
        session.Send("CreditClick");
        if (WaitUntil([&] { return session.KeypadVisible(); }, std::chrono::milliseconds(200))) return true;
    }
    return false;
}

DigitKeys::DigitKeys(HWND keypad) {
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit)
        key[digit - L'0'] = Child(keypad, L"Button", std::wstring(1, digit).c_str());
}

void DigitKeys::Type(const std::string& digits) const {
    for (char digit : digits) Click(key[digit - '0']);
}

}  // namespace codeeingabe::test
