// The road of one logo through the real module: events in, packets in, the overlay and the logo
// directory out.

#include <filesystem>

#include "LogoStore.h"
#include "ModuleFixture.h"

namespace insigno::it {
namespace {

constexpr std::uint8_t RED = 1, GREEN = 2, BLUE = 4, WHITE = 7;

TEST_F(ModuleTest, RoadOfOneLogo) {
    // The store holds version 1 of service A's logo; the broadcast announces and carries version 2.
    const CdtLogo held{0x0010, 0x001, 1, 5, SplitLogo(5, GREEN, WHITE)};
    const CdtLogo sent{0x0010, 0x001, 2, 5, SplitLogo(5, RED, BLUE)};
    SeedLogo(Record(NETWORK, held));
    auto options = Options();
    options.containerHeight = 1024;  // a 16:9 picture letter-boxed from y 152
    // The SDT alone first, then with the CDT.
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 2, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    EXPECT_TRUE(host->EventCallbackRegistered());
    EXPECT_TRUE(host->StreamCallbackRegistered());

    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    // The SDT names logo 1; the store's version is shown at the picture's top-left corner.
    ASSERT_TRUE(WaitVisible(true));
    EXPECT_EQ(host->Overlay(), (OverlayInfo{true, true, 0, 152, 64, 36}));
    {
        ASSERT_TRUE(WaitFor([&] {
            const auto image = Presented();
            return image &&
                   ShowsSplit(*image, 64, 36, PrimaryColour(GREEN), PrimaryColour(WHITE), EDGE);
        }));
    }
    const auto withCdt = work / "with-cdt.ts";
    WriteFile(withCdt, BuildStream(NETWORK, {{SERVICE_A, 0x001, 2, 0x0010}}, {sent}));
    host->StartStream(host::StreamSpec{withCdt, 0, true});

    // The CDT stage collects version 2 into the logo directory, byte for byte, and then moves
    // the file of version 1 aside.
    const auto newFile = LogoDir() / LogoStore::MakeFileName(Record(NETWORK, sent));
    const auto oldFile = LogoDir() / LogoStore::MakeFileName(Record(NETWORK, held));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(oldFile.string() + "_"); }));
    EXPECT_EQ(ReadFile(newFile), sent.png);
    EXPECT_FALSE(std::filesystem::exists(oldFile));
    // It is shown at once, on the same visit.
    EXPECT_TRUE(WaitFor([&] {
        const auto image = Presented();
        return host->Overlay().visible && image &&
               ShowsSplit(*image, 64, 36, PrimaryColour(RED), PrimaryColour(BLUE), EDGE);
    }));
    EXPECT_TRUE(WaitVisible(true));
    EXPECT_EQ(host->Overlay(), (OverlayInfo{true, true, 0, 152, 64, 36}));
}

// The overlay's render thread asks the viewer for its zoom and picture shape while the logo is
// shown, and follows their changes.
TEST_F(ModuleTest, ShownLogoFollowsTheViewersZoomAndAspect) {
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, RED, BLUE)}));
    auto options = Options();
    options.containerHeight = 1024;
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    ASSERT_TRUE(
        WaitFor([&] { return host->Overlay() == OverlayInfo{true, true, 0, 152, 64, 36}; }));

    host->State().Change([](host::ViewerState& v) { v.zoom = 200; });
    EXPECT_TRUE(WaitFor([&] {
        return host->Overlay() == OverlayInfo{true, true, 0, 152, 128, 72};
    })) << host->Overlay().width
        << "x" << host->Overlay().height;
    // A 4:3 picture in 1280 x 1024 is letter-boxed from y 32.
    host->State().Change([](host::ViewerState& v) { v.aspect = {{4, 3}}; });
    EXPECT_TRUE(WaitFor([&] { return host->Overlay() == OverlayInfo{true, true, 0, 32, 128, 72}; }))
        << host->Overlay().x << "," << host->Overlay().y;
    // A viewer that stops knowing the aspect leaves the logo where it is.
    host->State().Change([](host::ViewerState& v) {
        v.aspect.reset();
        v.fullScreen = true;
    });
    ASSERT_TRUE(WaitPasses(2));
    EXPECT_EQ(host->Overlay(), (OverlayInfo{true, true, 0, 32, 128, 72}));
    const auto counts = host->MessageCounts();
    for (UINT message : {TVTest::HOST_MSG_GET_ZOOM, TVTest::HOST_MSG_GET_ASPECT,
                         TVTest::HOST_MSG_GET_FULLSCREEN}) {
        EXPECT_GT(counts.count(message) ? counts.at(message) : 0, 0) << "message " << message;
    }
}

TEST_F(ModuleTest, DriverChangeStopsAndServiceUpdateRestarts) {
    const CdtLogo held{0x0010, 0x001, 1, 5, SplitLogo(5, RED, BLUE)};
    SeedLogo(Record(NETWORK, held));
    auto options = Options();
    options.initial.services = {SERVICE_B, SERVICE_A};
    options.initial.currentService = 1;
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitVisible(true));

    Event(TVTest::EVENT_DRIVER_CHANGE);
    ASSERT_TRUE(WaitVisible(false));
    // With the network forgotten, a service update asks for the current channel and service
    // and shows the logo of that service again.
    auto counts = host->MessageCounts();
    Event(TVTest::EVENT_SERVICE_UPDATE);
    EXPECT_EQ(host->MessageCounts()[TVTest::HOST_MSG_GET_SERVICE],
              counts[TVTest::HOST_MSG_GET_SERVICE] + 1);
    EXPECT_EQ(host->MessageCounts()[TVTest::HOST_MSG_GET_SERVICE_INFO],
              counts[TVTest::HOST_MSG_GET_SERVICE_INFO] + 1);
    EXPECT_TRUE(WaitVisible(true));

    // Once a channel change has set the network, a service update asks nothing.
    Channel(CHANNEL_A);
    const auto before = host->MessageCounts();
    Event(TVTest::EVENT_SERVICE_UPDATE);
    const auto after = host->MessageCounts();
    for (UINT message : {TVTest::HOST_MSG_GET_CURRENT_CHANNEL, TVTest::HOST_MSG_GET_SERVICE,
                         TVTest::HOST_MSG_GET_SERVICE_INFO}) {
        EXPECT_EQ(after.count(message) ? after.at(message) : 0,
                  before.count(message) ? before.at(message) : 0)
            << "message " << message;
    }
}

TEST_F(ModuleTest, ServiceUpdateOnAChannelWithoutNetworkShowsNothing) {
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, RED, BLUE)}));
    auto options = Options();
    options.initial.current = host::CurrentChannel{CHANNEL_A, 0, SERVICE_A};  // network 0
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Event(TVTest::EVENT_DRIVER_CHANGE);
    Event(TVTest::EVENT_SERVICE_UPDATE);
    ASSERT_TRUE(WaitPasses(2));
    EXPECT_FALSE(host->Overlay().visible);
    EXPECT_EQ(host->MessageCounts()[TVTest::HOST_MSG_GET_SERVICE], 0);
}

TEST_F(ModuleTest, DisableHidesTheLogoAndStopsParsing) {
    const CdtLogo held{0x0010, 0x001, 1, 5, SplitLogo(5, RED, BLUE)};
    const CdtLogo sent{0x0010, 0x001, 2, 5, SplitLogo(5, GREEN, WHITE)};
    SeedLogo(Record(NETWORK, held));
    auto options = Options();
    // First a stream that announces the held version and carries no logo.
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitVisible(true));

    Event(TVTest::EVENT_PLUGIN_ENABLE, 0);
    ASSERT_TRUE(WaitVisible(false));
    // Then one that announces and carries version 2: a disabled plug-in takes nothing from it.
    const auto newer = work / "newer.ts";
    WriteFile(newer, BuildStream(NETWORK, {{SERVICE_A, 0x001, 2, 0x0010}}, {sent}));
    host->StartStream({newer, 0, true});
    ASSERT_TRUE(WaitPasses(3));
    const auto newFile = LogoDir() / LogoStore::MakeFileName(Record(NETWORK, sent));
    EXPECT_FALSE(std::filesystem::exists(newFile));
    EXPECT_FALSE(host->Overlay().visible);

    // Enabled again, it collects version 2 from the same stream (it was there to be taken).
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(newFile); }));
}

}  // namespace
}  // namespace insigno::it
