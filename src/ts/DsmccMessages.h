#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Download messages of a DSM-CC data carousel (ISO/IEC 13818-6, as ARIB STD-B21 uses them),
// decoded from the bytes a DSM-CC section carries between its 8-byte header and its CRC.

// One module as a DownloadInfoIndication announces it.
struct DiiModule {
    uint16_t moduleId = 0;
    uint32_t moduleSize = 0;
    uint8_t moduleVersion = 0;
    // The Name descriptor's (0x02) bytes; empty without one.
    std::string name;
    // Whether moduleInfo carries a compression descriptor (0xC2).
    bool compressed = false;
};

struct DownloadInfo {
    uint32_t transactionId = 0;
    uint32_t downloadId = 0;
    uint16_t blockSize = 0;
    std::vector<DiiModule> modules;
};

// A DownloadDataBlock; `data` points into the decoded bytes and is valid as long as they are.
struct DownloadDataBlock {
    uint32_t downloadId = 0;
    uint16_t moduleId = 0;
    uint8_t moduleVersion = 0;
    uint16_t blockNumber = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The decoded message, or nothing when its header is not that of a download message of this
// kind or a length in it runs past the bytes given. A module whose moduleInfo is malformed
// makes the whole announcement unreadable: its modules cannot be told apart any more.
std::optional<DownloadInfo> DecodeDownloadInfo(const uint8_t* message, size_t size);
std::optional<DownloadDataBlock> DecodeDownloadDataBlock(const uint8_t* message, size_t size);
