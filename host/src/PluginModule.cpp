#include "insigno/host/PluginModule.h"

#include <stdexcept>
#include <type_traits>

#include "insigno/host/Text.h"

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
#ifdef _WIN32
    return path.wstring();  // the native form
#else
    // The file system's bytes are UTF-8 here; the standard library would convert them through
    // the C locale and fail on the first character beyond ASCII.
    const std::string bytes = path.string();
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::basic_string<WCHAR> wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        length);
    return wide;
#endif
}

PluginModule::PluginModule(const std::filesystem::path& module,
                           const std::filesystem::path& workDir) {
    std::filesystem::create_directories(workDir);
    path = std::filesystem::absolute(workDir / module.filename());
    // A copy as new as the module is kept: loading again after an unload must not rewrite a file
    // the process may still map (a thread of the module's may hold it past the unload).
    if (!std::filesystem::exists(path) ||
        (!std::filesystem::equivalent(module, path) &&
         std::filesystem::last_write_time(path) < std::filesystem::last_write_time(module))) {
        std::filesystem::copy_file(module, path, std::filesystem::copy_options::overwrite_existing);
    }
    handle = LoadLibraryW(WidePath(path).c_str());
    if (!handle) throw std::runtime_error("cannot load the module " + Utf8Path(path));
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
