#include "codelist/generation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "codelist/codelist_file.h"
#include "seeded_random.h"

namespace codeeingabe {
namespace {

using test::ConstantRandom;
using test::FailingRandom;
using test::FixedClock;
using test::IsFiveDigits;
using test::SeededRandom;

// Hands out the given codes in turn, so that a run's file can be known byte for byte.
class ScriptedCodes : public CodeSource {
public:
    explicit ScriptedCodes(std::vector<std::string> codes) : codes_(std::move(codes)) {}
    std::string GenerateCode() override { return codes_.at(next_++); }
    std::size_t Drawn() const { return next_; }

private:
    std::vector<std::string> codes_;
    std::size_t next_ = 0;
};

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < file.size()) {
        const std::size_t end = file.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(file.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(file.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(RequestedCodeCountTest, ReadsTheCountByTheCreditsRule) {
    const std::vector<std::pair<std::string, std::optional<std::size_t>>> cases = {
        {"250", 250},  {"1", 1},       {"1000", 1000}, {"12ab", 12},   {"2.5", 2},      {"3.5", 4},
        {"1,5", 1},    {"1.5", 2},     {" 2 5 0", 250}, {"1e3", 1000}, {"&H3E8", 1000}, {"007", 7},
        {"9e99", std::nullopt},  {"1001", std::nullopt}, {"0", std::nullopt},  {"-3", std::nullopt},
        {"", std::nullopt},      {"0.5", std::nullopt},  {"abc", std::nullopt}, {"1000.5", 1000},
        {"1000.6", std::nullopt}, {"65537", std::nullopt}, {"-65535", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE("text: \"" + text + "\"");
        EXPECT_EQ(RequestedCodeCount(text), expected);
    }
}

TEST(CodeListGenerationTest, ExactBytesAroundFixedCodesWithDuplicatesDropped) {
    ScriptedCodes codes({"00042", "12345", "00042", "99999", "12345", "00000", "55555"});
    CodeListGeneration generation(codes);
    EXPECT_EQ(generation.CreateCodeList(4, 5, "31415"),
              "[Einstellungen]\r\n"
              "CreditsPerCode=5\r\n"
              "MasterCode=31415\r\n"
              "\r\n"
              "[Codes]\r\n"
              "00042=UNUSED\r\n"
              "12345=UNUSED\r\n"
              "99999=UNUSED\r\n"
              "00000=UNUSED\r\n");
    EXPECT_EQ(codes.Drawn(), 6u) << "the loop ends as soon as the fourth different code is in";
    EXPECT_EQ(generation.CodeCount(), 4u);
    for (const char* code : {"00042", "12345", "99999", "00000"}) EXPECT_TRUE(generation.CodeExists(code)) << code;
    EXPECT_FALSE(generation.CodeExists("55555"));
}

TEST(CodeListGenerationTest, OneCodeGivesOneLineAndEachRunStartsAfresh) {
    ScriptedCodes codes({"00001", "00002", "00001"});
    CodeListGeneration generation(codes);
    EXPECT_EQ(generation.CreateCodeList(1, -3, ""),
              "[Einstellungen]\r\nCreditsPerCode=-3\r\nMasterCode=\r\n\r\n[Codes]\r\n00001=UNUSED\r\n");
    EXPECT_EQ(generation.CreateCodeList(1, 2, "12345"),
              "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=12345\r\n\r\n[Codes]\r\n00002=UNUSED\r\n");
    EXPECT_FALSE(generation.CodeExists("00001"));
    EXPECT_EQ(generation.CreateCodeList(1, 2, "12345"),
              "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=12345\r\n\r\n[Codes]\r\n00001=UNUSED\r\n")
        << "a code of an earlier list may come again";
}

TEST(CodeListGenerationTest, RefusesMoreCodesThanTheLimit) {
    ScriptedCodes codes({});
    CodeListGeneration generation(codes);
    EXPECT_THROW(generation.CreateCodeList(kMaxCodeCount + 1, 2, ""), std::out_of_range);
}

TEST(CodeListGenerationTest, ThousandCodeListsFinishWithDifferentCodes) {
    struct Case {
        std::string name;
        std::unique_ptr<RandomSource> random;
    };
    std::vector<Case> cases;
    for (std::uint64_t seed : {11u, 12u, 13u}) cases.push_back({"seed " + std::to_string(seed), std::make_unique<SeededRandom>(seed)});
    cases.push_back({"constant source", std::make_unique<ConstantRandom>()});
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        FixedClock clock(43200.0f);
        CodeGenerator generator(*c.random, clock);
        CodeListGeneration generation(generator);
        const std::vector<std::string> lines = Lines(generation.CreateCodeList(1000, 2, "11111"));
        ASSERT_EQ(lines.size(), 1005u);
        std::set<std::string> codes;
        for (std::size_t i = 5; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i].size(), 12u) << lines[i];
            ASSERT_TRUE(IsFiveDigits(lines[i].substr(0, 5))) << lines[i];
            ASSERT_EQ(lines[i].substr(5), "=UNUSED");
            codes.insert(lines[i].substr(0, 5));
        }
        EXPECT_EQ(codes.size(), 1000u);
    }
}

TEST(CodeListGenerationTest, AFailingSourceYieldsNoList) {
    FailingRandom random(12);
    FixedClock clock(1.0f);
    CodeGenerator generator(random, clock);
    CodeListGeneration generation(generator);
    EXPECT_THROW(generation.CreateCodeList(3, 2, ""), RandomSourceFailure);
}

}  // namespace
}  // namespace codeeingabe
