// The store's writer thread: the stream thread only hands records over, the writer does the file
// work, and the directory holds a loadable version at every instant of a save.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "LogoStore.h"
#include "support/CodePage.h"
#include "support/LogoFiles.h"
#include "support/WatchedDisk.h"

namespace {

namespace fs = boost::filesystem;
using logo_files::Names;
using logo_files::ReadFile;
using logo_files::Received;
using logo_files::Step;
using logo_files::WatchedDisk;
using logo_files::WriteFault;
using NameSet = std::set<std::string>;

// Logo `id` of network 4, type 5, in `version`.
LogoRecord Logo(uint16_t id, uint16_t version = 1) {
    LogoRecord record = Received(version);
    record.logoId = id;
    return record;
}

class Writer : public ::testing::Test {
protected:
    fs::path Dir() const { return base.Path() / "Logo"; }
    uint16_t HeldVersion() const {
        LogoRecord out;
        return store->Lookup(4, 0x1A, 5, out) ? out.logoVersion : 0;
    }
    // The version a fresh start loads from `directory` (0: none).
    static uint16_t LoadedVersion(const fs::path& directory,
                                  std::vector<uint8_t>* bytes = nullptr) {
        const LogoStore restarted(directory, "/");
        LogoRecord out;
        if (!restarted.Lookup(4, 0x1A, 5, out)) return 0;
        if (bytes) *bytes = out.data;
        return out.logoVersion;
    }
    void Start(LogoStore::QueueLimits limits = {}) {
        store = std::make_unique<LogoStore>("Logo", base.Path(), disk, limits);
    }
    // Version 2 saved and held, the writer idle.
    void Hold2() {
        Start();
        ASSERT_TRUE(store->Accept(Received(2)));
        ASSERT_TRUE(store->Flush());
    }

    logo_files::TempDir base;
    std::shared_ptr<WatchedDisk> disk = std::make_shared<WatchedDisk>();
    std::unique_ptr<LogoStore> store;
};

TEST_F(Writer, ABurstIsWrittenByTheWriterThreadAloneAndLoadedByTheNextStart) {
    Start();
    for (uint16_t id = 1; id <= 200; ++id) ASSERT_TRUE(store->Accept(Logo(id))) << id;
    ASSERT_TRUE(store->Flush());
    const std::set<std::thread::id> threads = disk->Threads();
    EXPECT_TRUE(threads.size() == 1 && threads.count(std::this_thread::get_id()) == 0);
    const LogoStore restarted("Logo", base.Path());
    LogoRecord out;
    for (uint16_t id = 1; id <= 200; ++id) EXPECT_TRUE(restarted.Lookup(4, id, 5, out)) << id;
}

// The writer held at its first write: four places in all, one of them the record it holds.
class GatedWriter : public Writer {
protected:
    void SetUp() override {
        Start({4, 1u << 20});
        disk->Close();
        ASSERT_TRUE(store->Accept(Logo(1)));
        disk->Reached();
        for (uint16_t id = 2; id <= 4; ++id) ASSERT_TRUE(store->Accept(Logo(id)));
    }
    // A failed check must not leave the writer at the gate, where Stop would wait for it.
    void TearDown() override { disk->Open(); }
};

TEST_F(GatedWriter, AFullQueueRefusesAndTheNextRepetitionIsTaken) {
    LogoRecord out;
    EXPECT_FALSE(store->Accept(Logo(5)));
    EXPECT_FALSE(store->Lookup(4, 5, 5, out));
    disk->Open();
    ASSERT_TRUE(store->Flush());
    EXPECT_TRUE(store->Accept(Logo(5)) && store->Flush());
    EXPECT_EQ(Names(Dir()).size(), 5u);
}

// Finalisation's bound spent (0 ms): the save in progress ends whole, the queued ones are not
// started, nothing half written or temporary is left, and nothing more is taken in.
TEST_F(GatedWriter, FinalisationWithAFullQueueEndsWithinTheBoundLeavingNoPartialFile) {
    store->BeginStop(std::chrono::milliseconds(0));
    disk->Open();
    store->Stop();
    EXPECT_FALSE(store->Accept(Logo(5)));
    EXPECT_EQ(Names(Dir()), NameSet{LogoStore::MakeFileName(Logo(1))});
    EXPECT_EQ(ReadFile(Dir() / LogoStore::MakeFileName(Logo(1))), Logo(1).data);
}

// A save that fails at its write, flush or rename: version 2 is held again in memory, its file
// untouched and loaded by the next start, no temporary file left; the next repetition is taken
// from the next visit of the service on.
struct FailedStep {
    const char* name;
    Step step;
    WriteFault fault;

    friend void PrintTo(const FailedStep& c, std::ostream* os) { *os << c.name; }
};

class FailedSave : public Writer, public ::testing::WithParamInterface<FailedStep> {};

TEST_P(FailedSave, BringsTheHeldVersionBackInMemoryAndOnDisk) {
    Hold2();
    disk->failing = GetParam().step;
    disk->writeFault = GetParam().fault;
    ASSERT_TRUE(store->Accept(Received(3)));
    EXPECT_FALSE(store->Flush());
    EXPECT_EQ(HeldVersion(), 2);
    EXPECT_EQ(Names(Dir()), NameSet{"0004_01A_002_05"});
    EXPECT_EQ(LoadedVersion(Dir()), 2);
    disk->failing.reset();
    store->Refresh();
    EXPECT_TRUE(store->Accept(Received(3)) && store->Flush() && HeldVersion() == 3);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedSave,
                         ::testing::Values(FailedStep{"Open", Step::Write, WriteFault::Open},
                                           FailedStep{"WritePartWay", Step::Write,
                                                      WriteFault::PartWay},
                                           FailedStep{"Flush", Step::Write, WriteFault::Flush},
                                           FailedStep{"Rename", Step::Rename, WriteFault::Flush}),
                         [](const auto& p) { return std::string(p.param.name); });

// A crash between any two steps of a save (version 3 over the held 2), and one half-way through
// writing the temporary file: the directory as it stands then loads version 2 or 3, whole.
TEST_F(Writer, ACrashAtAnyStepOfASaveLeavesALoadableVersion) {
    Hold2();
    std::vector<fs::path> crashes;
    const auto crash = [&](bool halfWritten) {
        const fs::path copy = base.Path() / ("crash" + std::to_string(crashes.size()));
        fs::create_directory(copy);
        for (fs::directory_iterator entry(Dir()), end; entry != end; ++entry) {
            fs::copy_file(entry->path(), copy / entry->path().filename());
        }
        if (halfWritten) {
            std::vector<uint8_t> half = Received(3).data;
            half.resize(half.size() / 2);
            logo_files::WriteFile(copy / "0004_01A_003_05.tmp", half);
        }
        crashes.push_back(copy);
    };
    disk->before = [&](Step step) {
        crash(false);
        if (step == Step::Write) crash(true);
    };
    ASSERT_TRUE(store->Accept(Received(3)));
    ASSERT_TRUE(store->Flush());
    disk->before = nullptr;
    crash(false);
    ASSERT_GE(crashes.size(), 6u);
    for (const fs::path& copy : crashes) {
        std::vector<uint8_t> bytes;
        const uint16_t version = LoadedVersion(copy, &bytes);
        EXPECT_TRUE((version == 2 || version == 3) && bytes == Received(version).data)
            << copy.filename() << " loads version " << version;
    }
}

// A logo directory under a folder whose name the system's code page cannot hold (on Windows;
// elsewhere a plain UTF-8 name): saved logos are loaded by the next start.
TEST(WidePath, ALogoFolderOutsideTheCodePageIsSavedAndLoaded) {
    logo_files::TempDir base;
    const fs::path outside = logo_files::NameOutsideCodePage();
    ASSERT_FALSE(outside.empty()) << "the code page holds every candidate name";
    const fs::path folder = base.Path() / outside / "Logo";
    {
        LogoStore store(folder, "/");
        ASSERT_TRUE(store.Accept(Received(2)));
        ASSERT_TRUE(store.Flush());
    }
    const LogoStore restarted(folder, "/");
    LogoRecord out;
    EXPECT_TRUE(restarted.Lookup(4, 0x1A, 5, out) && out.data == Received(2).data);
}

}  // namespace
