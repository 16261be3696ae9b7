#include "Scanner.h"

#include <fstream>
#include <iostream>

#include "CarouselVersions.h"
#include "LogoStore.h"
#include "PacketReader.h"
#include "ScanJson.h"
#include "Sha256.h"
#include "TsPacket.h"
#include "ViewablePng.h"

namespace {

// Enough for every logo of a long recording; past it the memory starts afresh.
constexpr size_t kMaxRememberedHashes = 4096;

std::string_view View(const std::vector<uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

Scanner::Scanner(std::ostream& output, std::optional<std::filesystem::path> directory)
    : out(output),
      pngDirectory(std::move(directory)),
      carousel([this](const CarouselLogo& logo) { FoundInCarousel(logo); }) {}

void Scanner::ScanStream(std::istream& in) {
    sdt.Reset();
    cdt.Reset();
    carousel.Reset();
    PacketReader reader(in);
    std::string line;
    index = 0;
    for (const uint8_t* packet = reader.Next(); packet != nullptr;
         packet = reader.Next(), ++index) {
        ++packets;
        const uint16_t pid = PacketPid(packet);
        // A packet can complete several sections: one line each, in stream order.
        if (pid == kSdtPid) {
            sdt.PushPacket(packet, packet + kTsPacketSize, [&] {
                if (sdt.services.empty()) return;
                typeOne.Remember(sdt.originalNetworkId, sdt.services);
                SdtJsonLine(line, index, sdt.originalNetworkId, sdt.services);
                out << line;
                ++sections;
            });
        } else if (pid == kCdtPid) {
            cdt.PushPacket(packet, packet + kTsPacketSize, [&] {
                if (cdt.logo.data.empty()) return;
                CdtJsonLine(line, index, cdt.downloadDataId, cdt.logo, Sha256Of(cdt.logo.data));
                out << line;
                ++sections;
                Found(cdt.logo, source + ", packet " + std::to_string(index));
                Store(cdt.logo);
            });
        } else {
            carousel.PushPacket(packet);
        }
    }
    out.flush();
}

const std::string& Scanner::Sha256Of(const std::vector<uint8_t>& bytes) {
    const auto known = hashes.find(View(bytes));
    if (known != hashes.end()) return known->second;
    if (hashes.size() >= kMaxRememberedHashes) hashes.clear();
    return hashes.emplace(std::string(View(bytes)), Sha256Hex(bytes)).first->second;
}

void Scanner::FoundInCarousel(const CarouselLogo& logo) {
    std::string line;
    CarouselJsonLine(line, index, logo, Sha256Of(logo.png));
    out << line;
    ++carouselLogos;
    // One logo for each network it serves, as the plug-in keeps it.
    std::set<uint16_t> networks;
    for (const CarouselService& service : logo.services) networks.insert(service.originalNetworkId);
    for (const uint16_t network : networks) {
        CarouselFind& find = carouselFinds[{network, logo.logoId, logo.logoType}];
        if (find.where.empty()) {
            find.where = source + ", packet " + std::to_string(index) + ", module " +
                         logo.moduleName + " version " + std::to_string(logo.moduleVersion);
        }
        LogoRecord& record = find.record;
        record.originalNetworkId = network;
        record.logoId = logo.logoId;
        record.logoType = logo.logoType;
        record.data = logo.png;
        record.ApplySizeByType();
    }
}

void Scanner::Finish() {
    for (auto& [key, find] : carouselFinds) {
        LogoRecord& record = find.record;
        const ServiceLogoInfo* reference = typeOne.Find(record.originalNetworkId, record.logoId);
        record.logoVersion = reference ? reference->logoVersion : 0;
        Found(record, find.where);
        StoreCarouselLogo(record);
    }
    carouselFinds.clear();
}

bool Scanner::HoldsNewer(const LogoRecord& logo, bool& sameVersion) const {
    LogoRecord held;
    sameVersion = false;
    if (!store->Lookup(logo.originalNetworkId, logo.logoId, logo.logoType, held)) return false;
    sameVersion = held.logoVersion == logo.logoVersion;
    return !replaceNewer && held.logoVersion > logo.logoVersion;
}

void Scanner::Store(const LogoRecord& logo) {
    if (store == nullptr) return;
    bool sameVersion = false;
    if (HoldsNewer(logo, sameVersion) || sameVersion) return;
    if (store->Accept(logo)) {
        ++stored;
        return;
    }
    // Refused for a full queue (or a malformed PNG): once the writer caught up, it fits.
    storeSaved = store->Flush() && storeSaved;
    if (store->Accept(logo)) ++stored;
}

void Scanner::StoreCarouselLogo(const LogoRecord& logo) {
    if (store == nullptr) return;
    // Finish gave the logo the version the versions rule files it under.
    bool sameVersion = false;
    if (HoldsNewer(logo, sameVersion)) return;
    LogoStore::Taken taken = FileCarouselLogo(logo, typeOne, *store);
    if (taken == LogoStore::Taken::Refused) {
        // Refused for a full queue: once the writer caught up, it fits.
        storeSaved = store->Flush() && storeSaved;
        taken = FileCarouselLogo(logo, typeOne, *store);
    }
    if (taken == LogoStore::Taken::Queued) ++stored;
}

void Scanner::Found(const LogoRecord& logo, const std::string& where) {
    if (!seen.emplace(logo.originalNetworkId, logo.logoId, logo.logoVersion, logo.logoType)
             .second ||
        !pngDirectory) {
        return;
    }
    const std::string name = LogoStore::MakeFileName(logo);
    if (!WriteViewablePng(*pngDirectory, name, logo)) {
        std::cerr << "insigno-scan: logo " << name << " is too short to be a PNG, not written\n";
        return;
    }
    gallery.push_back({logo, name + ".png", where, false});
}
