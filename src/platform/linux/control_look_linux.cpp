#include "platform/linux/control_look_linux.h"

#include <vector>

#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"

namespace platform::x11 {
namespace {

constexpr uint32_t kBorderColour = 0x646464;  // COLOR_WINDOWFRAME
constexpr int32_t kEdgeWidth = 2;

struct EdgeColours {
    int32_t outerTopLeft;
    int32_t outerBottomRight;
    int32_t innerTopLeft;
    int32_t innerBottomRight;
};

EdgeColours coloursOf(Edge edge) {
    switch (edge) {
        case Edge::raised:
            return {COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW};
        case Edge::pressed:
            return {COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNSHADOW};
        case Edge::sunken:
            return {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
        case Edge::frame:
        default:
            return {COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    }
}

// One pixel wide: the top and left sides in one colour, then the bottom and
// right sides over the corners in the other, as DrawEdge does.
void drawRing(::Drawable target, const Rect& r, uint32_t topLeft, uint32_t bottomRight) {
    fillArea(target, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    fillArea(target, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    fillArea(target, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    fillArea(target, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

// A band `width` pixels wide just inside `r`.
void fillBand(::Drawable target, const Rect& r, int32_t width, uint32_t colour) {
    fillArea(target, {r.left, r.top, r.right, r.top + width}, colour);
    fillArea(target, {r.left, r.bottom - width, r.right, r.bottom}, colour);
    fillArea(target, {r.left, r.top, r.left + width, r.bottom}, colour);
    fillArea(target, {r.right - width, r.top, r.right, r.bottom}, colour);
}

Rect inset(const Rect& r, int32_t by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

}  // namespace

void drawEdge(::Drawable target, const Rect& area, Edge edge) {
    const EdgeColours colours = coloursOf(edge);
    drawRing(target, area, systemColour(colours.outerTopLeft),
             systemColour(colours.outerBottomRight));
    drawRing(target, inset(area, 1), systemColour(colours.innerTopLeft),
             systemColour(colours.innerBottomRight));
}

void drawFocusRect(::Drawable target, const Rect& area) {
    Display* connection = display();
    if (connection == nullptr || area.right <= area.left || area.bottom <= area.top) return;
    std::vector<XPoint> dots;
    auto dot = [&dots](int32_t x, int32_t y) {
        if ((x + y) % 2 == 0) dots.push_back({static_cast<short>(x), static_cast<short>(y)});
    };
    for (int32_t x = area.left; x < area.right; ++x) {
        dot(x, area.top);
        dot(x, area.bottom - 1);
    }
    for (int32_t y = area.top + 1; y < area.bottom - 1; ++y) {
        dot(area.left, y);
        dot(area.right - 1, y);
    }
    const GC gc = sharedGc(target);
    XSetForeground(connection, gc, xPixelOf(visualOf(target), systemColour(COLOR_BTNTEXT)));
    XDrawPoints(connection, target, gc, dots.data(), static_cast<int>(dots.size()),
                CoordModeOrigin);
}

void drawWindowFrame(const WindowObject& window) {
    if (window.framedByManager || window.xwindow == None) return;
    Rect area{0, 0, window.place.right - window.place.left, window.place.bottom - window.place.top};
    const bool clientEdge = (window.exStyle & WS_EX_CLIENTEDGE) != 0;
    const int32_t outer = window.frame.left - (clientEdge ? kEdgeWidth : 0);
    if (outer == 1) {
        fillBand(window.xwindow, area, 1, kBorderColour);
    } else if (outer >= kEdgeWidth) {
        drawEdge(window.xwindow, area, Edge::frame);
        fillBand(window.xwindow, inset(area, kEdgeWidth), outer - kEdgeWidth,
                 systemColour(COLOR_BTNFACE));
    }
    if (clientEdge) drawEdge(window.xwindow, inset(area, outer > 0 ? outer : 0), Edge::sunken);
}

}  // namespace platform::x11
