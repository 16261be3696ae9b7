#include "LogoDisk.h"

#include <boost/filesystem/operations.hpp>

namespace fs = boost::filesystem;

DurableWrite LogoDisk::Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    return WriteDurably(path, bytes.data(), bytes.size());
}

bool LogoDisk::Rename(const fs::path& from, const fs::path& to, bool replace) {
    return RenameDurably(from, to, replace);
}

bool LogoDisk::SyncDirectory(const fs::path& directory) {
    return ::SyncDirectory(directory);
}

bool LogoDisk::Exists(const fs::path& path) {
    return fs::exists(fs::symlink_status(path));
}

bool LogoDisk::IsDirectory(const fs::path& path) {
    boost::system::error_code error;
    return fs::is_directory(path, error);
}

bool LogoDisk::CreateDirectories(const fs::path& directory) {
    boost::system::error_code error;
    fs::create_directories(directory, error);
    return !error;
}

void LogoDisk::RemoveFile(const fs::path& path) {
    boost::system::error_code error;
    if (fs::is_regular_file(fs::symlink_status(path, error))) fs::remove(path, error);
}
