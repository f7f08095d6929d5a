// Input: the first six bytes choose a credits value (2) and a return address (4); the rest is a
// text that plays the module's inbox text, the text of "AppCommPort" and an outgoing command.
//
// Properties: only the exact command words act; the host can always read back the return address
// and the command from an outgoing message; "AddCredit" carries the credits with a blank before a
// number that is not negative; the host window handle is the rounded leading number, or 0 when
// that is no 32-bit handle.
#include "codelist/credits_from_text.h"
#include "credit/host_message.h"

#include "fuzz_check.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace codeeingabe;

template <typename Number>
bool ParsesExactly(std::string_view text, Number expected) {
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && value == expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    std::int16_t credits;
    std::int32_t returnAddress;
    std::memcpy(&credits, data, sizeof credits);
    std::memcpy(&returnAddress, data + 2, sizeof returnAddress);
    const std::string_view text(reinterpret_cast<const char*>(data + 6), size - 6);
    const std::string shown = fuzz::Escaped(text);

    const HostCommand command = ParseHostCommand(text);
    FUZZ_CHECK((command == HostCommand::creditClick) == (text == "CreditClick"), shown);
    FUZZ_CHECK((command == HostCommand::appClose) == (text == "AppClose"), shown);

    const std::string outgoing = OutgoingMessage(returnAddress, text);
    const std::size_t separator = outgoing.find('|');
    FUZZ_CHECK(separator != std::string::npos, shown);
    FUZZ_CHECK(ParsesExactly(std::string_view(outgoing).substr(0, separator), returnAddress), outgoing);
    FUZZ_CHECK(outgoing.substr(separator + 1) == text, outgoing);

    const std::string addCredit = AddCreditCommand(credits);
    const std::string_view number = std::string_view(addCredit).substr(std::strlen("AddCredit|"));
    FUZZ_CHECK(addCredit.rfind("AddCredit|", 0) == 0, addCredit);
    FUZZ_CHECK((number.front() == ' ') == (credits >= 0), addCredit);
    FUZZ_CHECK(ParsesExactly(credits >= 0 ? number.substr(1) : number, credits), addCredit);

    const std::int32_t handle = HostWindowHandleFromText(text);
    const double leading = LeadingNumber(text);
    if (handle != 0) FUZZ_CHECK(std::fabs(leading - handle) <= 0.5, shown);
    if (std::fabs(leading) <= 2147483647.0) FUZZ_CHECK(std::fabs(leading - handle) <= 0.5, shown);
    return 0;
}
