// Initialisation failures as the viewer sees them, and finalisation followed by unload.

#include <filesystem>

#include "LogoStore.h"
#include "ModuleFixture.h"

#ifndef _WIN32
#include <insigno/platform_test.h>
#endif

namespace insigno::it {
namespace {

using host::HostWindows;

// The viewer sees no plug-in window anywhere in its tree.
bool NoOverlayAnywhere(const Host& h) {
    return HostWindows::FindDescendant(h.Windows().Main(), "LogoMarkClass") == nullptr;
}

TEST_F(ModuleTest, WithoutVideoContainerInitialisationFailsOnce) {
    auto options = Options();
    options.videoContainer = false;
    Start(options);
    if (!host->MessageBoxesObservable())
        GTEST_SKIP() << "the module's message boxes cannot be seen";
    EXPECT_FALSE(host->Initialize());

    ASSERT_EQ(host->MessageBoxes().size(), 1u);
    const auto& box = host->MessageBoxes()[0];
    EXPECT_TRUE(box.wide);
    EXPECT_EQ(box.caption, "Insigno");
    EXPECT_EQ(box.text, "初期化に失敗しました。");
    EXPECT_EQ(box.type, static_cast<unsigned>(MB_OK));
    EXPECT_FALSE(box.owner);
    EXPECT_FALSE(host->EventCallbackRegistered());
    EXPECT_FALSE(host->StreamCallbackRegistered());
    EXPECT_TRUE(NoOverlayAnywhere(*host));
    // The store was made before the window search failed.
    EXPECT_TRUE(std::filesystem::is_directory(LogoDir()));

    // As the viewer does after a failed TVTInitialize: no TVTFinalize, only the unload.
    EXPECT_FALSE(host->Finalize());
    EXPECT_TRUE(host->Unload());
    EXPECT_EQ(host->LateMessages(), 0);
    EXPECT_EQ(host->MessageBoxes().size(), 1u);
}

TEST_F(ModuleTest, UncreatableLogoDirectoryIsReportedWithTheErrorText) {
    // A regular file where a parent directory should be: no one, root included, creates it.
    const auto blocker = RunDir() / "blocker";
    WriteFile(blocker, {0x42});
    const std::string directory = (blocker / "Logo").string();
    std::string expected = "ディレクトリを作成できません。\n";
    try {
        LogoStore store(directory, RunDir().string());
        FAIL() << "the store was created under a file";
    } catch (const std::exception& e) {
        const std::string message = e.what();
        const auto cut = message.find(": ");
        expected += cut == std::string::npos ? message : message.substr(cut + 2);
    }

    auto options = Options();
    options.settings.push_back({"LogoDirectory", directory});
    Start(options);
    if (!host->MessageBoxesObservable())
        GTEST_SKIP() << "the module's message boxes cannot be seen";
    EXPECT_FALSE(host->Initialize());

    ASSERT_EQ(host->MessageBoxes().size(), 1u);
    const auto& box = host->MessageBoxes()[0];
    EXPECT_FALSE(box.wide);  // code page 932 through MessageBoxA
    EXPECT_EQ(box.caption, "Insigno");
    EXPECT_EQ(box.text, expected);
    EXPECT_EQ(box.type, static_cast<unsigned>(MB_OK));
    EXPECT_FALSE(box.owner);
    EXPECT_FALSE(host->EventCallbackRegistered());
    EXPECT_FALSE(host->StreamCallbackRegistered());
    EXPECT_TRUE(NoOverlayAnywhere(*host));
    EXPECT_FALSE(host->Finalize());
    EXPECT_TRUE(host->Unload());
    EXPECT_EQ(host->LateMessages(), 0);
}

TEST_F(ModuleTest, FinalizeThenUnloadTearsDownOnce) {
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, 1, 4)}));
    auto options = Options();
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    ASSERT_TRUE(host->Initialize());
    Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
    Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
    Channel(CHANNEL_A);
    ASSERT_TRUE(WaitVisible(true));  // the render thread is drawing and polling the viewer

    EXPECT_TRUE(host->Finalize());
    // The overlay window and its class are gone: the class can be registered again.
    EXPECT_TRUE(NoOverlayAnywhere(*host));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LogoMarkClass";
    EXPECT_NE(RegisterClassW(&windowClass), 0);
    UnregisterClassW(L"LogoMarkClass", GetModuleHandleW(nullptr));
#ifndef _WIN32
    EXPECT_EQ(InsignoPlatform_LiveD3DObjects(), 0u);
#endif
    // Unloading after TVTFinalize finds nothing left to destroy: it neither asks the viewer
    // anything nor shows anything.
    EXPECT_TRUE(host->Unload());
    EXPECT_EQ(host->LateMessages(), 0);
    EXPECT_TRUE(host->MessageBoxes().empty());
}

}  // namespace
}  // namespace insigno::it
