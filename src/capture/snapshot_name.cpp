#include "capture/snapshot_name.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace {

// The device names of Windows, matched without regard to case.
bool isDeviceName(const std::string& base) {
    using platform::equalsIgnoringAsciiCase;
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (equalsIgnoringAsciiCase(base, device)) return true;
    const std::string_view stem = std::string_view(base).substr(0, 3);
    return base.size() == 4 &&
           (equalsIgnoringAsciiCase(stem, "COM") || equalsIgnoringAsciiCase(stem, "LPT")) &&
           base[3] >= '0' && base[3] <= '9';
}

}  // namespace

bool formatSnapshotName(char (&name)[kSnapshotNameCapacity], const char* prefix, int32_t number) {
    const int needed =
        std::snprintf(name, sizeof name, kSnapshotNameFormat, prefix, static_cast<int>(number));
    if (needed >= 0 && static_cast<size_t>(needed) < sizeof name) return true;
    platform::trimSplitCp932Character(name);
    return false;
}

bool isPlainSnapshotName(const char* prefix, int32_t number) {
    const std::string name = std::string(prefix) + std::to_string(number);
    for (size_t at = 0; at < name.size(); ++at) {
        const auto byte = static_cast<unsigned char>(name[at]);
        if (platform::isCp932LeadByte(byte)) {
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
