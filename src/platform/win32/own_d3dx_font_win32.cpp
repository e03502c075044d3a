// D3DXCreateFontIndirect with a font object of our own: each line of text is
// laid out glyph by glyph with GDI's grey-level glyph outlines (the font the
// description asks for, text in the code page of its character set), copied
// into a managed texture as coverage alpha, and drawn as one pre-transformed
// textured quad
// whose vertex colour is the text colour. Lines already rasterised are kept,
// keyed by their text and format, so an unchanged status line costs a quad.
//
// Device state: like the library's font, which draws through a sprite that
// saves and restores the device state, the states the quad needs are captured
// in a state block before drawing and applied again after it, so the font
// leaves the device as it found it. The state block is the one thing in the
// default pool: OnLostDevice releases it and the next draw records it again.
// The textures are managed and survive a reset.
//
// Formats: DT_CALCRECT measures; DT_LEFT/CENTER/RIGHT and DT_TOP/VCENTER/
// BOTTOM place the text in the rectangle (the rectangle's right and bottom
// only count for centred, right and bottom text); DT_EXPANDTABS, DT_SINGLELINE,
// DT_WORDBREAK and DT_NOPREFIX are GDI's; the text is never clipped.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3dx/text_lines.h"
#include "platform/d3dx/texture_size.h"
#include "platform/graphics.h"
#include "platform/ref.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/own_d3dx_win32.h"
#include "platform/win32/text_win32.h"

namespace platform {
namespace {

constexpr size_t kCachedLines = 16;
constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr uint32_t kGdiFullCoverage = 64;  // GGO_GRAY8_BITMAP's levels
static_assert(d3dx::kDtLayout == (DT_EXPANDTABS | DT_SINGLELINE));
static_assert(d3dx::kDtCalcRect == DT_CALCRECT && d3dx::kDtCenter == DT_CENTER);

struct QuadVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};

using Line = d3dx::TextLine<IDirect3DTexture9*>;

void releaseTexture(IDirect3DTexture9* texture) { texture->Release(); }

class OwnFont final : public RefCounted<D3DXFont> {
public:
    OwnFont(IDirect3DDevice9* device, HFONT font, HDC dc, UINT codePage)
        : device_(device), font_(font), dc_(dc), codePage_(codePage) {
        device_->AddRef();
        previousFont_ = SelectObject(dc_, font_);
    }

    int32_t DrawTextA(void* /*sprite*/, const char* text, int32_t count, Rect* rect,
                      uint32_t format, uint32_t colour) override {
        return lines_->drawText(
            text, count, rect, format, [this](Line& line) { return rasterise(line); },
            [&](const Line& line, Point at) { draw(line, at.x, at.y, colour); });
    }

    int32_t OnLostDevice() override {
        if (stateBlock_ != nullptr) {
            stateBlock_->Release();
            stateBlock_ = nullptr;
        }
        return D3D_OK;
    }

    int32_t OnResetDevice() override { return D3D_OK; }  // recorded again when next drawn

private:
    ~OwnFont() override {
        OnLostDevice();
        lines_.reset();
        SelectObject(dc_, previousFont_);
        DeleteDC(dc_);
        DeleteObject(font_);
        // The program gives up its font just before its device: the textures
        // cached go with it.
        win32::releaseTextureCache(device_);
        device_->Release();
    }

    // Lays the text out glyph by glyph, each as GDI's grey-level outline
    // (GGO_GRAY8_BITMAP, as the library renders its glyphs), and copies the
    // coverage into a texture.
    bool rasterise(Line& line) {
        const std::vector<d3dx::GlyphCoverage> glyphs = layOut(line);
        if (glyphs.empty() || line.width <= 0 || line.height <= 0) return true;  // nothing to draw
        UINT width = static_cast<UINT>(line.width);
        UINT height = static_cast<UINT>(line.height);
        if (!fitTextureSize(width, height)) return false;
        return fillTexture(line, d3dx::linePicture(glyphs, width, height, kGdiFullCoverage), width,
                           height);
    }

    // The text in UTF-16, from the code page of the font's character set.
    std::wstring toWide(const std::string& text) const {
        std::wstring wide;
        if (text.empty()) return wide;
        const int size = MultiByteToWideChar(codePage_, 0, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(std::max(size, 0)));
        if (size > 0) {
            MultiByteToWideChar(codePage_, 0, text.data(), static_cast<int>(text.size()),
                                wide.data(), size);
        }
        return wide;
    }

    // The line's glyphs, laid out as GDI does.
    std::vector<d3dx::GlyphCoverage> layOut(Line& line) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        return d3dx::layOutLine(line, toWide(line.text), metrics.tmHeight, metrics.tmAveCharWidth,
                                [&](wchar_t c, d3dx::PlacedGlyph& glyph) {
                                    return glyphOf(c, metrics.tmAscent, glyph);
                                });
    }

    // One glyph as GDI's grey-level outline; a glyph whose bitmap cannot be
    // read still takes its room.
    bool glyphOf(wchar_t c, LONG ascent, d3dx::PlacedGlyph& glyph) const {
        static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        GLYPHMETRICS gm{};
        const DWORD size = GetGlyphOutlineW(dc_, c, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &kIdentity);
        if (size == GDI_ERROR) return false;
        glyph.advance = gm.gmCellIncX;
        if (size == 0 || gm.gmBlackBoxX == 0 || gm.gmBlackBoxY == 0) return true;
        d3dx::GlyphCoverage coverage;
        coverage.x = gm.gmptGlyphOrigin.x;
        coverage.y = ascent - gm.gmptGlyphOrigin.y;
        coverage.width = gm.gmBlackBoxX;
        coverage.height = gm.gmBlackBoxY;
        coverage.pitch = (gm.gmBlackBoxX + 3) & ~3u;
        coverage.coverage.resize(size);
        if (GetGlyphOutlineW(dc_, c, GGO_GRAY8_BITMAP, &gm, size, coverage.coverage.data(),
                             &kIdentity) != GDI_ERROR &&
            size_t{coverage.pitch} * coverage.height <= size) {
            glyph.coverage = std::move(coverage);
        }
        glyph.advance = gm.gmCellIncX;
        return true;
    }

    // The texture size for a line of `width` by `height` as the device's
    // texture caps allow it; false when it is larger than the device takes.
    bool fitTextureSize(UINT& width, UINT& height) const {
        D3DCAPS9 caps{};
        device_->GetDeviceCaps(&caps);
        if ((caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0 &&
            (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) == 0) {
            width = d3dx::nextPowerOfTwo(width);
            height = d3dx::nextPowerOfTwo(height);
        }
        if (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) width = height = std::max(width, height);
        return (caps.MaxTextureWidth == 0 || width <= caps.MaxTextureWidth) &&
               (caps.MaxTextureHeight == 0 || height <= caps.MaxTextureHeight);
    }

    // A managed texture holding `pixels`, `width` by `height`, for the line.
    bool fillTexture(Line& line, const std::vector<uint32_t>& pixels, UINT width, UINT height) {
        IDirect3DTexture9* texture = nullptr;
        bool ok = SUCCEEDED(device_->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8,
                                                   D3DPOOL_MANAGED, &texture, nullptr));
        D3DLOCKED_RECT locked{};
        if (ok) ok = SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0));
        if (ok) {
            for (UINT y = 0; y < height; ++y) {
                std::memcpy(static_cast<unsigned char*>(locked.pBits) +
                                static_cast<size_t>(y) * locked.Pitch,
                            pixels.data() + size_t{y} * width, size_t{width} * 4);
            }
            texture->UnlockRect(0);
        }
        if (!ok) {
            if (texture != nullptr) texture->Release();
            return false;
        }
        line.texture = texture;
        line.textureWidth = width;
        line.textureHeight = height;
        return true;
    }

    // Every state the quad sets, once with the values it needs: recorded into
    // the state block, which then captures the caller's values before a draw.
    void setQuadStates(IDirect3DTexture9* texture) {
        IDirect3DDevice9* d = device_;
        d->SetVertexShader(nullptr);
        d->SetPixelShader(nullptr);
        d->SetFVF(kQuadFvf);
        d->SetTexture(0, texture);
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetRenderState(D3DRS_FOGENABLE, FALSE);
        d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        d->SetRenderState(D3DRS_CLIPPING, TRUE);
        d->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
        d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        d->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        d->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
        d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    }

    void draw(const Line& line, LONG x, LONG y, uint32_t colour) {
        if (stateBlock_ == nullptr) {
            if (FAILED(device_->BeginStateBlock())) return;
            setQuadStates(line.texture);
            if (FAILED(device_->EndStateBlock(&stateBlock_))) stateBlock_ = nullptr;
        }
        // Without a state block, at least the texture goes back: the device
        // object passes a texture set again unchanged no more on.
        IDirect3DBaseTexture9* previous = nullptr;
        if (stateBlock_ != nullptr) {
            stateBlock_->Capture();
        } else {
            device_->GetTexture(0, &previous);
        }
        setQuadStates(line.texture);
        // Texel centres on pixel centres.
        const float left = static_cast<float>(x) - 0.5f;
        const float top = static_cast<float>(y) - 0.5f;
        const float right = left + static_cast<float>(line.textureWidth);
        const float bottom = top + static_cast<float>(line.textureHeight);
        const QuadVertex quad[4] = {
            {left, top, 0.0f, 1.0f, colour, 0.0f, 0.0f},
            {right, top, 0.0f, 1.0f, colour, 1.0f, 0.0f},
            {left, bottom, 0.0f, 1.0f, colour, 0.0f, 1.0f},
            {right, bottom, 0.0f, 1.0f, colour, 1.0f, 1.0f},
        };
        device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
        if (stateBlock_ != nullptr) {
            stateBlock_->Apply();
        } else {
            device_->SetTexture(0, previous);
            if (previous != nullptr) previous->Release();
        }
    }

    IDirect3DDevice9* device_;
    HFONT font_;
    HDC dc_;
    HGDIOBJ previousFont_ = nullptr;
    UINT codePage_;
    IDirect3DStateBlock9* stateBlock_ = nullptr;
    std::optional<d3dx::LineCache<IDirect3DTexture9*>> lines_{std::in_place, kCachedLines,
                                                              releaseTexture};
};

}  // namespace

int32_t D3DXCreateFontIndirect(Direct3DDevice9* device, const FontDescription* description,
                               D3DXFont** font) {
    if (font != nullptr) *font = nullptr;
    IDirect3DDevice9* native = win32::nativeDevice(device);
    if (native == nullptr || description == nullptr || font == nullptr) return D3DERR_INVALIDCALL;

    char faceName[LF_FACESIZE] = {};
    static_assert(sizeof faceName == sizeof description->faceName);
    std::memcpy(faceName, description->faceName, sizeof faceName - 1);
    const std::wstring wideFaceName = win32::wideText(faceName);
    // The library draws its glyphs antialiased (grey levels) unless asked
    // for something else: so does GDI here.
    const BYTE quality =
        description->quality == DEFAULT_QUALITY ? ANTIALIASED_QUALITY : description->quality;
    HFONT created = CreateFontW(
        description->height, static_cast<int>(description->width), 0, 0,
        static_cast<int>(description->weight), description->italic != 0 ? TRUE : FALSE, FALSE,
        FALSE, description->charSet, description->outputPrecision, CLIP_DEFAULT_PRECIS, quality,
        description->pitchAndFamily, wideFaceName.c_str());
    if (created == nullptr) return E_FAIL;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        DeleteObject(created);
        return E_FAIL;
    }
    // The text's code page is the one of the font's character set.
    CHARSETINFO charset{};
    const UINT codePage =
        TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(description->charSet)),
                             &charset, TCI_SRCCHARSET)
            ? charset.ciACP
            : win32::kProgramCodePage;
    *font = new OwnFont(native, created, dc, codePage);
    return D3D_OK;
}

}  // namespace platform
