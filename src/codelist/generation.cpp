#include "codelist/generation.h"

#include <stdexcept>

#include "codelist/credits_from_text.h"
#include "codelist/codelist_file.h"

namespace codeeingabe {

std::optional<std::size_t> RequestedCodeCount(std::string_view text) {
    const std::optional<std::int16_t> count = CreditsFromText(text);
    if (!count || *count < static_cast<int>(kMinCodeCount) || *count > static_cast<int>(kMaxCodeCount)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*count);
}

void CodeListGeneration::NewCodeCollection() { codes_.clear(); }

std::string CodeListGeneration::GenerateCode() { return source_.GenerateCode(); }

bool CodeListGeneration::CodeExists(const std::string& code) const { return codes_.contains(code); }

void CodeListGeneration::AddCode(const std::string& code) { codes_.insert(code); }

std::string CodeListGeneration::CreateCodeList(std::size_t count, std::int16_t creditsPerCode, std::string_view masterCode) {
    // Far below the 100000 possible codes, so the loop always ends.
    if (count > kMaxCodeCount) throw std::out_of_range("too many codes requested");
    std::string file = CodeListHeading(creditsPerCode, masterCode);
    NewCodeCollection();
    while (CodeCount() < count) {
        const std::string code = GenerateCode();
        // The keypad tests the master code first: a guest who bought that code would get no credit
        // and the master window instead.
        if (code != masterCode && !CodeExists(code)) {
            AddCode(code);
            file += CodeListLine(code);
        }
    }
    return file;
}

}  // namespace codeeingabe
