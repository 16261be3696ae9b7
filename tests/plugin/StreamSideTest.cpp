#include <gtest/gtest.h>

#include <boost/bind/bind.hpp>
#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

#include "FailingAllocation.h"
#include "IndexedPng.h"
#include "LogoPlugin.h"
#include "LogoStore.h"
#include "Packetizer.h"
#include "ScriptedHost.h"
#include "Sections.h"
#include "StreamSideHook.h"
#include "TestWindows.h"
#include "WindowAsChild.h"

namespace fs = boost::filesystem;
using namespace TVTest;
using Stage = StreamCallbackManager::Stage;
using tswriter::Bytes;

namespace {

constexpr uint16_t NETWORK = 0x7FE1;
constexpr uint16_t OTHER_NETWORK = 0x0004;
constexpr uint16_t SERVICE = 0x0408;
constexpr uint16_t LOGO = 0x01A;
constexpr uint16_t VERSION = 2;
constexpr uint16_t DOWNLOAD = 0x0123;
constexpr uint8_t TYPE = 5;  // the default LogoType, 64 x 36

tswriter::SdtService Service(uint16_t id, Bytes descriptors) {
    tswriter::SdtService service;
    service.serviceId = id;
    service.descriptors = std::move(descriptors);
    return service;
}

Bytes Sdt(uint16_t network, std::vector<tswriter::SdtService> services) {
    tswriter::SdtSection section;
    section.originalNetworkId = network;
    section.services = std::move(services);
    return tswriter::Packetizer(tswriter::kSdtPid).OnePerPacket({section.Build()});
}

// The SDT the target service's logo comes from: a type 1 reference to LOGO, VERSION, DOWNLOAD.
Bytes TargetSdt() {
    return Sdt(NETWORK,
               {Service(SERVICE, tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD))});
}

std::vector<uint8_t> Png() {
    return overlay_test::IndexedPngWithoutPalette(64, 36, std::vector<uint8_t>(64 * 36, 3));
}

struct CdtLogo {
    uint16_t network = NETWORK;
    uint16_t download = DOWNLOAD;
    uint16_t logo = LOGO;
    uint16_t version = VERSION;
    uint8_t type = TYPE;
};

Bytes Cdt(const CdtLogo& logo) {
    tswriter::CdtLogoSection section;
    section.originalNetworkId = logo.network;
    section.downloadDataId = logo.download;
    section.logoId = logo.logo;
    section.logoVersion = logo.version;
    section.logoType = logo.type;
    section.data = Png();
    return tswriter::Packetizer(tswriter::kCdtPid).OnePerPacket({section.Build()});
}

std::string FileName(const CdtLogo& logo) {
    LogoRecord record;
    record.originalNetworkId = logo.network;
    record.logoId = logo.logo;
    record.logoVersion = logo.version;
    record.logoType = logo.type;
    return LogoStore::MakeFileName(record);
}

class StreamSideTest : public ::testing::Test {
public:
    void SetUp() override {
        plugin.param = &host.param;
        plugin.app = std::make_unique<CTVTestApp>(&host.param);
        fs::create_directories(directory);
    }

    void TearDown() override {
        manager.overlayWindow.reset();
        PumpMessages();
        boost::system::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    // A logo file present before the store scans the directory.
    void Keep(const CdtLogo& logo) {
        fs::ofstream file(directory / FileName(logo), std::ios::binary);
        const std::vector<uint8_t> png = Png();
        file.write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
    }

    void Open() {
        using namespace boost::placeholders;
        manager.logoStore = std::make_unique<LogoStore>(directory.string(), "");
        manager.overlayWindow = std::make_unique<WindowAsChild>(
            windows.container,
            ZoomQuery(boost::bind(&StreamCallbackManager::PollZoom, &manager, _1)),
            AspectQuery(boost::bind(&StreamCallbackManager::PollAspect, &manager, _1, _2)),
            OverlayLook{100, true, -1, true, true, 10.0, 10.0, false, false});
    }

    void Feed(const Bytes& packets) {
        ASSERT_EQ(packets.size() % 188, 0u);
        for (size_t at = 0; at < packets.size(); at += 188) {
            EXPECT_EQ(StreamCallback(const_cast<BYTE*>(&packets[at]), &plugin), TRUE);
        }
    }

    bool Shown() {
        PumpMessages();
        return IsWindowVisible(manager.overlayWindow->hwnd) != FALSE;
    }

    // Once the store's writer has finished what the stream side handed it.
    bool OnDisk(const CdtLogo& logo) {
        if (manager.logoStore) manager.logoStore->Flush();
        return fs::exists(directory / FileName(logo));
    }

    // Declared in the order they must outlive each other: the overlay polls the host.
    ScriptedHost host;
    TestWindows windows;
    fs::path directory = fs::temp_directory_path() / fs::unique_path("insigno-stream-%%%%-%%%%");
    LogoPlugin plugin;
    StreamCallbackManager& manager = plugin.manager;
};

TEST_F(StreamSideTest, IdleTouchesNeitherStoreNorWindow) {
    Keep(CdtLogo{});
    Open();
    for (int i = 0; i < 2; ++i) {
        // Before any target, then after a target with both flags clear.
        Feed(TargetSdt());
        Feed(Cdt(CdtLogo{.version = 3}));
        EXPECT_FALSE(Shown());
        EXPECT_FALSE(OnDisk(CdtLogo{.version = 3}));
        EXPECT_EQ(manager.CurrentStage(), Stage::Ignore);
        manager.SetTarget(false, false, NETWORK, SERVICE);
    }
}

struct FlagsCase {
    const char* name;
    bool show;
    bool collect;
    Stage after;
};

class SdtStageTest : public StreamSideTest, public ::testing::WithParamInterface<FlagsCase> {};

// Without the show flag (the preview is off) the stored logo stays hidden; collection goes on.
TEST_P(SdtStageTest, ShowsTheStoredLogoOnlyWithTheShowFlagAndMovesOn) {
    const FlagsCase& c = GetParam();
    Keep(CdtLogo{});
    Open();
    manager.SetTarget(c.show, c.collect, NETWORK, SERVICE);
    EXPECT_EQ(manager.CurrentStage(), Stage::SDT);
    Feed(TargetSdt());
    EXPECT_EQ(manager.CurrentStage(), c.after);
    EXPECT_EQ(Shown(), c.show);
    if (!c.show) return;
    RECT client{};
    GetClientRect(manager.overlayWindow->hwnd, &client);
    EXPECT_EQ(client.right - client.left, 64);
    EXPECT_EQ(client.bottom - client.top, 36);
}

INSTANTIATE_TEST_SUITE_P(Flags, SdtStageTest,
                         ::testing::Values(FlagsCase{"ShowOnly", true, false, Stage::Ignore},
                                           FlagsCase{"CollectOnly", false, true, Stage::CDT},
                                           FlagsCase{"Both", true, true, Stage::CDT}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(StreamSideTest, SdtOfAnotherNetworkOrWithoutLogoReferencesKeepsTheStage) {
    Keep(CdtLogo{});
    Open();
    manager.SetTarget(true, false, NETWORK, SERVICE);
    Feed(Sdt(OTHER_NETWORK,
             {Service(SERVICE, tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD))}));
    Feed(Sdt(NETWORK, {Service(SERVICE, tswriter::ServiceDescriptor(1, "P", "S"))}));
    EXPECT_EQ(manager.CurrentStage(), Stage::SDT);
    EXPECT_FALSE(Shown());
    Feed(TargetSdt());
    EXPECT_TRUE(Shown());
}

// A section of the network that lists only other services (a satellite network's SDT of another
// transport stream) keeps the stage: nothing is looked up, shown or collected until the target's.
TEST_F(StreamSideTest, SdtWithoutTheTargetServiceKeepsTheStage) {
    Keep(CdtLogo{.logo = 0, .version = 0});
    Keep(CdtLogo{});
    Open();
    manager.SetTarget(true, true, NETWORK, SERVICE);
    Feed(Sdt(NETWORK, {Service(0x0409, tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD))}));
    EXPECT_EQ(manager.CurrentStage(), Stage::SDT);
    EXPECT_FALSE(Shown());
    Feed(TargetSdt());
    EXPECT_EQ(manager.CurrentStage(), Stage::CDT);
    EXPECT_TRUE(Shown());
}

// A disable that slips in after the stream thread read the SDT stage, before it took the mutex.
TEST_F(StreamSideTest, ADisableRacingAnSdtPacketLeavesTheLogoHidden) {
    Keep(CdtLogo{});
    Open();
    manager.SetTarget(true, false, NETWORK, SERVICE);
    streamStageHook = [](StreamCallbackManager& racing) {
        streamStageHook = nullptr;
        racing.SetTarget(false, false, NETWORK, SERVICE);
    };
    Feed(TargetSdt());
    EXPECT_EQ(streamStageHook, nullptr);  // the race did happen
    EXPECT_FALSE(Shown());
}

struct CollectCase {
    const char* name;
    Bytes sdtDescriptors;
    CdtLogo logo;
    bool stored;
};

class CdtStageTest : public StreamSideTest, public ::testing::WithParamInterface<CollectCase> {};

TEST_P(CdtStageTest, StoresOnlyTheServicesOwnLogo) {
    const CollectCase& c = GetParam();
    Open();
    manager.SetTarget(true, true, NETWORK, SERVICE);
    // A type 1 service of a lower id lends its version and download id to a type 2 reference.
    Feed(Sdt(NETWORK, {Service(0x0401, tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD)),
                       Service(SERVICE, c.sdtDescriptors)}));
    ASSERT_EQ(manager.CurrentStage(), Stage::CDT);
    Feed(Cdt(c.logo));
    EXPECT_EQ(OnDisk(c.logo), c.stored);
    // Whatever happened, the stage stays and the right logo is still collected.
    EXPECT_EQ(manager.CurrentStage(), Stage::CDT);
}

INSTANTIATE_TEST_SUITE_P(
    Logos, CdtStageTest,
    ::testing::Values(
        CollectCase{"Matching", tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD), {}, true},
        CollectCase{"Type2", tswriter::LogoTransmissionType2(LOGO), {}, true},
        CollectCase{"OtherNetwork",
                    tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD),
                    {.network = OTHER_NETWORK},
                    false},
        CollectCase{"OtherDownloadId",
                    tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD),
                    {.download = 0x0124},
                    false},
        CollectCase{"OtherVersion",
                    tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD),
                    {.version = 3},
                    false},
        CollectCase{"OtherLogoId",
                    tswriter::LogoTransmissionType1(LOGO, VERSION, DOWNLOAD),
                    {.logo = 0x01B},
                    false},
        CollectCase{"Type3",
                    tswriter::LogoTransmissionType3("NHK"),
                    {.download = 0, .logo = 0, .version = 0},
                    false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(StreamSideTest, CdtOfAnotherNetworkKeepsCollecting) {
    Open();
    manager.SetTarget(false, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    Feed(Cdt(CdtLogo{.network = OTHER_NETWORK}));
    Feed(Cdt(CdtLogo{}));
    EXPECT_TRUE(OnDisk(CdtLogo{}));
}

TEST_F(StreamSideTest, TheHeldVersionIsNotWrittenAgain) {
    Open();
    manager.SetTarget(false, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    Feed(Cdt(CdtLogo{}));
    ASSERT_TRUE(OnDisk(CdtLogo{}));
    fs::remove(directory / FileName(CdtLogo{}));
    Feed(Cdt(CdtLogo{}));
    EXPECT_FALSE(OnDisk(CdtLogo{}));
}

TEST_F(StreamSideTest, ALogoCollectedForTheWatchedServiceIsShownAtOnce) {
    Open();
    manager.SetTarget(true, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    EXPECT_FALSE(Shown());
    Feed(Cdt(CdtLogo{}));
    EXPECT_TRUE(Shown());
}

TEST_F(StreamSideTest, EveryTargetHidesTheLogoFirst) {
    Keep(CdtLogo{});
    Open();
    manager.SetTarget(true, false, NETWORK, SERVICE);
    Feed(TargetSdt());
    ASSERT_TRUE(Shown());
    manager.SetTarget(true, false, NETWORK, SERVICE);
    EXPECT_FALSE(Shown());
}

TEST_F(StreamSideTest, EachStageReadsOnlyItsOwnPid) {
    Open();
    manager.SetTarget(false, true, NETWORK, SERVICE);
    // A logo offered during the SDT stage is not looked at.
    Feed(Cdt(CdtLogo{}));
    Feed(TargetSdt());
    EXPECT_FALSE(OnDisk(CdtLogo{}));
    // A new reference offered during the CDT stage is not looked at either.
    Feed(Sdt(NETWORK, {Service(SERVICE, tswriter::LogoTransmissionType1(0x01B, 1, 0x0200))}));
    Feed(Cdt(CdtLogo{.download = 0x0200, .logo = 0x01B, .version = 1}));
    EXPECT_FALSE(OnDisk(CdtLogo{.download = 0x0200, .logo = 0x01B, .version = 1}));
    Feed(Cdt(CdtLogo{}));
    EXPECT_TRUE(OnDisk(CdtLogo{}));
}

// The logo directory replaced by a plain file: the save fails on the writer thread, nothing
// leaves the callback, the stage stays, and the logo's repetitions try again from the next visit
// of the service on (whose first step is the store's Refresh).
TEST_F(StreamSideTest, AnUnwritableDirectoryNeverReachesTheViewer) {
    Open();
    manager.SetTarget(true, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    fs::remove_all(directory);
    fs::ofstream(directory) << "not a directory";
    Feed(Cdt(CdtLogo{}));
    EXPECT_FALSE(manager.logoStore->Flush());
    EXPECT_EQ(manager.CurrentStage(), Stage::CDT);
    EXPECT_TRUE(fs::is_regular_file(directory));
    fs::remove(directory);
    manager.logoStore->Refresh();
    Feed(Cdt(CdtLogo{}));
    EXPECT_TRUE(OnDisk(CdtLogo{}));
    manager.SetTarget(true, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    EXPECT_TRUE(Shown());
}

// Feeds the packets with the n-th allocation on this thread failing, for n = 0, 1, ... until
// the packets need fewer allocations; `check` runs after every failed attempt.
template <typename Prepare, typename Check>
void EveryAllocationFails(const Bytes& packets, Prepare prepare, Check check,
                          StreamSideTest* test) {
    for (int n = 0;; ++n) {
        prepare();
        bool reached = false;
        {
            FailingAllocation failing(n);
            for (size_t at = 0; at < packets.size(); at += 188) {
                // An exception escaping here would end the test with an error.
                EXPECT_EQ(StreamCallback(const_cast<BYTE*>(&packets[at]), &test->plugin), TRUE);
            }
            reached = failing.Reached();
        }
        if (!reached) return;
        check(n);
    }
}

TEST_F(StreamSideTest, AFailedAllocationInTheSdtStageDropsThePacketAndKeepsTheStage) {
    Keep(CdtLogo{});
    Open();
    EveryAllocationFails(
        TargetSdt(), [&] { manager.SetTarget(true, false, NETWORK, SERVICE); },
        [&](int n) {
            // The stage stays, except that the store answers a failure of its own inside the
            // lookup as "not held": then the stage ends as on a miss, and nothing is shown.
            if (manager.CurrentStage() != Stage::SDT) {
                EXPECT_EQ(manager.CurrentStage(), Stage::Ignore) << "allocation " << n;
                EXPECT_FALSE(Shown()) << "allocation " << n;
                return;
            }
            // Nothing half-done is left behind: the next section is handled as usual.
            Feed(TargetSdt());
            EXPECT_TRUE(Shown()) << "allocation " << n;
        },
        this);
    EXPECT_EQ(manager.CurrentStage(), Stage::Ignore);
    EXPECT_TRUE(Shown());
}

TEST_F(StreamSideTest, AFailedAllocationInTheCdtStageDropsThePacketAndKeepsTheStage) {
    Open();
    manager.SetTarget(true, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    EveryAllocationFails(
        Cdt(CdtLogo{}), [] {},
        [&](int n) { EXPECT_EQ(manager.CurrentStage(), Stage::CDT) << "allocation " << n; }, this);
    // The logo was taken in by the attempt that did not fail (if not before).
    manager.SetTarget(true, true, NETWORK, SERVICE);
    Feed(TargetSdt());
    EXPECT_TRUE(Shown());
}

}  // namespace
