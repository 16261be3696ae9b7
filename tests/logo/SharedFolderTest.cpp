// Several processes on one logo folder: what another saved is taken in without a restart, and
// a crashed writer's temporary files go at the next start, never a live writer's.

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <future>

#include "LogoStore.h"
#include "support/LogoFiles.h"
#include "support/WatchedDisk.h"

namespace {

namespace fs = boost::filesystem;
using logo_files::Names;
using logo_files::Received;
using logo_files::WriteFile;
using NameSet = std::set<std::string>;

TEST(SharedFolder, ALogoAnotherStoreSavedIsTakenInByReadingOnly) {
    logo_files::TempDir base;
    LogoStore reader("Logo", base.Path().string());
    std::promise<void> arrived;
    std::atomic<int> arrivals{0};
    reader.SetArrivalHandler([&](const LogoRecord&) {
        if (arrivals++ == 0) arrived.set_value();
    });
    {
        LogoStore saver("Logo", base.Path().string());
        ASSERT_TRUE(saver.Accept(Received(2)));
        ASSERT_TRUE(saver.Flush());
    }
    // A malformed file of the logo-name form is neither taken in nor removed.
    WriteFile(base.Path() / "Logo" / "0004_01B_001_05", {1, 2, 3});
    reader.Refresh();
    ASSERT_EQ(arrived.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
    LogoRecord held;
    ASSERT_TRUE(reader.Lookup(4, 0x1A, 5, held));
    EXPECT_EQ(held.data, Received(2).data);
    reader.Stop();
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(Names(base.Path() / "Logo"), (NameSet{"0004_01A_002_05", "0004_01B_001_05"}));
}

// The rename onto the logo's name refused (as Windows refuses while another viewer renames or
// reads that file): when the file there holds this save's bytes, another saved the same version.
TEST(SharedFolder, ARefusedRenameOverTheSameBytesIsASave) {
    for (const bool same : {true, false}) {
        logo_files::TempDir base;
        auto disk = std::make_shared<logo_files::WatchedDisk>();
        disk->failing = logo_files::Step::Rename;
        LogoStore store("Logo", base.Path().string(), disk);
        WriteFile(base.Path() / "Logo" / "0004_01A_002_05", Received(same ? 2 : 3).data);
        ASSERT_TRUE(store.Accept(Received(2)));
        EXPECT_EQ(store.Flush(), same);
        EXPECT_EQ(Names(base.Path() / "Logo"), NameSet{"0004_01A_002_05"});
    }
}

struct TemporaryCase {
    const char* name;
    int ageMinutes;
    bool removed;
};

class StaleTemporaries : public ::testing::TestWithParam<TemporaryCase> {};

TEST_P(StaleTemporaries, OnlyOldOnesOfTheFormGoAtStart) {
    const TemporaryCase& c = GetParam();
    logo_files::TempDir base;
    const fs::path file = base.Path() / "Logo" / c.name;
    fs::create_directories(file.parent_path());
    WriteFile(file, {1, 2, 3});
    fs::last_write_time(file, std::time(nullptr) - c.ageMinutes * 60);
    LogoStore store("Logo", base.Path().string());
    EXPECT_EQ(!fs::exists(file), c.removed);
}

INSTANTIATE_TEST_SUITE_P(Cases, StaleTemporaries,
                         ::testing::Values(TemporaryCase{"0004_01A_002_05.1F2E-3.tmp", 11, true},
                                           TemporaryCase{"0004_01A_002_05.1F2E-3.tmp", 9, false},
                                           TemporaryCase{"0004_01A_002_05.tmp", 11, true},
                                           TemporaryCase{"0004_01A_002_05.1F2E-3.tmp", -60,
                                                         false},  // in the future
                                           TemporaryCase{"notes.tmp", 11, false},
                                           TemporaryCase{"0004_01A_002_05.x.tmp", 11, false}));

}  // namespace
