#include "capture/snapshot_name.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// First bytes of the two-byte characters of code page 932.
bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The device names of Windows, matched without regard to case.
bool isDeviceName(const std::string& base) {
    std::string upper;
    for (char c : base) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '0' && upper[3] <= '9';
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

bool isPlainSnapshotName(const char* prefix, int32_t number) {
    const std::string name = std::string(prefix) + std::to_string(number);
    for (size_t at = 0; at < name.size(); ++at) {
        const auto byte = static_cast<unsigned char>(name[at]);
        if (isLeadByte(byte)) {
            ++at;  // the second byte, whatever it is, belongs to the character
            continue;
        }
        if (byte < 0x20 || std::strchr("\\/:*?\"<>|", byte) != nullptr) return false;
    }
    // Windows takes the part before the first dot, without trailing spaces
    // and dots, as the device name.
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
    return !isDeviceName(base);
}
