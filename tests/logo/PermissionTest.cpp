#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <optional>

#include <sstream>

#include "LogoStore.h"
#include "support/AsNobody.h"
#include "support/LogoFiles.h"

namespace {

namespace fs = boost::filesystem;
using logo_files::MakePng;
using logo_files::Names;
using logo_files::RunAsNobody;
using logo_files::WriteFile;
using NameSet = std::set<std::string>;

// Collects the failed checks of a child as text.
class Checks {
public:
    void That(bool holds, const std::string& what) {
        if (!holds) failures << what << "; ";
    }
    std::string Failures() const { return failures.str(); }

private:
    std::ostringstream failures;
};

LogoRecord Received(uint16_t version) {
    return logo_files::Received(version, 5, 64);
}

class AsNobody : public ::testing::Test {
protected:
    fs::path Dir() const { return base.Path() / "Logo"; }
    logo_files::TempDir base;
};

TEST_F(AsNobody, AnUnreadableLogoFileIsLeftAloneAndNotLoaded) {
    fs::create_directories(Dir());
    WriteFile(Dir() / "0004_01A_002_05", MakePng(20));
    WriteFile(Dir() / "0004_01B_002_05", MakePng(20));
    chmod((Dir() / "0004_01A_002_05").c_str(), 0);
    // The directory is writable for the child, so only the missing read permission can stop it.
    chmod(Dir().c_str(), 0777);
    const std::string failures = RunAsNobody([&] {
        Checks check;
        const LogoStore store("Logo", base.Path().string());
        LogoRecord out;
        check.That(!store.Lookup(4, 0x1A, 5, out), "unreadable file loaded");
        check.That(store.Lookup(4, 0x1B, 5, out), "readable file not loaded");
        return check.Failures();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01A_002_05", "0004_01B_002_05"}));
}

// Deletion and rename failures during the scan are swallowed: the files stay for the next scan.
TEST_F(AsNobody, AReadOnlyDirectoryIsScannedWithoutChangingIt) {
    fs::create_directories(Dir());
    WriteFile(Dir() / "0004_01A_001_05", MakePng(20, 1));
    WriteFile(Dir() / "0004_01A_002_05", MakePng(20, 2));
    WriteFile(Dir() / "0004_01B_001_05", {1, 2, 3});
    const std::string failures = RunAsNobody([&] {
        Checks check;
        const LogoStore store("Logo", base.Path().string());
        LogoRecord out;
        check.That(store.Lookup(4, 0x1A, 5, out) && out.logoVersion == 2, "version 2 not held");
        check.That(!store.Lookup(4, 0x1B, 5, out), "malformed file loaded");
        return check.Failures();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(Names(Dir()), (NameSet{"0004_01A_001_05", "0004_01A_002_05", "0004_01B_001_05"}));
}

// The file cannot be created: the held version comes back, in memory and under its name.
TEST_F(AsNobody, AnUncreatableFileBringsTheHeldVersionBack) {
    fs::create_directories(Dir());
    WriteFile(Dir() / "0004_01A_002_05", Received(2).data);
    const std::string failures = RunAsNobody([&] {
        Checks check;
        LogoStore store("Logo", base.Path().string());
        check.That(store.Accept(Received(3)), "Accept refused");
        check.That(!store.Flush(), "the save reported success");
        LogoRecord out;
        check.That(store.Lookup(4, 0x1A, 5, out) && out.data == Received(2).data,
                   "held version not back");
        return check.Failures();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(Names(Dir()), NameSet{"0004_01A_002_05"});
}

// A logo directory inside a directory the child may not search: the existence tests themselves
// fail. Construction reports it; Accept and the writer, on a store built before, contain it.
TEST_F(AsNobody, FailingExistenceTestsLeaveTheConstructorButNotTheStoreBuiltBefore) {
    const fs::path closed = base.Path() / "closed";
    fs::create_directories(closed / "Logo");
    std::optional<LogoStore> store;
    const std::string failures = RunAsNobody(
        [&] {
            Checks check;
            try {
                const LogoStore refused("closed/Logo", base.Path().string());
                check.That(false, "construction succeeded");
            } catch (const fs::filesystem_error& error) {
                const std::string text = error.what();
                check.That(text.rfind("boost::filesystem::", 0) == 0 &&
                               text.find("Permission denied") != std::string::npos,
                           "unexpected text: " + text);
            }
            check.That(store->Accept(Received(3)), "Accept refused");
            check.That(!store->Flush(), "the save reported success");
            LogoRecord out;
            check.That(store->Lookup(4, 0x1A, 5, out) && out.logoVersion == 2,
                       "version 2 not held");
            return check.Failures();
        },
        [&] {
            store.emplace("closed/Logo", base.Path().string());
            store->Accept(Received(2));
            store->Flush();
            chmod(closed.c_str(), 0700);
        });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(Names(closed / "Logo"), NameSet{"0004_01A_002_05"});
}

TEST_F(AsNobody, ADeletedDirectoryThatCannotBeRecreatedFailsTheSave) {
    fs::create_directories(base.Path() / "parent" / "Logo");
    std::optional<LogoStore> store;
    const std::string failures = RunAsNobody(
        [&] {
            Checks check;
            check.That(store->Accept(Received(2)), "Accept refused");
            check.That(!store->Flush(), "the save reported success");
            return check.Failures();
        },
        [&] {
            store.emplace("parent/Logo", base.Path().string());
            fs::remove(base.Path() / "parent" / "Logo");
        });
    EXPECT_EQ(failures, "");
    EXPECT_TRUE(Names(base.Path() / "parent").empty());
}

}  // namespace

namespace {

// A file-size limit makes the write fail part way, as a full disk would: the logo's name must
// not be left holding the first part of the file, and the held version is loaded after a restart.
using WriteLimit = AsNobody;

TEST_F(WriteLimit, AWriteFailingPartWayLeavesNoFileUnderTheLogoName) {
    {
        LogoStore store("Logo", base.Path().string());
        ASSERT_TRUE(store.Accept(Received(2)));
        ASSERT_TRUE(store.Flush());
    }
    LogoRecord large = Received(3);
    large.data = MakePng(20000, 3);
    std::optional<LogoStore> store;
    const std::string failures = logo_files::RunInChild(
        [&] {
            Checks check;
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            check.That(setrlimit(RLIMIT_FSIZE, &limit) == 0, "setrlimit failed");
            check.That(store->Accept(large), "Accept refused");
            check.That(!store->Flush(), "the save reported success");
            return check.Failures();
        },
        false, [&] { store.emplace("Logo", base.Path().string()); });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(Names(Dir()), NameSet{"0004_01A_002_05"});
    LogoRecord restarted;
    EXPECT_TRUE(LogoStore("Logo", base.Path().string()).Lookup(4, 0x1A, 5, restarted));
    EXPECT_EQ(restarted.logoVersion, 2);
}

}  // namespace
