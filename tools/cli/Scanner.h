#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CDTParse.h"
#include "CarouselCollector.h"
#include "Gallery.h"
#include "SDTParse.h"
#include "TypeOneReferences.h"

class LogoStore;

// A logo PNG that could not be written to the --png directory.
struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Runs the plug-in's own SDT and CDT parsers and carousel collector over recordings and prints
// one JSON line for each section that yields logo references or a logo, and for each logo of a
// completed carousel logo module.
class Scanner {
public:
    Scanner(std::ostream& out, std::optional<std::filesystem::path> pngDirectory);

    // Scans one recording from its first packet; packet numbers count from 0 in each. Throws
    // std::runtime_error when the input cannot be read, OutputError when a PNG cannot be written.
    void ScanStream(std::istream& in);
    // After the last recording: names and stores the carousel logos, whose versions any SDT of
    // any recording may give, whatever their order.
    void Finish();

    uint64_t packets = 0;
    uint64_t sections = 0;
    uint64_t carouselLogos = 0;
    // Distinct logos (by network, logo id, version and type) seen so far.
    uint64_t Logos() const { return seen.size(); }

    // With a store: every logo found is offered to it as the plug-in offers what it receives.
    LogoStore* store = nullptr;
    // Unless set, a logo of a lower version than the store holds is not offered: recordings
    // come in any order, and an older one must not turn the folder back.
    bool replaceNewer = false;
    uint64_t stored = 0;     // logos it took in (saves queued)
    bool storeSaved = true;  // false once a save failed

    // Named in the gallery as where a logo first appeared: the recording being scanned.
    std::string source;
    // With a PNG directory: each distinct logo at its first appearance, for the gallery page.
    std::vector<GalleryLogo> gallery;

private:
    // `where` names the recording, packet and module where the logo first appeared.
    void Found(const LogoRecord& logo, const std::string& where);
    void FoundInCarousel(const CarouselLogo& logo);
    // A CDT logo goes in with its own version.
    void Store(const LogoRecord& logo);
    // A carousel logo goes in by the versions rule.
    void StoreCarouselLogo(const LogoRecord& logo);
    // Whether the store holds a higher version that the logo must not replace; `sameVersion`
    // tells whether it holds the logo's own version.
    bool HoldsNewer(const LogoRecord& logo, bool& sameVersion) const;
    // SHA-256 of bytes seen before comes from memory: a recording repeats its logos every cycle.
    const std::string& Sha256Of(const std::vector<uint8_t>& bytes);

    // Hashing and comparing by the bytes' view, so that a look-up copies nothing.
    struct ViewHash {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const {
            return std::hash<std::string_view>{}(bytes);
        }
    };

    std::ostream& out;
    std::optional<std::filesystem::path> pngDirectory;
    SDTParse sdt;
    CDTParse cdt;
    CarouselCollector carousel;
    uint64_t index = 0;
    // onid, logo id, version, type
    std::set<std::tuple<uint16_t, uint16_t, uint16_t, uint8_t>> seen;
    // The type 1 entries of the SDTs, by network and service id: the versions of carousel logos,
    // which carry none.
    TypeOneReferences typeOne;
    std::unordered_map<std::string, std::string, ViewHash, std::equal_to<>> hashes;
    // The carousel logos by network, logo id and type: the last module's bytes, and where the
    // logo first appeared. Decided by Finish.
    struct CarouselFind {
        LogoRecord record;
        std::string where;
    };
    std::map<std::tuple<uint16_t, uint16_t, uint8_t>, CarouselFind> carouselFinds;
};
