// The built module Insigno.tvtp loaded as the viewer loads it, through the Win32 stand-in.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <insigno/platform_test.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>
#include <string>
#include <thread>

#include "FailingAllocation.h"
#include "LogoStore.h"
#include "ScriptedHost.h"
#include "TestWindows.h"

namespace fs = boost::filesystem;
using namespace TVTest;

namespace {

// The module is built beside the test programs.
fs::path BuiltModule() {
    return fs::read_symlink("/proc/self/exe").parent_path() / "Insigno.tvtp";
}

// One private copy of the module per test, in a directory of its own: the module finds its
// settings file and its logo directory beside itself.
class Module {
public:
    Module() {
        fs::create_directories(directory);
        fs::copy_file(BuiltModule(), path());
    }
    ~Module() {
        Unload();
        boost::system::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    fs::path path() const { return directory / "Insigno.tvtp"; }

    void WriteSettings(const std::string& text) const {
        fs::ofstream(directory / "Insigno.ini") << text;
    }

    bool Load() {
        handle = dlopen(path().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) ADD_FAILURE() << dlerror();
        return handle != nullptr;
    }
    void Unload() {
        if (handle) dlclose(handle);
        handle = nullptr;
    }
    template <typename F>
    F Entry(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }

    DWORD GetVersion() const { return Entry<GetVersionFunc>("TVTGetVersion")(); }
    BOOL GetPluginInfo(PluginDescription* info) const {
        return Entry<GetPluginInfoFunc>("TVTGetPluginInfo")(info);
    }
    BOOL Initialize(HostParam* param) const {
        return Entry<InitializeFunc>("TVTInitialize")(param);
    }
    BOOL Finalize() const { return Entry<FinalizeFunc>("TVTFinalize")(); }

    fs::path directory = fs::temp_directory_path() / fs::unique_path("insigno-module-%%%%-%%%%");

private:
    void* handle = nullptr;
};

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        InsignoPlatform_Reset();
        ASSERT_TRUE(fs::exists(BuiltModule())) << BuiltModule();
    }

    std::vector<UINT> Registrations() {
        std::vector<UINT> found;
        for (UINT message : host.Messages()) {
            if (message == HOST_MSG_SET_EVENT_CALLBACK || message == HOST_MSG_SET_STREAM_CALLBACK)
                found.push_back(message);
        }
        return found;
    }

    ScriptedHost host;
    Module module;
};

TEST_F(ModuleTest, AnswersVersionAndInfoBeforeInitialisation) {
    ASSERT_TRUE(module.Load());
    EXPECT_EQ(module.GetVersion(), 7u);
    PluginDescription info;
    std::memset(&info, 0xCC, sizeof info);
    EXPECT_EQ(module.GetPluginInfo(&info), TRUE);
    EXPECT_EQ(info.type, 0u);
    EXPECT_EQ(info.flags, PLUGIN_FLAG_HAS_SETTINGS);
    EXPECT_EQ(std::wstring(info.name), L"Insigno");
    EXPECT_EQ(std::wstring(info.description),
              L"\u653E\u9001\u5C40\u306E\u30ED\u30B4\u3092\u8868\u793A\u3057\u307E\u3059");
    EXPECT_FALSE(std::wstring(info.copyright).empty());
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(ModuleTest, InitialisationRegistersBothCallbacksAndFinalisationRemovesTheOverlay) {
    TestWindows windows;
    host.param.hostWindow = windows.main;
    ASSERT_TRUE(module.Load());
    const size_t before = InsignoPlatform_WindowCount();
    ASSERT_EQ(module.Initialize(&host.param), TRUE);
    EXPECT_TRUE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass"));
    EXPECT_EQ(InsignoPlatform_WindowCount(), before + 1);
    EXPECT_TRUE(InsignoPlatform_MessageBoxes().empty());
    EXPECT_TRUE(fs::is_directory(module.directory / "Logo"));

    EXPECT_EQ(Registrations(),
              (std::vector<UINT>{HOST_MSG_SET_EVENT_CALLBACK, HOST_MSG_SET_STREAM_CALLBACK}));
    ASSERT_NE(host.eventCallback, nullptr);
    ASSERT_TRUE(host.streamCallback);
    EXPECT_EQ(host.streamCallback->size, sizeof(StreamCallbackInfo));
    EXPECT_EQ(host.streamCallback->flags, 0u);
    EXPECT_EQ(host.streamCallback->clientData, host.eventClientData);
    // Before any event has set a target every packet is taken, and dropped.
    BYTE packet[188] = {0x47, 0x40, 0x11, 0x10};
    EXPECT_EQ(host.streamCallback->callback(packet, host.streamCallback->clientData), TRUE);
    // Events reach the plug-in's handler through the registered callback.
    EXPECT_EQ(host.eventCallback(EVENT_SERVICE_CHANGE, 0, 0, host.eventClientData), 1);
    EXPECT_EQ(host.eventCallback(18, 0, 0, host.eventClientData), 0);

    host.ClearCalls();
    EXPECT_EQ(module.Finalize(), TRUE);
    // Both callbacks are removed before anything is torn down.
    EXPECT_EQ(Registrations(),
              (std::vector<UINT>{HOST_MSG_SET_STREAM_CALLBACK, HOST_MSG_SET_EVENT_CALLBACK}));
    EXPECT_FALSE(host.streamCallback);
    EXPECT_EQ(host.eventCallback, nullptr);
    EXPECT_FALSE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass"));
    EXPECT_EQ(InsignoPlatform_WindowCount(), before);
    EXPECT_EQ(InsignoPlatform_LiveD3DObjects(), 0u);
    // Unloading after finalisation must not destroy the object a second time.
    module.Unload();
    EXPECT_EQ(InsignoPlatform_WindowCount(), before);
}

// A viewer calling the exports out of order within one load finds a fresh module after
// TVTFinalize, and a running one refuses a second initialisation.
TEST_F(ModuleTest, ExportsOutOfOrderAnswerAsAFreshModuleWould) {
    TestWindows windows;
    host.param.hostWindow = windows.main;
    ASSERT_TRUE(module.Load());
    ASSERT_EQ(module.Initialize(&host.param), TRUE);
    EXPECT_EQ(module.Initialize(&host.param), FALSE);
    ASSERT_EQ(module.Finalize(), TRUE);
    EXPECT_EQ(module.Finalize(), FALSE);
    EXPECT_EQ(module.GetVersion(), 7u);
    PluginDescription info{};
    EXPECT_EQ(module.GetPluginInfo(&info), TRUE);
    EXPECT_EQ(std::wstring(info.name), L"Insigno");
    ASSERT_EQ(module.Initialize(&host.param), TRUE);
    EXPECT_NE(host.eventCallback, nullptr);
    EXPECT_EQ(module.Finalize(), TRUE);
    EXPECT_EQ(host.eventCallback, nullptr);
    EXPECT_EQ(InsignoPlatform_LiveD3DObjects(), 0u);
}

TEST_F(ModuleTest, NoVideoContainerIsReportedOnceInUtf16) {
    TestWindows windows(L"Some Other Window");
    host.param.hostWindow = windows.main;
    ASSERT_TRUE(module.Load());
    EXPECT_EQ(module.Initialize(&host.param), FALSE);
    const std::vector<InsignoPlatform_MessageBox> boxes = InsignoPlatform_MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].api, "MessageBoxW");
    EXPECT_EQ(boxes[0].text,
              "\xE5\x88\x9D\xE6\x9C\x9F\xE5\x8C\x96\xE3\x81\xAB\xE5\xA4\xB1\xE6"
              "\x95\x97\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\xE3\x80"
              "\x82");  // 初期化に失敗しました。
    EXPECT_EQ(boxes[0].caption, "Insigno");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(Registrations().empty());
    EXPECT_FALSE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass"));
    // The store made before the search stays until finalisation, which touches no host.
    EXPECT_TRUE(fs::is_directory(module.directory / "Logo"));
    host.ClearCalls();
    EXPECT_EQ(module.Finalize(), TRUE);
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(ModuleTest, AnUncreatableLogoDirectoryIsReportedInCodePage932) {
    TestWindows windows;
    host.param.hostWindow = windows.main;
    // A plain file where a parent directory would have to be.
    fs::ofstream(module.directory / "blocker") << "file";
    const fs::path logoDirectory = module.directory / "blocker" / "Logo";
    module.WriteSettings("[LogoMark]\nLogoDirectory=" + logoDirectory.string() + "\n");

    // The same failure, seen directly, gives the text the box must end with.
    std::string reason;
    try {
        LogoStore store(logoDirectory.string(), module.directory.string());
    } catch (const std::exception& e) {
        reason = e.what();
    }
    ASSERT_NE(reason.find(": "), std::string::npos) << reason;
    reason = reason.substr(reason.find(": ") + 2);

    ASSERT_TRUE(module.Load());
    EXPECT_EQ(module.Initialize(&host.param), FALSE);
    const std::vector<InsignoPlatform_MessageBox> boxes = InsignoPlatform_MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].api, "MessageBoxA");
    // ディレクトリを作成できません。 as read from code page 932 bytes.
    EXPECT_EQ(boxes[0].text,
              "\xE3\x83\x87\xE3\x82\xA3\xE3\x83\xAC\xE3\x82\xAF\xE3\x83\x88\xE3\x83\xAA\xE3\x82"
              "\x92\xE4\xBD\x9C\xE6\x88\x90\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3"
              "\x82\x93\xE3\x80\x82\n" +
                  reason);
    EXPECT_EQ(boxes[0].caption, "Insigno");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(Registrations().empty());
    EXPECT_FALSE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass"));
    EXPECT_EQ(module.Finalize(), TRUE);
}

TEST_F(ModuleTest, AFailedOverlayIsReportedWithItsCodeInCodePage932) {
    TestWindows windows;
    host.param.hostWindow = windows.main;
    InsignoPlatform_FailDirect3DCreate9(true);
    ASSERT_TRUE(module.Load());
    EXPECT_EQ(module.Initialize(&host.param), FALSE);
    InsignoPlatform_FailDirect3DCreate9(false);
    const std::vector<InsignoPlatform_MessageBox> boxes = InsignoPlatform_MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].api, "MessageBoxA");
    // ウィンドウを作成できませんでした。 as read from code page 932 bytes.
    EXPECT_EQ(boxes[0].text,
              "\xE3\x82\xA6\xE3\x82\xA3\xE3\x83\xB3\xE3\x83\x89\xE3\x82\xA6\xE3\x82\x92\xE4\xBD"
              "\x9C\xE6\x88\x90\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xE3"
              "\x81\xA7\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82\nError Code: 3");
    EXPECT_EQ(boxes[0].caption, "Insigno");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(Registrations().empty());
    EXPECT_FALSE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass"));
    EXPECT_EQ(module.Finalize(), TRUE);
}

// Each allocation of TVTInitialize in turn fails (the thread's own ones: the settings, the store,
// the overlay). Never an exception into the viewer: either the failure is absorbed (an unreadable
// settings file gives the defaults) and initialisation goes on, or it answers FALSE with nothing
// left running or registered. Then the unload tears down what is left.
TEST_F(ModuleTest, AnAllocationFailureInInitialisationFailsItAndLeavesNothingRunning) {
    TestWindows windows;
    host.param.hostWindow = windows.main;
    const size_t before = InsignoPlatform_WindowCount();
    bool reached = true;
    int failures = 0;
    for (int n = 0; reached && n < 5000; ++n) {
        // A fresh copy each time: an unloaded module may stay mapped, its object gone.
        Module copy;
        ASSERT_TRUE(copy.Load());
        host.ClearCalls();
        BOOL result = TRUE;
        {
            FailingAllocation failing(n);
            result = copy.Initialize(&host.param);
            reached = failing.Reached();
        }
        if (result == FALSE) {
            ++failures;
            EXPECT_TRUE(Registrations().empty()) << "allocation " << n;
            EXPECT_FALSE(InsignoPlatform_IsClassRegistered(L"LogoMarkClass")) << n;
        } else {
            EXPECT_EQ(copy.Finalize(), TRUE) << "allocation " << n;
        }
        copy.Unload();
        EXPECT_EQ(InsignoPlatform_WindowCount(), before) << "allocation " << n;
        InsignoPlatform_ClearMessageBoxes();
    }
    EXPECT_FALSE(reached);
    EXPECT_GT(failures, 10);
}

// A failed initialisation stops the logo store's writer thread before it returns: a viewer may
// then unload the module without TVTFinalize, under the loader lock, where no thread can end.
TEST_F(ModuleTest, AFailedInitialisationLeavesNoThreadOfTheModuleRunning) {
    const auto threads = [] {
        return std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator());
    };
    TestWindows windows(L"Not The Video Container");
    host.param.hostWindow = windows.main;
    // ThreadSanitizer starts a thread of its own at the first thread creation: counted before.
    std::thread([] {}).join();
    const auto before = threads();
    ASSERT_TRUE(module.Load());
    ASSERT_EQ(module.Initialize(&host.param), FALSE);
    EXPECT_EQ(threads(), before);
    module.Unload();
    InsignoPlatform_ClearMessageBoxes();
}

// A viewer that unloads the module without finalising it while the overlay's render thread
// runs: unloading and the process's exit both complete. Run in a child process, which a hang
// would keep from exiting (the alarm ends it then, and the test fails).
TEST_F(ModuleTest, UnloadWithoutFinalisationDoesNotHang) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(60);
        TestWindows windows;
        host.param.hostWindow = windows.main;
        if (!module.Load() || module.Initialize(&host.param) != TRUE) _exit(2);
        module.Unload();
        // The running overlay keeps its module loaded instead of being joined during unload.
        if (!InsignoPlatform_IsClassRegistered(L"LogoMarkClass")) _exit(3);
        // The process's end then stops it.
        exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
