#include "platform/profile_document.h"

#include <gtest/gtest.h>

using namespace codeeingabe;

namespace {

const std::string kList =
    "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n00123=UNUSED\r\n99999=UNUSED\r\n";
const std::string kBom = "\xEF\xBB\xBF";

TEST(ProfileDocument, EditsChangeOnlyTheirLine) {
    // after: nullopt when the edit is refused and nothing changes.
    // clang-format off
    const struct { std::string before; const char* section; const char* key; const char* value; std::optional<std::string> after; } edits[] = {
        {kList, "Codes", "00123", "USED",
         "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n00123=USED\r\n99999=UNUSED\r\n"},
        {kList, "Einstellungen", "MasterCode", "54321",
         "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=54321\r\n\r\n[Codes]\r\n00123=UNUSED\r\n99999=UNUSED\r\n"},
        {kList, "Einstellungen", "Extra", "1",  // before the blank line that ends the section
         "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\nExtra=1\r\n\r\n[Codes]\r\n00123=UNUSED\r\n99999=UNUSED\r\n"},
        {kList, "Codes", "55555", "UNUSED", kList + "55555=UNUSED\r\n"},
        {"[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"}, {"", "E", "C", "+5", "[E]\r\nC=+5\r\n"},
        {"[Codes]\r\n11111=UNUSED", "Codes", "22222", "UNUSED", "[Codes]\r\n11111=UNUSED\r\n22222=UNUSED\r\n"},
        {"[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"}, {"[C]\r\nk=1\r\nk=2\r\n", "C", "k", "3", "[C]\r\nk=3\r\nk=2\r\n"},
        {"[Codes]\n11111=UNUSED\r22222=UNUSED\n", "Codes", "22222", "USED", "[Codes]\n11111=UNUSED\r22222=USED\n"},
        {"[codez]\r\nAbz=1\r\n", "CODEZ", "aBZ", "2", "[codez]\r\nAbz=2\r\n"},
        {"[C]\r\n k = old\r\n", "C", "k", "new", "[C]\r\n k =new\r\n"}, {"[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=2\r\n", "A", "y", "3", "[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=3\r\n"},
        {"[A]\r\nx=1\r\n\r\n[A]\r\ny=2\r\n\r\n", "A", "z", "3", "[A]\r\nx=1\r\nz=3\r\n\r\n[A]\r\ny=2\r\n\r\n"},
        {"[Codes]\r\n00123=UNUSED\r\n", " Codes\t", "00123", "USED", "[Codes]\r\n00123=USED\r\n"},
        {"[Codes]\r\n", "Neu\t", "k", "1", "[Codes]\r\n[Neu]\r\nk=1\r\n"},
        {kBom + "[E]\r\nC=3\r\n", "E", "C", "4", kBom + "[E]\r\nC=4\r\n"}, {kBom, "E", "C", "4", kBom + "[E]\r\nC=4\r\n"},
        // An empty key (a line without "=") names nothing: every byte stays, odd ones included.
        {kBom + "; x\r\n\r\n[A]\r\n\tx=1 \r\r\n\n\x01garbage\r\n[B", "A", "", "1",
         kBom + "; x\r\n\r\n[A]\r\n\tx=1 \r\r\n\n\x01garbage\r\n[B"},
        {kList, "Codes", "00123", "USED\r\n22222=UNUSED", std::nullopt}, {kList, "Codes", "a=b", "1", std::nullopt},
        {kList, "Codes", "[X]", "1", std::nullopt}, {kList, "Co]des", "k", "1", std::nullopt},
        {kList, "Codes\n", "k", "1", std::nullopt}, {kList, "Codes", "k\r", "1", std::nullopt},
        // A key of its own, never a comment; a booking writes its value plain.
        {kList, "Codes", ";k", "1", std::nullopt}, {"[A]\r\n;k=1\r\n", "A", "k", "2", "[A]\r\n;k=1\r\nk=2\r\n"},
        {"[Codes]\r\n12345=\"UNUSED\"\r\n", "Codes", "12345", "USED", "[Codes]\r\n12345=USED\r\n"},
    };
    // clang-format on
    for (const auto& edit : edits) {
        ProfileDocument document(edit.before);
        EXPECT_EQ(document.SetValue(edit.section, edit.key, edit.value), edit.after.has_value()) << edit.before;
        EXPECT_EQ(document.Bytes(), edit.after.value_or(edit.before)) << edit.section << " " << edit.key;
    }
}

TEST(ProfileDocument, ReadsValuesAndSectionLines) {
    const std::string document =
        kBom +
        "[Einstellungen]\r\nCreditsPerCode=\r\n MasterCode = 12345 \r\nnoequals\r\n\r\n"
        "[Codes]\r\n00001=UNUSED\r\n \t\r\n 00002 = USED\r\n00001=USED\r\n[Other]\r\nx=1\r\n[codes]\n00003=UNUSED";
    // clang-format off
    const struct { const char* section; const char* key; std::optional<std::string> value; } reads[] = {
        {"Einstellungen", "CreditsPerCode", ""}, {"einstellungen", "mastercode", "12345"},
        {" Einstellungen\t", "MasterCode", "12345"}, {"Einstellungen", "noequals", std::nullopt},
        {"Codes", "00001", "UNUSED"}, {"Codes", "00002", "USED"}, {"Codes", "00003", "UNUSED"},
        {"Missing", "00001", std::nullopt}, {"Other", "00001", std::nullopt},
    };
    // clang-format on
    for (const auto& read : reads) EXPECT_EQ(ProfileValue(document, read.section, read.key), read.value) << read.key;

    const std::vector<std::string> codes = {"00001=UNUSED", " 00002 = USED", "00001=USED", "00003=UNUSED"};
    EXPECT_EQ(ProfileSectionLines(document, "\tcodes "), codes);
    EXPECT_TRUE(ProfileSectionLines(document, "Missing").empty());
    EXPECT_EQ(ProfileSectionLines("[A]\r\n\r\nk\r\n", "A"), std::vector<std::string>{"k"});
    EXPECT_EQ(ProfileValue("top=level\r\n[A]\r\n", "", "top"), std::nullopt) << "no key stands outside a section";

    // Hand-edited values: one pair of matching quotes goes, blanks inside stay; ";" starts a comment.
    const std::string quoted =
        "[Q]\r\nd=\"3\"\r\ns= 'v' \r\nb=\"  x  \"\r\nn='\"v\"'\r\nm=\"v'\r\none=\"\r\n;k=1\r\n  ;c=2\r\n";
    // clang-format off
    const std::pair<const char*, std::optional<std::string>> values[] = {
        {"d", "3"}, {"s", "v"}, {"b", "  x  "}, {"n", "\"v\""}, {"m", "\"v'"}, {"one", "\""}, {";k", std::nullopt},
        {"k", std::nullopt}, {";c", std::nullopt},
    };
    // clang-format on
    for (const auto& [key, value] : values) EXPECT_EQ(ProfileValue(quoted, "Q", key), value) << key;
    EXPECT_EQ(ProfileSectionLines(quoted, "Q").size(), 6u) << "comments are no entries";
}

// One pass for many keys must give the bytes and the result of one SetValue per key.
TEST(ProfileDocument, ManyKeysAtOnceEqualOneWritePerKey) {
    const std::string before =
        "[Einstellungen]\r\nMasterCode=1\r\n\r\n[Codes]\r\n00001=USED\r\n=UNUSED\r\nnoequals\r\n 00002 =USED\r\n"
        "[Other]\r\n00003=USED\r\n[codes]\r\n00004=USED\r\n\r\n";
    // clang-format off
    const struct { const char* section; std::vector<std::string> keys; const char* value; bool allSet; } cases[] = {
        {"Codes", {"00001", "", "00002", "00004", "00001", "99999", "00003"}, "UNUSED", true},
        {"Codes", {"00001", "a=b", "00002"}, "UNUSED", false}, {"Co]des", {"", " "}, "UNUSED", false},
        {"Codes", {"", " "}, "UN\r\nUSED", false}, {"Codes", {"00001"}, "UN\r\nUSED", false}, {"Neu", {"a", "b"}, "1", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        ProfileDocument oneByOne(before);
        bool allSet = true;
        for (const std::string& key : c.keys) allSet = oneByOne.SetValue(c.section, key, c.value) && allSet;
        ProfileDocument atOnce(before);
        EXPECT_EQ(atOnce.SetValues(c.section, c.keys, c.value), c.allSet) << c.section << " " << c.value;
        EXPECT_EQ(allSet, c.allSet);
        EXPECT_EQ(atOnce.Bytes(), oneByOne.Bytes()) << c.section << " " << c.value;
    }
}

}  // namespace
