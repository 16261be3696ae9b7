#include "insigno/host/PluginModule.h"

#include <stdexcept>
#include <type_traits>

namespace insigno::host {
namespace {

template <typename Function>
Function Resolve(HMODULE module, const char* name) {
    FARPROC address = GetProcAddress(module, name);
    if (!address) throw std::runtime_error(std::string("the module does not export ") + name);
    // Through the generic function pointer type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

std::basic_string<WCHAR> WidePath(const std::filesystem::path& path) {
    if constexpr (sizeof(WCHAR) == sizeof(wchar_t)) {
        const std::wstring wide = path.wstring();
        return {wide.begin(), wide.end()};
    } else {
        const std::u16string wide = path.u16string();
        return {wide.begin(), wide.end()};
    }
}

PluginModule::PluginModule(const std::filesystem::path& module,
                           const std::filesystem::path& workDir) {
    std::filesystem::create_directories(workDir);
    path = std::filesystem::absolute(workDir / module.filename());
    if (!std::filesystem::exists(path) || !std::filesystem::equivalent(module, path)) {
        std::filesystem::copy_file(module, path, std::filesystem::copy_options::overwrite_existing);
    }
    handle = LoadLibraryW(WidePath(path).c_str());
    if (!handle) throw std::runtime_error("cannot load the module " + path.string());
    try {
        getVersion = Resolve<TVTest::GetVersionFunc>(handle, "TVTGetVersion");
        getPluginInfo = Resolve<TVTest::GetPluginInfoFunc>(handle, "TVTGetPluginInfo");
        initialize = Resolve<TVTest::InitializeFunc>(handle, "TVTInitialize");
        finalize = Resolve<TVTest::FinalizeFunc>(handle, "TVTFinalize");
    } catch (...) {
        FreeLibrary(handle);
        handle = nullptr;
        throw;
    }
}

PluginModule::~PluginModule() {
    Unload();
}

bool PluginModule::Unload() {
    if (!handle) return false;
    const bool freed = FreeLibrary(handle) != FALSE;
    handle = nullptr;
    return freed;
}

}  // namespace insigno::host
