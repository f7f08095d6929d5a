#pragma once

#include <algorithm>
#include <map>
#include <optional>

#include "../unit/test_files.h"
#include "app/forms.h"
#include "codelist/frm_einstellungen.h"
#include "platform/profile_document.h"
#include "wine_test_support.h"

namespace codeeingabe::test {

using namespace std::chrono_literals;
using Messages = std::vector<std::wstring>;

// A message as the operator reads it; busy: shown with the hourglass and every control disabled.
inline std::wstring Box(const std::wstring& text, const std::wstring& title, MessageStyle style, bool busy = true) {
    return text + L" | " + title + L" | " + std::to_wstring(static_cast<UINT>(style)) + (busy ? L" | busy" : L"");
}

// The settings window of this thread over a module folder, as start-up shows it. Its messages and
// the file its export opens are recorded instead of shown, so a click returns once its action has
// ended, and no viewer starts.
struct SettingsForm {
    explicit SettingsForm(const fs::path& folder, RandomSource& random = SystemRandomSource(),
                          TimeOfDay& clock = SystemTimeOfDay());
    ~SettingsForm();
    HWND Control(int id) const { return GetDlgItem(form.Handle(), id); }
    std::wstring Text(int id) const { return TextOf(Control(id)); }
    void SetText(int id, const std::wstring& text) const { SetWindowTextW(Control(id), text.c_str()); }
    Messages Click(int id) { return shown.clear(), SendMessageW(Control(id), BM_CLICK, 0, 0), shown; }

    ProcessValues values;
    Forms forms{values};
    Messages shown;
    FrmEinstellungen form;
};

// A code list file as the program writes it, with the given codes and states.
std::string CodeListBytes(const std::string& credits, const std::string& masterCode,
                          const std::vector<std::pair<std::string, std::string>>& codes);
// The codes and their states when the bytes are a whole code list as the program writes it, with distinct
// five-digit codes "UNUSED" or "USED"; nullopt for a torn or an odd file.
inline std::optional<std::map<std::string, std::string>> WholeCodeList(const std::string& bytes) {
    std::map<std::string, std::string> states;
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& line : ProfileSectionLines(bytes, "Codes")) {
        const auto& [code, state] =
            codes.emplace_back(line.substr(0, 5), line.substr(std::min<std::size_t>(line.size(), 6)));
        if (code.find_first_not_of("0123456789") != std::string::npos || (state != "UNUSED" && state != "USED") ||
            !states.emplace(code, state).second)
            return std::nullopt;
    }
    const auto setting = [&](const char* key) { return ProfileValue(bytes, "Einstellungen", key).value_or(""); };
    if (bytes != CodeListBytes(setting("CreditsPerCode"), setting("MasterCode"), codes)) return std::nullopt;
    return states;
}
// The journal of this year in the folder: its lines, each without the date and time and with the code unquoted,
// e.g. "Code gebucht;12345;2;"; a line that is not whole is "torn: " and the line. Nothing for no journal.
std::vector<std::string> JournalLines(const fs::path& folder);
inline std::ptrdiff_t CountStarting(const std::vector<std::string>& lines, std::string_view start) {
    return std::ranges::count_if(lines, [&](const std::string& line) { return line.starts_with(start); });
}
fs::path JournalPath(const fs::path& folder);

// n different codes, spread over the whole range, the first ones with leading zeros.
std::vector<std::string> SampleCodes(int n);
// The same codes, all free, for CodeListBytes.
inline std::vector<std::pair<std::string, std::string>> FreeCodes(int n) {
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(n)) codes.emplace_back(code, "UNUSED");
    return codes;
}

}  // namespace codeeingabe::test
