#include "credit/code_booking.h"

#include "codelist/codelist_file.h"
#include "platform/profile.h"

namespace codeeingabe {

std::string CodeState(const FilePath& codeList, std::string_view code) {
    return ReadProfile(codeList, kCodesSection, code, kMissingCodeState);
}

bool BookCodeUsed(const FilePath& codeList, std::string_view code) {
    return WriteProfile(codeList, kCodesSection, code, kUsed) && CodeState(codeList, code) == kUsed;
}

bool ReturnCode(const FilePath& codeList, std::string_view code) {
    return WriteProfile(codeList, kCodesSection, code, kUnused);
}

}  // namespace codeeingabe
