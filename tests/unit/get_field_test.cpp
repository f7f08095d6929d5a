#include "platform/get_field.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace codeeingabe {
namespace {

struct FieldCase {
    std::string text;
    int n;
    std::string delimiter;
    std::string expected;
};

void ExpectFields(const std::vector<FieldCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\" n " + std::to_string(c.n) + " delimiter \"" + c.delimiter + "\"");
        EXPECT_EQ(GetField(c.text, c.n, c.delimiter), c.expected);
    }
}

TEST(GetFieldTest, SplitsAtEveryDelimiter) {
    ExpectFields({
        {"12345=UNUSED", 1, "=", "12345"}, {"12345=UNUSED", 2, "=", "UNUSED"},
        {"12345=UNUSED", 3, "=", ""},      {"=UNUSED", 1, "=", ""},
        {"=UNUSED", 2, "=", "UNUSED"},     {"12345=", 2, "=", ""},
        {"a=b=c", 1, "=", "a"},            {"a=b=c", 2, "=", "b"},
        {"a=b=c", 3, "=", "c"},            {"a=b=c", 4, "=", ""},
        {"a==b", 2, "=", ""},              {"a==b", 3, "=", "b"},
        {"=", 1, "=", ""},                 {"=", 2, "=", ""},
        {"a::b::c", 2, "::", "b"},         {"a::b::c", 3, "::", "c"},
        {"a:b::c", 1, "::", "a:b"},        {"aaa", 2, "aa", "a"},
    });
}

TEST(GetFieldTest, EmptyWithoutDelimiterWhateverN) {
    ExpectFields({
        {"12345", 1, "=", ""}, {"12345", 2, "=", ""}, {"", 1, "=", ""},
        {"aXb", 1, "x", ""},   {"a=b", 1, "", ""},    {"a=b", 2, "", ""},
        {"a:b", 1, "::", ""},
    });
}

TEST(GetFieldTest, EmptyForPiecesThatDoNotExist) {
    ExpectFields({
        {"a=b", 0, "=", ""}, {"a=b", -1, "=", ""}, {"a=b", INT_MIN, "=", ""}, {"a=b", INT_MAX, "=", ""},
    });
}

}  // namespace
}  // namespace codeeingabe
