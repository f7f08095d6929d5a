#include "settings_driver.h"

#include <regex>
#include <sstream>

#include "app/startup.h"
#include "codelist/journal_win.h"

namespace codeeingabe::test {

SettingsForm::SettingsForm(const fs::path& folder, RandomSource& random, TimeOfDay& clock)
    : form(
          forms, values, random, clock,
          [this](HWND window, const std::wstring& text, const std::wstring& title, MessageStyle style) {
              SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
              bool busy = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
              for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                  busy = busy && !IsWindowEnabled(child);
              shown.push_back(Box(text, title, style, busy));
          },
          [this](HWND, const FilePath& file) { shown.push_back(L"opened " + file); }) {
    const Settings read = ReadSettings((folder / "Codelist.ini").wstring());
    values = {folder.wstring(), read.creditsPerCode, read.masterCode};
    form.Show();
}

SettingsForm::~SettingsForm() {
    form.Unload();
    // The last unloaded window ends the message loop: its quit message must not reach the next window.
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) continue;
}

fs::path JournalPath(const fs::path& folder) { return JournalFile(ProcessValues{folder.wstring(), 2, ""}); }

std::vector<std::string> JournalLines(const fs::path& folder) {
    const std::string bytes = Bytes(JournalPath(folder)), heading = JournalHeading();
    if (bytes.empty()) return {};
    if (!bytes.starts_with(heading)) return {"torn: no heading"};
    static const std::regex whole(
        R"re([0-3]\d\.[01]\d\.20\d\d;[0-2]\d:[0-5]\d:[0-5]\d;([^;"=]+);(?:="(\d{5})")?;(-?\d*;[^;]*)\r)re");
    std::vector<std::string> lines;
    std::istringstream text(bytes.substr(heading.size()));
    std::smatch field;
    for (std::string line; std::getline(text, line);)
        lines.push_back(std::regex_match(line, field, whole) ? field.str(1) + ";" + field.str(2) + ";" + field.str(3)
                                                             : "torn: " + line);
    return lines;
}

std::string CodeListBytes(const std::string& credits, const std::string& masterCode,
                          const std::vector<std::pair<std::string, std::string>>& codes) {
    std::string bytes =
        "[Einstellungen]\r\nCreditsPerCode=" + credits + "\r\nMasterCode=" + masterCode + "\r\n\r\n[Codes]\r\n";
    for (const auto& [code, state] : codes) bytes += code + "=" + state + "\r\n";
    return bytes;
}

std::vector<std::string> SampleCodes(int n) {
    std::vector<std::string> codes;
    // 7919 is prime to 100000, so the codes never repeat.
    for (int i = 0; i < n; ++i) codes.push_back(std::to_string(100000 + (i * 7919 + 3) % 100000).substr(1));
    return codes;
}

}  // namespace codeeingabe::test
