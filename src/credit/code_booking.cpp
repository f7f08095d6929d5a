#include "credit/code_booking.h"

#include "codelist/codelist_file.h"
#include "platform/profile.h"

namespace codeeingabe {

std::optional<std::string> CodeState(const FilePath& codeList, std::string_view code) {
    return TryReadProfile(codeList, kCodesSection, code, kMissingCodeState);
}

bool BookCodeUsed(const FilePath& codeList, std::string_view code) {
    return ChangeProfileValue(codeList, kCodesSection, code, kUnused, kUsed);
}

bool ReturnCode(const FilePath& codeList, std::string_view code) {
    return WriteProfile(codeList, kCodesSection, code, kUnused);
}

}  // namespace codeeingabe
