#include "SettingsReplace.h"

#include <boost/filesystem/operations.hpp>
#include <chrono>
#include <cstdio>
#include <thread>

#include "DurableFile.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cwctype>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace fs = boost::filesystem;

namespace {

// Another writer holds the file only while it rewrites it; longer means it is stuck.
constexpr std::chrono::seconds kLockPatience{10};

fs::path TemporaryBeside(const fs::path& file) {
    fs::path temporary = file;
    temporary += TemporaryTag() + ".tmp";
    return temporary;
}

bool WriteText(const fs::path& path, const std::string& text) {
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    return WriteDurably(path, data, text.size()) == DurableWrite::Written;
}

}  // namespace

fs::path FollowLinks(const fs::path& path) {
    fs::path file = path;
    boost::system::error_code error;
    // A loop of links ends here too; the replace then fails on it, as any unusable file does.
    for (int hop = 0; hop < 40 && fs::is_symlink(file, error); ++hop) {
        const fs::path target = fs::read_symlink(file, error);
        if (error) break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file;
}

#ifdef _WIN32

SettingsFileLock::SettingsFileLock(const fs::path& file) {
    // One name for every spelling of the path: Windows compares names without case.
    std::wstring path = fs::absolute(file).lexically_normal().wstring();
    uint64_t hash = 0xCBF29CE484222325ull;
    for (wchar_t c : path)
        hash = (hash ^ static_cast<uint64_t>(std::towlower(c))) * 0x100000001B3ull;
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Insigno-settings-%016llX",
                  static_cast<unsigned long long>(hash));
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (!mutex) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(kLockPatience);
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(ms.count()));
    // Abandoned: its holder ended without releasing it, having replaced the file or not.
    held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (!held) {
        CloseHandle(mutex);
        return;
    }
    handle = reinterpret_cast<intptr_t>(mutex);
}

SettingsFileLock::~SettingsFileLock() {
    if (handle == -1) return;
    const auto mutex = reinterpret_cast<HANDLE>(handle);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

Replaced ReplaceSettingsFile(const fs::path& file, bool exists, const std::string& text) {
    const fs::path temporary = TemporaryBeside(file);
    bool done = WriteText(temporary, text);
    bool appeared = false;
    if (done && exists) {
        const DWORD attributes = GetFileAttributesW(file.c_str());
        // A replace that keeps the file's attributes, security and streams. A program that has
        // the file open without sharing its deletion (an editor, a scanner) blocks it a moment.
        for (int attempt = 0;; ++attempt) {
            done = ReplaceFileW(file.c_str(), temporary.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
            const DWORD error = GetLastError();
            if (done || attempt == 20 ||
                (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
                 error != ERROR_UNABLE_TO_REMOVE_REPLACED)) {
                break;
            }
            Sleep(50);
        }
        // Without a backup name, a failed last step leaves the old file gone and the new text
        // under the temporary name: it takes the file's name now, or stays where it is.
        if (!done && GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND) {
            if (MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH) == 0)
                return Replaced::Failed;
            done = true;
        }
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if (done && attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) != 0)
            SetFileAttributesW(file.c_str(), attributes & kKept);
    } else if (done) {
        done = MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        const DWORD error = GetLastError();
        appeared = !done && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
    }
    boost::system::error_code ignored;
    if (!done) fs::remove(temporary, ignored);
    return done ? Replaced::Done : appeared ? Replaced::Appeared : Replaced::Failed;
}

#else

SettingsFileLock::SettingsFileLock(const fs::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        const int opened = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (opened < 0) {
            // Nothing to lock: a missing file is only ever created while it is still missing.
            held = errno == ENOENT;
            return;
        }
        int locked = 0;
        while ((locked = ::flock(opened, LOCK_EX | LOCK_NB)) != 0 &&
               (errno == EWOULDBLOCK || errno == EINTR) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        // A file system without locks (ENOLCK, EOPNOTSUPP) is written as before, unlocked.
        if (locked != 0 && (errno == EWOULDBLOCK || errno == EINTR)) {
            ::close(opened);
            return;
        }
        // The writer before us may have replaced the file while we waited: the lock then sits on
        // the old one, and the new one is to be locked instead.
        struct stat locking {};
        struct stat named {};
        if (::fstat(opened, &locking) == 0 && ::stat(file.c_str(), &named) == 0 &&
            locking.st_dev == named.st_dev && locking.st_ino == named.st_ino) {
            handle = opened;
            held = true;
            return;
        }
        ::close(opened);
    }
}

SettingsFileLock::~SettingsFileLock() {
    if (handle != -1) ::close(static_cast<int>(handle));
}

Replaced ReplaceSettingsFile(const fs::path& file, bool exists, const std::string& text) {
    const fs::path temporary = TemporaryBeside(file);
    struct stat original {};
    const bool known = exists && ::stat(file.c_str(), &original) == 0;
    // Created with the file's own permissions before a byte is written: a private file is never
    // readable by others, not even as a temporary.
    const int created =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, known ? 0600 : 0666);
    if (created < 0) return Replaced::Failed;
    bool done = true;
    if (known) {
        // Only root may give a file away; another user keeps at least the group where allowed.
        if (::fchown(created, original.st_uid, original.st_gid) != 0 &&
            ::fchown(created, static_cast<uid_t>(-1), original.st_gid) != 0) {
        }
        done = ::fchmod(created, original.st_mode & 07777) == 0;
    }
    done = ::close(created) == 0 && done;
    done = done && WriteText(temporary, text);
    bool appeared = false;
    boost::system::error_code ignored;
    if (done && exists) {
        done = ::rename(temporary.c_str(), file.c_str()) == 0;
    } else if (done) {
        // A hard link never replaces: a file another writer made meanwhile stays.
        done = ::link(temporary.c_str(), file.c_str()) == 0;
        appeared = !done && errno == EEXIST;
        if (!done && !appeared && !fs::exists(file, ignored))
            done = ::rename(temporary.c_str(), file.c_str()) == 0;  // no hard links here
    }
    if (!done || !exists) fs::remove(temporary, ignored);
    if (done) SyncDirectory(file.parent_path());
    return done ? Replaced::Done : appeared ? Replaced::Appeared : Replaced::Failed;
}

#endif
