#include "credit/host_message.h"

#include <charconv>
#include <limits>

#include "codelist/credits_from_text.h"

namespace codeeingabe {
namespace {

template <typename Number>
std::string DecimalText(Number value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string AddCreditCommand(std::int16_t credits) {
    std::string command = "AddCredit|";
    if (credits >= 0) command += ' ';
    command += DecimalText(credits);
    return command;
}

std::string OutgoingMessage(std::int32_t returnAddress, std::string_view command) {
    std::string message = DecimalText(returnAddress);
    message += '|';
    message.append(command);
    return message;
}

std::int32_t HostWindowHandleFromText(std::string_view text) {
    const double value = LeadingNumber(text);
    // Also rejects infinities and NaN before any conversion to an integer type.
    if (!(value >= -2147483648.5 && value <= 2147483647.5)) return 0;
    const double rounded = RoundHalfToEven(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(rounded);
}

HostCommand ParseHostCommand(std::string_view inboxText) {
    if (inboxText == kCreditClickCommand) return HostCommand::creditClick;
    if (inboxText == kAppCloseCommand) return HostCommand::appClose;
    return HostCommand::none;
}

}  // namespace codeeingabe
