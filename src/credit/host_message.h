#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace codeeingabe {

// The texts of the host link. The host reads the module's return address in front of every
// message; its own messages to the module are bare command words, compared exactly.
inline constexpr std::string_view kRegisterCommand = "Register";
inline constexpr std::string_view kSetCreditSysEnabledCommand = "SetCreditSys|Enabled";
inline constexpr std::string_view kCreditClickCommand = "CreditClick";
inline constexpr std::string_view kAppCloseCommand = "AppClose";
inline constexpr std::string_view kAppCommPortKey = "AppCommPort";

// "AddCredit|" and the credits, with a blank where a minus sign would stand: "AddCredit| 2",
// "AddCredit| 0", "AddCredit|-3".
std::string AddCreditCommand(std::int16_t credits);

// The return address (the module inbox's window handle, signed 32-bit decimal), "|", the command.
std::string OutgoingMessage(std::int32_t returnAddress, std::string_view command);

// The host inbox's handle from the text of "AppCommPort": the number it starts with, blanks
// ignored, to the nearest whole number. 0 (no window) for text without a number and for a number
// that is no 32-bit handle, instead of whatever an overflowing conversion would make of it.
std::int32_t HostWindowHandleFromText(std::string_view text);

// What the module does with the text found in its inbox.
enum class HostCommand { none, creditClick, appClose };
HostCommand ParseHostCommand(std::string_view inboxText);

// How a message to the host ended. A host that did not answer in time may still take the message
// later, so "unanswered" is not a failure; "hostGone" is: the window no longer exists.
enum class SendResult { delivered, unanswered, hostGone };

}  // namespace codeeingabe
