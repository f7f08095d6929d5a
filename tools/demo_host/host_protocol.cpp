#include "host_protocol.h"

#include <charconv>

namespace codeeingabe::host {
namespace {

template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<ModuleMessage> ParseModuleMessage(std::string_view text) {
    const std::size_t separator = text.find('|');
    if (separator == std::string_view::npos || separator == 0) return std::nullopt;
    const auto handle = WholeNumber<std::int32_t>(text.substr(0, separator));
    if (!handle) return std::nullopt;
    return ModuleMessage{*handle, std::string(text.substr(separator + 1))};
}

std::optional<int> AddCreditAmount(std::string_view command) {
    constexpr std::string_view kPrefix = "AddCredit|";
    if (command.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    std::string_view number = command.substr(kPrefix.size());
    if (!number.empty() && number.front() == ' ') number.remove_prefix(1);
    if (number.empty() || number.front() == '+') return std::nullopt;
    return WholeNumber<int>(number);
}

}  // namespace codeeingabe::host
