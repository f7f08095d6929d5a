#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The jukebox's side of the module link, as a stand-in host needs it: the module writes
// "<its inbox handle>|<command>" into the host's inbox, and the host answers with bare commands.
namespace codeeingabe::host {

struct ModuleMessage {
    std::int32_t returnAddress;  // the module inbox's window handle
    std::string command;         // everything after the first "|", itself possibly with "|"
};

// nullopt when the text does not start with a decimal handle followed by "|".
std::optional<ModuleMessage> ParseModuleMessage(std::string_view text);

// The credits of an "AddCredit|<n>" command, where n may begin with a blank; nullopt for any
// other command or a malformed number.
std::optional<int> AddCreditAmount(std::string_view command);

}  // namespace codeeingabe::host
