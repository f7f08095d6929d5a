#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "codelist/code_generator.h"

namespace codeeingabe {

inline constexpr std::size_t kMinCodeCount = 1;
inline constexpr std::size_t kMaxCodeCount = 1000;

// The number of codes typed into the settings window, read by the credits rule (12ab is 12, 3.5
// is 4, 1,5 is 1); nullopt outside 1 to 1000, numbers beyond 16 bits included.
std::optional<std::size_t> RequestedCodeCount(std::string_view text);

// One generation run: draws codes until it holds the requested number of different ones. The
// collection keeps the codes of the last run until the next one starts.
class CodeListGeneration {
public:
    explicit CodeListGeneration(CodeSource& source) : source_(source) {}

    void NewCodeCollection();
    std::string GenerateCode();
    bool CodeExists(const std::string& code) const;
    void AddCode(const std::string& code);
    std::size_t CodeCount() const { return codes_.size(); }

    // The whole new code list file: the heading with the given settings, then one "UNUSED" line
    // per code in the order first drawn; a code drawn again, or equal to the master code, is
    // dropped. Throws std::out_of_range for more than kMaxCodeCount codes. Propagates the
    // source's RandomSourceFailure.
    std::string CreateCodeList(std::size_t count, std::int16_t creditsPerCode, std::string_view masterCode);

private:
    CodeSource& source_;
    std::unordered_set<std::string> codes_;
};

}  // namespace codeeingabe
