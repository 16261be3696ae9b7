#pragma once

// Test and benchmark support: real temporary directories and well-formed PNG byte strings.

#include "LogoRecord.h"

#include <boost/crc.hpp>
#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace logo_files {

namespace fs = boost::filesystem;

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() : root(fs::temp_directory_path() / fs::unique_path("insigno-%%%%-%%%%-%%%%-%%%%")) {
        fs::create_directories(root);
    }
    ~TempDir() {
        boost::system::error_code ignored;
        fs::permissions(root, fs::owner_all, ignored);
        fs::remove_all(root, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return root; }

private:
    fs::path root;
};

inline void AppendBigEndian32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(value >> shift));
}

// Appends one chunk with its length and its PNG CRC-32.
inline void AppendChunk(std::vector<uint8_t>& bytes, const char (&type)[5],
                        const std::vector<uint8_t>& data) {
    AppendBigEndian32(bytes, static_cast<uint32_t>(data.size()));
    const size_t typeAt = bytes.size();
    bytes.insert(bytes.end(), type, type + 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    boost::crc_32_type crc;
    crc.process_bytes(&bytes[typeAt], 4 + data.size());
    AppendBigEndian32(bytes, crc.checksum());
}

inline std::vector<uint8_t> Signature() {
    return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
}

// Signature, IHDR, one IDAT of payloadSize bytes that depend on seed, IEND: the chunk structure
// of a logo as broadcast (no PLTE).
inline std::vector<uint8_t> MakePng(size_t payloadSize, uint32_t seed = 1) {
    std::vector<uint8_t> bytes = Signature();
    AppendChunk(bytes, "IHDR", {0, 0, 0, 64, 0, 0, 0, 36, 8, 3, 0, 0, 0});
    std::vector<uint8_t> payload(payloadSize);
    uint32_t state = seed * 2654435761u + 1;
    for (uint8_t& byte : payload) {
        state = state * 1664525u + 1013904223u;
        byte = uint8_t(state >> 24);
    }
    AppendChunk(bytes, "IDAT", payload);
    AppendChunk(bytes, "IEND", {});
    return bytes;
}

inline void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadFile(const fs::path& path) {
    fs::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Names of every entry of the directory, sorted.
inline std::set<std::string> Names(const fs::path& directory) {
    std::set<std::string> names;
    for (fs::directory_iterator entry(directory), end; entry != end; ++entry) {
        names.insert(entry->path().filename().string());
    }
    return names;
}

// The logo 0004_01A_<version>_<type> as the stream side hands it over: a well-formed PNG of
// about payload bytes whose content follows the version.
inline LogoRecord Received(uint16_t version, uint8_t type = 5, size_t payload = 100) {
    LogoRecord record;
    record.originalNetworkId = 4;
    record.logoId = 0x1A;
    record.logoVersion = version;
    record.logoType = type;
    record.data = MakePng(payload, version);
    record.ApplySizeByType();
    return record;
}

}  // namespace logo_files
