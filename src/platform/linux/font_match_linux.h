// How a GDI font description picks an installed face, through fontconfig,
// the same for the controls' fonts (Xft) and the status font (FreeType): the
// face named when it is installed; else the best face for the character
// set's language with the pitch the description asks for. GDI's fixed and
// variable pitch bits say it, else its family bits (FF_MODERN is fixed,
// FF_SWISS and FF_ROMAN are variable), else, for a description that names
// no face and leaves both open, the character set's own default face:
// Shift_JIS's is fixed-pitch (GDI gives ＭＳ ゴシック there), so that a status
// line laid out in half- and full-width columns keeps its columns. Where no
// face of the language has the pitch, one without it serves.
#pragma once

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <string>

namespace platform::x11 {

// A GDI character set: its code page as iconv names it (null for code page
// 932, and for the sets Windows tells no code page for, which are read in
// the program's code page, 932) and fontconfig's language for it.
struct Charset {
    uint8_t id;
    const char* encoding;
    const char* language;
};
Charset charsetOf(uint8_t id);

enum class Pitch { any, fixed, variable };

// The pitch a description asks for (LOGFONT's lfPitchAndFamily, whether it
// names a face, its character set).
Pitch pitchOf(uint8_t pitchAndFamily, bool faceNamed, uint8_t charSet);

struct FaceRequest {
    std::string family;  // UTF-8; empty when the description names no face
    uint8_t charSet = 0;
    uint8_t pitchAndFamily = 0;
    int weight = 400;  // OpenType's 1 to 1000
    bool italic = false;
};

// The best installed face for the request, as a pattern ready to open (the
// caller destroys it); null when fontconfig has none. `pattern` holds what
// the caller asks besides (size, antialiasing) and is taken over;
// `substitute` fills in the defaults of the caller's renderer.
FcPattern* matchFace(const FaceRequest& request, FcPattern* pattern,
                     void (*substitute)(FcPattern*));

}  // namespace platform::x11
