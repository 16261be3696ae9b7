#include "DurableFile.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>

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
#include <sys/stat.h>
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

namespace {

// Reads the open file to its end through `scratch` into `bytes`; false when a read fails or the
// file holds more than maxBytes.
bool ReadOpened(HANDLE file, std::vector<uint8_t>& bytes, std::vector<uint8_t>& scratch,
                size_t maxBytes) {
    size_t length = 0;
    for (;;) {
        if (length > maxBytes) return false;
        uint8_t* at = Room(scratch, length);
        const size_t room = std::min(scratch.size() - length, maxBytes - length + 1);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(room, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, at, want, &got, nullptr)) return false;
        if (got == 0) break;
        length += got;
    }
    bytes.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
    return true;
}

// Every sharing mode: another viewer on the folder may replace or move the file meanwhile, and
// its rename must not fail because this one reads.
HANDLE OpenForReading(const boost::filesystem::path& path, DWORD flags) {
    return CreateFileW(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | flags, nullptr);
}

}  // namespace

bool ReadWholeFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch) {
    const HANDLE file = OpenForReading(path, 0);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = ReadOpened(file, bytes, scratch, std::numeric_limits<size_t>::max() - 1);
    CloseHandle(file);
    return ok;
}

bool ReadPlainFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch, size_t maxBytes) {
    // The link itself is opened, and then refused: its target is not read.
    const HANDLE file = OpenForReading(path, FILE_FLAG_OPEN_REPARSE_POINT);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool plain =
        GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
        ((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow) <= maxBytes;
    const bool ok = plain && ReadOpened(file, bytes, scratch, maxBytes);
    CloseHandle(file);
    return ok;
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

namespace {

// Reads the open file to its end through `scratch` into `bytes`; false when a read fails or the
// file holds more than maxBytes.
bool ReadOpened(int file, std::vector<uint8_t>& bytes, std::vector<uint8_t>& scratch,
                size_t maxBytes) {
    size_t length = 0;
    for (;;) {
        if (length > maxBytes) return false;
        uint8_t* at = Room(scratch, length);
        const ssize_t got =
            ::read(file, at, std::min(scratch.size() - length, maxBytes - length + 1));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        length += static_cast<size_t>(got);
    }
    bytes.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
    return true;
}

bool IsPlain(const struct stat& info, size_t maxBytes) {
    return S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) <= maxBytes;
}

}  // namespace

bool ReadWholeFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    const bool ok = ReadOpened(file, bytes, scratch, std::numeric_limits<size_t>::max() - 1);
    ::close(file);
    return ok;
}

bool ReadPlainFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch, size_t maxBytes) {
    // The entry's own type first, so that a device or FIFO is never opened; then the opened
    // file's, without following a link and without waiting for a writer, in case the entry was
    // replaced in between.
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !IsPlain(info, maxBytes)) return false;
    const int file =
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (file < 0) return false;
    const bool ok = ::fstat(file, &info) == 0 && IsPlain(info, maxBytes) &&
                    ReadOpened(file, bytes, scratch, maxBytes);
    ::close(file);
    return ok;
}

#endif

std::string TemporaryTag() {
    static std::atomic<uint32_t> named{0};
    char text[32];
    std::snprintf(text, sizeof text, ".%X-%X", static_cast<unsigned>(CurrentProcessId()),
                  static_cast<unsigned>(named.fetch_add(1) + 1));
    return text;
}
