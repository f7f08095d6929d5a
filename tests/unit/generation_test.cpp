#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "codelist/chacha20.h"
#include "codelist/generation.h"
#include "fake_system.h"

using namespace codeeingabe;
using codeeingabe::test::FakeSystem;

namespace {

std::vector<std::string> Draw(std::uint64_t seed, float seconds, int count) {
    FakeSystem system(seed, seconds);
    CodeGenerator generator(system, system);
    std::vector<std::string> codes;
    while (count-- > 0) codes.push_back(generator.GenerateCode());
    return codes;
}

bool FiveDigits(const std::string& code) { return code.size() == 5 && code.find_first_not_of("0123456789") == code.npos; }

// Pearson's statistic against ten equally likely digits; with nine degrees of freedom a uniform
// source exceeds 33.72 once in ten thousand runs.
bool LooksUniform(const std::array<double, 10>& counts) {
    const double expected = std::accumulate(counts.begin(), counts.end(), 0.0) / 10;
    double statistic = 0;
    for (double count : counts) statistic += (count - expected) * (count - expected) / expected;
    return statistic < 33.72;
}

// The block function test vector of RFC 8439, section 2.3.2.
TEST(Generation, ChaCha20KnownAnswer) {
    ChaChaKey key{};
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i);
    const ChaChaBlock expected{
        0x10, 0xf1, 0xe7, 0xe4, 0xd1, 0x3b, 0x59, 0x15, 0x50, 0x0f, 0xdd, 0x1f, 0xa3, 0x20, 0x71, 0xc4,
        0xc7, 0xd1, 0xf4, 0xc7, 0x33, 0xc0, 0x68, 0x03, 0x04, 0x22, 0xaa, 0x9a, 0xc3, 0xd4, 0x6c, 0x4e,
        0xd2, 0x82, 0x64, 0x46, 0x07, 0x9f, 0xaa, 0x09, 0x14, 0xc2, 0xd7, 0x05, 0xd9, 0x8b, 0x02, 0xa2,
        0xb5, 0x12, 0x9c, 0xd1, 0xde, 0x16, 0x4e, 0xb9, 0xcb, 0xd0, 0x83, 0xe8, 0xa2, 0x50, 0x3c, 0x4e,
    };
    EXPECT_EQ(ChaCha20Block(key, 1, ChaChaNonce{0x09000000, 0x4a000000, 0}), expected);
}

// Each digit stands for 25 byte values; the six left over (counted last) are drawn again.
TEST(Generation, DigitsAreUniform) {
    std::array<int, 11> bytesPerDigit{};
    for (int byte = 0; byte < 256; ++byte) ++bytesPerDigit[DigitOfByte(static_cast<std::uint8_t>(byte)).value_or(10)];
    EXPECT_EQ(bytesPerDigit, (std::array<int, 11>{25, 25, 25, 25, 25, 25, 25, 25, 25, 25, 6}));

    for (std::uint64_t seed : {4u, 0u}) {
        std::array<std::array<double, 10>, 6> counts{};  // per position, then overall
        for (const std::string& code : Draw(seed, 70000.125f, 6000)) {
            ASSERT_TRUE(FiveDigits(code)) << code;
            for (std::size_t position = 0; position < 5; ++position) {
                ++counts[position][code[position] - '0'];
                ++counts[5][code[position] - '0'];
            }
        }
        for (const auto& digits : counts) EXPECT_TRUE(LooksUniform(digits)) << "seed " << seed;
    }
}

// Reseeding mixes into the running state instead of restarting from the time: were it otherwise,
// every code drawn within one tick from a broken generator would be the same.
TEST(Generation, ReseedsBeforeEveryDigitWithoutRestarting) {
    FakeSystem system(2, 100.0f);
    CodeGenerator generator(system, system);
    for (int i = 0; i < 3; ++i) generator.GenerateCode();
    EXPECT_EQ(system.fills, 15);
    EXPECT_EQ(system.reads, 15);

    EXPECT_EQ(Draw(3, 3600.5f, 50), Draw(3, 3600.5f, 50));
    EXPECT_NE(Draw(3, 3600.75f, 50), Draw(3, 3600.5f, 50));
    const std::vector<std::string> codes = Draw(0, 0.0f, 2000);
    EXPECT_GT(std::set<std::string>(codes.begin(), codes.end()).size(), 1950u);  // about 20 repeats expected
    EXPECT_LT(std::count_if(codes.begin(), codes.end(), [](const std::string& c) { return c == std::string(5, c[0]); }), 10);

    FakeSystem failing(7, 1.0f, 7);
    CodeGenerator stopping(failing, failing);
    EXPECT_TRUE(FiveDigits(stopping.GenerateCode()));
    EXPECT_THROW(CodeListGeneration(stopping).CreateCodeList(3, 2, ""), RandomSourceFailure);
}

// Hands out the given codes in turn, so that a run's file is known byte for byte.
struct ScriptedCodes : CodeSource {
    std::vector<std::string> codes;
    std::size_t drawn = 0;
    std::string GenerateCode() override { return codes.at(drawn++); }
};

TEST(Generation, ListsHoldDifferentCodesAllUnused) {
    const std::string heading = "[Einstellungen]\r\nCreditsPerCode=5\r\nMasterCode=31415\r\n\r\n[Codes]\r\n";
    ScriptedCodes codes;
    codes.codes = {"00042", "12345", "00042", "99999", "12345", "00000", "55555", "00001", "00042"};
    CodeListGeneration generation(codes);
    EXPECT_EQ(generation.CreateCodeList(4, 5, "31415"),
              heading + "00042=UNUSED\r\n12345=UNUSED\r\n99999=UNUSED\r\n00000=UNUSED\r\n");
    EXPECT_EQ(codes.drawn, 6u) << "drawing ends with the fourth different code";
    EXPECT_TRUE(generation.CodeCount() == 4 && generation.CodeExists("00000") && !generation.CodeExists("55555"));
    EXPECT_EQ(generation.CreateCodeList(3, 5, "31415"), heading + "55555=UNUSED\r\n00001=UNUSED\r\n00042=UNUSED\r\n")
        << "each run starts afresh";
    EXPECT_THROW(generation.CreateCodeList(kMaxCodeCount + 1, 2, ""), std::out_of_range);

    for (std::uint64_t seed : {11u, 0u}) {
        FakeSystem system(seed, 43200.0f);
        CodeGenerator generator(system, system);
        const std::string list = CodeListGeneration(generator).CreateCodeList(1000, 2, "11111");
        std::set<std::string> different;
        for (std::size_t line = list.find("[Codes]\r\n") + 9; line < list.size(); line += 14) {
            ASSERT_TRUE(FiveDigits(list.substr(line, 5)) && list.substr(line + 5, 9) == "=UNUSED\r\n") << line;
            different.insert(list.substr(line, 5));
        }
        EXPECT_EQ(different.size(), 1000u) << "seed " << seed;
    }
}

}  // namespace
