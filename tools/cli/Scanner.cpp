#include "Scanner.h"

#include <fstream>
#include <iostream>

#include "LogoStore.h"
#include "PacketReader.h"
#include "PaletteChunk.h"
#include "ScanJson.h"

namespace {

constexpr uint16_t kSdtPid = 0x0011;
constexpr uint16_t kCdtPid = 0x0029;

}  // namespace

Scanner::Scanner(std::ostream& output, std::optional<std::filesystem::path> directory)
    : out(output), pngDirectory(std::move(directory)) {}

void Scanner::ScanStream(std::istream& in) {
    sdt.Reset();
    cdt.Reset();
    PacketReader reader(in);
    uint64_t index = 0;
    for (const uint8_t* packet = reader.Next(); packet != nullptr;
         packet = reader.Next(), ++index) {
        ++packets;
        const uint16_t pid = static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
        // A packet can complete several sections: one line each, in stream order.
        if (pid == kSdtPid) {
            sdt.PushPacket(packet, packet + kTsPacketSize, [&] {
                if (sdt.services.empty()) return;
                out << SdtJsonLine(index, sdt.originalNetworkId, sdt.services) << '\n';
                ++sections;
            });
        } else if (pid == kCdtPid) {
            cdt.PushPacket(packet, packet + kTsPacketSize, [&] {
                if (cdt.logo.data.empty()) return;
                out << CdtJsonLine(index, cdt.downloadDataId, cdt.logo) << '\n';
                ++sections;
                Found(cdt.logo);
            });
        }
    }
    out.flush();
}

void Scanner::Found(const LogoRecord& logo) {
    const std::string name = LogoStore::MakeFileName(logo);
    if (!seen.insert(name).second || !pngDirectory) return;

    // Broadcast logos carry no palette; a viewer needs the fixed one to show them at all.
    const std::vector<uint8_t> png = InsertPalette(logo);
    if (png.empty()) {
        std::cerr << "insigno-scan: logo " << name << " is too short to be a PNG, not written\n";
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(*pngDirectory, error);
    const std::filesystem::path path = *pngDirectory / (name + ".png");
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    if (!file) throw OutputError("cannot write " + path.string());
}
