// BS and CS logos from the engineering service's data carousel, played through the viewer
// stand-in: every logo of the modules lands in the logo directory under the version the SDT of
// its network gives, and the watched service's logo is shown on the next visit.

#include <filesystem>
#include <map>

#include "Carousel.h"
#include "Descriptors.h"
#include "LogoStore.h"
#include "ModuleFixture.h"
#include "Packetizer.h"
#include "Sections.h"

namespace insigno::it {
namespace {

constexpr std::uint16_t BS = 0x0004, CS1 = 0x0006, CS2 = 0x0007;
constexpr std::uint16_t PMT_PID = 0x0901, BS_PID = 0x0911, CS_PID = 0x0912;
constexpr std::uint16_t BLOCK = 700;  // modules of several blocks

struct Logo {
    std::uint16_t id;
    std::uint8_t type;
    std::vector<tswriter::CarouselService> services;
    Bytes png;
};

const Logo kBsFive{0x020, 5, {{BS, 0x4010, 0x0101}}, SplitLogo(5, 1, 2)};
const Logo kBsTwo{0x020, 2, {{BS, 0x4010, 0x0101}}, SplitLogo(2, 1, 2)};
const Logo kBsOther{0x021, 5, {{BS, 0x4011, 0x0102}}, SplitLogo(5, 4, 7)};
// A CS logo for services of two networks whose SDT this stream does not carry.
const Logo kCsShared{0x030, 5, {{CS1, 0x6020, 0x0200}, {CS2, 0x7020, 0x0300}}, SplitLogo(5, 2, 4)};
// A CS logo the directory holds already in version 2: without an SDT version it stays as it is.
const Logo kCsHeld{0x031, 5, {{CS1, 0x6020, 0x0201}}, SplitLogo(5, 7, 1)};

// The carousel of `carrier` with one module per logo type, as the engineering service sends it.
Bytes CarouselPackets(tswriter::Packetizer& packets, std::uint32_t downloadId, const char* prefix,
                      const std::vector<Logo>& logos) {
    std::map<std::uint8_t, std::vector<tswriter::CarouselLogoEntry>> byType;
    for (const Logo& logo : logos) byType[logo.type].push_back({logo.id, logo.services, logo.png});
    tswriter::DiiSection dii;
    dii.downloadId = downloadId;
    dii.blockSize = BLOCK;
    std::vector<Bytes> sections{{}};
    std::uint16_t moduleId = 0;
    for (const auto& [type, entries] : byType) {
        const Bytes module = tswriter::LogoModule(type, entries);
        const std::string name = std::string(prefix) + "LOGO-0" + char('0' + type);
        dii.modules.push_back({moduleId, static_cast<std::uint32_t>(module.size()), 1, name, {}});
        for (Bytes& block : tswriter::ModuleBlocks(downloadId, moduleId, 1, module, BLOCK)) {
            sections.push_back(std::move(block));
        }
        ++moduleId;
    }
    sections[0] = dii.Build();
    return packets.BackToBack(sections);
}

Bytes CarouselStream() {
    tswriter::SdtSection sdt;
    sdt.transportStreamId = 0x4010;
    sdt.originalNetworkId = BS;
    for (const auto& [service, logo] : {std::pair{0x0101, kBsFive.id}, {0x0102, kBsOther.id}}) {
        tswriter::SdtService entry;
        entry.serviceId = static_cast<std::uint16_t>(service);
        entry.descriptors = tswriter::LogoTransmissionType1(logo, 3, 0x0300);
        sdt.services.push_back(entry);
    }
    tswriter::Packetizer sdtPackets(tswriter::kSdtPid), pat(tswriter::kPatPid), pmt(PMT_PID);
    tswriter::Packetizer bs(BS_PID), cs(CS_PID);
    Bytes stream;
    for (int cycle = 0; cycle < 2; ++cycle) {
        for (const Bytes& part :
             {sdtPackets.BackToBack({sdt.Build()}),
              pat.BackToBack({tswriter::PatSection(0x4010, {{0x0101, 0x01F0}, {0x03A1, PMT_PID}})}),
              pmt.BackToBack(
                  {tswriter::PmtSection(0x03A1, {{0x0D, BS_PID, 0x79}, {0x0D, CS_PID, 0x7A}})}),
              CarouselPackets(bs, 0x10, "", {kBsFive, kBsTwo, kBsOther}),
              CarouselPackets(cs, 0x20, "CS_", {kCsShared, kCsHeld})}) {
            stream.insert(stream.end(), part.begin(), part.end());
        }
    }
    return stream;
}

LogoRecord RecordOf(const Logo& logo, std::uint16_t network, std::uint16_t version) {
    return Record(network, {0, logo.id, version, logo.type, logo.png});
}

TEST_F(ModuleTest, CarouselFillsTheLogoDirectoryAndTheWatchedLogoShowsNextVisit) {
    const LogoRecord held = RecordOf(kCsHeld, CS1, 2);
    SeedLogo(held);
    HostOptions options = Options();
    options.initial.channels = {{1, BS, 0x0101, "BS1"}, {1, BS, 0x0102, "BS2"}};
    options.initial.current.reset();
    options.initial.services.clear();
    PlayStream(options, CarouselStream());
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Tune(0);

    // Versions from the BS SDT; the CS logo, whose networks' SDT never came, as version 0 under
    // each of its networks; the held CS logo left alone.
    const std::vector<LogoRecord> expected{RecordOf(kBsFive, BS, 3),    RecordOf(kBsTwo, BS, 3),
                                           RecordOf(kBsOther, BS, 3),   RecordOf(kCsShared, CS1, 0),
                                           RecordOf(kCsShared, CS2, 0), held};
    std::map<std::string, Bytes> want;
    std::set<std::string> names;
    for (const LogoRecord& record : expected) {
        want[LogoStore::MakeFileName(record)] = record.data;
        names.insert(LogoStore::MakeFileName(record));
    }
    // The writer thread saves through temporary files: read only once the names are final.
    ASSERT_TRUE(WaitFor([&] { return LogoFiles(LogoDir()) == names; }));
    ASSERT_TRUE(WaitPasses(2));
    std::map<std::string, Bytes> onDisk;
    for (const std::string& name : LogoFiles(LogoDir())) onDisk[name] = ReadFile(LogoDir() / name);
    EXPECT_EQ(onDisk, want);

    Tune(0);
    EXPECT_TRUE(WaitFor([&] {
        const auto image = Presented();
        return host->Overlay().visible && image &&
               ShowsSplit(*image, 64, 36, PrimaryColour(1), PrimaryColour(2), EDGE);
    }));
}

}  // namespace
}  // namespace insigno::it
