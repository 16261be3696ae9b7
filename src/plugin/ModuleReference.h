#pragma once

// A counted reference to the module that contains this code. While it is held, the viewer's
// unloading the module without finalising the plug-in first cannot unmap code that a running
// thread of ours still executes.
class ModuleReference {
public:
    ModuleReference() = default;
    ~ModuleReference() { Release(); }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;

    // Takes the reference; nothing when it is held already or the module cannot be found.
    void Acquire() noexcept;
    void Release() noexcept;
    bool Held() const { return handle != nullptr; }

private:
    void* handle = nullptr;
};
