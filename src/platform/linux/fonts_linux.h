// Text through Xft: fonts chosen by fontconfig as CreateFont describes them,
// measured and drawn in UTF-8.
#pragma once

#include <X11/Xft/Xft.h>

#include <cstdint>
#include <string_view>

#include "platform/linux/gdi_objects_linux.h"
#include "platform/types.h"

namespace platform::x11 {

// A newly opened font for the description (the caller closes it); null
// when fontconfig finds none. A face that is not installed (the Windows
// faces) gives way to a face for the character set's language with the
// pitch the description asks for (font_match_linux.h): the controls' font,
// a proportional sans-serif face as ＭＳ Ｐゴシック is, to a proportional
// Japanese sans-serif face.
XftFont* openFont(const FontObject& font);

// The font of controls and message boxes that were given none: a 12-pixel
// Japanese sans-serif, kept open.
XftFont* defaultControlFont();

int32_t textWidth(XftFont* font, std::string_view utf8);

// Draws `utf8` with its baseline at `baseline`, only within `clip` (all in
// the X window's coordinates).
void drawText(::Window target, XftFont* font, int32_t x, int32_t baseline, std::string_view utf8,
              uint32_t colourRef, const Rect& clip);

}  // namespace platform::x11
