#include "codelist/process_values.h"

#include "codelist/codelist_file.h"

namespace codeeingabe {

// The names are ASCII constants: widened char by char.
FilePath ProcessValues::ModuleFile(std::string_view name) const {
#ifdef _WIN32
    constexpr FilePath::value_type kSeparator = L'\\';
#else
    constexpr FilePath::value_type kSeparator = '/';
#endif
    FilePath file = moduleFolder;
    if (!file.empty() && file.back() != kSeparator && file.back() != '/') file += kSeparator;
    file.append(name.begin(), name.end());
    return file;
}

FilePath ProcessValues::CodeListFile() const { return ModuleFile(kCodeListFileName); }

}  // namespace codeeingabe
