// Owning references to the graphics interface's reference-counted objects.
#pragma once

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

}  // namespace platform
