#include <gtest/gtest.h>

#include "LogoStore.h"
#include "support/LogoFiles.h"

namespace {

namespace fs = boost::filesystem;
using logo_files::MakePng;
using logo_files::Names;
using logo_files::ReadFile;
using logo_files::WriteFile;
using Bytes = std::vector<uint8_t>;
using NameSet = std::set<std::string>;

using logo_files::Received;

class Reception : public ::testing::Test {
protected:
    fs::path Dir() const { return base.Path() / "Logo"; }
    LogoRecord Held() const {
        LogoRecord out;
        EXPECT_TRUE(store.Lookup(4, 0x1A, 5, out));
        return out;
    }

    logo_files::TempDir base;
    LogoStore store{"Logo", base.Path().string()};
};

TEST_F(Reception, FirstReceptionIsHeldAndWrittenUnderItsName) {
    const LogoRecord record = Received(2);
    ASSERT_TRUE(store.Accept(record));
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(Names(Dir()), NameSet{"0004_01A_002_05"});
    EXPECT_EQ(ReadFile(Dir() / "0004_01A_002_05"), record.data);
    const LogoRecord held = Held();
    EXPECT_EQ(held.data, record.data);
    EXPECT_EQ(held.logoVersion, 2);
    EXPECT_EQ(held.width, 64);
}

TEST_F(Reception, TheSameVersionAgainChangesNothing) {
    ASSERT_TRUE(store.Accept(Received(2)));
    ASSERT_TRUE(store.Flush());
    LogoRecord repeat = Received(2);
    repeat.data = MakePng(10, 99);
    EXPECT_FALSE(store.Accept(repeat));
    EXPECT_EQ(Names(Dir()), NameSet{"0004_01A_002_05"});
    EXPECT_EQ(Held().data, Received(2).data);
}

class VersionChange : public Reception, public ::testing::WithParamInterface<uint16_t> {};

TEST_P(VersionChange, MovesTheHeldFileAsideAndHoldsTheNewVersion) {
    ASSERT_TRUE(store.Accept(Received(2)));
    ASSERT_TRUE(store.Flush());
    const LogoRecord next = Received(GetParam());
    ASSERT_TRUE(store.Accept(next));
    EXPECT_EQ(Held().data, next.data);  // before any save
    ASSERT_TRUE(store.Flush());
    const std::string name = LogoStore::MakeFileName(next);
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01A_002_05_", name}));
    EXPECT_EQ(ReadFile(Dir() / name), next.data);
    EXPECT_EQ(ReadFile(Dir() / "0004_01A_002_05_"), Received(2).data);
    EXPECT_EQ(Held().logoVersion, GetParam());
}

INSTANTIATE_TEST_SUITE_P(HigherAndLower, VersionChange, ::testing::Values(3, 1, 0xFFF));

TEST_F(Reception, AMissingHeldFileDoesNotStopTheNewVersion) {
    ASSERT_TRUE(store.Accept(Received(2)));
    ASSERT_TRUE(store.Flush());
    fs::remove(Dir() / "0004_01A_002_05");
    ASSERT_TRUE(store.Accept(Received(3)));
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(Names(Dir()), NameSet{"0004_01A_003_05"});
    EXPECT_EQ(Held().logoVersion, 3);
}

TEST_F(Reception, ADeletedDirectoryIsRecreatedWithItsParents) {
    logo_files::TempDir other;
    LogoStore deep("a/b/Logo", other.Path().string());
    fs::remove_all(other.Path() / "a");
    ASSERT_TRUE(deep.Accept(Received(2)));
    ASSERT_TRUE(deep.Flush());
    EXPECT_EQ(ReadFile(other.Path() / "a/b/Logo/0004_01A_002_05"), Received(2).data);
}

TEST_F(Reception, AnOldFileOfTheSameNameIsReplacedWhole) {
    WriteFile(Dir() / "0004_01A_003_05", Bytes(5000, 0xEE));
    WriteFile(Dir() / "0004_01A_003_05.tmp", Bytes(7000, 0xEE));
    const LogoRecord record = Received(3);
    ASSERT_TRUE(store.Accept(record));
    ASSERT_TRUE(store.Flush());
    EXPECT_EQ(ReadFile(Dir() / "0004_01A_003_05"), record.data);
    // The temporary file of another writer on the folder is not this save's.
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01A_003_05", "0004_01A_003_05.tmp"}));
}

TEST_F(Reception, SavedFilesAreLoadedByTheNextStart) {
    for (uint16_t version : {1, 2, 3}) {
        ASSERT_TRUE(store.Accept(Received(version)));
        ASSERT_TRUE(store.Flush());
    }
    ASSERT_TRUE(store.Accept(Received(1, 2)));
    ASSERT_TRUE(store.Flush());
    const LogoStore restarted("Logo", base.Path().string());
    LogoRecord out;
    ASSERT_TRUE(restarted.Lookup(4, 0x1A, 5, out));
    EXPECT_EQ(out.data, Received(3).data);
    ASSERT_TRUE(restarted.Lookup(4, 0x1A, 2, out));
    EXPECT_EQ(out.width, 48);
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01A_001_05_", "0004_01A_002_05_", "0004_01A_003_05",
                                     "0004_01A_001_02"}));
}

TEST_F(Reception, AScannedLowerCaseFileIsMovedAsideByItsOwnName) {
    WriteFile(Dir() / "0004_01a_002_05", Received(2).data);
    LogoStore restarted("Logo", base.Path().string());
    ASSERT_TRUE(restarted.Accept(Received(3)));
    ASSERT_TRUE(restarted.Flush());
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01a_002_05_", "0004_01A_003_05"}));
}

TEST_F(Reception, LookupFindsOnlyTheAskedType) {
    ASSERT_TRUE(store.Accept(Received(2, 0)));
    ASSERT_TRUE(store.Accept(Received(2, 2)));
    LogoRecord out = Received(7, 1, 3);
    const LogoRecord before = out;
    EXPECT_FALSE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_FALSE(store.Lookup(4, 0x1B, 0, out));
    EXPECT_FALSE(store.Lookup(5, 0x1A, 0, out));
    EXPECT_EQ(out.data, before.data);
    EXPECT_EQ(out.logoVersion, 7);
    EXPECT_EQ(out.logoType, 1);
    ASSERT_TRUE(store.Lookup(4, 0x1A, 2, out));
    EXPECT_EQ(out.logoType, 2);
    EXPECT_EQ(out.width, 48);
    EXPECT_EQ(out.height, 27);
}

// Replaced by a plain file while running: nothing throws, the held version stays in memory, and
// the plain file is not touched.
TEST_F(Reception, ADirectoryReplacedByAPlainFileFailsQuietly) {
    ASSERT_TRUE(store.Accept(Received(2)));
    ASSERT_TRUE(store.Flush());
    fs::remove_all(Dir());
    WriteFile(Dir(), {7});
    EXPECT_TRUE(store.Accept(Received(3)));
    EXPECT_FALSE(store.Flush());
    EXPECT_EQ(Held().logoVersion, 2);
    EXPECT_EQ(ReadFile(Dir()), Bytes{7});
}

// A received version that cannot become a loadable file leaves the held one in place, in memory
// and on disk; once the obstacle is gone, the next repetition of the logo is taken (after a failed
// save, from the next visit of the service on).
struct RefusedCase {
    const char* name;
    bool badPng;  // else the rename over the final name is refused

    friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class HeldVersionSurvives : public Reception, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(HeldVersionSurvives, AndTheNextRepetitionTriesAgain) {
    ASSERT_TRUE(store.Accept(Received(2)));
    ASSERT_TRUE(store.Flush());
    LogoRecord next = Received(3);
    const fs::path obstacle = Dir() / "0004_01A_003_05";
    if (GetParam().badPng) {
        next.data.back() ^= 0x01;
        EXPECT_FALSE(store.Accept(next));
        next = Received(3);
    } else {
        fs::create_directory(obstacle);  // a file cannot be renamed over a directory
        EXPECT_TRUE(store.Accept(next) && !store.Flush());
        fs::remove(obstacle);
        store.Refresh();
    }
    EXPECT_EQ(Held().logoVersion, 2);
    LogoRecord restarted;
    EXPECT_TRUE(LogoStore("Logo", base.Path().string()).Lookup(4, 0x1A, 5, restarted) &&
                restarted.logoVersion == 2);
    EXPECT_TRUE(store.Accept(next) && store.Flush());
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01A_002_05_", "0004_01A_003_05"}));
}

INSTANTIATE_TEST_SUITE_P(Refusals, HeldVersionSurvives,
                         ::testing::Values(RefusedCase{"BadPng", true},
                                           RefusedCase{"RenameRefused", false}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ReceptionWithoutDirectory, WritesInTheWorkingDirectory) {
    logo_files::TempDir work;
    const fs::path previous = fs::current_path();
    fs::current_path(work.Path());
    LogoStore store("", "/nonexistent-base");
    const bool accepted = store.Accept(Received(2));
    const bool saved = store.Flush();
    fs::current_path(previous);
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(saved);
    EXPECT_EQ(Names(work.Path()), NameSet{"0004_01A_002_05"});
}

}  // namespace
