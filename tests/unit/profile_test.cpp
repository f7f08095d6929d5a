#include "platform/profile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "child_process.h"
#include "platform/profile_document.h"
#include "test_files.h"

using namespace codeeingabe;

namespace {

const std::string kSettings = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n";

std::string FiveDigits(int number) {
    const std::string digits = std::to_string(number);
    return std::string(5 - digits.size(), '0') + digits;
}

// "[Codes]" and the codes 00000 onwards, the first `used` of them "USED".
std::string CodeSection(int count, int used = 0) {
    std::string bytes = "[Codes]\r\n";
    for (int i = 0; i < count; ++i) bytes += FiveDigits(i) + (i < used ? "=USED\r\n" : "=UNUSED\r\n");
    return bytes;
}

// Saved as "Unicode" by an editor, a file is unreadable for the single-byte rules and never edited;
// a folder in a file's place is no file; a read-only file is not written.
TEST(Profile, ReadsAndFilesThatMustNotBeEdited) {
    TempFolder folder;
    const fs::path file = folder / "Codelist.ini", utf16 = folder / "Utf16.ini", dir = folder / "Folder.ini",
                   readOnly = folder / "ReadOnly.ini";
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "CreditsPerCode", "2"), "2");
    EXPECT_TRUE(ReadSection(file, "Codes").empty());
    WriteBytes(file, "[Einstellungen]\r\nCreditsPerCode=\r\nMasterCode=" + std::string(1023, 'x') + "yy\r\n");
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "CreditsPerCode", "2"), "");
    EXPECT_EQ(ReadProfile(file, "Einstellungen", "MasterCode", ""), std::string(1023, 'x'));  // as the platform cuts
    EXPECT_EQ(ReadProfile(file, "Codes", "12345", "00000"), "00000");
    WriteBytes(utf16, Utf16(CodeSection(2)));
    WriteBytes(readOnly, CodeSection(2));
    MakeReadOnly(readOnly);
    fs::create_directory(dir);
    EXPECT_EQ(ReadProfileBytes(utf16).status, FileRead::Status::failed);
    EXPECT_EQ(ReadProfile(utf16, "Codes", "00000", "default"), "default");
    EXPECT_EQ(TryReadProfile(utf16, "Codes", "00000", "default"), std::nullopt);
    EXPECT_TRUE(ReadSection(utf16, "Codes").empty());
    EXPECT_EQ(TryReadProfile(dir, "Codes", "00000", "default"), "default");
    EXPECT_TRUE(FileExists(readOnly) && !FileExists(dir) && !FileExists(folder / "missing") && !FileExists(FilePath()));
    for (const fs::path& path : {readOnly, utf16, dir}) {
        const std::string before = Bytes(path);
        EXPECT_FALSE(WriteProfile(path, "Codes", "00000", "USED")) << path;
        EXPECT_FALSE(ChangeProfileValue(path, "Codes", "00000", "UNUSED", "USED")) << path;
        EXPECT_FALSE(WriteSectionValues(path, "Codes", "USED")) << path;
        EXPECT_EQ(Bytes(path), before) << path;
    }
    EXPECT_FALSE(ReplaceFileContent(readOnly, "[Codes]\r\n"));
    EXPECT_TRUE(ReplaceFileContent(utf16, "[Codes]\r\n") && Bytes(utf16) == "[Codes]\r\n");
    EXPECT_FALSE(WriteProfile(folder / "Module" / "Codelist.ini", "Codes", "00000", "USED"));
    EXPECT_FALSE(fs::exists(folder / "Module")) << "the module never makes its folder";
}

TEST(Profile, Writes) {
    TempFolder folder;
    const fs::path file = folder / "Codelist.ini", many = folder / "many.ini";
    EXPECT_TRUE(WriteProfile(file, "Einstellungen", "CreditsPerCode", "+5"));
    EXPECT_TRUE(WriteProfile(file, "Einstellungen", "MasterCode", "12345"));
    EXPECT_EQ(Bytes(file), "[Einstellungen]\r\nCreditsPerCode=+5\r\nMasterCode=12345\r\n");
    EXPECT_FALSE(fs::exists(folder / "Codelist.ini.tmp"));
    for (const auto& [key, changed] : {std::pair{"00001", true}, {"00002", false}, {"00003", false}, {"", false}}) {
        WriteBytes(file, "[Codes]\r\n00001=UNUSED\r\n00002=USED\r\n");
        EXPECT_EQ(ChangeProfileValue(file, "Codes", key, "UNUSED", "USED"), changed) << key;
        EXPECT_EQ(Bytes(file) != "[Codes]\r\n00001=UNUSED\r\n00002=USED\r\n", changed) << key;
    }

    // Setting a whole section, or several keys, in one rewrite leaves the bytes of one write per key.
    WriteBytes(many, CodeSection(50, 7) + "no key here\r\n");
    EXPECT_TRUE(WriteSectionValues(many, "Codes", "UNUSED"));
    EXPECT_EQ(Bytes(many), CodeSection(50) + "no key here\r\n");
    WriteBytes(many, kSettings);
    EXPECT_TRUE(WriteProfileValues(many, "Einstellungen", {{"CreditsPerCode", "+5"}, {"MasterCode", "4711"}}));
    EXPECT_EQ(Bytes(many), "[Einstellungen]\r\nCreditsPerCode=+5\r\nMasterCode=4711\r\n\r\n");
    EXPECT_FALSE(WriteProfileValues(many, "Einstellungen", {{"CreditsPerCode", "7"}, {"MasterCode", "1\r\n2"}}));
    EXPECT_EQ(ReadProfile(many, "Einstellungen", "CreditsPerCode", ""), "7") << "a refused value stops no other";
}

// A writer killed at any moment leaves the old content or the new one, whole, never a mixture.
TEST(Profile, KilledWriterLeavesAWholeFile) {
    TempFolder folder;
    const fs::path file = folder / "Codelist.ini";
    const std::string start = kSettings + CodeSection(20);
    WriteBytes(file, start + "12345=start\r\n");
    int caught = 0;
    for (int round = 0; round < 40; ++round) {
        {
            const std::string before = Bytes(file);
            ChildProcess writer("profile_writer", {"flip", file.string()});
            // Process start-up takes long under Wine: kill only once the writer is at work.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (Bytes(file) == before && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(round));
            writer.Kill();
        }
        const std::string bytes = Bytes(file);
        ASSERT_TRUE(bytes.starts_with(start) && bytes.ends_with("\r\n")) << "round " << round;
        const std::string value = ProfileValue(bytes, "Codes", "12345").value_or("missing");
        ASSERT_TRUE(value == "start" || value == std::string(200000, value[0])) << "round " << round;
        caught += value != "start";
    }
    EXPECT_GT(caught, 0) << "the writer was never caught after a write";
}

// Two processes editing different keys of one file at the same time lose none of each other's writes.
TEST(Profile, TwoProcessesWritingAtOnceLoseNothing) {
    TempFolder folder;
    const fs::path file = folder / "Codelist.ini";
    WriteBytes(file, kSettings + CodeSection(1000, 500));
    {
        ChildProcess unused("profile_writer", {"keys", file.string(), "0", "500", "UNUSED"});
        ChildProcess used("profile_writer", {"keys", file.string(), "500", "500", "USED"});
    }
    std::string expected = kSettings + "[Codes]\r\n";
    for (int i = 0; i < 1000; ++i) expected += FiveDigits(i) + (i < 500 ? "=UNUSED\r\n" : "=USED\r\n");
    EXPECT_EQ(Bytes(file), expected);
    EXPECT_EQ(ReadSection(file, "Codes").size(), 1000u);
}

}  // namespace
