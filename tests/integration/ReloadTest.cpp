// The module loaded, initialised, finalised and unloaded over and over in one process, as a
// viewer does when the user turns plug-ins off and on: each load starts afresh.

#include <fstream>
#include <sstream>
#include <string>

#include "ModuleFixture.h"
#include "insigno/host/Soak.h"

namespace insigno::it {
namespace {

// Whether the process maps the file at `path`.
bool Mapped(const std::filesystem::path& path) {
#ifdef _WIN32
    return GetModuleHandleW(path.wstring().c_str()) != nullptr;
#else
    std::ifstream maps("/proc/self/maps");
    // Built by append: GCC 12's -O2 misreads `" " + string&&` as an overlapping copy.
    std::string name(1, ' ');
    name += std::filesystem::absolute(path).string();
    for (std::string line; std::getline(maps, line);) {
        if (line.size() >= name.size() && line.ends_with(name)) return true;
    }
    return false;
#endif
}

TEST_F(ModuleTest, EveryReloadStartsAfreshAndShowsTheLogo) {
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, 1, 4)}));
    auto options = Options();
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    Start(options);
    const auto copy = RunDir() / "Insigno.tvtp";
    for (int load = 0; load < 4; ++load) {
        SCOPED_TRACE("load " + std::to_string(load));
        if (load > 0) {
            host->PrepareReload();
            ASSERT_TRUE(host->Load());
        }
        ASSERT_TRUE(host->Initialize());
        Event(TVTest::EVENT_PLUGIN_ENABLE, 1);
        Event(TVTest::EVENT_PREVIEW_CHANGE, 1);
        Channel(load % 2 ? CHANNEL_B : CHANNEL_A);
        Channel(CHANNEL_A);
        EXPECT_TRUE(WaitVisible(true));
        EXPECT_TRUE(host->Finalize());
        EXPECT_TRUE(host->Unload());
        // Gone from the process, so the next load maps it anew and runs its constructors.
        EXPECT_FALSE(Mapped(copy));
    }
    EXPECT_EQ(host->LateMessages(), 0);
}

#ifdef INSIGNO_LEAKY_MODULE
// The soak's verdict on memory, in seconds for minutes: a module losing 64 KiB a load fails it,
// the same module losing nothing does not (neither shows a logo, which fails them both).
TEST_F(ModuleTest, TheSoakFailsAModuleThatLosesMemoryEachLoad) {
    for (const char* module : {INSIGNO_CONTROL_MODULE, INSIGNO_LEAKY_MODULE}) {
        SCOPED_TRACE(module);
        host::Scenario scenario;
        scenario.initial = Options().initial;
        auto options = Options();
        options.module = module;
        host::Report quiet;
        Host soaked(options, quiet);
        host::SoakOptions soak;
        soak.minuteSeconds = 1;
        soak.minutes = 4;
        soak.reloadSeconds = 0.1;
        std::ostringstream out;
        EXPECT_EQ(host::RunSoak(scenario, soak, soaked, quiet, out), 1);
        const bool leaky = std::string(module) == INSIGNO_LEAKY_MODULE;
        EXPECT_EQ(out.str().find("the heap in use grew") != std::string::npos, leaky) << out.str();
    }
}
#endif

}  // namespace
}  // namespace insigno::it
