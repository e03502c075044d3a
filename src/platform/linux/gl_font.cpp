// D3DXCreateFontIndirect with a font object of our own, as the Windows
// backend's: each line of text is laid out glyph by glyph (gl_font_face.h),
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

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3dx/text_lines.h"
#include "platform/graphics.h"
#include "platform/linux/gl_device.h"
#include "platform/linux/gl_font_face.h"
#include "platform/linux/gl_objects.h"

namespace platform {
namespace {

constexpr size_t kCachedLines = 16;
constexpr uint32_t kFreeTypeFullCoverage = 255;

struct Line {
    std::string text;
    uint32_t format = 0;
    GLuint texture = 0;  // 0 for text without pixels
    int32_t width = 0;   // of the text
    int32_t height = 0;
    uint32_t textureWidth = 0;
    uint32_t textureHeight = 0;
    uint64_t lastUse = 0;
};

void releaseLine(Line& line) {
    if (line.texture != 0) glDeleteTextures(1, &line.texture);
    line.texture = 0;
}
using Lines = d3dx::LineCache<Line, void (*)(Line&)>;

GLuint uploadLine(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

class Font final : public gl::RefCounted<D3DXFont> {
public:
    Font(gl::Device& device, std::unique_ptr<gl::FontFace> face)
        : device_(device), face_(std::move(face)) {
        device_.AddRef();
    }

    int32_t DrawTextA(void* /*sprite*/, const char* text, int32_t count, Rect* rect,
                      uint32_t format, uint32_t colour) override {
        if (text == nullptr) return 0;
        const std::string line(text, count < 0 ? std::strlen(text) : static_cast<size_t>(count));
        const Line* cached = find(line, format & d3dx::kDtLayout);
        if (cached == nullptr) return 0;
        const Rect area = rect != nullptr ? *rect : Rect{};
        const Point at = d3dx::placeLine(area, cached->width, cached->height, format);
        if (format & d3dx::kDtCalcRect) {
            if (rect != nullptr)
                *rect = Rect{at.x, at.y, at.x + cached->width, at.y + cached->height};
            return cached->height;
        }
        if (cached->texture != 0) {
            // Texel centres on Direct3D's pixel centres.
            const float left = static_cast<float>(at.x) - 0.5f;
            const float top = static_cast<float>(at.y) - 0.5f;
            device_.drawScreenQuad(cached->texture, left, top,
                                   left + static_cast<float>(cached->textureWidth),
                                   top + static_cast<float>(cached->textureHeight), colour);
        }
        return cached->height;
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

    // The cached line, rasterised now if it is not there yet; null on failure.
    const Line* find(const std::string& text, uint32_t format) {
        if (Line* cached = lines_->find(text, format)) return cached;
        if (!device_.makeCurrent()) return nullptr;
        device_.forgetAppliedState();  // the line's texture is bound to fill it
        Line line;
        line.text = text;
        line.format = format;
        if (!rasterise(line)) return nullptr;
        return lines_->add(std::move(line));
    }

    // Lays the line out glyph by glyph as GDI does: each glyph's bitmap at
    // the pen, the pen moved by its advance; tabs to the next multiple of
    // eight average widths; a line feed starts a new line unless the text is
    // single-line.
    std::vector<d3dx::GlyphCoverage> layOut(Line& line) const {
        const gl::FaceMetrics& metrics = face_->metrics();
        const int32_t tab = 8 * std::max(metrics.averageWidth, 1);
        std::vector<d3dx::GlyphCoverage> glyphs;
        int32_t penX = 0;
        int32_t penY = 0;
        int32_t right = 0;
        for (const char32_t c : face_->decode(line.text)) {
            if (c == U'\r') continue;
            if (c == U'\n' && (line.format & d3dx::kDtSingleLine) == 0) {
                penX = 0;
                penY += metrics.height;
                continue;
            }
            if (c == U'\t' && (line.format & d3dx::kDtExpandTabs) != 0) {
                penX = (penX / tab + 1) * tab;
                right = std::max(right, penX);
                continue;
            }
            gl::GlyphImage image;
            if (!face_->glyph(c, image)) continue;
            if (image.width > 0 && image.height > 0) {
                d3dx::GlyphCoverage glyph;
                glyph.x = penX + image.left;
                glyph.y = penY + metrics.ascent - image.top;
                glyph.width = image.width;
                glyph.height = image.height;
                glyph.pitch = image.pitch;
                glyph.coverage = std::move(image.coverage);
                right = std::max(right, glyph.x + static_cast<int32_t>(glyph.width));
                glyphs.push_back(std::move(glyph));
            }
            penX += image.advance;
            right = std::max(right, penX);
        }
        line.width = right;
        line.height = penY + metrics.height;
        return glyphs;
    }

    bool rasterise(Line& line) {
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
    std::optional<Lines> lines_{std::in_place, kCachedLines, releaseLine};
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
