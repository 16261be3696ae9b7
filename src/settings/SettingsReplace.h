#pragma once

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <string>

// The settings writer's file system steps, which differ between POSIX and Windows.

// The file a path names once its symbolic links are followed (the path itself when it is none):
// the user's file, which a replace must change rather than the link.
boost::filesystem::path FollowLinks(const boost::filesystem::path& path);

// Held while this process reads, changes and replaces the settings file: another writer of it
// (another viewer on the same folder) waits until it is released. POSIX locks the file itself
// and takes the lock again when the file was replaced meanwhile; Windows, which replaces no file
// held open, uses a named mutex of the file's path.
class SettingsFileLock {
public:
    explicit SettingsFileLock(const boost::filesystem::path& file);
    ~SettingsFileLock();
    SettingsFileLock(const SettingsFileLock&) = delete;
    SettingsFileLock& operator=(const SettingsFileLock&) = delete;
    // False when another writer kept it for several seconds.
    bool Held() const { return held; }

private:
    bool held = false;
    intptr_t handle = -1;  // the locked file (POSIX) or the mutex (Windows)
};

enum class Replaced { Done, Appeared, Failed };

// Writes `text` under a temporary name of this process's own beside `file` and puts it in the
// file's place, flushed: the permissions (POSIX, also the owner) or attributes (Windows) of an
// existing file stay; a missing file is only created while it is still missing (Appeared:
// another writer made it meanwhile). Nothing is left behind on failure.
Replaced ReplaceSettingsFile(const boost::filesystem::path& file, bool exists,
                             const std::string& text);
