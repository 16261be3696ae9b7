// A logo from the first minute: the viewer's own logo while the store has none, replaced by the
// broadcast's as soon as it is collected, without a channel change.

#include <filesystem>

#include "LogoStore.h"
#include "ModuleFixture.h"
#ifndef _WIN32
#include "insigno/platform_test.h"
#endif

namespace insigno::it {
namespace {

constexpr std::uint8_t RED = 1, GREEN = 2, BLUE = 4, WHITE = 7;
const ServiceLogo kAnnounced{SERVICE_A, 0x001, 2, 0x0010};
const CdtLogo kSent{0x0010, 0x001, 2, 5, SplitLogo(5, GREEN, BLUE)};

// The viewer's logo of SERVICE_A in type 5 (64 x 36): red left half, white right half.
host::ViewerLogo ViewerSplit() {
    host::ViewerLogo logo{NETWORK, SERVICE_A, 5, 64, 36, {}};
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 64; ++x)
            logo.pixels.push_back(0xFF000000 | PrimaryColour(x < 32 ? RED : WHITE));
    return logo;
}

class FirstLogoTest : public ModuleTest {
protected:
    bool Shows(std::uint8_t left, std::uint8_t right) {
        return WaitFor([&] {
            const auto image = Presented();
            return host->Overlay().visible && image &&
                   ShowsSplit(*image, 64, 36, PrimaryColour(left), PrimaryColour(right), EDGE);
        });
    }
    void Watch(HostOptions options) {
        Start(std::move(options));
        ASSERT_TRUE(host->Initialize());
        Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
        Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
        Channel(CHANNEL_A);
    }
};

TEST_F(FirstLogoTest, ViewersLogoUntilTheBroadcastsIsCollected) {
    auto options = Options();
    options.initial.viewerLogos = {ViewerSplit()};
    // First only the SDT: nothing to collect, the store stays empty.
    PlayStream(options, BuildStream(NETWORK, {kAnnounced}, {}));
    Watch(options);
    ASSERT_TRUE(Shows(RED, WHITE));
    EXPECT_TRUE(LogoFiles(LogoDir()).empty());

    // Then the CDT carries the logo: collected, saved and shown on the same visit.
    const auto path = work / "with-cdt.ts";
    WriteFile(path, BuildStream(NETWORK, {kAnnounced}, {kSent}));
    host->StartStream(host::StreamSpec{path, 0, true});
    ASSERT_TRUE(Shows(GREEN, BLUE));
    // Only the broadcast's is saved, once the writer is done with it.
    const std::set<std::string> saved{LogoStore::MakeFileName(Record(NETWORK, kSent))};
    EXPECT_TRUE(WaitFor([&] { return LogoFiles(LogoDir()) == saved; }));
#ifndef _WIN32
    EXPECT_EQ(InsignoPlatform_LiveBitmaps(), 0u);  // every bitmap the viewer gave is deleted
#endif
}

// A channel list never scanned names no network: the viewer's logo is asked for once the actual
// SDT has told it, and stays while the store has none.
TEST_F(FirstLogoTest, ViewersLogoOnAListNeverScanned) {
    auto options = Options();
    options.initial.viewerLogos = {ViewerSplit()};
    options.initial.channels = {{CHANNEL_A, 0, SERVICE_A, "A"}};
    PlayStream(options, BuildStream(NETWORK, {kAnnounced}, {}));
    Watch(options);
    ASSERT_TRUE(Shows(RED, WHITE));
    EXPECT_TRUE(LogoFiles(LogoDir()).empty());
}

// The viewer holds a logo but does not hand logos out: nothing is asked for or shown, until
// another viewer on the folder (or insigno-scan --store) saves the logo there.
TEST_F(FirstLogoTest, ALogoSavedIntoTheFolderMeanwhileIsShownOnTheNextVisit) {
    auto options = Options();
    options.initial.viewerLogos = {ViewerSplit()};
    options.initial.viewerLogosHandled = false;
    PlayStream(options, BuildStream(NETWORK, {kAnnounced}, {}));
    Watch(options);
    ASSERT_TRUE(WaitPasses(3));
    ASSERT_FALSE(host->Overlay().visible);
    EXPECT_EQ(host->MessageCounts()[TVTest::HOST_MSG_GET_LOGO], 0);
    SeedLogo(Record(NETWORK, kSent));
    Channel(CHANNEL_A);
    ASSERT_TRUE(Shows(GREEN, BLUE));
    EXPECT_EQ(LogoFiles(LogoDir()),
              std::set<std::string>{LogoStore::MakeFileName(Record(NETWORK, kSent))});
}

}  // namespace
}  // namespace insigno::it
