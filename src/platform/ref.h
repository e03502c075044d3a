// Owning references to the graphics interface's reference-counted objects,
// and the reference count of the objects a backend or our own D3DX makes.
#pragma once

#include <cstdint>
#include <utility>

namespace platform {

// Holds one reference and gives it up with Release, at reset or destruction.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) : object_(object) {}
    ~Ref() { reset(); }
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // For out-parameters: gives up what is held, then offers the slot.
    T** put() {
        reset();
        return &object_;
    }

    void reset() {
        if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
    }

private:
    T* object_ = nullptr;
};

// An implementation of `Interface` counting its references: it starts with
// the one its maker hands out; each Release gives up one, the last deletes it.
template <class Interface>
class RefCounted : public Interface {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    uint32_t AddRef() { return ++count_; }
    uint32_t Release() override {
        if (--count_ != 0) return count_;
        delete this;
        return 0;
    }

protected:
    virtual ~RefCounted() = default;

private:
    uint32_t count_ = 1;
};

}  // namespace platform
