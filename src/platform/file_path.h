#pragma once

#include <string>

namespace codeeingabe {

// A file's name as the system's file functions take it: UTF-16 on Windows, bytes elsewhere. A
// plain string, not std::filesystem::path: on Windows the path class alone links the library's
// whole locale machinery, over half of the program's size.
#ifdef _WIN32
using FilePath = std::wstring;
#else
using FilePath = std::string;
#endif

}  // namespace codeeingabe
