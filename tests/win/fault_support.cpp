#include "fault_support.h"

#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <set>

#include "host_test_support.h"
#include "platform/file_store.h"
#include "platform/get_field.h"
#include "platform/profile_document.h"

namespace codeeingabe::test {

std::optional<CodeList> ParseCodeList(const std::string& bytes, std::string* error) {
    const auto fail = [&](const std::string& reason) -> std::optional<CodeList> {
        *error = reason;
        return std::nullopt;
    };
    if (bytes.rfind("[Einstellungen]\r\n", 0) != 0) return fail("no settings section at the start");
    if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) return fail("no CR LF at the end");
    if (bytes.find("[Codes]\r\n") == std::string::npos) return fail("no codes section");
    CodeList list;
    list.creditsPerCode = ProfileValue(bytes, "Einstellungen", "CreditsPerCode").value_or("(missing)");
    list.masterCode = ProfileValue(bytes, "Einstellungen", "MasterCode").value_or("(missing)");
    for (const std::string& line : ProfileSectionLines(bytes, "Codes")) {
        const std::string code = GetField(line, 1, "=");
        const std::string state = GetField(line, 2, "=");
        const bool fiveDigits = code.size() == 5 && code.find_first_not_of("0123456789") == std::string::npos;
        if (!fiveDigits || (state != "UNUSED" && state != "USED") || line != code + "=" + state) {
            return fail("entry \"" + line + "\"");
        }
        if (!list.states.emplace(code, state).second) return fail("code " + code + " twice");
        list.codes.push_back(code);
    }
    return list;
}

std::string FileBytes(const std::filesystem::path& file) {
    FileRead read = ReadFileBytes(file);
    for (int attempt = 0; attempt < 100 && read.status == FileRead::Status::failed; ++attempt) {
        Sleep(1);
        read = ReadFileBytes(file);
    }
    return read.bytes;
}

void PumpFor(std::chrono::microseconds duration) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) return;
        // Wakes for a message sent by another process at once; the last millisecond is spun.
        if (left.count() >= 1) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
        } else {
            SwitchToThread();
        }
    }
}

std::chrono::microseconds RandomDelay(std::mt19937& random, std::chrono::microseconds upTo) {
    return std::chrono::microseconds(std::uniform_int_distribution<long long>(0, upTo.count())(random));
}

void PrintFigure(const std::string& line) { std::cout << "[ FIGURES  ] " << line << std::endl; }

bool OpenKeypadWhenFree(HostSession& session, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < deadline) {
        session.Send("CreditClick");
        if (WaitUntil([&] { return session.KeypadVisible(); }, std::chrono::milliseconds(200))) return true;
    }
    return false;
}

unsigned RunSeed() {
    const char* text = std::getenv("CODEEINGABE_SEED");
    return text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 20261207u;
}

}  // namespace codeeingabe::test
