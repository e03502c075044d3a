// Shared by our own D3DX functions (own_d3dx_*.cpp): reference counting for
// objects that wrap no native COM object, reading a whole file or only its
// stamp, and the texture pool that the font gives back at shutdown. File
// names are code page 932, converted by text_win32.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/native_win32.h"
#include "platform/xfile/settled_file_cache.h"

namespace platform::win32 {

template <class Interface>
class OwnObject : public Interface {
public:
    OwnObject() = default;
    OwnObject(const OwnObject&) = delete;
    OwnObject& operator=(const OwnObject&) = delete;

    uint32_t Release() override {
        if (--count_ != 0) return count_;
        delete this;
        return 0;
    }

protected:
    virtual ~OwnObject() = default;

private:
    uint32_t count_ = 1;
};

// The whole file in one read; false when it cannot be opened or read, or is
// larger than `maxBytes`. One open, one size query, one read: the cheapest the
// system has, which matters as the model and its textures are read for every
// frame.
bool readWholeFile(const std::wstring& fileName, size_t maxBytes, std::vector<uint8_t>& bytes);

// The file's size, write time and change time without opening it (under
// Wine, a look at the Unix file, where an open and a close are each a round
// trip to the Wine server); nothing for a folder, a name that is not there, or
// where the system cannot tell (own_d3dx_file_stamp.cpp).
std::optional<xfile::FileStamp> fileStamp(const char* fileName);

// The clock that file times are on, in the same ticks.
uint64_t fileClockNow();

// Gives back the textures kept for reuse on this device (own_d3dx_texture.cpp);
// the font calls it as it goes, which at shutdown is just before the device.
void releaseRecycledTextures(IDirect3DDevice9* device);

}  // namespace platform::win32
