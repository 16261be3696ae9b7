#pragma once

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <cstdint>

enum class DurableWrite { Written, OpenFailed, WriteFailed };

// Creates or truncates the file at `path`, writes the bytes and flushes them to stable storage
// (fsync, FlushFileBuffers) before closing it, so that a rename over a logo's name afterwards
// never exposes an empty or short file after a power cut. WriteFailed may leave a partial file.
DurableWrite WriteDurably(const boost::filesystem::path& path, const uint8_t* data, size_t size);
