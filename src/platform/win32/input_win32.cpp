// DirectInput 8: the object is created and released, nothing more.
#include "platform/graphics.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"

namespace platform {

namespace {

using DirectInputObject = win32::ComObject<DirectInput8, IUnknown>;

GUID native(const Guid& from) {
    GUID to{};
    to.Data1 = from.data1;
    to.Data2 = from.data2;
    to.Data3 = from.data3;
    for (int i = 0; i < 8; ++i) to.Data4[i] = from.data4[i];
    return to;
}

}  // namespace

int32_t DirectInput8Create(InstanceHandle instance, uint32_t version, const Guid* interfaceId,
                           DirectInput8** object, void* outer) {
    if (interfaceId == nullptr) return E_POINTER;
    const GUID id = native(*interfaceId);
    void* created = nullptr;
    const HRESULT result =
        ::DirectInput8Create(win32::native(instance), version, id,
                             object != nullptr ? &created : nullptr, static_cast<IUnknown*>(outer));
    if (object != nullptr)
        *object = win32::wrap<DirectInputObject>(static_cast<IUnknown*>(created));
    return result;
}

}  // namespace platform
