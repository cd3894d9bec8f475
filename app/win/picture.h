// Pictures from JPEG bytes, as the picture boxes show them.
#pragma once

#include <windows.h>

#include <string_view>

#include "common/win/handles.h"

namespace quadrivo::app {

// Decodes a JPEG (or any format the system's imaging codecs read) into a 24-bit top-down DIB
// section. 24 bits on purpose: a static control shows such a bitmap as it is, while one with an
// alpha channel would be copied by the control and the copy could leak. COM must be initialised
// on the calling thread. Empty on failure.
win::UniqueBitmap decode_picture(std::string_view bytes);

// Shows bitmap in a static control of style SS_BITMAP and takes ownership of it; the bitmap it
// showed before is deleted, so a picture replaced by the next one is freed. A null bitmap
// empties the box.
void set_picture(HWND picture_box, win::UniqueBitmap bitmap);

// Deletes the bitmap a picture box shows, and empties it; for a window that is about to go.
void clear_picture(HWND picture_box);

}  // namespace quadrivo::app
