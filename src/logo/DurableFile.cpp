#include "DurableFile.h"

#include <algorithm>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#endif

namespace {

// Grows the scratch space by doubling; the bytes read so far stay.
uint8_t* Room(std::vector<uint8_t>& scratch, size_t length) {
    if (length == scratch.size()) scratch.resize(std::max<size_t>(scratch.size() * 2, 16384));
    return scratch.data() + length;
}

}  // namespace

#ifdef _WIN32

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

bool RenameDurably(const boost::filesystem::path& from, const boost::filesystem::path& to,
                   bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(from.c_str(), to.c_str(), flags) != 0;
}

bool SyncDirectory(const boost::filesystem::path& /*directory*/) {
    return true;
}

uint32_t CurrentProcessId() {
    return static_cast<uint32_t>(GetCurrentProcessId());
}

bool ReadWholeFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch) {
    // Every sharing mode: another viewer on the folder may replace or move the file meanwhile,
    // and its rename must not fail because this one reads.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    size_t length = 0;
    bool ok = true;
    for (;;) {
        uint8_t* at = Room(scratch, length);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(scratch.size() - length, 1u << 30));
        DWORD got = 0;
        ok = ReadFile(file, at, want, &got, nullptr) != 0;
        if (!ok || got == 0) break;
        length += got;
    }
    CloseHandle(file);
    if (!ok) return false;
    bytes.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
    return true;
}

#else

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

bool RenameDurably(const boost::filesystem::path& from, const boost::filesystem::path& to,
                   bool /*replace*/) {
    // The caller has made sure no entry of the new name exists when it must not be replaced.
    return std::rename(from.c_str(), to.c_str()) == 0;
}

uint32_t CurrentProcessId() {
    return static_cast<uint32_t>(::getpid());
}

bool SyncDirectory(const boost::filesystem::path& directory) {
    const int entry =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (entry < 0) return false;
    const bool ok = ::fsync(entry) == 0;
    return ::close(entry) == 0 && ok;
}

bool ReadWholeFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    size_t length = 0;
    bool ok = true;
    for (;;) {
        uint8_t* at = Room(scratch, length);
        const ssize_t got = ::read(file, at, scratch.size() - length);
        if (got < 0 && errno == EINTR) continue;
        ok = got >= 0;
        if (got <= 0) break;
        length += static_cast<size_t>(got);
    }
    ::close(file);
    if (!ok) return false;
    bytes.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
    return true;
}

#endif
