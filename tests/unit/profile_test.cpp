#include "platform/profile.h"

#include <gtest/gtest.h>

#include "platform/profile_document.h"
#include "test_files.h"


using namespace codeeingabe;


const char* const kList = "[E]|C=2|M=||[Codes]|1=U|";

// An edit changes its line only, or adds a line or a section; after is null where the edit is
// refused and nothing may change. Setting the one key through SetValues does the same.
TEST(ProfileDocument, EditsAndReads) {
    // clang-format off
    const struct { const char* before; const char* section; const char* key; const char* value; const char* after; } edits[] = {
        {kList, "Codes", "1", "USED", "[E]|C=2|M=||[Codes]|1=USED|"}, {kList, "E", "M", "5", "[E]|C=2|M=5||[Codes]|1=U|"},
        {kList, "E", "X", "1", "[E]|C=2|M=|X=1||[Codes]|1=U|"}, {kList, "Codes", "2", "U", "[E]|C=2|M=||[Codes]|1=U|2=U|"},
        {"[A]|x=1|", "B", "y", "2", "[A]|x=1|[B]|y=2|"}, {"", "E", "C", "+5", "[E]|C=+5|"}, {"[C]|1=U", "C", "2", "U", "[C]|1=U|2=U|"},
        {"[A]|x=1", "B", "y", "2", "[A]|x=1|[B]|y=2|"}, {"[C]|k=1|k=2|", "C", "k", "3", "[C]|k=3|k=2|"},
        {"[C]\n1=U\r2=U\n", "C", "2", "USED", "[C]\n1=U\r2=USED\n"}, {"[codez]|Abz=1|", "CODEZ", "aBZ", "2", "[codez]|Abz=2|"},
        {"[C]| k = old|", "C", "k", "new", "[C]| k =new|"}, {"[A]|[B]|", "A", "k", "v", "[A]|k=v|[B]|"},
        {"[A]|x=1|[B]|[A]|y=2|", "A", "y", "3", "[A]|x=1|[B]|[A]|y=3|"}, {"[A]|x=1||[A]|y=2||", "A", "z", "3", "[A]|x=1|z=3||[A]|y=2||"},
        {"[C]|1=U|", " C\t", "1", "USED", "[C]|1=USED|"}, {"[C]|", "Neu\t", "k", "1", "[C]|[Neu]|k=1|"},
        {"\xEF\xBB\xBF[E]|C=3|", "E", "C", "4", "\xEF\xBB\xBF[E]|C=4|"}, {"\xEF\xBB\xBF", "E", "C", "4", "\xEF\xBB\xBF[E]|C=4|"},
        // An empty key names nothing: every byte stays, odd ones included.
        {"\xEF\xBB\xBF; x||[A]|\tx=1 \r|\n\x01garbage|[B", "A", "", "1", "\xEF\xBB\xBF; x||[A]|\tx=1 \r|\n\x01garbage|[B"},
        {kList, "Codes", "1", "USED\r\n2=U", nullptr}, {kList, "Codes", "a=b", "1", nullptr}, {kList, "Codes", "[X]", "1", nullptr},
        {kList, "Co]des", "k", "1", nullptr}, {kList, "Co]des", "", "1", nullptr}, {kList, "Codes\n", "k", "1", nullptr},
        {kList, "Codes", "k\r", "1", nullptr}, {kList, "Codes", "", "\n", nullptr},
        // A key of its own, never a comment; a booking writes its value plain.
        {kList, "Codes", ";k", "1", nullptr}, {"[A]|;k=1|", "A", "k", "2", "[A]|;k=1|k=2|"},
        {"[C]|1=\"U\"|", "C", "1", "USED", "[C]|1=USED|"},
    };
    // clang-format on
    for (const auto& e : edits) {
        SCOPED_TRACE(std::string(e.before) + " " + e.section + " " + e.key);
        ProfileDocument one(Crlf(e.before)), many(Crlf(e.before));
        EXPECT_EQ(one.SetValue(e.section, e.key, e.value), e.after != nullptr);
        EXPECT_EQ(one.Bytes(), Crlf(e.after ? e.after : e.before));
        EXPECT_TRUE(many.SetValues(e.section, {e.key}, e.value) == (e.after != nullptr) && many.Bytes() == one.Bytes());
        // A written key reads back as written, and writing it again changes nothing.
        EXPECT_TRUE(!e.after || !*e.key || ProfileValue(one.Bytes(), e.section, e.key) == ValueAsRead(e.value));
        EXPECT_TRUE(one.SetValue(e.section, e.key, e.value) == (e.after != nullptr) && one.Bytes() == many.Bytes());
    }
    // Many keys at once, some new, repeated, empty or refused, in one pass.
    ProfileDocument many(Crlf("[E]|M=1||[Codes]|1=USED|=U|noequals| 2 =USED|[Other]|3=USED|[codes]|4=USED||"));
    EXPECT_FALSE(many.SetValues("Codes", {"1", "", "2", "a=b", "4", "1", "9", "3"}, "U"));
    EXPECT_EQ(many.Bytes(), Crlf("[E]|M=1||[Codes]|1=U|=U|noequals| 2 =U|9=U|3=U|[Other]|3=USED|[codes]|4=U||"));

    // Names match without regard to case and blanks around them; values lose blanks around them and
    // one pair of matching quotes; ";" starts a comment.
    const std::string document = Crlf(
        "\xEF\xBB\xBF[E]|C=| M = 12345 |noequals||[Codes]|1=U| \t|k| 2 = USED|1=USED|[Other]|x=1|[codes]\n3=U\n"
        "[Q]|d=\"3\"|s= 'v' |b=\"  x  \"|n='\"v\"'|m=\"v'|one=\"|;k=1|  ;c=2|e=''");
    // clang-format off
    const struct { const char* section; const char* key; std::optional<std::string> value; } reads[] = {
        {"E", "C", ""}, {"e", "m", "12345"}, {" E\t", "M", "12345"}, {"E", "noequals", std::nullopt}, {"Codes", "1", "U"},
        {"Codes", "2", "USED"}, {"Codes", "3", "U"}, {"Missing", "1", std::nullopt}, {"Other", "1", std::nullopt},
        {"Q", "d", "3"}, {"Q", "s", "v"}, {"Q", "b", "  x  "}, {"Q", "n", "\"v\""}, {"Q", "m", "\"v'"}, {"Q", "one", "\""}, {"Q", "e", ""},
        {"Q", ";k", std::nullopt}, {"Q", "k", std::nullopt}, {"Q", ";c", std::nullopt},
    };
    // clang-format on
    for (const auto& read : reads) EXPECT_EQ(ProfileValue(document, read.section, read.key), read.value) << read.key;
    EXPECT_EQ(ProfileSectionLines(document, "\tcodes "),
              (std::vector<std::string>{"1=U", "k", " 2 = USED", "1=USED", "3=U"}));
    EXPECT_EQ(ProfileSectionLines(document, "Q").size(), 7u) << "comments are no entries";
    EXPECT_TRUE(!ProfileValue(Crlf("top=level|[A]|"), "", "top") && ProfileSectionLines(Crlf("top=level|[A]|"), "").empty())
        << "no key stands outside a section";
}


// Saved as "Unicode" by an editor, a file is unreadable for the single-byte rules; a folder in a
// file's place is no file; a read-only file is not written. None of them is edited or rebuilt.
TEST(Profile, Files) {
    TempFolder folder;
    const fs::path file = folder / "Codelist.ini", utf16 = folder / "Utf16.ini", dir = folder / "Folder.ini",
                   readOnly = folder / "ReadOnly.ini";
    EXPECT_TRUE(WriteProfile(file, "E", "C", "+5") && WriteProfile(file, "E", "M", "") && WriteProfile(file, "E", "", "1"));
    EXPECT_TRUE(WriteProfileValues(file, "E", {{"C", "7"}, {"", "1"}, {"N", std::string(1030, 'x')}}));
    EXPECT_EQ(Bytes(file), Crlf("[E]|C=7|M=|N=" + std::string(1030, 'x') + "|"));
    EXPECT_FALSE(fs::exists(folder / "Codelist.ini.tmp"));
    EXPECT_EQ(ReadProfile(file, "E", "M", "2") + ReadProfile(file, "E", "N", ""), std::string(1023, 'x'))
        << "an empty value is no missing one; long ones are cut as the platform cuts them";
    EXPECT_FALSE(WriteProfileValues(file, "E", {{"C", "8"}, {"M", "1\r\n2"}}));
    EXPECT_EQ(ReadProfile(file, "E", "C", ""), "8") << "a refused value stops no other";
    WriteBytes(file, Crlf("[Codes]|1=USED|2=UNUSED| 3 = USED |no key|=USED|[X]|4=USED|"));
    EXPECT_TRUE(WriteSectionValues(file, "Codes", "UNUSED"));
    EXPECT_EQ(Bytes(file), Crlf("[Codes]|1=UNUSED|2=UNUSED| 3 =UNUSED|no key|=USED|[X]|4=USED|"));
    EXPECT_EQ(ReadSection(file, "codes"),
              (std::vector<std::string>{"1=UNUSED", "2=UNUSED", " 3 =UNUSED", "no key", "=USED"}));

    WriteBytes(utf16, Utf16(Crlf("[Codes]|1=UNUSED|")));
    WriteBytes(readOnly, Crlf("[Codes]|1=UNUSED|"));
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directory(dir);
    EXPECT_TRUE(ReadProfile(utf16, "Codes", "1", "default") == "default" && ReadSection(utf16, "Codes").empty());
    EXPECT_EQ(TryReadProfile(utf16, "Codes", "1", "default"), std::nullopt);
    EXPECT_EQ(TryReadProfile(dir, "Codes", "1", "default"), "default");
    EXPECT_TRUE(FileExists(readOnly) && !FileExists(dir) && !FileExists(folder / "missing") && !FileExists(FilePath()));
    for (const fs::path& path : {readOnly, utf16, dir}) {
        const std::string before = Bytes(path);
        EXPECT_FALSE(WriteProfile(path, "Codes", "1", "USED") || WriteSectionValues(path, "Codes", "USED") ||
                     WriteProfileValues(path, "Codes", {{"1", "USED"}}) ||
                     ChangeProfileValue(path, "Codes", "1", "UNUSED", "USED"))
            << path;
        EXPECT_EQ(Bytes(path), before) << path;
    }
    EXPECT_FALSE(ReplaceFileContent(readOnly, "[Codes]\r\n"));
    EXPECT_TRUE(ReplaceFileContent(utf16, "[Codes]\r\n") && Bytes(utf16) == "[Codes]\r\n");
    EXPECT_FALSE(WriteProfile(folder / "Module" / "Codelist.ini", "Codes", "1", "USED") || fs::exists(folder / "Module"))
        << "the module never makes its folder";
    fs::permissions(readOnly, fs::perms::owner_all);
}
