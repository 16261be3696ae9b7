#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "CDTParse.h"
#include "Gallery.h"
#include "SDTParse.h"

// A logo PNG that could not be written to the --png directory.
struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Runs the plug-in's own SDT and CDT parsers over recordings and prints one JSON line for each
// section that yields logo references or a logo.
class Scanner {
public:
    Scanner(std::ostream& out, std::optional<std::filesystem::path> pngDirectory);

    // Scans one recording from its first packet; packet numbers count from 0 in each. Throws
    // std::runtime_error when the input cannot be read, OutputError when a PNG cannot be written.
    void ScanStream(std::istream& in);

    uint64_t packets = 0;
    uint64_t sections = 0;
    // Distinct logos (by network, logo id, version and type) seen so far.
    uint64_t Logos() const { return seen.size(); }

    // Named in the gallery as where a logo first appeared: the recording being scanned.
    std::string source;
    // With a PNG directory: each distinct logo at its first appearance, for the gallery page.
    std::vector<GalleryLogo> gallery;

private:
    void Found(const LogoRecord& logo, uint64_t packet);

    std::ostream& out;
    std::optional<std::filesystem::path> pngDirectory;
    SDTParse sdt;
    CDTParse cdt;
    std::set<std::string> seen;
};
