#include "capture/snapshot_name.h"

#include <cstdio>
#include <cstring>

namespace {

// First bytes of the two-byte characters of code page 932.
bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

void trimBrokenCharacter(char* text) {
    const size_t length = std::strlen(text);
    size_t at = 0;
    while (at < length) {
        const size_t next = isLeadByte(static_cast<unsigned char>(text[at])) ? at + 2 : at + 1;
        if (next > length) {
            text[at] = '\0';
            return;
        }
        at = next;
    }
}

bool formatSnapshotName(char (&name)[kSnapshotNameCapacity], const char* prefix, int32_t number) {
    const int needed =
        std::snprintf(name, sizeof name, kSnapshotNameFormat, prefix, static_cast<int>(number));
    if (needed >= 0 && static_cast<size_t>(needed) < sizeof name) return true;
    trimBrokenCharacter(name);
    return false;
}
