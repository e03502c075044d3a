// The process entry of the Linux program.
#include <clocale>
#include <cstdio>

#include "app/application.h"
#include "platform/linux/x11_windows.h"

int main() {
    // The character set of keyboard input and of names in the system's
    // language; numbers stay as C writes them.
    std::setlocale(LC_CTYPE, "");
    if (platform::x11::display() == nullptr) {
        std::fprintf(stderr, "t462: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    runApplication();
}
