// A satellite-like network: several transport streams share original_network_id 4, the SDT of
// the other streams comes before the actual one on PID 0x0011, the actual SDT has several
// sections, and sections are packed back to back in their packets.

#include <filesystem>

#include "Descriptors.h"
#include "LogoStore.h"
#include "ModuleFixture.h"
#include "Packetizer.h"
#include "Sections.h"

namespace insigno::it {
namespace {

constexpr std::uint16_t BS = 0x0004;
constexpr std::uint16_t WITH_LOGO = 0x0101;     // listed in the actual SDT's second section
constexpr std::uint16_t WITHOUT_LOGO = 0x0103;  // listed with no logo descriptor
constexpr std::uint8_t RED = 1, GREEN = 2, BLUE = 4, WHITE = 7;

#ifdef _WIN32
constexpr bool PIXELS_VISIBLE = false;  // no hook into what Direct3D presented
#else
constexpr bool PIXELS_VISIBLE = true;
#endif

const CdtLogo kTarget{0x0300, 0x013, 1, 5, SplitLogo(5, RED, BLUE)};
const CdtLogo kOthers[] = {{0x0200, 0x010, 1, 5, SplitLogo(5, GREEN, WHITE)},
                           {0x0300, 0x012, 1, 5, SplitLogo(5, WHITE, GREEN)}};

tswriter::SdtService Service(std::uint16_t id, const Bytes& descriptors) {
    tswriter::SdtService service;
    service.serviceId = id;
    service.descriptors = descriptors;
    return service;
}

tswriter::SdtService WithLogo(std::uint16_t id, const CdtLogo& logo) {
    return Service(
        id, tswriter::LogoTransmissionType1(logo.logoId, logo.logoVersion, logo.downloadDataId));
}

tswriter::SdtSection Sdt(std::uint8_t table, std::uint16_t stream, std::uint8_t number,
                         std::uint8_t last, std::vector<tswriter::SdtService> services) {
    tswriter::SdtSection section;
    section.tableId = table;
    section.transportStreamId = stream;
    section.sectionNumber = number;
    section.lastSectionNumber = last;
    section.originalNetworkId = BS;
    section.services = std::move(services);
    return section;
}

Bytes SatelliteStream() {
    const std::vector<Bytes> sdt{
        Sdt(tswriter::kSdtOther, 0x4031, 0, 0, {WithLogo(0x0191, kOthers[0])}).Build(),
        Sdt(tswriter::kSdtOther, 0x4011, 0, 0, {WithLogo(0x0141, kOthers[0])}).Build(),
        Sdt(tswriter::kSdtActual, 0x4010, 0, 1,
            {WithLogo(0x0102, kOthers[1]),
             Service(WITHOUT_LOGO, tswriter::ServiceDescriptor(1, "BS", "Three"))})
            .Build(),
        Sdt(tswriter::kSdtActual, 0x4010, 1, 1, {WithLogo(WITH_LOGO, kTarget)}).Build()};
    const std::vector<Bytes> cdt{CdtSection(BS, kOthers[0]), CdtSection(BS, kTarget),
                                 CdtSection(BS, kOthers[1])};
    tswriter::Packetizer sdtPackets(tswriter::kSdtPid), cdtPackets(tswriter::kCdtPid);
    Bytes stream;
    for (int cycle = 0; cycle < 2; ++cycle) {
        for (const Bytes& part : {sdtPackets.BackToBack(sdt), cdtPackets.BackToBack(cdt)}) {
            stream.insert(stream.end(), part.begin(), part.end());
        }
    }
    return stream;
}

class SatelliteTest : public ModuleTest {
protected:
    HostOptions SatelliteOptions(std::uint16_t service) {
        HostOptions options = Options();
        options.initial.channels = {{CHANNEL_A, BS, service, "BS"}};
        options.initial.services = {service};
        PlayStream(options, SatelliteStream());
        return options;
    }

    void Tune() {
        Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
        Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
        Channel(CHANNEL_A);
    }
};

TEST_F(SatelliteTest, TheServiceInALaterSectionCollectsAndShowsItsLogo) {
    Start(SatelliteOptions(WITH_LOGO));
    ASSERT_TRUE(host->Initialize());
    Tune();
    const std::string target = LogoStore::MakeFileName(Record(BS, kTarget));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(LogoDir() / target); }));
    EXPECT_EQ(ReadFile(LogoDir() / target), kTarget.png);
    ASSERT_TRUE(WaitPasses(2));
    EXPECT_EQ(LogoFiles(LogoDir()), std::set<std::string>{target});
    EXPECT_TRUE(WaitVisible(true));  // shown as soon as collected
    if (PIXELS_VISIBLE) {
        EXPECT_TRUE(WaitFor([&] {
            const auto image = Presented();
            return image && ShowsSplit(*image, 64, 36, PrimaryColour(RED), PrimaryColour(BLUE));
        }));
    }
}

// The service has no logo reference: the SDT stage goes on, so nothing is looked up (not even
// logo id 0, which the store holds), shown or collected.
TEST_F(SatelliteTest, AServiceWithoutALogoDescriptorShowsNothing) {
    const LogoRecord logoZero = Record(BS, {0, 0, 0, 5, SplitLogo(5, GREEN, GREEN)});
    SeedLogo(logoZero);
    Start(SatelliteOptions(WITHOUT_LOGO));
    ASSERT_TRUE(host->Initialize());
    Tune();
    ASSERT_TRUE(WaitPasses(3));
    EXPECT_FALSE(host->Overlay().visible);
    EXPECT_EQ(LogoFiles(LogoDir()), std::set<std::string>{LogoStore::MakeFileName(logoZero)});
}

}  // namespace
}  // namespace insigno::it
