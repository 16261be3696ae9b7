// The static MinGW runtime and Boost archives working on Windows: Boost.Thread and its
// interruption (an exception the static runtime must unwind), Boost.Filesystem on a real directory,
// and the stand-in plug-in module loaded and called through its plain export names.
#include <gtest/gtest.h>
#include <windows.h>
#include <boost/filesystem.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <fstream>

namespace {

TEST(WineRuntime, InterruptEndsAThreadSleepingInASteadyLoop) {
    std::atomic<bool> interrupted{false};
    std::atomic<int> rounds{0};
    boost::thread worker([&] {
        try {
            for (;;) {
                ++rounds;
                boost::this_thread::sleep_for(boost::chrono::milliseconds(1));
            }
        } catch (const boost::thread_interrupted&) {
            interrupted = true;
        }
    });
    while (rounds == 0) {
        boost::this_thread::yield();
    }
    worker.interrupt();
    worker.join();
    EXPECT_TRUE(interrupted);
}

TEST(WineRuntime, FilesystemCreatesListsAndRemovesADirectory) {
    namespace fs = boost::filesystem;
    const fs::path dir = fs::temp_directory_path() / fs::unique_path("insigno-%%%%-%%%%");
    ASSERT_TRUE(fs::create_directory(dir));
    std::ofstream(dir / "logo.png", std::ios::binary) << "abc";
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"logo.png"});
    EXPECT_EQ(fs::file_size(dir / "logo.png"), 3u);
    EXPECT_EQ(fs::remove_all(dir), 2u);
    EXPECT_FALSE(fs::exists(dir));
}

TEST(WineRuntime, ProbeModuleLoadsAndItsEntryPointsAnswer) {
    HMODULE module = LoadLibraryA(INSIGNO_PROBE_MODULE);
    ASSERT_NE(module, nullptr) << "cannot load " << INSIGNO_PROBE_MODULE << ", error "
                               << GetLastError();
    using GetVersionFn = DWORD(WINAPI*)();
    using InitializeFn = BOOL(WINAPI*)(void*);
    auto getVersion = reinterpret_cast<GetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "TVTGetVersion")));
    auto initialize = reinterpret_cast<InitializeFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "TVTInitialize")));
    ASSERT_NE(getVersion, nullptr);
    ASSERT_NE(initialize, nullptr);
    EXPECT_EQ(getVersion(), 7u);
    int param = 0;
    EXPECT_TRUE(initialize(&param));    // a Boost thread and Direct3D inside the module
    EXPECT_FALSE(initialize(nullptr));  // an exception thrown and caught inside the module
    EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
