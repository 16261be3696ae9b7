#include "DurableFile.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

DurableWrite WriteDurably(const boost::filesystem::path& path, const uint8_t* data, size_t size) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return DurableWrite::OpenFailed;
    bool ok = true;
    while (ok && size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        ok = WriteFile(file, data, chunk, &written, nullptr) && written > 0;
        data += written;
        size -= written;
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    return ok ? DurableWrite::Written : DurableWrite::WriteFailed;
}

#else
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

DurableWrite WriteDurably(const boost::filesystem::path& path, const uint8_t* data, size_t size) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) return DurableWrite::OpenFailed;
    bool ok = true;
    while (ok && size > 0) {
        const ssize_t written = ::write(file, data, size);
        if (written < 0 && errno == EINTR) continue;
        ok = written > 0;
        if (!ok) break;
        data += written;
        size -= static_cast<size_t>(written);
    }
    ok = ok && ::fsync(file) == 0;
    ok = ::close(file) == 0 && ok;
    return ok ? DurableWrite::Written : DurableWrite::WriteFailed;
}
#endif
