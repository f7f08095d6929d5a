#include "app/startup.h"

#include "codelist/credits_from_text.h"
#include "codelist/codelist_file.h"
#include "platform/profile.h"

namespace codeeingabe {

std::wstring ArgumentText(std::wstring_view commandLine) {
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return std::wstring(commandLine.substr(i));
}

bool IsHostMode(std::wstring_view argumentText) { return argumentText == L"/Mod"; }

Settings ReadSettings(const FilePath& codeListFile) {
    const std::string credits = ReadProfile(codeListFile, kSettingsSection, kCreditsPerCodeKey, "2");
    return Settings{CreditsFromText(credits).value_or(0), ReadProfile(codeListFile, kSettingsSection, kMasterCodeKey, "")};
}

}  // namespace codeeingabe
