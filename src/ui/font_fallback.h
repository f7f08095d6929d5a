#pragma once

#include <windows.h>

#include <initializer_list>

#include "platform/win_handles.h"

namespace codeeingabe {

// Which fonts count as the face asked for. A raster font exists in a few sizes only; at the guest
// windows' large sizes a scalable face of the same kind looks right where a raster one is
// stretched. Scalable means: it draws a capital at the size asked for (a face that calls itself
// TrueType but holds only small bitmaps does not).
enum class FontKind { any, scalable };

// The first of the faces that the system really has (of the kind), at the given point size;
// where none is there, the system's nearest match for the first.
UniqueFont CreateFontWithFallback(std::initializer_list<const wchar_t*> faces, double points, int weight,
                                  BYTE charset = DEFAULT_CHARSET, FontKind kind = FontKind::any);

// Whether the font is one of that face (not another one substituted for it) and of the kind.
bool FontFaceAvailable(HFONT font, const wchar_t* face, FontKind kind = FontKind::any);

}  // namespace codeeingabe
