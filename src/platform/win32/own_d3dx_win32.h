// Shared by our own D3DX objects (own_d3dx_*.cpp): reference counting for
// objects that wrap no native COM object.
#pragma once

#include <cstdint>

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

}  // namespace platform::win32
