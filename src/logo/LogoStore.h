#pragma once

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "LogoRecord.h"

// The logo directory and the logos held in memory: one record per (network id, logo id, logo
// type), the highest version found at start-up, replaced by every other version received later.
//
// Construction resolves and scans the directory; filesystem errors of that scan leave the
// constructor as boost::filesystem::filesystem_error, whose what() begins with the failed
// operation's name and ": " (for example "boost::filesystem::directory_iterator::construct: ").
// After construction no operation throws: Accept, Save and Lookup run on the stream thread and
// answer every failure with false.
class LogoStore {
public:
    // directorySetting: the LogoDirectory setting; a relative path is taken from baseDirectory
    // (the module's directory). An empty setting gives a store without a directory.
    LogoStore(const boost::filesystem::path& directorySetting,
              const boost::filesystem::path& baseDirectory);
    ~LogoStore();

    LogoStore(const LogoStore&) = delete;
    LogoStore& operator=(const LogoStore&) = delete;

    // "NNNN_III_TT": upper-case hexadecimal, zero-padded to minimum widths, never cut.
    static std::string MakeKey(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType);
    static std::string MakeKey(const LogoRecord& record);
    // "NNNN_III_VVV_TT", no extension.
    static std::string MakeFileName(const LogoRecord& record);
    // True when the whole name (no directory) has the logo file-name form; either case of
    // hexadecimal digit is accepted.
    static bool IsLogoFileName(const std::string& name);
    // PNG signature, then whole chunks with correct CRC-32 up to the last byte.
    static bool IsWellFormedPng(const std::vector<uint8_t>& bytes);

    // Takes in a received logo. False when the very same version is held already, when its
    // bytes are no well-formed PNG (the next start would delete its file) or when the record
    // could not be taken in: then nothing changes. Otherwise the held version's file is moved
    // aside and the record replaces it: true.
    bool Accept(const LogoRecord& record) noexcept;
    // Writes the record's bytes as its logo file, through a temporary file flushed to stable
    // storage and renamed over the final name, so the final name never holds a partial file.
    // Recreates a deleted directory. False when the file could not be written completely; then
    // the version that the last Accept of this record replaced comes back, in memory and under
    // its file name, so that the next repetition of the logo tries again.
    bool Save(const LogoRecord& record) noexcept;
    // Copies the held record of the key into out; false (out unchanged) when none is held.
    bool Lookup(uint16_t originalNetworkId, uint16_t logoId, uint8_t logoType,
                LogoRecord& out) const noexcept;

    // The resolved logo directory; empty when the setting was empty.
    const boost::filesystem::path& Directory() const { return directory; }

    // Suffix of the temporary file Save writes before renaming; such names never have the
    // logo file-name form, so the scan leaves a leftover one alone.
    static constexpr const char* kTemporarySuffix = ".tmp";

private:
    // A held record and the name of its file in the directory as it was found: a file scanned
    // under lower-case digits keeps that name, which an upper-case rebuild would not find on a
    // case-sensitive filesystem.
    struct Held {
        LogoRecord record;
        std::string fileName;
    };

    // What the last Accept replaced, until the Save of its record settles it.
    struct Replaced {
        std::string key;
        LogoRecord accepted;               // identifies the record Save must be given
        std::optional<Held> previous;      // none for the first reception of the key
        boost::filesystem::path movedTo;   // the previous file's moved-aside name; empty if none
        boost::filesystem::path heldPath;  // its name before
    };

    void Scan();
    bool AddScanned(LogoRecord record, const std::string& fileName);
    bool RemoveFile(const boost::filesystem::path& path);
    // Renames the file to its name with underscores appended; the new path in movedTo.
    bool MoveAside(const boost::filesystem::path& path, boost::filesystem::path* movedTo = nullptr);
    // After a failed Save of `record`: the replaced version back, in memory and on disk.
    void RestoreReplaced(const LogoRecord& record) noexcept;

    std::map<std::string, Held> logos;
    boost::filesystem::path directory;
    std::optional<Replaced> replaced;
};
