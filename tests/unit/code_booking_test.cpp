#include "credit/code_booking.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace codeeingabe {
namespace {

namespace fs = std::filesystem;

class CodeBooking : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("codeeingabe-booking-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        list_ = folder_ / "Codelist.ini";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(list_, fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
    void Write(const std::string& bytes) { std::ofstream(list_, std::ios::binary) << bytes; }
    std::string Bytes() const {
        std::ifstream in(list_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    fs::path folder_;
    fs::path list_;
};

constexpr const char* kList =
    "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n12345=UNUSED\r\n00042=UNUSED\r\n77777=USED\r\n";

TEST_F(CodeBooking, StatesAsListedAndTheDefaultForAnythingElse) {
    Write(kList);
    EXPECT_EQ(CodeState(list_, "12345"), "UNUSED");
    EXPECT_EQ(CodeState(list_, "77777"), "USED");
    EXPECT_EQ(CodeState(list_, "00042"), "UNUSED");
    EXPECT_EQ(CodeState(list_, "42"), "00000");  // leading zeros belong to the code
    EXPECT_EQ(CodeState(list_, "99999"), "00000");
    EXPECT_EQ(CodeState(folder_ / "missing.ini", "12345"), "00000");
}

TEST_F(CodeBooking, BookingChangesOnlyTheCodesValueInItsLine) {
    Write(kList);
    ASSERT_TRUE(BookCodeUsed(list_, "00042"));
    EXPECT_EQ(Bytes(),
              "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n12345=UNUSED\r\n00042=USED\r\n77777=USED\r\n");
    ASSERT_TRUE(ReturnCode(list_, "00042"));
    EXPECT_EQ(Bytes(), kList);
}

TEST_F(CodeBooking, AListThatCannotBeWrittenIsNeverReportedAsBooked) {
    Write(kList);
    fs::permissions(list_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(BookCodeUsed(list_, "12345"));
    EXPECT_EQ(CodeState(list_, "12345"), "UNUSED");
    EXPECT_EQ(Bytes(), kList);
}

// Saved as "Unicode" by an editor: the single-byte rules find nothing in it, and a booking must
// not add a single-byte line to it.
TEST_F(CodeBooking, AUtf16ListIsUnreadableAndNeverWritten) {
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string(kList)) utf16 += std::string{c, '\0'};
    Write(utf16);
    EXPECT_EQ(CodeState(list_, "12345"), std::nullopt);
    EXPECT_FALSE(BookCodeUsed(list_, "12345"));
    EXPECT_FALSE(ReturnCode(list_, "12345"));
    EXPECT_EQ(Bytes(), utf16);
}

// The settings may have replaced the list, or the code may be booked already, between the lookup
// and the booking: neither gives a booking, and the list on the disk gets no line for the code.
TEST_F(CodeBooking, OnlyAFreeCodeOfTheListOnTheDiskIsBooked) {
    Write(kList);
    EXPECT_FALSE(BookCodeUsed(list_, "77777"));
    EXPECT_FALSE(BookCodeUsed(list_, "99999"));
    EXPECT_EQ(Bytes(), kList);
}

TEST_F(CodeBooking, AMissingListOrFolderIsNeverReportedAsBooked) {
    // Booking a code in a list that does not exist would create a file that gives no credit anyway;
    // what matters is that the result tells whether "USED" now stands there.
    EXPECT_FALSE(BookCodeUsed(folder_ / "no-folder" / "Codelist.ini", "12345"));
}

}  // namespace
}  // namespace codeeingabe
