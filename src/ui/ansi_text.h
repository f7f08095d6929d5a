#pragma once

#include <string>
#include <string_view>

namespace codeeingabe {

// The files and the host link carry single-byte text in the system's ANSI code page; the windows
// show wide text. These convert at that edge. Characters the code page cannot hold become the
// platform's replacement character.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

}  // namespace codeeingabe
