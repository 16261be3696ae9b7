#include "ModuleReference.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {
// Any address inside this module names the module.
void Anchor() {}
}  // namespace

void ModuleReference::Acquire() noexcept {
    if (handle) return;
#ifdef _WIN32
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&Anchor), &module)) {
        handle = module;
    }
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Anchor), &info) && info.dli_fname) {
        // RTLD_NOLOAD: only count up a module that is loaded already.
        handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    }
#endif
}

void ModuleReference::Release() noexcept {
    if (!handle) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
    handle = nullptr;
}
