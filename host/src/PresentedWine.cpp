// Under Wine the overlay's Direct3D 9 child window is an X window of its own, and what Wine's
// Direct3D presented is in it: xwd reads it back, palette colours included. Wine starts Unix
// programs from CreateProcess; on Windows itself (no Wine) the presented picture stays unknown.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "insigno/host/Probe.h"
#include "insigno/host/Text.h"

namespace insigno::host {
namespace {

using UnixToDos = WCHAR*(CDECL*)(const char*);
using DosToUnix = char*(CDECL*)(const WCHAR*);

FARPROC WineExport(const char* name) {
    return GetProcAddress(GetModuleHandleW(L"kernel32"), name);
}

// Wine's names of a path on the other side; empty outside Wine.
std::wstring DosName(const std::string& unixPath) {
    const auto convert =
        reinterpret_cast<UnixToDos>(reinterpret_cast<void*>(WineExport("wine_get_dos_file_name")));
    WCHAR* dos = convert ? convert(unixPath.c_str()) : nullptr;
    if (!dos) return {};
    std::wstring name(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return name;
}

std::string UnixName(const std::wstring& dosPath) {
    const auto convert =
        reinterpret_cast<DosToUnix>(reinterpret_cast<void*>(WineExport("wine_get_unix_file_name")));
    char* unix = convert ? convert(dosPath.c_str()) : nullptr;
    if (!unix) return {};
    std::string name(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return name;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    const DWORD size = GetFileSize(file, nullptr);
    std::string data(size == INVALID_FILE_SIZE ? 0 : size, '\0');
    DWORD read = 0;
    if (!ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr)) read = 0;
    data.resize(read);
    CloseHandle(file);
    return data;
}

// Runs a shell command of the Unix side and returns its standard output; empty when it could
// not run, failed or took over 10 s. Wine gives no handle to wait on for a Unix process: the
// command renames its output into place when done, and that name is polled for.
std::string RunUnix(const std::string& command) {
    const std::wstring shell = DosName("/bin/sh");
    WCHAR folder[MAX_PATH + 1] = {}, file[MAX_PATH + 1] = {};
    if (shell.empty() || !GetTempPathW(MAX_PATH, folder) ||
        !GetTempFileNameW(folder, L"ins", 0, file)) {
        return {};
    }
    DeleteFileW(file);
    const std::string target = UnixName(file);
    std::string output;
    if (!target.empty()) {
        std::wstring line = L"\"" + shell + L"\" -c \"" +
                            std::wstring(command.begin(), command.end()) + L" >'" +
                            std::wstring(target.begin(), target.end()) + L".part' && mv '" +
                            std::wstring(target.begin(), target.end()) + L".part' '" +
                            std::wstring(target.begin(), target.end()) + L"'\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(shell.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            if (process.hThread) CloseHandle(process.hThread);
            if (process.hProcess) CloseHandle(process.hProcess);
            for (int waited = 0;
                 waited < 10000 && GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES;
                 waited += 10) {
                Sleep(10);
            }
            output = ReadAll(file);
        }
    }
    DeleteFileW(file);
    return output;
}

// The X window where Wine's Direct3D draws `window`: a child window has none of its own in
// Wine's X11 driver, so Direct3D gets an X window of the child's size without a name or class,
// under a hidden parent. The first such window of that size in the tree (one overlay per run).
std::string XWindowOf(LONG width, LONG height) {
    if (width <= 0 || height <= 0) return {};
    const std::string size = "()  " + std::to_string(width) + "x" + std::to_string(height) + "+";
    const std::string tree = RunUnix("xwininfo -root -tree");
    for (std::size_t from = 0; from < tree.size();) {
        std::size_t end = tree.find('\n', from);
        if (end == std::string::npos) end = tree.size();
        const std::string line = tree.substr(from, end - from);
        from = end + 1;
        if (line.find("(has no name): " + size) == std::string::npos) continue;
        const std::size_t id = line.find("0x");
        if (id == std::string::npos) continue;
        const std::size_t idEnd = line.find(' ', id);
        return line.substr(id, idEnd - id);
    }
    return {};
}

std::uint32_t BigEndian(const std::string& data, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(data[at + i]);
    return value;
}

int LowestBit(std::uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// An X window dump (XWD version 7) of 32 bits per pixel as 0xFFRRGGBB pixels; the header is
// big-endian, the pixels in the byte order the header gives.
std::optional<Image> DecodeXwd(const std::string& data) {
    enum Field {
        HeaderSize,
        Version,
        Format,
        Depth,
        Width,
        Height,
        XOffset,
        ByteOrder,
        BitmapUnit,
        BitOrder,
        BitmapPad,
        BitsPerPixel,
        BytesPerLine,
        VisualClass,
        RedMask,
        GreenMask,
        BlueMask,
        BitsPerRgb,
        ColormapEntries,
        Colours,
        FieldCount
    };
    if (data.size() < FieldCount * 4) return std::nullopt;
    auto field = [&](Field f) { return BigEndian(data, static_cast<std::size_t>(f) * 4); };
    if (field(Version) != 7 || field(Format) != 2 || field(BitsPerPixel) != 32) return std::nullopt;
    const std::uint32_t width = field(Width), height = field(Height), stride = field(BytesPerLine);
    const std::size_t start = static_cast<std::size_t>(field(HeaderSize)) + 12u * field(Colours);
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || stride < 4 * width ||
        start > data.size() || (data.size() - start) / stride < height) {
        return std::nullopt;
    }
    const std::uint32_t masks[3] = {field(RedMask), field(GreenMask), field(BlueMask)};
    const bool msbFirst = field(ByteOrder) == 1;
    Image image{static_cast<int>(width), static_cast<int>(height), {}};
    image.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(y) * stride + 4u * x;
            std::uint32_t raw = 0;
            for (std::size_t i = 0; i < 4; ++i) {
                const auto byte =
                    static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + i]));
                raw |= byte << (msbFirst ? 8 * (3 - i) : 8 * i);
            }
            std::uint32_t pixel = 0xFF000000u;
            for (int c = 0; c < 3; ++c) {
                pixel |= (((raw & masks[c]) >> LowestBit(masks[c])) & 0xFF) << (16 - 8 * c);
            }
            image.pixels.push_back(pixel);
        }
    }
    return image;
}

// xwd leaves out what lies off the screen, and Wine keeps the hidden parent of child Direct3D
// windows at (-1, -1): the capture lacks the window's top row and left column. They are filled
// from their neighbours so that the picture has the window's size and its pixels their places.
Image PadTopLeft(const Image& captured, int width, int height) {
    const int dx = width - captured.width, dy = height - captured.height;
    if (dx < 0 || dy < 0 || dx > 1 || dy > 1) return captured;
    Image image{width, height,
                std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = std::max(x - dx, 0), sy = std::max(y - dy, 0);
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                captured.pixels[static_cast<std::size_t>(sy) * captured.width + sx];
        }
    }
    return image;
}

}  // namespace

std::int64_t DeviceCallsOffTheirThread() {
    return 0;
}

std::int64_t PresentCount(HWND) {
    return -1;
}

std::optional<Image> PresentedImage(HWND window) {
    RECT area{};
    if (!window || !GetClientRect(window, &area)) return std::nullopt;
    const std::string id = XWindowOf(area.right, area.bottom);
    if (id.empty()) return std::nullopt;
    const auto captured = DecodeXwd(RunUnix("xwd -silent -id " + id));
    if (!captured) return std::nullopt;
    return PadTopLeft(*captured, area.right, area.bottom);
}

}  // namespace insigno::host
