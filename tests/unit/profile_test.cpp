#include "platform/profile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "platform/profile_document.h"

using namespace codeeingabe;
namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("codeeingabe-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path_ / "Codelist.ini", fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string FiveDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%05d", number);
    return text;
}

std::string CodeSection(int count) {
    std::string bytes = "[Codes]\r\n";
    for (int i = 0; i < count; ++i) bytes += FiveDigits(i) + "=UNUSED\r\n";
    return bytes;
}

}  // namespace

TEST(Profile, ReadsDefaultsForWhatIsMissing) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "CreditsPerCode", "2"), "2");
    EXPECT_TRUE(ReadSection(file, "Codes").empty());
    WriteBytes(file, "[Einstellungen]\r\nCreditsPerCode=\r\n");
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "CreditsPerCode", "2"), "");
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "MasterCode", "none"), "none");
    EXPECT_EQ(ReadProfile(file, "Codes", "12345", "00000"), "00000");
    EXPECT_EQ(ReadProfile(folder.path(), "Codes", "12345", "00000"), "00000");  // a folder, not a file
}

TEST(Profile, ReadCutsLongValuesTo1023Characters) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    const std::string value = std::string(1023, 'x') + std::string(977, 'y');
    WriteBytes(file, "[Einstellungen]\r\nMasterCode=" + value + "\r\n");
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "MasterCode", ""), std::string(1023, 'x'));
}

TEST(Profile, ReadsA1000CodeSectionWholeAndInOrder) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    WriteBytes(file, "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n" + CodeSection(1000));
    const std::vector<std::string> entries = ReadSection(file, "Codes");
    ASSERT_EQ(entries.size(), 1000u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(entries[static_cast<std::size_t>(i)], FiveDigits(i) + "=UNUSED");
}

TEST(Profile, WritesCreateFilesButNoFolders) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    EXPECT_TRUE(WriteProfile(file, "Einstellungen", "CreditsPerCode", "+5"));
    EXPECT_TRUE(WriteProfile(file, "Einstellungen", "MasterCode", "12345"));
    EXPECT_EQ(Bytes(file), "[Einstellungen]\r\nCreditsPerCode=+5\r\nMasterCode=12345\r\n");

    const fs::path missing = folder.path() / "Tremolan 6" / "Module" / "Codelist.ini";
    EXPECT_FALSE(WriteProfile(missing, "Codes", "12345", "USED"));
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

TEST(Profile, WritesKeepEveryOtherByte) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    const std::string before = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n" + CodeSection(3);
    WriteBytes(file, before);
    EXPECT_TRUE(WriteProfile(file, "Codes", "00001", "USED"));
    std::string expected = before;
    expected.replace(expected.find("00001=UNUSED"), 12, "00001=USED");
    EXPECT_EQ(Bytes(file), expected);
    EXPECT_EQ(ReadProfile(file, "Codes", "00001", "00000"), "USED");
    EXPECT_FALSE(fs::exists(folder.path() / "Codelist.ini.tmp"));
}

TEST(Profile, ManyKeysInOneWriteGiveTheBytesOfOneWritePerKey) {
    TempFolder folder;
    const fs::path one = folder.path() / "one.ini";
    const fs::path many = folder.path() / "many.ini";
    std::string before = CodeSection(50) + "no key here\r\n";
    for (int i = 0; i < 50; i += 7) before.replace(before.find(FiveDigits(i) + "=UNUSED"), 12, FiveDigits(i) + "=USED");
    WriteBytes(one, before);
    WriteBytes(many, before);
    for (int i = 0; i < 50; ++i) WriteProfile(one, "Codes", FiveDigits(i), "UNUSED");
    EXPECT_TRUE(WriteSectionValues(many, "Codes", "UNUSED"));
    EXPECT_EQ(Bytes(many), Bytes(one));
    EXPECT_EQ(Bytes(many), CodeSection(50) + "no key here\r\n");

    const std::string settings = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n";
    WriteBytes(one, settings);
    WriteBytes(many, settings);
    WriteProfile(one, "Einstellungen", "CreditsPerCode", "+5");
    WriteProfile(one, "Einstellungen", "MasterCode", "4711");
    EXPECT_TRUE(WriteProfileValues(many, "Einstellungen", {{"CreditsPerCode", "+5"}, {"MasterCode", "4711"}}));
    EXPECT_EQ(Bytes(many), Bytes(one));
    EXPECT_FALSE(WriteProfileValues(many, "Einstellungen", {{"CreditsPerCode", "7"}, {"MasterCode", "1\r\n2"}}));
    EXPECT_EQ(ReadProfile(many, "Einstellungen", "CreditsPerCode", ""), "7") << "a refused value stops no other";
}

// Only a value that still is what the caller saw is changed; anything else is left byte for byte.
TEST(Profile, ChangeOnlyFromTheExpectedValue) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    const std::string before = "[Codes]\r\n00001=UNUSED\r\n00002=USED\r\n";
    const struct {
        const char* key;
        bool changed;
    } cases[] = {{"00001", true}, {"00002", false}, {"00003", false}, {"", false}};
    for (const auto& c : cases) {
        WriteBytes(file, before);
        EXPECT_EQ(ChangeProfileValue(file, "Codes", c.key, "UNUSED", "USED"), c.changed) << c.key;
        EXPECT_EQ(Bytes(file) != before, c.changed) << c.key;
    }
    EXPECT_FALSE(ChangeProfileValue(folder.path() / "missing.ini", "Codes", "00001", "UNUSED", "USED"));
    EXPECT_FALSE(fs::exists(folder.path() / "missing.ini"));
}

TEST(Profile, ReadOnlyFileIsNeitherWrittenNorReplaced) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    const std::string before = CodeSection(2);
    WriteBytes(file, before);
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(WriteProfile(file, "Codes", "00000", "USED"));
    EXPECT_FALSE(ReplaceFileContent(file, "[Codes]\r\n"));
    EXPECT_EQ(Bytes(file), before);
}

// Saved as "Unicode" by an editor: read as a file that cannot be read, never written with
// single-byte lines (a file of two encodings); replacing it whole still works.
TEST(Profile, AUtf16FileReadsAsUnreadableAndIsNotEdited) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    std::string utf16 = "\xFF\xFE";
    for (char c : CodeSection(2)) utf16 += std::string{c, '\0'};
    WriteBytes(file, utf16);
    EXPECT_EQ(ReadProfileBytes(file).status, FileRead::Status::failed);
    EXPECT_EQ(ReadProfile(file, "Codes", "00000", "default"), "default");
    EXPECT_EQ(TryReadProfile(file, "Codes", "00000", "default"), std::nullopt);
    EXPECT_TRUE(ReadSection(file, "Codes").empty());
    EXPECT_FALSE(WriteProfile(file, "Einstellungen", "CreditsPerCode", "5"));
    EXPECT_FALSE(WriteSectionValues(file, "Codes", "UNUSED"));
    EXPECT_EQ(Bytes(file), utf16);
    EXPECT_TRUE(ReplaceFileContent(file, "[Codes]\r\n"));
    EXPECT_EQ(Bytes(file), "[Codes]\r\n");
}

TEST(Profile, AFolderInTheFilesPlaceReadsAsMissing) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    fs::create_directory(file);
    EXPECT_EQ(TryReadProfile(file, "Codes", "00000", "default"), "default");
    EXPECT_FALSE(WriteProfile(file, "Codes", "00000", "USED"));
    EXPECT_TRUE(fs::is_directory(file));
}

TEST(Profile, FileExistsOnlyForFiles) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(FileExists(folder.path()));
    EXPECT_FALSE(FileExists(FilePath()));
    WriteBytes(file, "");
    EXPECT_TRUE(FileExists(file));
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_TRUE(FileExists(file));
}

// A writer killed at any moment leaves the old content or the new one, whole, never a mixture.
TEST(Profile, KilledWriterLeavesAWholeFile) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    const std::string heading = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n";
    WriteBytes(file, heading + CodeSection(20) + "12345=start\r\n");
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> delayMs(0, 40);
    int sawA = 0, sawB = 0;
    for (int round = 0; round < 40; ++round) {
        {
            const std::string before = Bytes(file);
            ChildProcess writer(SiblingProgram("profile_writer"), {"flip", file.string()});
            ASSERT_TRUE(writer.Started());
            // Process start-up takes long under Wine: kill only once the writer is at work.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (Bytes(file) == before && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
            writer.Kill();
            writer.Wait();
        }
        const std::string bytes = Bytes(file);
        ASSERT_EQ(bytes.rfind(heading + CodeSection(20), 0), 0u) << "round " << round;
        const std::string value = ProfileValue(bytes, "Codes", "12345").value_or("missing");
        const bool whole = value == "start" || value == std::string(200000, 'A') || value == std::string(200000, 'B');
        ASSERT_TRUE(whole) << "round " << round << ": value of " << value.size() << " bytes";
        ASSERT_TRUE(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) << "round " << round;
        sawA += value[0] == 'A';
        sawB += value[0] == 'B';
    }
    EXPECT_GT(sawA + sawB, 0) << "the writer was never caught after a write";
}

// Two processes editing different keys of one file at the same time lose none of each other's writes.
TEST(Profile, TwoProcessesWritingAtOnceLoseNothing) {
    TempFolder folder;
    const fs::path file = folder.path() / "Codelist.ini";
    std::string before = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n";
    for (int i = 0; i < 1000; ++i) before += FiveDigits(i) + (i < 500 ? "=UNUSED\r\n" : "=USED\r\n");
    WriteBytes(file, before);
    {
        ChildProcess used(SiblingProgram("profile_writer"), {"keys", file.string(), "0", "500", "USED"});
        ChildProcess unused(SiblingProgram("profile_writer"), {"keys", file.string(), "500", "500", "UNUSED"});
        ASSERT_TRUE(used.Started() && unused.Started());
        EXPECT_EQ(used.Wait(), 0);
        EXPECT_EQ(unused.Wait(), 0);
    }
    const std::vector<std::string> entries = ReadSection(file, "Codes");
    ASSERT_EQ(entries.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(entries[static_cast<std::size_t>(i)], FiveDigits(i) + (i < 500 ? "=USED" : "=UNUSED")) << i;
    }
}
