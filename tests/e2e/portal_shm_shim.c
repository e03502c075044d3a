/* Preloaded into xdg-desktop-portal-wlr by the portal end-to-end tests only,
 * never part of the program.
 *
 * On a machine without a graphics device, sway (pixman) offers a
 * wlr-screencopy frame in shared memory only, with no linux_dmabuf event, and
 * the wlr portal then refuses to start a stream ("unable to receive a valid
 * format from wlr_screencopy"). This wraps the listener of every
 * zwlr_screencopy_frame_v1: where a frame reaches buffer_done without a
 * linux_dmabuf event, the portal is first told the shared-memory format and
 * size as one. It then offers both to PipeWire, and a client that asks for
 * shared memory (as t462 does) gets frames. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <string.h>
#include <wayland-client-core.h>

struct frame_listener {
    void (*buffer)(void *, struct wl_proxy *, uint32_t, uint32_t, uint32_t, uint32_t);
    void (*flags)(void *, struct wl_proxy *, uint32_t);
    void (*ready)(void *, struct wl_proxy *, uint32_t, uint32_t, uint32_t);
    void (*failed)(void *, struct wl_proxy *);
    void (*damage)(void *, struct wl_proxy *, uint32_t, uint32_t, uint32_t, uint32_t);
    void (*linux_dmabuf)(void *, struct wl_proxy *, uint32_t, uint32_t, uint32_t);
    void (*buffer_done)(void *, struct wl_proxy *);
};

/* The frames the portal listens to, a few at a time; found by the proxy,
 * so that the portal's own user data stays as it set it. */
struct frame {
    struct wl_proxy *proxy;
    const struct frame_listener *inner;
    int told_dmabuf;
    uint32_t format, width, height;
};
static struct frame frames[64];
static unsigned next_frame;

static struct frame *frame_of(struct wl_proxy *proxy) {
    for (unsigned i = 0; i < 64; i++)
        if (frames[i].proxy == proxy) return &frames[i];
    return NULL;
}

/* wl_shm's two codes of its own; every other is the DRM code. */
static uint32_t drm_format(uint32_t shm_format) {
    if (shm_format == 0) return 0x34325241; /* AR24 */
    if (shm_format == 1) return 0x34325258; /* XR24 */
    return shm_format;
}

static void on_buffer(void *data, struct wl_proxy *proxy, uint32_t format, uint32_t width,
                      uint32_t height, uint32_t stride) {
    struct frame *f = frame_of(proxy);
    f->format = format;
    f->width = width;
    f->height = height;
    f->inner->buffer(data, proxy, format, width, height, stride);
}
static void on_flags(void *data, struct wl_proxy *proxy, uint32_t flags) {
    frame_of(proxy)->inner->flags(data, proxy, flags);
}
static void on_ready(void *data, struct wl_proxy *proxy, uint32_t hi, uint32_t lo, uint32_t ns) {
    frame_of(proxy)->inner->ready(data, proxy, hi, lo, ns);
}
static void on_failed(void *data, struct wl_proxy *proxy) {
    frame_of(proxy)->inner->failed(data, proxy);
}
static void on_damage(void *data, struct wl_proxy *proxy, uint32_t x, uint32_t y, uint32_t w,
                      uint32_t h) {
    frame_of(proxy)->inner->damage(data, proxy, x, y, w, h);
}
static void on_dmabuf(void *data, struct wl_proxy *proxy, uint32_t format, uint32_t w, uint32_t h) {
    struct frame *f = frame_of(proxy);
    f->told_dmabuf = 1;
    f->inner->linux_dmabuf(data, proxy, format, w, h);
}
static void on_buffer_done(void *data, struct wl_proxy *proxy) {
    struct frame *f = frame_of(proxy);
    if (!f->told_dmabuf && f->width > 0)
        f->inner->linux_dmabuf(data, proxy, drm_format(f->format), f->width, f->height);
    f->inner->buffer_done(data, proxy);
}
static const struct frame_listener wrapper = {on_buffer, on_flags,  on_ready,      on_failed,
                                              on_damage, on_dmabuf, on_buffer_done};

int wl_proxy_add_listener(struct wl_proxy *proxy, void (**implementation)(void), void *data) {
    static int (*real)(struct wl_proxy *, void (**)(void), void *);
    if (real == NULL) real = (int (*)(struct wl_proxy *, void (**)(void), void *))dlsym(
                          RTLD_NEXT, "wl_proxy_add_listener");
    if (strcmp(wl_proxy_get_class(proxy), "zwlr_screencopy_frame_v1") != 0)
        return real(proxy, implementation, data);
    struct frame *f = &frames[next_frame++ % 64];
    memset(f, 0, sizeof *f);
    f->proxy = proxy;
    f->inner = (const struct frame_listener *)implementation;
    return real(proxy, (void (**)(void))&wrapper, data);
}
