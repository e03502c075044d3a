#include "platform/linux/font_match_linux.h"

#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

constexpr Charset kCharsets[] = {
    {0, "CP1252", "en"},     {128, nullptr, "ja"},  {129, "CP949", "ko"},  {134, "CP936", "zh-cn"},
    {136, "CP950", "zh-tw"}, {161, "CP1253", "el"}, {162, "CP1254", "tr"}, {177, "CP1255", "he"},
    {178, "CP1256", "ar"},   {186, "CP1257", "lt"}, {204, "CP1251", "ru"}, {222, "CP874", "th"},
    {238, "CP1250", "pl"},
};

// fontconfig's generic family for GDI's family bits, or for a fixed pitch.
const char* genericOf(uint8_t pitchAndFamily, Pitch pitch) {
    switch (pitchAndFamily & 0xF0) {
        case FF_ROMAN:
            return "serif";
        case FF_SWISS:
            return "sans-serif";
        case FF_MODERN:
            return "monospace";
        default:
            return pitch == Pitch::fixed ? "monospace" : nullptr;
    }
}

bool hasFamily(FcPattern* font, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
            return true;
    }
    return false;
}

bool covers(FcPattern* font, const char* language) {
    FcLangSet* languages = nullptr;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &languages) != FcResultMatch) return false;
    return FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(language)) !=
           FcLangDifferentLang;
}

// fontconfig's dual spacing (half- and full-width cells) is a fixed pitch,
// as GDI counts it.
bool hasPitch(FcPattern* font, Pitch pitch) {
    if (pitch == Pitch::any) return true;
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(font, FC_SPACING, 0, &spacing);
    return (spacing >= FC_DUAL) == (pitch == Pitch::fixed);
}

// From fontconfig's ranking: the named face, else the first face of the
// language with the pitch, else of the language, else the first.
FcPattern* choose(const FcFontSet& sorted, const FaceRequest& request, const char* language,
                  Pitch pitch) {
    if (sorted.nfont == 0) return nullptr;
    if (!request.family.empty() && hasFamily(sorted.fonts[0], request.family))
        return sorted.fonts[0];
    for (int i = 0; i < sorted.nfont; ++i)
        if (covers(sorted.fonts[i], language) && hasPitch(sorted.fonts[i], pitch))
            return sorted.fonts[i];
    for (int i = 0; i < sorted.nfont; ++i)
        if (covers(sorted.fonts[i], language)) return sorted.fonts[i];
    return sorted.fonts[0];
}

}  // namespace

Charset charsetOf(uint8_t id) {
    for (const Charset& charset : kCharsets)
        if (charset.id == id) return charset;
    return {id, nullptr, "ja"};
}

Pitch pitchOf(uint8_t pitchAndFamily, bool faceNamed, uint8_t charSet) {
    if ((pitchAndFamily & 3) == FIXED_PITCH) return Pitch::fixed;
    if ((pitchAndFamily & 3) == VARIABLE_PITCH) return Pitch::variable;
    switch (pitchAndFamily & 0xF0) {
        case FF_MODERN:
            return Pitch::fixed;
        case FF_ROMAN:
        case FF_SWISS:
            return Pitch::variable;
        default:
            return !faceNamed && charSet == SHIFTJIS_CHARSET ? Pitch::fixed : Pitch::any;
    }
}

FcPattern* matchFace(const FaceRequest& request, FcPattern* pattern,
                     void (*substitute)(FcPattern*)) {
    if (pattern == nullptr) return nullptr;
    const char* language = charsetOf(request.charSet).language;
    const Pitch pitch = pitchOf(request.pitchAndFamily, !request.family.empty(), request.charSet);
    if (!request.family.empty())
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(request.family.c_str()));
    if (const char* generic = genericOf(request.pitchAndFamily, pitch))
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    substitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPattern* prepared = nullptr;
    if (sorted != nullptr) {
        if (FcPattern* chosen = choose(*sorted, request, language, pitch))
            prepared = FcFontRenderPrepare(nullptr, pattern, chosen);
        FcFontSetDestroy(sorted);
    }
    FcPatternDestroy(pattern);
    return prepared;
}

}  // namespace platform::x11
