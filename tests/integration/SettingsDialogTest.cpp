// The settings button, the commands on keys and the picture's own shape, through the viewer
// stand-in (natively) and the real user32 (under Wine).

#include <fstream>
#include <iterator>

#include "ModuleFixture.h"
#include "SettingsDialogIds.h"

namespace insigno::it {
namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SettingsDialog : public ModuleTest {
protected:
    // The logo of SERVICE_A shown (type 5, 64 x 36) in a 1280 x 720 16:9 picture, with this
    // settings file.
    void ShowLogo(const std::string& settings, HostOptions options) {
        const auto file = work / "settings.ini";
        std::ofstream(file, std::ios::binary) << settings;
        options.settingsFile = file;
        options.settings.clear();
        SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, 1, 4)}));
        PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
        Start(options);
        ASSERT_TRUE(host->Initialize());
        Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
        Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
        Channel(CHANNEL_A);
        ASSERT_TRUE(WaitVisible(true));
    }
    bool WaitAt(int x, int y) {
        return WaitFor([&] { return host->Overlay().x == x && host->Overlay().y == y; });
    }
};

const std::string kMine =
    "; mine\r\n[LogoMark]\r\nDisplaySeconds=-1\r\nEnableFixedPositionX=0 ; rate\r\n";

struct Press {
    const char* name;
    bool ok;
    std::string file;  // afterwards
    int x;             // of the logo afterwards
};

void PrintTo(const Press& press, std::ostream* out) {
    *out << press.name;
}

class SettingsDialogPress : public SettingsDialog, public testing::WithParamInterface<Press> {};

TEST_P(SettingsDialogPress, PreviewsTheLogoThenKeepsOrRestores) {
    ShowLogo(kMine, Options());
    ASSERT_TRUE(WaitAt(0, 0));
    bool moved = false;
    EXPECT_NE(host->OpenSettings([&] {
        host->DialogSet("PositionX", "-20");
        moved = WaitAt(1280 - 64 - 20, 0);
        host->DialogPress(GetParam().ok);
    }),
              0);
    EXPECT_TRUE(moved);
    EXPECT_FALSE(host->DialogOpen());
    EXPECT_TRUE(WaitAt(GetParam().x, 0));
    EXPECT_EQ(ReadBytes(host->SettingsPath()), GetParam().file);
    EXPECT_EQ(host->DialogFailures(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, SettingsDialogPress,
    testing::Values(Press{"Ok", true,
                          "; mine\r\n[LogoMark]\r\nDisplaySeconds=-1\r\nEnableFixedPositionX=1 ; "
                          "rate\r\nPositionX=-20\r\n",
                          1280 - 64 - 20},
                    Press{"Cancel", false, kMine, 0}),
    [](const testing::TestParamInfo<Press>& row) { return std::string(row.param.name); });

// The dialog's user in front of a settings file: what OK leaves in the file, and what it says.
struct Entry {
    const char* name;
    std::string before;
    std::vector<std::pair<std::string, std::string>> typed;  // KEY VALUE, as `dialog` steps
    std::string after;
    std::string message;  // a part of the one message box shown (UTF-8); empty: none shown
};

void PrintTo(const Entry& entry, std::ostream* out) {
    *out << entry.name;
}

class SettingsDialogEntry : public SettingsDialog, public testing::WithParamInterface<Entry> {};

TEST_P(SettingsDialogEntry, WritesOnlyWhatTheUserChangedOrSaysWhy) {
    const auto file = work / "settings.ini";
    std::ofstream(file, std::ios::binary) << GetParam().before;
    auto options = Options();
    options.settingsFile = file;
    options.settings.clear();
    Start(options);
    ASSERT_TRUE(host->Initialize());
    host->OpenSettings([&] {
        for (const auto& [key, value] : GetParam().typed) host->DialogSet(key, value);
        host->DialogPress(true);
        if (host->DialogOpen()) host->DialogPress(false);  // it stayed open to say why
    });
    EXPECT_EQ(ReadBytes(host->SettingsPath()), GetParam().after);
    std::string shown;
    for (const auto& box : host->MessageBoxes()) shown += box.text;
    const std::string& message = GetParam().message;
    EXPECT_TRUE(message.empty() ? shown.empty() : shown.find(message) != std::string::npos)
        << shown;
}

// Over 1023 characters in folders of a usable length, ending in a pair that is no code page 932
// character.
std::string LongDirectory() {
    std::string directory = "./Logo";
    for (int i = 0; i < 12; ++i) directory += "/" + std::string(98, 'a');
    return directory + "\x85\x40";
}
const std::string kLongDirectory = LongDirectory();
const std::string kUtf16File("\xFF\xFE[\0L\0o\0g\0o\0M\0a\0r\0k\0]\0", 22);

INSTANTIATE_TEST_SUITE_P(
    Dialog, SettingsDialogEntry,
    testing::Values(Entry{"UntouchedFieldKeepsItsBytes",
                          "[LogoMark]\r\nLogoDirectory=" + kLongDirectory + "\r\nLogoScale=100\r\n",
                          {{"LogoScale", "150"}},
                          "[LogoMark]\r\nLogoDirectory=" + kLongDirectory + "\r\nLogoScale=150\r\n",
                          ""},
                    // "./Logo가📺": neither character is in code page 932.
                    Entry{"TextTheCodePageLacksIsRefused",
                          "[LogoMark]\r\nLogoScale=100\r\n",
                          {{"LogoScale", "150"},
                           {"LogoDirectory", "./Logo\xEA\xB0\x80\xF0\x9F\x93\xBA"}},
                          "[LogoMark]\r\nLogoScale=100\r\n",
                          // "含まれています: LogoDirectory"
                          "\xE5\x90\xAB\xE3\x81\xBE\xE3\x82\x8C\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE"
                          "\xE3\x81\x99: LogoDirectory"},
                    Entry{"Utf16FileIsNotWritten",
                          kUtf16File,
                          {{"LogoScale", "150"}},
                          kUtf16File,
                          // "UTF-16 (Unicode) で保存"
                          "UTF-16 (Unicode) \xE3\x81\xA7\xE4\xBF\x9D\xE5\xAD\x98"}),
    [](const testing::TestParamInfo<Entry>& row) { return std::string(row.param.name); });

// "常に表示" and "表示しない" need no seconds: the field is disabled, as the user sees it.
TEST_F(SettingsDialog, TheSecondsFieldOnlyForADisplayTimeInSeconds) {
    Start(Options());
    ASSERT_TRUE(host->Initialize());
    std::vector<bool> enabled;
    host->OpenSettings([&] {
        for (const char* seconds : {"-1", "7", "0"}) {
            host->DialogSet("DisplaySeconds", seconds);
            HWND dialog = FindWindowW(L"#32770", nullptr);
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDC_SECONDS)) != FALSE);
        }
        host->DialogPress(false);
    });
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false}));
}

TEST_F(SettingsDialog, ToggleHoldsAcrossAChannelChangeAndShowLogoShowsForTheDisplayTime) {
    ShowLogo("[LogoMark]\r\nDisplaySeconds=1\r\n", Options());
    EXPECT_EQ(host->Commands(), (std::vector<std::string>{"ShowLogo", "ToggleLogo"}));
    ASSERT_TRUE(WaitVisible(false));
    ASSERT_TRUE(host->RunCommand("ShowLogo"));
    EXPECT_TRUE(WaitVisible(true));
    EXPECT_TRUE(WaitVisible(false));
    ASSERT_TRUE(host->RunCommand("ToggleLogo"));  // hidden: shown without a time limit
    EXPECT_TRUE(WaitVisible(true));
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitPasses(3));
    EXPECT_TRUE(host->Overlay().visible);
    ASSERT_TRUE(host->RunCommand("ToggleLogo"));
    EXPECT_TRUE(WaitVisible(false));
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitPasses(3));
    EXPECT_FALSE(host->Overlay().visible);
}

// Message 20 knows no aspect: the video's own 4:3 (message 24) puts the picture between side
// bars from x 160, and the logo inside it.
TEST_F(SettingsDialog, AFourByThreePictureGetsItsLogoInsideThePicture) {
    auto options = Options();
    options.initial.aspect = {{0, 0}};
    options.initial.videoAspect = {{4, 3}};
    ShowLogo("[LogoMark]\r\nDisplaySeconds=-1\r\n", options);
    EXPECT_TRUE(WaitAt(160, 0));
}

}  // namespace
}  // namespace insigno::it
