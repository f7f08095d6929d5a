// How the code list operations grow with the list: 10 to 100,000 codes (lists beyond 1000 are
// hand-edited files; generation stops at 1000), next to the platform's profile functions.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_list.h"
#include "bench_stats.h"
#include "codelist/codelist_export.h"
#include "codelist/codelist_file.h"
#include "platform/get_field.h"
#include "platform/profile.h"

namespace fs = std::filesystem;
using namespace codeeingabe;

namespace {

using bench::FiveDigits;

std::vector<std::string> Codes(int count) {
    std::vector<std::string> codes;
    for (int i = 0; i < count; ++i) codes.push_back(FiveDigits(count == 100000 ? i : i * 7919 % 100000));
    return codes;
}

void WriteList(const fs::path& file, const std::vector<std::string>& codes) {
    std::ofstream out(file, std::ios::binary);
    out << CodeListHeading(2, "");
    for (const std::string& code : codes) out << CodeListLine(code);
}

std::vector<std::string> PlatformSection(const std::string& file) {
    std::vector<char> buffer(256);
    DWORD got = 0;
    while ((got = GetPrivateProfileSectionA("Codes", buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str())) ==
           buffer.size() - 2) {
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> entries;
    for (std::size_t at = 0; at < got && buffer[at] != '\0'; at += entries.back().size() + 1)
        entries.emplace_back(&buffer[at]);
    return entries;
}

void Row(int count, const char* operation, bench::Figures ours, const bench::Figures* platform) {
    if (platform != nullptr) {
        std::printf("%7d  %-34s %10.2f %10.2f   %10.2f %10.2f\n", count, operation, ours.median_us / 1000,
                    ours.p95_us / 1000, platform->median_us / 1000, platform->p95_us / 1000);
    } else {
        std::printf("%7d  %-34s %10.2f %10.2f   %10s %10s\n", count, operation, ours.median_us / 1000, ours.p95_us / 1000,
                    "-", "-");
    }
}

}  // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / "codeeingabe-growth-bench";
    fs::create_directories(folder);
    const fs::path ours = folder / "Codelist.ini";
    const fs::path platform = folder / "platform.ini";
    const std::string platformPath = platform.string();

    std::printf("Growth with the list (ms; platform = Wine's profile functions; '-' where it has none or takes minutes)\n");
    std::printf("%7s  %-34s %10s %10s   %10s %10s\n", "codes", "operation", "median", "p95", "platform", "p95");
    for (const int count : {10, 100, 1000, 10000, 100000}) {
        const std::vector<std::string> codes = Codes(count);
        WriteList(ours, codes);
        WriteList(platform, codes);
        const int repetitions = count >= 100000 ? 5 : count >= 10000 ? 20 : 100;
        const std::string& last = codes.back();

        const auto lookup =
            bench::Measure(repetitions, [&](int) { ReadProfile(ours, kCodesSection, last, kMissingCodeState); });
        const auto platformLookup = bench::Measure(repetitions, [&](int) {
            char value[1024];
            GetPrivateProfileStringA("Codes", last.c_str(), "00000", value, sizeof value, platformPath.c_str());
        });
        Row(count, "code lookup (last code)", lookup, &platformLookup);

        const auto booking =
            bench::Measure(repetitions, [&](int i) { WriteProfile(ours, kCodesSection, last, i % 2 ? kUnused : kUsed); });
        const auto platformBooking = bench::Measure(repetitions, [&](int i) {
            WritePrivateProfileStringA("Codes", last.c_str(), i % 2 ? "UNUSED" : "USED", platformPath.c_str());
        });
        Row(count, "booking (one key written)", booking, &platformBooking);

        const auto freeCount = bench::Measure(repetitions, [&](int) { CountFreeCodes(ReadSection(ours, kCodesSection)); });
        const auto platformFreeCount =
            bench::Measure(repetitions, [&](int) { CountFreeCodes(PlatformSection(platformPath)); });
        Row(count, "free count (section read)", freeCount, &platformFreeCount);

        // A redeemed code before each reset, so that every reset really writes.
        const auto reset = bench::Measure(
            std::min(repetitions, 20), [&](int) { WriteSectionValues(ours, kCodesSection, kUnused); },
            [&](int) { WriteProfile(ours, kCodesSection, codes.front(), kUsed); });
        if (count <= 1000) {
            const auto platformReset = bench::Measure(
                3,
                [&](int) {
                    for (const std::string& entry : PlatformSection(platformPath)) {
                        WritePrivateProfileStringA("Codes", GetField(entry, 1, "=").c_str(), "UNUSED", platformPath.c_str());
                    }
                },
                [&](int) { WritePrivateProfileStringA("Codes", codes.front().c_str(), "USED", platformPath.c_str()); });
            Row(count, "reset (every code UNUSED)", reset, &platformReset);
        } else {
            Row(count, "reset (every code UNUSED)", reset, nullptr);
        }

        const auto exportText = bench::Measure(std::min(repetitions, 20), [&](int) {
            ReplaceFileContent(folder / "Codelist.txt", CodeListExportText(ReadSection(ours, kCodesSection)));
        });
        Row(count, "text export (read, number, write)", exportText, nullptr);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
