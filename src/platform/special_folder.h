#pragma once

#include "platform/file_path.h"

namespace codeeingabe {

// The path of a shell special folder (CSIDL number), or the empty path when it cannot be had.
FilePath GetSpecialFolder(int folderId);

// The module folder: the roaming application-data folder, "\Tremolan 6" and "\Module". Creates
// nothing. Without an application-data folder the path starts at the root of the current drive.
FilePath FindModuleFolder();

}  // namespace codeeingabe
