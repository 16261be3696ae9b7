#pragma once

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The store's own file primitives. Every one takes the path in its native form (wide on
// Windows), so that a logo directory under a folder whose name the system code page cannot hold
// works like any other.

enum class DurableWrite { Written, OpenFailed, WriteFailed };

// Creates or truncates the file at `path`, writes the bytes and flushes them to stable storage
// (fsync, FlushFileBuffers) before closing it, so that a rename over a logo's name afterwards
// never exposes an empty or short file after a power cut. WriteFailed may leave a partial file.
DurableWrite WriteDurably(const boost::filesystem::path& path, const uint8_t* data, size_t size);

// Renames a file; with `replace` an existing file of the new name is replaced. On Windows the
// move is written through to the disk before it returns; on POSIX SyncDirectory does that.
bool RenameDurably(const boost::filesystem::path& from, const boost::filesystem::path& to,
                   bool replace);

// Flushes the directory's entries (the renames made in it) to stable storage. Nothing to do on
// Windows, whose moves are written through; an empty path is the working directory.
bool SyncDirectory(const boost::filesystem::path& directory);

// Reads the whole file into `bytes` (replacing its content), through `scratch`, which the caller
// keeps from file to file; false when the file cannot be opened or read.
bool ReadWholeFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch);

// As ReadWholeFile, for an entry of a folder anyone may drop things into: false, without reading,
// when the entry is no regular file (a link is not followed; a FIFO or device is not opened, so
// the call never blocks) or holds more than maxBytes.
bool ReadPlainFile(const boost::filesystem::path& path, std::vector<uint8_t>& bytes,
                   std::vector<uint8_t>& scratch, size_t maxBytes);

// This process's id, which no other running process shares: it makes temporary names unique.
uint32_t CurrentProcessId();

// ".PPPP-SSSS": this process's id and the count of temporaries it has named so far, in upper-case
// hexadecimal. Temporary names of the logo store and the settings writer end in it, so that no two
// writes of one process or of several ever share a temporary.
std::string TemporaryTag();
