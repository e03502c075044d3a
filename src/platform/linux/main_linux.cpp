// The process entry of the Linux program.
#include <malloc.h>

#include <clocale>
#include <cstdio>

#include "app/application.h"
#include "platform/linux/x11_windows.h"

int main() {
    // Mesa's software renderer keeps its drawing state for each draw whose
    // texture differs from the one before, tens of kilobytes each, and frees
    // it all when the frame is drawn: a model of many textured and untextured
    // materials leaves megabytes free at the top of the heap every frame.
    // Given back to the system at once (the library's default beyond 128 KB),
    // they were faulted in again the next frame, which cost the heavy model of
    // 2,000 materials (tools/make-heavy-models.py) most of its frame rate
    // (about 20 against 80 frames per second of processor time). Large blocks
    // (pictures) still come from and go back to the system at once.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    // The character set of keyboard input and of names in the system's
    // language; numbers stay as C writes them.
    std::setlocale(LC_CTYPE, "");
    if (platform::x11::display() == nullptr) {
        std::fprintf(stderr, "t462: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    runApplication();
}
