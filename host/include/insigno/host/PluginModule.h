#pragma once

// The plug-in module as the viewer holds it: a copy placed in a working directory (so that its
// settings file and logo directory are the run's own), loaded with LoadLibraryW, its four exports
// resolved by name, freed with FreeLibrary.

#include <windows.h>

#include <filesystem>

#include "HostProtocol.h"

namespace insigno::host {

class PluginModule {
public:
    // Copies `module` into `workDir` (created if missing) and loads the copy. Throws
    // std::runtime_error when the module cannot be copied or loaded or lacks an export.
    PluginModule(const std::filesystem::path& module, const std::filesystem::path& workDir);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const std::filesystem::path& Path() const { return path; }
    bool Loaded() const { return handle != nullptr; }
    HMODULE Handle() const { return handle; }

    DWORD GetVersion() const { return getVersion(); }
    BOOL GetPluginInfo(TVTest::PluginDescription* info) const { return getPluginInfo(info); }
    BOOL Initialize(TVTest::HostParam* param) const { return initialize(param); }
    BOOL Finalize() const { return finalize(); }

    // FreeLibrary's result; the exports must not be called afterwards.
    bool Unload();

private:
    std::filesystem::path path;
    HMODULE handle = nullptr;
    TVTest::GetVersionFunc getVersion = nullptr;
    TVTest::GetPluginInfoFunc getPluginInfo = nullptr;
    TVTest::InitializeFunc initialize = nullptr;
    TVTest::FinalizeFunc finalize = nullptr;
};

// A path in the form the platform's wide-character calls take.
std::basic_string<WCHAR> WidePath(const std::filesystem::path& path);

}  // namespace insigno::host
