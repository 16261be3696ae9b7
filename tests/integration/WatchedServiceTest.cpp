// The logo of the service being watched, on satellite-like channel lists: entries sharing a
// channel number, lists never scanned, type 2 and type 3 services, service switches, the preview
// switched off.

#include <filesystem>
#include <optional>
#include <set>

#include "Descriptors.h"
#include "LogoStore.h"
#include "ModuleFixture.h"
#include "Sections.h"

namespace insigno::it {
namespace {

constexpr std::uint16_t BS = 0x0004;
constexpr std::uint16_t OTHER = 0x0006;
constexpr std::uint8_t RED = 1, GREEN = 2, BLUE = 4, WHITE = 7;

struct Logo {
    std::uint16_t network;
    CdtLogo cdt;
    std::uint8_t left;
    std::uint8_t right;
};

Logo MakeLogo(std::uint16_t network, std::uint16_t download, std::uint16_t id,
              std::uint16_t version, std::uint8_t left, std::uint8_t right) {
    return {network, {download, id, version, 5, SplitLogo(5, left, right)}, left, right};
}

const Logo kFirst = MakeLogo(BS, 0x0300, 0x010, 1, RED, GREEN);
const Logo kSecond = MakeLogo(BS, 0x0300, 0x011, 1, BLUE, WHITE);
const Logo kThird = MakeLogo(BS, 0x0300, 0x012, 1, GREEN, RED);
const Logo kElsewhere = MakeLogo(OTHER, 0x0300, 0x013, 1, WHITE, BLUE);
const Logo kShared = MakeLogo(BS, 0x0301, 0x014, 3, RED, BLUE);
const Logo kZeroHeld = MakeLogo(BS, 0x0302, 0x000, 1, GREEN, GREEN);
const Logo kZeroSent = MakeLogo(BS, 0x0302, 0x000, 2, WHITE, WHITE);

std::string FileOf(const Logo& logo) {
    return LogoStore::MakeFileName(Record(logo.network, logo.cdt));
}

tswriter::SdtService Service(std::uint16_t id, const Bytes& descriptors) {
    tswriter::SdtService service;
    service.serviceId = id;
    service.descriptors = descriptors;
    return service;
}

tswriter::SdtService TypeOne(std::uint16_t id, const Logo& logo) {
    return Service(id, tswriter::LogoTransmissionType1(logo.cdt.logoId, logo.cdt.logoVersion,
                                                       logo.cdt.downloadDataId));
}

Bytes Sdt(std::uint16_t network, std::vector<tswriter::SdtService> services,
          std::uint8_t table = tswriter::kSdtActual, std::uint8_t number = 0,
          std::uint8_t last = 0) {
    tswriter::SdtSection section;
    section.tableId = table;
    section.transportStreamId = 0x4010;
    section.sectionNumber = number;
    section.lastSectionNumber = last;
    section.originalNetworkId = network;
    section.services = std::move(services);
    return section.Build();
}

std::vector<Bytes> Cdt(const std::vector<Logo>& logos) {
    std::vector<Bytes> sections;
    for (const Logo& logo : logos) sections.push_back(CdtSection(logo.network, logo.cdt));
    return sections;
}

class WatchedServiceTest : public ModuleTest {
protected:
    HostOptions Play(std::vector<host::ChannelEntry> channels, const Bytes& stream) {
        HostOptions options = Options();
        options.initial.channels = std::move(channels);
        options.initial.current.reset();
        options.initial.services.clear();
        PlayStream(options, stream);
        return options;
    }

    bool ShowsLogo(const Logo& logo) {
        return WaitFor([&] {
            const auto image = Presented();
            return host->Overlay().visible && image &&
                   ShowsSplit(*image, 64, 36, PrimaryColour(logo.left), PrimaryColour(logo.right),
                              EDGE);
        });
    }
};

// The viewer selects a list entry; its service's logo (and no other) is collected, and shown
// from the next retarget on. Without one, nothing is collected or shown.
struct SelectCase {
    const char* name;
    std::vector<host::ChannelEntry> channels;
    std::size_t position;
    std::vector<Bytes> sdt;
    std::vector<Logo> cdt;
    std::optional<Logo> held;
    std::optional<Logo> collected;
};

class SelectedEntryTest : public WatchedServiceTest,
                          public ::testing::WithParamInterface<SelectCase> {};

TEST_P(SelectedEntryTest, CollectsAndShowsTheWatchedServicesLogo) {
    const SelectCase& c = GetParam();
    std::set<std::string> files;
    if (c.held) {
        SeedLogo(Record(c.held->network, c.held->cdt));
        files.insert(FileOf(*c.held));
    }
    Start(Play(c.channels, BuildSectionStream(c.sdt, Cdt(c.cdt))));
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Tune(c.position);
    if (c.collected) {
        files.insert(FileOf(*c.collected));
        ASSERT_TRUE(WaitFor([&] { return LogoFiles(LogoDir()) == files; }));
        EXPECT_EQ(ReadFile(LogoDir() / FileOf(*c.collected)), c.collected->cdt.png);
    }
    ASSERT_TRUE(WaitPasses(2));
    EXPECT_EQ(LogoFiles(LogoDir()), files);
    Tune(c.position);
    if (c.collected) {
        EXPECT_TRUE(ShowsLogo(*c.collected));
    } else {
        ASSERT_TRUE(WaitPasses(2));
        EXPECT_FALSE(host->Overlay().visible);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SelectedEntryTest,
    ::testing::Values(
        // Three services of one transponder share channel number 1; the middle one is selected.
        SelectCase{
            "SharedChannelNumber",
            {{1, BS, 0x0101, "BS1"}, {1, BS, 0x0102, "BS2"}, {1, BS, 0x0103, "BS3"}},
            1,
            {Sdt(BS, {TypeOne(0x0101, kFirst), TypeOne(0x0102, kSecond), TypeOne(0x0103, kThird)})},
            {kFirst, kSecond, kThird},
            std::nullopt,
            kSecond},
        // A list never scanned: network 0. The SDT of another network's stream, listing the same
        // service id, comes first; only the actual SDT names the network.
        SelectCase{"UnscannedList",
                   {{1, 0, 0x0101, "unscanned"}},
                   0,
                   {Sdt(OTHER, {TypeOne(0x0101, kElsewhere)}, tswriter::kSdtOther),
                    Sdt(BS, {TypeOne(0x0101, kThird)})},
                   {kElsewhere, kThird},
                   std::nullopt,
                   kThird},
        // A type 2 service listed in the first section, its type 1 partner in the second.
        SelectCase{"TypeTwoBeforeItsPartner",
                   {{1, BS, 0x0101, "BS1"}},
                   0,
                   {Sdt(BS, {Service(0x0101, tswriter::LogoTransmissionType2(kShared.cdt.logoId))},
                        tswriter::kSdtActual, 0, 1),
                    Sdt(BS, {TypeOne(0x0102, kShared)}, tswriter::kSdtActual, 1, 1)},
                   {kShared},
                   std::nullopt,
                   kShared},
        // A service with logo characters only beside one whose logo has id 0 (held and sent).
        SelectCase{"TypeThreeBesideLogoIdZero",
                   {{1, BS, 0x0101, "BS1"}},
                   0,
                   {Sdt(BS, {Service(0x0101, tswriter::LogoTransmissionType3("BS1")),
                             TypeOne(0x0102, kZeroSent)})},
                   {kZeroSent},
                   kZeroHeld,
                   std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

// Event 3: the old service's logo goes at once, the new one's is collected, then shown.
TEST_F(WatchedServiceTest, ServiceSwitchFollowsTheWatchedService) {
    SeedLogo(Record(BS, kFirst.cdt));
    Start(Play({{1, BS, 0x0101, "BS1"}, {1, BS, 0x0102, "BS2"}},
               BuildSectionStream({Sdt(BS, {TypeOne(0x0101, kFirst), TypeOne(0x0102, kSecond)})},
                                  Cdt({kSecond}))));
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Tune(0);
    ASSERT_TRUE(ShowsLogo(kFirst));

    // The second service's logo is collected and shown on the same visit.
    SwitchService(0x0102);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(LogoDir() / FileOf(kSecond)); }));
    EXPECT_TRUE(ShowsLogo(kSecond));
    SwitchService(0x0101);
    EXPECT_TRUE(ShowsLogo(kFirst));
}

// With the preview off nothing is shown on any retarget, while collection goes on.
TEST_F(WatchedServiceTest, PreviewOffShowsNothingAndCollects) {
    const Logo newer = MakeLogo(BS, kFirst.cdt.downloadDataId, kFirst.cdt.logoId, 2, BLUE, RED);
    SeedLogo(Record(BS, kFirst.cdt));
    Start(Play({{1, BS, 0x0101, "BS1"}},
               BuildSectionStream({Sdt(BS, {TypeOne(0x0101, newer)})}, Cdt({newer}))));
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Tune(0);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(LogoDir() / FileOf(newer)); }));
    Event(TVTest::EVENT_PREVIEW_CHANGE, 0);
    Tune(0);
    ASSERT_TRUE(WaitPasses(2));
    EXPECT_FALSE(host->Overlay().visible);

    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    EXPECT_TRUE(ShowsLogo(newer));
}

// The viewer's logo goes up before the SDT; an entry of logo characters only then takes it down.
TEST_F(WatchedServiceTest, TypeThreeTakesTheViewersEarlyLogoDown) {
    HostOptions options =
        Play({{1, BS, 0x0101, "BS1"}},
             BuildSectionStream(
                 {Sdt(BS, {Service(0x0101, tswriter::LogoTransmissionType3("BS1"))})}, {}));
    host::ViewerLogo viewer{BS, 0x0101, 5, 64, 36, {}};
    viewer.pixels.assign(64 * 36, 0xFF000000 | PrimaryColour(RED));
    options.initial.viewerLogos = {viewer};
    const host::StreamSpec stream = *options.stream;
    options.stream.reset();
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Tune(0);
    EXPECT_TRUE(ShowsLogo(MakeLogo(BS, 0, 0, 0, RED, RED)));
    host->StartStream(stream);
    ASSERT_TRUE(WaitFor([&] { return !host->Overlay().visible; }));
}

}  // namespace
}  // namespace insigno::it
