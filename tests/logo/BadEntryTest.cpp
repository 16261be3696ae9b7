// Entries of the logo folder that are no logo file, under a logo's name, beside a good version 2:
// the start-up scan, insigno-scan's reading of the folder and the refresh of a running store
// neither stop nor hang on them, and show only what is a logo.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <future>

#include "LogoDirectory.h"
#include "LogoStore.h"
#include "PaletteChunk.h"
#include "support/LogoFiles.h"

namespace {

namespace fs = boost::filesystem;
using logo_files::AppendChunk;
using logo_files::MakePng;
using logo_files::Received;
using Bytes = std::vector<uint8_t>;

// A logo with one more chunk inserted at `at`.
Bytes Inserted(size_t at, const char (&type)[5], const Bytes& data) {
    Bytes png = MakePng(20), chunk;
    AppendChunk(chunk, type, data);
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(at), chunk.begin(), chunk.end());
    return png;
}

struct BadEntry {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* action;  // what insigno-scan --logo-dir says; "" when it lists no such entry
    bool isLogo;         // held in place of version 2
    bool stays;          // still there after the start-up scan

    friend void PrintTo(const BadEntry& c, std::ostream* os) { *os << c.name; }
};

std::function<void(const fs::path&)> Holding(const Bytes& bytes) {
    return [bytes](const fs::path& p) { logo_files::WriteFile(p, bytes); };
}

const BadEntry kBadEntries[] = {
    {"SymlinkLoop", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }, "leave", false,
     true},
    {"Fifo", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0666), 0); }, "leave", false,
     true},
    {"Oversized", Holding(MakePng(LogoStore::kMaxFileBytes + 1 - MakePng(0).size())), "leave",
     false, true},
    {"LinkToDevice", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "leave", false,
     true},
    {"OwnPalette", Holding(Inserted(33, "PLTE", {0xFF, 0, 0})), "load", true, true},
    {"IhdrSecond", Holding(Inserted(8, "tEXt", {1})), "delete", false, false},
    {"Directory", [](const fs::path& p) { fs::create_directory(p); }, "", false, true},
};

class FolderEntry : public ::testing::TestWithParam<BadEntry> {
protected:
    fs::path Dir() const { return base.Path() / "Logo"; }
    fs::path Entry() const { return Dir() / "0004_01A_003_05"; }
    void SetUp() override {
        fs::create_directories(Dir());
        logo_files::WriteFile(Dir() / "0004_01A_002_05", Received(2).data);
    }
    uint16_t HeldVersion(const LogoStore& store, Bytes* shown = nullptr) {
        LogoRecord held;
        if (!store.Lookup(4, 0x1A, 5, held)) return 0;
        if (shown) *shown = InsertPalette(held);
        return held.logoVersion;
    }
    logo_files::TempDir base;
};

TEST_P(FolderEntry, AtStartIsJudgedAlikeByTheScanAndTheReader) {
    GetParam().make(Entry());
    std::string action;
    for (const LogoDirectoryEntry& entry : ReadLogoDirectory(Dir().native()))
        if (entry.name == Entry().filename()) action = ActionName(entry.action);
    EXPECT_EQ(action, GetParam().action);

    const LogoStore store("Logo", base.Path());
    Bytes shown;
    EXPECT_EQ(HeldVersion(store, &shown), GetParam().isLogo ? 3 : 2);
    // In its own colours: the bytes go to the decoder as they are. (The others are not read
    // here: a FIFO or /dev/zero would not end.)
    if (GetParam().isLogo) {
        EXPECT_EQ(shown, logo_files::ReadFile(Entry()));
    }
    EXPECT_EQ(fs::exists(fs::symlink_status(Entry())), GetParam().stays);
}

TEST_P(FolderEntry, SavedByAnotherWhileRunningIsTakenInOnlyWhenALogo) {
    LogoStore store("Logo", base.Path());
    std::promise<void> refreshed;
    // Keys are read in order: once 0004_01B_05 arrives, 0004_01A_05 has been dealt with.
    store.SetArrivalHandler([&](const LogoRecord& record) {
        if (record.logoId == 0x1B) refreshed.set_value();
    });
    GetParam().make(Entry());
    logo_files::WriteFile(Dir() / "0004_01B_001_05", Received(1).data);
    store.Refresh();
    refreshed.get_future().wait();
    store.SetArrivalHandler(nullptr);
    EXPECT_EQ(HeldVersion(store), GetParam().isLogo ? 3 : 2);
}

INSTANTIATE_TEST_SUITE_P(Table, FolderEntry, ::testing::ValuesIn(kBadEntries),
                         [](const auto& p) { return std::string(p.param.name); });

// A directory of the name a save needs: the save fails once, leaves nothing behind, and that
// version is not tried again at its next repetitions, only from the next visit of the service.
TEST(FailedSave, IsNotRetriedAtEveryRepetition) {
    logo_files::TempDir base;
    LogoStore store("Logo", base.Path());
    fs::create_directories(base.Path() / "Logo" / "0004_01A_003_05");
    ASSERT_TRUE(store.Accept(Received(3)));
    EXPECT_FALSE(store.Flush());
    EXPECT_FALSE(store.Accept(Received(3)));
    EXPECT_TRUE(store.Accept(Received(4)));
    store.Refresh();
    EXPECT_TRUE(store.Accept(Received(3)));
    store.Flush();
    EXPECT_EQ(logo_files::Names(base.Path() / "Logo"),
              (std::set<std::string>{"0004_01A_003_05", "0004_01A_004_05"}));
}

}  // namespace
