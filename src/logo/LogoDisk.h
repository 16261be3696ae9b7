#pragma once

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <vector>

#include "DurableFile.h"

// Every file operation of a save, as the store's writer thread calls them; the default is the
// real file system. Tests put a subclass in its place to see which thread calls, to fail a step
// or to look at the directory between two steps.
class LogoDisk {
public:
    virtual ~LogoDisk() = default;

    virtual DurableWrite Write(const boost::filesystem::path& path,
                               const std::vector<uint8_t>& bytes);
    virtual bool Rename(const boost::filesystem::path& from, const boost::filesystem::path& to,
                        bool replace);
    virtual bool SyncDirectory(const boost::filesystem::path& directory);
    // Whether any entry of that name exists, a dangling link too; throws filesystem_error when
    // that cannot be told (the directory cannot be searched).
    virtual bool Exists(const boost::filesystem::path& path);
    virtual bool IsDirectory(const boost::filesystem::path& path);
    virtual bool CreateDirectories(const boost::filesystem::path& directory);
    // Removes a plain file (never an entry of another kind).
    virtual void RemoveFile(const boost::filesystem::path& path);
};
