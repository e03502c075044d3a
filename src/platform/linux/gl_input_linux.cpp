// DirectInput 8: the program creates the object and releases it, nothing
// more, so a stand-in that holds nothing does.
#include "platform/graphics.h"
#include "platform/linux/gl_objects_linux.h"
#include "platform/ref.h"

namespace platform {
namespace {

class DirectInput final : public RefCounted<DirectInput8> {
private:
    ~DirectInput() override = default;
};

}  // namespace

int32_t DirectInput8Create(InstanceHandle /*instance*/, uint32_t /*version*/,
                           const Guid* interfaceId, DirectInput8** object, void* /*outer*/) {
    if (object != nullptr) *object = nullptr;
    if (interfaceId == nullptr || object == nullptr) return gl::kInvalidCall;
    *object = new DirectInput();
    return gl::kOk;
}

}  // namespace platform
