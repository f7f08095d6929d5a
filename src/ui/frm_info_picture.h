#pragma once

#include <windows.h>

#include "platform/win_handles.h"

namespace codeeingabe {

// The lock notice picture, decoded from the program's resources into a bitmap of the screen's
// kind; empty when it cannot be had.
UniqueBitmap LoadLockNoticePicture();

}  // namespace codeeingabe
