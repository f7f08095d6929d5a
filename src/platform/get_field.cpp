#include "platform/get_field.h"

namespace codeeingabe {

std::string GetField(std::string_view text, int n, std::string_view delimiter) {
    if (delimiter.empty() || n < 1 || text.find(delimiter) == std::string_view::npos) {
        return {};
    }
    std::size_t start = 0;
    for (int piece = 1; piece < n; ++piece) {
        const std::size_t found = text.find(delimiter, start);
        if (found == std::string_view::npos) {
            return {};
        }
        start = found + delimiter.size();
    }
    const std::size_t end = text.find(delimiter, start);
    return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

}  // namespace codeeingabe
