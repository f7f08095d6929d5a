// The profile store natively, on the same 1000-code list as profile_bench under Wine, beside the
// bare file operations it is built on: reading the whole file, and replacing it durably (write,
// fsync, rename, fsync of the folder).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench_list.h"
#include "bench_stats.h"
#include "platform/profile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRepetitions = 200;

std::string WholeFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void ReplaceDurably(const fs::path& file, const std::string& bytes) {
    const fs::path temporary = fs::path(file) += ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) || fsync(fd) != 0)
        std::abort();
    close(fd);
    if (rename(temporary.c_str(), file.c_str()) != 0) std::abort();
    const int folder = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    fsync(folder);
    close(folder);
}

}  // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / "codeeingabe-native-profile-bench";
    fs::create_directories(folder);
    const fs::path ours = folder / "ours.ini";
    const fs::path plain = folder / "plain.ini";
    const std::string bytes = bench::ProfileListBytes();
    std::ofstream(ours, std::ios::binary) << bytes;
    std::ofstream(plain, std::ios::binary) << bytes;
    const std::string lastCode = bench::ProfileListCode(999);
    const std::string middleCode = bench::ProfileListCode(500);

    const auto wholeRead = bench::Measure(kRepetitions, [&](int) {
        if (WholeFile(plain).size() != bytes.size()) std::abort();
    });
    const auto ourRead = bench::Measure(kRepetitions, [&](int) {
        if (codeeingabe::ReadProfile(ours.native(), "Codes", lastCode, "00000") != "UNUSED") std::abort();
    });
    bench::PrintRow("native: ReadProfile, last of 1000 codes", ourRead, "native: read of the whole file", wholeRead);

    const auto ourWrite = bench::Measure(kRepetitions, [&](int i) {
        codeeingabe::WriteProfile(ours.native(), "Codes", middleCode, i % 2 == 0 ? "USED" : "UNUSED");
    });
    const auto plainWrite = bench::Measure(kRepetitions, [&](int) { ReplaceDurably(plain, bytes); });
    bench::PrintRow("native: WriteProfile, 1000 codes (atomic, durable, locked)", ourWrite,
                    "native: write + fsync + rename + fsync", plainWrite);

    const auto ourSection = bench::Measure(kRepetitions, [&](int) {
        if (codeeingabe::ReadSection(ours.native(), "Codes").size() != 1000) std::abort();
    });
    bench::PrintRow("native: ReadSection, 1000 codes", ourSection, "native: read of the whole file", wholeRead);

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
