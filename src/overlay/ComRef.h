#pragma once

// Owns one reference to a Direct3D interface and releases it when replaced or destroyed, so that
// members declared in creation order are released in reverse order of creation.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    void Reset(Interface* replacement = nullptr) {
        if (pointer) pointer->Release();
        pointer = replacement;
    }

    // Releases what is held and lends the slot to a call that creates the interface.
    Interface** Put() {
        Reset();
        return &pointer;
    }

    Interface* Get() const { return pointer; }
    Interface* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

private:
    Interface* pointer = nullptr;
};
