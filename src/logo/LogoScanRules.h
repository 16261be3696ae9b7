#pragma once

#include <cstdint>
#include <string>

#include <boost/filesystem/path.hpp>

#include "LogoRecord.h"

// The start-up scan's judgement of a logo directory entry, kept apart from the file operations so
// that a reader of the directory that must change nothing (insigno-scan --logo-dir) judges alike.

// The entry's name as narrow text when it is plain ASCII, as every logo file name is; other names
// are never converted, so a name the system code page cannot hold cannot fail a reading of the
// directory.
bool AsciiFileName(const boost::filesystem::path& path, std::string& name);

// Fills the ids, type and size-by-type of the record a logo file name gives; false (the file is
// left alone) when the whole name does not have the logo file-name form.
bool ParseLogoFileName(const std::string& name, LogoRecord& record);

// A scanned file of the key already held is superseded unless its version is higher: among files
// of one key the highest version stays, and of equal versions the one listed first.
inline bool ScanSupersedes(uint16_t heldVersion, uint16_t foundVersion) {
    return heldVersion >= foundVersion;
}
