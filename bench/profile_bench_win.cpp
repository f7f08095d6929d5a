// Our profile store against the platform's profile functions on a 1000-code list, under Wine.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_list.h"
#include "bench_stats.h"
#include "platform/profile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRepetitions = 200;

void WriteList(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << bench::ProfileListBytes();
}

}  // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / "codeeingabe-profile-bench";
    fs::create_directories(folder);
    const fs::path ours = folder / "ours.ini";
    const fs::path platform = folder / "platform.ini";
    WriteList(ours);
    WriteList(platform);
    const std::string platformPath = platform.string();
    const std::string lastCode = bench::ProfileListCode(999);
    const std::string middleCode = bench::ProfileListCode(500);

    const auto ourRead = bench::Measure(kRepetitions, [&](int) {
        if (codeeingabe::ReadProfile(ours, "Codes", lastCode, "00000") != "UNUSED") std::abort();
    });
    const auto platformRead = bench::Measure(kRepetitions, [&](int) {
        char buffer[1024];
        GetPrivateProfileStringA("Codes", lastCode.c_str(), "00000", buffer, sizeof buffer, platformPath.c_str());
    });
    bench::PrintRow("ReadProfile, last of 1000 codes", ourRead, "GetPrivateProfileStringA", platformRead);

    const auto ourWrite = bench::Measure(
        kRepetitions, [&](int i) { codeeingabe::WriteProfile(ours, "Codes", middleCode, i % 2 == 0 ? "USED" : "UNUSED"); });
    const auto platformWrite = bench::Measure(kRepetitions, [&](int i) {
        WritePrivateProfileStringA("Codes", middleCode.c_str(), i % 2 == 0 ? "USED" : "UNUSED", platformPath.c_str());
    });
    bench::PrintRow("WriteProfile, 1000 codes (atomic, durable, locked)", ourWrite, "WritePrivateProfileStringA",
                    platformWrite);

    const auto ourSection = bench::Measure(kRepetitions, [&](int) {
        if (codeeingabe::ReadSection(ours, "Codes").size() != 1000) std::abort();
    });
    const auto platformSection = bench::Measure(kRepetitions, [&](int) {
        std::string buffer(16384, '\0');
        GetPrivateProfileSectionA("Codes", buffer.data(), static_cast<DWORD>(buffer.size()), platformPath.c_str());
    });
    bench::PrintRow("ReadSection, 1000 codes", ourSection, "GetPrivateProfileSectionA", platformSection);

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
