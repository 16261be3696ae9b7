#include "ModulePaths.h"

#include <vector>

namespace {

// A wide path as the file functions take it: natively on Windows; the stand-in's file system
// names are UTF-8.
boost::filesystem::path FromWide(const std::wstring& wide) {
#ifdef _WIN32
    return boost::filesystem::path(wide);
#else
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                        length, nullptr, nullptr);
    return boost::filesystem::path(bytes);
#endif
}

std::wstring ModuleFileName(HINSTANCE module) {
    // Long paths do not fit MAX_PATH: grow until the name is not cut.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

ModulePaths FindModulePaths(HINSTANCE module) {
    const boost::filesystem::path file = FromWide(ModuleFileName(module));
    ModulePaths paths;
    paths.directory = file.parent_path();
    paths.settingsFile = file;
    paths.settingsFile.replace_extension(".ini");
    return paths;
}

boost::filesystem::path SettingPath(const std::string& text) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return FromWide(wide);
}
