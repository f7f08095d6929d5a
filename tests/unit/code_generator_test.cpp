#include "codelist/code_generator.h"

#include <gtest/gtest.h>

#include <array>
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

std::vector<std::string> Draw(CodeGenerator& generator, int count) {
    std::vector<std::string> codes;
    for (int i = 0; i < count; ++i) codes.push_back(generator.GenerateCode());
    return codes;
}

// Pearson's statistic of digit counts against ten equally likely digits.
double ChiSquare(const std::array<long, 10>& counts) {
    long total = 0;
    for (long count : counts) total += count;
    const double expected = static_cast<double>(total) / 10.0;
    double statistic = 0.0;
    for (long count : counts) statistic += (count - expected) * (count - expected) / expected;
    return statistic;
}

// Nine degrees of freedom; a uniform source exceeds this once in ten thousand runs.
constexpr double kChiSquareLimit = 33.72;

TEST(CodeGeneratorTest, CodesAreFiveDigitsWithLeadingZerosKept) {
    SeededRandom random(1);
    FixedClock clock(45296.25f);
    CodeGenerator generator(random, clock);
    bool sawLeadingZero = false;
    for (const std::string& code : Draw(generator, 2000)) {
        ASSERT_TRUE(IsFiveDigits(code)) << code;
        sawLeadingZero = sawLeadingZero || code.front() == '0';
    }
    EXPECT_TRUE(sawLeadingZero);
}

TEST(CodeGeneratorTest, ReseedsFromTheSourceAndTheClockBeforeEveryDigit) {
    SeededRandom random(2);
    FixedClock clock(100.0f);
    CodeGenerator generator(random, clock);
    Draw(generator, 3);
    EXPECT_EQ(random.Fills(), 15);
    EXPECT_EQ(clock.Reads(), 15);
}

TEST(CodeGeneratorTest, TheSameInputsGiveTheSameCodesAndTheTimeChangesThem) {
    SeededRandom firstRandom(3), secondRandom(3), thirdRandom(3);
    FixedClock firstClock(3600.5f), secondClock(3600.5f), laterClock(3600.75f);
    CodeGenerator first(firstRandom, firstClock);
    CodeGenerator second(secondRandom, secondClock);
    CodeGenerator later(thirdRandom, laterClock);
    const auto codes = Draw(first, 50);
    EXPECT_EQ(Draw(second, 50), codes);
    EXPECT_NE(Draw(later, 50), codes);
}

// Reseeding from a clock that stands still must not restart the sequence: were it so, every code
// drawn within one tick would be the same digit five times.
TEST(CodeGeneratorTest, DrawsWithinOneClockTickDifferEvenWithoutFreshRandomness) {
    ConstantRandom random;
    FixedClock clock(0.0f);
    CodeGenerator generator(random, clock);
    const auto codes = Draw(generator, 2000);
    const std::set<std::string> distinct(codes.begin(), codes.end());
    // 2000 draws out of 100000 codes repeat about 20 times.
    EXPECT_GT(distinct.size(), 1950u);
    std::size_t uniform = 0;
    for (const std::string& code : codes) uniform += code == std::string(5, code.front());
    EXPECT_LT(uniform, 10u);
}

TEST(CodeGeneratorTest, AFailingSourceStopsTheDraw) {
    FailingRandom random(7);
    FixedClock clock(1.0f);
    CodeGenerator generator(random, clock);
    EXPECT_TRUE(IsFiveDigits(generator.GenerateCode()));
    EXPECT_THROW(generator.GenerateCode(), RandomSourceFailure);
    EXPECT_THROW(generator.GenerateCode(), RandomSourceFailure);
}

TEST(CodeGeneratorTest, EveryDigitStandsForEquallyManyBytes) {
    std::array<int, 10> bytesPerDigit{};
    int rejected = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (const auto digit = DigitOfByte(static_cast<std::uint8_t>(byte))) {
            ASSERT_GE(*digit, 0);
            ASSERT_LE(*digit, 9);
            ++bytesPerDigit[static_cast<std::size_t>(*digit)];
        } else {
            ++rejected;
        }
    }
    for (int count : bytesPerDigit) EXPECT_EQ(count, 25);
    EXPECT_EQ(rejected, 6);
}

TEST(CodeGeneratorTest, DigitFrequenciesPassAChiSquareTest) {
    struct Case {
        const char* name;
        std::unique_ptr<RandomSource> random;
    };
    std::vector<Case> cases;
    cases.push_back({"seeded source", std::make_unique<SeededRandom>(4)});
    cases.push_back({"constant source", std::make_unique<ConstantRandom>()});
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        FixedClock clock(70000.125f);
        CodeGenerator generator(*c.random, clock);
        std::array<std::array<long, 10>, 5> perPosition{};
        std::array<long, 10> overall{};
        for (int i = 0; i < 6000; ++i) {
            const std::string code = generator.GenerateCode();
            for (std::size_t position = 0; position < code.size(); ++position) {
                const auto digit = static_cast<std::size_t>(code[position] - '0');
                ++perPosition[position][digit];
                ++overall[digit];
            }
        }
        EXPECT_LT(ChiSquare(overall), kChiSquareLimit);
        for (const auto& counts : perPosition) EXPECT_LT(ChiSquare(counts), kChiSquareLimit);
    }
}

}  // namespace
}  // namespace codeeingabe
