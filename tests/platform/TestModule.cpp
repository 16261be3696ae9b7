// A module loaded by the module tests. Like the plug-in's Linux entry point, it finds its own
// instance handle when it is loaded, from an address inside itself.
#include <windows.h>

namespace {

HMODULE instance = nullptr;

__attribute__((constructor)) void Attach() {
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&instance), &instance);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HMODULE TestModuleInstance() {
    return instance;
}
