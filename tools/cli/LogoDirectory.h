#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "LogoRecord.h"

// What the plug-in's start-up scan would do with a file of its logo directory.
enum class LogoFileAction {
    Load,       // held: the highest version of its network, logo id and type
    MoveAside,  // superseded by another file of the same key
    Delete,     // a logo file name, but not a well-formed PNG
    Leave,      // no logo file name, or no plain file of a logo's size, or unreadable: the scan
                // does not touch it
};

struct LogoDirectoryEntry {
    std::string name;       // the file name, UTF-8
    bool logoName = false;  // the ids, type and size of `record` come from the name
    LogoRecord record;      // with the file's bytes when it was read
    LogoFileAction action = LogoFileAction::Leave;
};

// Reads a logo directory the way the plug-in's start-up scan does, changing nothing in it: every
// entry but subdirectories (links to one are listed), judged in listing order, returned sorted by
// name. Throws std::filesystem::filesystem_error when the directory cannot be listed.
std::vector<LogoDirectoryEntry> ReadLogoDirectory(const std::filesystem::path& directory);

const char* ActionName(LogoFileAction action);
