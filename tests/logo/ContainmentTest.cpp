#include <gtest/gtest.h>

#include "LogoStore.h"
#include "support/FailingAllocation.h"
#include "support/LogoFiles.h"
#include "support/WatchedDisk.h"

// Accept and Lookup run inside the viewer's stream callback, the saves on the store's writer
// thread: running out of memory at any allocation they make must end in a false result and a
// consistent store, never an exception (they are noexcept, so an escaping one would end the
// process).

namespace {

namespace fs = boost::filesystem;
using logo_files::FailAllocation;
using logo_files::MakePng;
using logo_files::Names;
using logo_files::StopFailing;
using NameSet = std::set<std::string>;

LogoRecord Received(uint16_t version) {
    return logo_files::Received(version, 5, 500);
}

// A directory whose store holds version 2, saved; the writer idle.
struct Holding2 {
    Holding2() {
        EXPECT_TRUE(store.Accept(Received(2)));
        EXPECT_TRUE(store.Flush());
    }
    fs::path Dir() const { return base.Path() / "Logo"; }
    LogoRecord Held() const {
        LogoRecord out;
        EXPECT_TRUE(store.Lookup(4, 0x1A, 5, out));
        return out;
    }
    std::thread::id Writer() { return *disk->Threads().begin(); }
    logo_files::TempDir base;
    std::shared_ptr<logo_files::WatchedDisk> disk = std::make_shared<logo_files::WatchedDisk>();
    LogoStore store{"Logo", base.Path().string(), disk};
};

TEST(OutOfMemory, AcceptEitherTakesTheRecordOrLeavesEverythingAsItWas) {
    const LogoRecord next = Received(3);
    for (long index = 0;; ++index) {
        Holding2 fixture;
        FailAllocation(index);
        const bool accepted = fixture.store.Accept(next);
        const bool failed = StopFailing();
        fixture.store.Flush();
        const LogoRecord held = fixture.Held();
        if (accepted) {
            EXPECT_EQ(held.data, next.data) << index;
            EXPECT_EQ(held.logoVersion, 3) << index;
        } else {
            EXPECT_TRUE(failed) << index;
            EXPECT_EQ(held.data, Received(2).data) << index;
            EXPECT_EQ(Names(fixture.Dir()), NameSet{"0004_01A_002_05"}) << index;
        }
        if (!failed) {
            EXPECT_TRUE(accepted);
            EXPECT_EQ(Names(fixture.Dir()), (NameSet{"0004_01A_002_05_", "0004_01A_003_05"}));
            EXPECT_GT(index, 0) << "no allocation was ever made";
            break;
        }
    }
}

// On the writer thread: the new version is written whole and held, or the held version stays in
// memory and alone on disk.
TEST(OutOfMemory, TheWriterEitherSavesTheWholeFileOrKeepsTheHeldVersion) {
    const LogoRecord next = Received(3);
    for (long index = 0;; ++index) {
        Holding2 fixture;
        FailAllocation(index, fixture.Writer());
        ASSERT_TRUE(fixture.store.Accept(next));
        const bool saved = fixture.store.Flush();
        const bool failed = StopFailing();
        if (saved) {
            EXPECT_EQ(logo_files::ReadFile(fixture.Dir() / "0004_01A_003_05"), next.data);
            EXPECT_EQ(fixture.Held().logoVersion, 3) << index;
        } else {
            EXPECT_TRUE(failed) << index;
            EXPECT_EQ(Names(fixture.Dir()), NameSet{"0004_01A_002_05"}) << index;
            EXPECT_EQ(fixture.Held().logoVersion, 2) << index;
        }
        if (!failed) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(Names(fixture.Dir()), (NameSet{"0004_01A_002_05_", "0004_01A_003_05"}));
            EXPECT_GT(index, 0) << "no allocation was ever made";
            break;
        }
    }
}

TEST(OutOfMemory, LookupEitherCopiesTheWholeRecordOrLeavesTheOutputAlone) {
    Holding2 fixture;
    for (long index = 0;; ++index) {
        LogoRecord out = Received(9);
        FailAllocation(index);
        const bool found = fixture.store.Lookup(4, 0x1A, 5, out);
        const bool failed = StopFailing();
        EXPECT_EQ(out.data, found ? Received(2).data : Received(9).data) << index;
        EXPECT_EQ(out.logoVersion, found ? 2 : 9) << index;
        if (!failed) {
            EXPECT_TRUE(found);
            break;
        }
        EXPECT_FALSE(found);
    }
}

}  // namespace
