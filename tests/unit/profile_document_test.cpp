#include "platform/profile_document.h"

#include <gtest/gtest.h>

#include <string>

using codeeingabe::ProfileDocument;
using codeeingabe::ProfileSectionLines;
using codeeingabe::ProfileValue;

namespace {

struct Edit {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

std::string Edited(const std::string& before, const char* section, const char* key, const char* value) {
    ProfileDocument document(before);
    EXPECT_TRUE(document.SetValue(section, key, value));
    return document.Bytes();
}

}  // namespace

TEST(ProfileDocument, WritesChangeOnlyTheirLine) {
    const std::string list = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n00123=UNUSED\r\n99999=UNUSED\r\n";
    const Edit edits[] = {
        {"in place", list, "Codes", "00123", "USED",
         "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n00123=USED\r\n99999=UNUSED\r\n"},
        {"empty value filled", list, "Einstellungen", "MasterCode", "54321",
         "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=54321\r\n\r\n[Codes]\r\n00123=UNUSED\r\n99999=UNUSED\r\n"},
        {"new key before the blank line that ends its section", list, "Einstellungen", "Extra", "1",
         "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\nExtra=1\r\n\r\n[Codes]\r\n00123=UNUSED\r\n99999=UNUSED\r\n"},
        {"new key at the end of the last section", list, "Codes", "55555", "UNUSED",
         list + "55555=UNUSED\r\n"},
        {"new section at the end", "[A]\r\nx=1\r\n", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"new file", "", "Einstellungen", "CreditsPerCode", "+5", "[Einstellungen]\r\nCreditsPerCode=+5\r\n"},
        {"no final line end", "[Codes]\r\n11111=UNUSED", "Codes", "22222", "UNUSED",
         "[Codes]\r\n11111=UNUSED\r\n22222=UNUSED\r\n"},
        {"no final line end, new section", "[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"LF and CR line ends kept", "[Codes]\n11111=UNUSED\r22222=UNUSED\n", "Codes", "22222", "USED",
         "[Codes]\n11111=UNUSED\r22222=USED\n"},
        {"duplicate keys: the first is written", "[C]\r\nk=1\r\nk=2\r\n", "C", "k", "3", "[C]\r\nk=3\r\nk=2\r\n"},
        {"names match without case", "[codes]\r\nAbc=1\r\n", "CODES", "aBC", "2", "[codes]\r\nAbc=2\r\n"},
        {"blanks around the key keep their place", "[C]\r\n k = old\r\n", "C", "k", "new", "[C]\r\n k =new\r\n"},
        {"empty section gets its first key", "[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"repeated section: existing key in its second part", "[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=2\r\n", "A", "y", "3",
         "[A]\r\nx=1\r\n[B]\r\n[A]\r\ny=3\r\n"},
    };
    for (const Edit& edit : edits) {
        EXPECT_EQ(Edited(edit.before, edit.section, edit.key, edit.value), edit.after) << edit.name;
    }
}

TEST(ProfileDocument, RefusesTextsThatWouldBreakTheFile) {
    const std::string before = "[Codes]\r\n11111=UNUSED\r\n";
    ProfileDocument document(before);
    EXPECT_FALSE(document.SetValue("Codes", "11111", "USED\r\n22222=UNUSED"));
    EXPECT_FALSE(document.SetValue("Codes", "a=b", "1"));
    EXPECT_FALSE(document.SetValue("Codes", "[X]", "1"));
    EXPECT_FALSE(document.SetValue("Co]des", "k", "1"));
    EXPECT_FALSE(document.SetValue("Codes\n", "k", "1"));
    EXPECT_TRUE(document.SetValue("Codes", "", "UNUSED"));  // a line without "=" yields no key: nothing to do
    EXPECT_EQ(document.Bytes(), before);
}

TEST(ProfileDocument, ReadsValues) {
    const std::string_view document(
        "top=level\r\n[Einstellungen]\r\nCreditsPerCode=\r\n MasterCode = 12345 \r\nnoequals\r\n\r\n"
        "[Codes]\r\n00001=UNUSED\r\n00001=USED\r\n[codes]\r\n00002=USED\r\n");
    EXPECT_EQ(ProfileValue(document, "Einstellungen", "CreditsPerCode"), "");
    EXPECT_EQ(ProfileValue(document, "einstellungen", "mastercode"), "12345");
    EXPECT_EQ(ProfileValue(document, "Einstellungen", "noequals"), std::nullopt);
    EXPECT_EQ(ProfileValue(document, "Einstellungen", "top"), std::nullopt);
    EXPECT_EQ(ProfileValue(document, "Codes", "00001"), "UNUSED");  // the first of duplicate keys wins
    EXPECT_EQ(ProfileValue(document, "Codes", "00002"), "USED");
    EXPECT_EQ(ProfileValue(document, "Missing", "00001"), std::nullopt);
}

TEST(ProfileDocument, SectionLinesAreWholeUntrimmedAndInOrder) {
    const std::string_view document(
        "[Codes]\r\n00001=UNUSED\r\n \t\r\n 00002 = USED\r\nnoequals\r\n[Other]\r\nx=1\r\n[CODES]\n00003=UNUSED");
    const std::vector<std::string> expected = {"00001=UNUSED", " 00002 = USED", "noequals", "00003=UNUSED"};
    EXPECT_EQ(ProfileSectionLines(document, "Codes"), expected);
    EXPECT_TRUE(ProfileSectionLines(document, "Missing").empty());
    EXPECT_TRUE(ProfileSectionLines("", "Codes").empty());
}

TEST(ProfileDocument, KeepsEveryByteOfAnUnchangedFile) {
    const std::string odd = "\xEF\xBB\xBF; comment\r\n\r\n[A]\r\n\tx=1 \r\r\n\n\x01\x02garbage\r\n[B";
    EXPECT_EQ(ProfileDocument(odd).Bytes(), odd);
}

// Found by fuzz/profile_document_fuzz: a section name with a blank or tab around it was written as
// a new header that no read with the same name found, while the write reported success.
TEST(ProfileDocument, SectionNamesMatchWithoutBlanksAroundThem) {
    ProfileDocument document("[Codes]\r\n00123=UNUSED\r\n");
    EXPECT_TRUE(document.SetValue(" Codes\t", "00123", "USED"));
    EXPECT_TRUE(document.SetValue("Neu\t", "k", "1"));
    EXPECT_EQ(document.Bytes(), "[Codes]\r\n00123=USED\r\n[Neu]\r\nk=1\r\n");
    EXPECT_EQ(ProfileValue(document.Bytes(), "Neu\t", "k"), "1");
    EXPECT_EQ(ProfileValue(document.Bytes(), " codes ", "00123"), "USED");
    const std::vector<std::string> expected = {"k=1"};
    EXPECT_EQ(ProfileSectionLines(document.Bytes(), "\tNeu "), expected);
}

// Saved as "UTF-8" by an editor: the mark in front hid the settings section, so that a list worth 3
// credits a code paid the default 2.
TEST(ProfileDocument, AUtf8ByteOrderMarkInFrontIsKeptAndNotReadAsText) {
    const std::string marked = "\xEF\xBB\xBF[Einstellungen]\r\nCreditsPerCode=3\r\n[Codes]\r\n12345=UNUSED\r\n";
    EXPECT_EQ(ProfileValue(marked, "Einstellungen", "CreditsPerCode"), "3");
    EXPECT_EQ(ProfileSectionLines(marked, "Codes"), std::vector<std::string>{"12345=UNUSED"});
    ProfileDocument document(marked);
    EXPECT_EQ(document.Bytes(), marked);
    EXPECT_TRUE(document.SetValue("Einstellungen", "CreditsPerCode", "4"));
    EXPECT_EQ(document.Bytes(), "\xEF\xBB\xBF[Einstellungen]\r\nCreditsPerCode=4\r\n[Codes]\r\n12345=UNUSED\r\n");
    EXPECT_EQ(ProfileDocument("\xEF\xBB\xBF").Bytes(), "\xEF\xBB\xBF");
    EXPECT_EQ(ProfileValue("\xEF\xBB\xBFk=v", "", "k"), std::nullopt) << "a key before any section stays unread";
}

TEST(ProfileDocument, ManyKeysAtOnceEqualOneWritePerKey) {
    const std::string before =
        "[Einstellungen]\r\nMasterCode=1\r\n\r\n[Codes]\r\n00001=USED\r\n=UNUSED\r\nnoequals\r\n 00002 =USED\r\n"
        "[Other]\r\n00003=USED\r\n[codes]\r\n00004=USED\r\n\r\n";
    const std::vector<std::string> keys = {"00001", "", "00002", "00004", "00001", "99999", "a=b", "00003"};
    ProfileDocument oneByOne(before);
    bool allSet = true;
    for (const std::string& key : keys) allSet = oneByOne.SetValue("Codes", key, "UNUSED") && allSet;
    ProfileDocument atOnce(before);
    EXPECT_EQ(atOnce.SetValues("Codes", keys, "UNUSED"), allSet);
    EXPECT_FALSE(allSet) << "a key with \"=\" cannot be set";
    EXPECT_EQ(atOnce.Bytes(), oneByOne.Bytes());
    EXPECT_EQ(ProfileValue(atOnce.Bytes(), "Codes", "99999"), "UNUSED");
    EXPECT_EQ(ProfileValue(atOnce.Bytes(), "Other", "00003"), "USED");
}

// Found by fuzz/profile_document_fuzz: SetValues skipped empty keys and so reported success where
// SetValue refuses the section or the value.
TEST(ProfileDocument, ManyKeysAtOnceRefuseWhatOneWriteRefusesEvenForEmptyKeys) {
    const std::string before = "[Codes]\r\n00001=USED\r\nnoequals\r\n";
    const std::vector<std::string> keys = {"", " "};
    for (const auto& [section, value] : {std::pair{"Co]des", "UNUSED"}, std::pair{"Codes", "UN\r\nUSED"}}) {
        ProfileDocument oneByOne(before);
        EXPECT_FALSE(oneByOne.SetValue(section, "", value));
        ProfileDocument atOnce(before);
        EXPECT_FALSE(atOnce.SetValues(section, keys, value)) << section << " " << value;
        EXPECT_EQ(atOnce.Bytes(), before);
    }
    ProfileDocument document(before);
    EXPECT_TRUE(document.SetValues("Codes", keys, "UNUSED"));
    EXPECT_EQ(document.Bytes(), before);
}
