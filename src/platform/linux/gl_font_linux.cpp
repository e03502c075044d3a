// D3DXCreateFontIndirect with a font object of our own, as the Windows
// backend's: each line of text is laid out glyph by glyph (gl_font_face_linux.h),
// its coverage made into a texture by d3dx::linePicture, and drawn as one
// screen quad whose colour is the text colour. Lines already rasterised are
// kept (d3dx::LineCache), so an unchanged status line costs a quad.
//
// The quad is drawn through the device's own screen-quad path, which sets
// the OpenGL state it needs and leaves the device's Direct3D state as it was;
// the next draw sets OpenGL's state from that again.
//
// Formats: DT_CALCRECT measures; DT_LEFT/CENTER/RIGHT and DT_TOP/VCENTER/
// BOTTOM place the text in the rectangle (d3dx::placeLine); DT_EXPANDTABS
// and DT_SINGLELINE are GDI's; the text is never clipped.
#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3dx/text_lines.h"
#include "platform/graphics.h"
#include "platform/linux/gl_device_linux.h"
#include "platform/linux/gl_font_face_linux.h"
#include "platform/linux/gl_objects_linux.h"
#include "platform/linux/gl_texture_linux.h"
#include "platform/ref.h"

namespace platform {
namespace {

constexpr size_t kCachedLines = 16;
constexpr uint32_t kFreeTypeFullCoverage = 255;

using Line = d3dx::TextLine<GLuint>;

void releaseTexture(GLuint texture) { glDeleteTextures(1, &texture); }

GLuint uploadLine(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height) {
    return gl::uploadPixels(pixels.data(), width, height, GL_RGBA8, GL_CLAMP_TO_EDGE);
}

class Font final : public RefCounted<D3DXFont> {
public:
    Font(gl::Device& device, std::unique_ptr<gl::FontFace> face)
        : device_(device), face_(std::move(face)) {
        device_.AddRef();
    }

    int32_t DrawTextA(void* /*sprite*/, const char* text, int32_t count, Rect* rect,
                      uint32_t format, uint32_t colour) override {
        return lines_->drawText(
            text, count, rect, format, [this](Line& line) { return rasterise(line); },
            [&](const Line& line, Point at) {
                // Texel centres on Direct3D's pixel centres.
                const float left = static_cast<float>(at.x) - 0.5f;
                const float top = static_cast<float>(at.y) - 0.5f;
                device_.drawScreenQuad(line.texture, left, top,
                                       left + static_cast<float>(line.textureWidth),
                                       top + static_cast<float>(line.textureHeight), colour);
            });
    }

    // The line textures are the font's own and outlive a reset.
    int32_t OnLostDevice() override { return gl::kOk; }
    int32_t OnResetDevice() override { return gl::kOk; }

private:
    ~Font() override {
        device_.makeCurrent();
        lines_.reset();
        device_.Release();
    }

    // The line's glyphs from the FreeType face, laid out as GDI does.
    std::vector<d3dx::GlyphCoverage> layOut(Line& line) const {
        const gl::FaceMetrics& metrics = face_->metrics();
        return d3dx::layOutLine(line, face_->decode(line.text), metrics.height,
                                metrics.averageWidth, [&](char32_t c, d3dx::PlacedGlyph& glyph) {
                                    return glyphOf(c, metrics.ascent, glyph);
                                });
    }

    // One glyph of the face; false for one it cannot make.
    bool glyphOf(char32_t c, int32_t ascent, d3dx::PlacedGlyph& glyph) const {
        gl::GlyphImage image;
        if (!face_->glyph(c, image)) return false;
        glyph.advance = image.advance;
        d3dx::GlyphCoverage& coverage = glyph.coverage;
        coverage.x = image.left;
        coverage.y = ascent - image.top;
        coverage.width = image.width;
        coverage.height = image.height;
        coverage.pitch = image.pitch;
        coverage.coverage = std::move(image.coverage);
        return true;
    }

    // The line's picture as a texture of its own; false on failure.
    bool rasterise(Line& line) {
        if (!device_.makeCurrent()) return false;
        device_.forgetAppliedState();  // the line's texture is bound to fill it
        const std::vector<d3dx::GlyphCoverage> glyphs = layOut(line);
        if (glyphs.empty() || line.width <= 0 || line.height <= 0) return true;  // nothing to draw
        const auto width = static_cast<uint32_t>(line.width);
        const auto height = static_cast<uint32_t>(line.height);
        if (width > device_.maxTextureSize() || height > device_.maxTextureSize()) return false;
        line.texture = uploadLine(d3dx::linePicture(glyphs, width, height, kFreeTypeFullCoverage),
                                  width, height);
        line.textureWidth = width;
        line.textureHeight = height;
        return line.texture != 0;
    }

    gl::Device& device_;
    std::unique_ptr<gl::FontFace> face_;
    std::optional<d3dx::LineCache<GLuint>> lines_{std::in_place, kCachedLines, releaseTexture};
};

}  // namespace

int32_t D3DXCreateFontIndirect(Direct3DDevice9* device, const FontDescription* description,
                               D3DXFont** font) {
    if (font != nullptr) *font = nullptr;
    if (device == nullptr || description == nullptr || font == nullptr) return gl::kInvalidCall;
    std::unique_ptr<gl::FontFace> face = gl::FontFace::open(*description);
    if (!face) return gl::kFail;
    *font = new Font(static_cast<gl::Device&>(*device), std::move(face));
    return gl::kOk;
}

}  // namespace platform
