// A settings file beside the module changes the logo type looked up, the scale and the place.

#include "ModuleFixture.h"

namespace insigno::it {
namespace {

struct Placement {
    const char* name;
    std::vector<std::pair<std::string, std::string>> settings;
    int containerWidth, containerHeight;
    std::pair<int, int> aspect;
    int zoom;
    std::uint8_t logoType;  // the type the settings ask for; the store holds only this one
    OverlayInfo expected;
};

void PrintTo(const Placement& placement, std::ostream* out) {
    *out << placement.name;
}

class SettingsPlacement : public ModuleTest, public testing::WithParamInterface<Placement> {};

TEST_P(SettingsPlacement, ShowsTheLogoWhereTheSettingsSay) {
    const Placement& p = GetParam();
    const CdtLogo held{0x0010, 0x001, 1, p.logoType, SplitLogo(p.logoType, 1, 4)};
    SeedLogo(Record(NETWORK, held));
    if (p.logoType != 5) {
        // The default type is there too, so a plug-in that ignored LogoType would show it.
        SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, 2, 7)}));
    }
    auto options = Options();
    for (const auto& setting : p.settings) options.settings.push_back(setting);
    options.containerWidth = p.containerWidth;
    options.containerHeight = p.containerHeight;
    options.initial.aspect = p.aspect;
    options.initial.zoom = p.zoom;
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitFor([&] { return host->Overlay() == p.expected; }))
        << "last seen at " << host->Overlay().x << "," << host->Overlay().y << " size "
        << host->Overlay().width << "x" << host->Overlay().height;
#ifndef _WIN32
    // The logo of the asked type fills the window: red on the left, blue on the right.
    ASSERT_TRUE(WaitFor([&] {
        const auto image = Presented();
        if (!image || image->width != p.expected.width || image->height != p.expected.height) {
            return false;
        }
        const int y = image->height / 2;
        return (image->pixels[y * image->width + image->width / 4] & 0xFFFFFF) == 0xFF0000 &&
               (image->pixels[y * image->width + image->width * 3 / 4] & 0xFFFFFF) == 0x0000FF;
    }));
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsPlacement,
    testing::Values(
        // Type 3 (72 x 36) at a fixed 150 %: 108 x 54, 10 px from the right edge, a quarter
        // down the 16:9 picture.
        Placement{"FixedScaleFromTheRight",
                  {{"LogoType", "3"},
                   {"LogoScale", "150"},
                   {"EnableFixedScale", "1"},
                   {"EnableFixedPositionX", "1"},
                   {"PositionX", "-10"},
                   {"PositionRateY", "0.25"}},
                  1280,
                  720,
                  {16, 9},
                  100,
                  3,
                  {true, true, 1162, 180, 108, 54}},
        // Type 0 (48 x 24) following the viewer's 200 % zoom: 96 x 48, in a 4:3 picture
        // pillar-boxed from x 240 and 1440 wide, 5 % in.
        Placement{"ZoomInAPillarBox",
                  {{"LogoType", "0"}, {"PositionRateX", "0.05"}},
                  1920,
                  1080,
                  {4, 3},
                  200,
                  0,
                  {true, true, 312, 0, 96, 48}},
        // Half size (32 x 18) at the bottom edge ("-0") of a picture letter-boxed 152..872.
        Placement{"MinusZeroFromTheBottom",
                  {{"LogoScale", "50"},
                   {"EnableFixedScale", "1"},
                   {"EnableFixedPositionY", "1"},
                   {"PositionY", "-0"}},
                  1280,
                  1024,
                  {16, 9},
                  100,
                  5,
                  {true, true, 0, 854, 32, 18}}),
    [](const testing::TestParamInfo<Placement>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace insigno::it

namespace insigno::it {
namespace {

// In code page 932 the second byte of 表 is a backslash: a module named ロゴ表示.tvtp still finds
// its settings file ロゴ表示.ini and the logo directory beside it. Only type 3 is held and only
// the settings ask for it.
TEST_F(ModuleTest, AModuleNamedInJapaneseFindsItsSettingsAndLogos) {
    const auto named = work / std::filesystem::path(u8"ロゴ表示.tvtp");
    auto options = Options();
    std::filesystem::copy_file(options.module, named);
    options.module = named;
    options.settings.push_back({"LogoType", "3"});
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 3, SplitLogo(3, 1, 4)}));
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitFor([&] { return host->Overlay().visible; }));
    EXPECT_EQ(host->Overlay().width, 72);
    EXPECT_EQ(host->Overlay().height, 36);
}

}  // namespace
}  // namespace insigno::it
