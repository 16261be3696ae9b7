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

class Scan : public ::testing::Test {
protected:
    fs::path Dir() const { return base.Path() / "Logo"; }
    void Put(const std::string& name, const Bytes& bytes) {
        fs::create_directories(Dir());
        WriteFile(Dir() / name, bytes);
    }
    LogoStore Open() { return LogoStore("Logo", base.Path().string()); }
    // Names in the order the directory listing yields them.
    std::vector<std::string> ListingOrder() const {
        std::vector<std::string> names;
        for (fs::directory_iterator entry(Dir()), end; entry != end; ++entry) {
            names.push_back(entry->path().filename().string());
        }
        return names;
    }

    logo_files::TempDir base;
};

TEST_F(Scan, CreatesAMissingDirectoryWithItsParents) {
    const LogoStore store("a/b/Logo", base.Path().string());
    EXPECT_TRUE(fs::is_directory(base.Path() / "a/b/Logo"));
    LogoRecord out;
    EXPECT_FALSE(store.Lookup(4, 0x1A, 5, out));
}

TEST_F(Scan, LoadsAWellFormedFileWithIdsFromItsNameAndSizeFromItsType) {
    const Bytes png = MakePng(300);
    Put("0004_01A_002_05", png);
    const LogoStore store = Open();
    LogoRecord out;
    ASSERT_TRUE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_EQ(out.originalNetworkId, 4);
    EXPECT_EQ(out.logoId, 0x1A);
    EXPECT_EQ(out.logoVersion, 2);
    EXPECT_EQ(out.logoType, 5);
    EXPECT_EQ(out.width, 64);
    EXPECT_EQ(out.height, 36);
    EXPECT_EQ(out.data, png);
    EXPECT_EQ(Names(Dir()), (std::set<std::string>{"0004_01A_002_05"}));
}

TEST_F(Scan, LoadsLowerCaseDigitsAndATypeWithoutSize) {
    Put("ffff_1ff_fff_07", MakePng(10));
    Put("0004_01A_002_05", logo_files::Signature());
    const LogoStore store = Open();
    LogoRecord out;
    ASSERT_TRUE(store.Lookup(0xFFFF, 0x1FF, 7, out));
    EXPECT_EQ(out.logoVersion, 0xFFF);
    EXPECT_EQ(out.width, 0);
    EXPECT_EQ(out.height, 0);
    ASSERT_TRUE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_EQ(out.data, logo_files::Signature());
}

TEST_F(Scan, ReadsFilesUpToTheLargestLogoWhole) {
    const Bytes large = MakePng(LogoStore::kMaxFileBytes - MakePng(0).size(), 7);
    Put("0004_01A_002_05", large);
    Put("0004_01B_002_05", MakePng(0));
    const LogoStore store = Open();
    LogoRecord out;
    ASSERT_TRUE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_EQ(out.data, large);
    ASSERT_TRUE(store.Lookup(4, 0x1B, 5, out));
    EXPECT_EQ(out.data, MakePng(0));
}

TEST_F(Scan, KeepsEveryTypeOfOneLogo) {
    for (const char* name : {"0004_01A_002_00", "0004_01A_002_02", "0004_01A_001_05"}) {
        Put(name, MakePng(40));
    }
    const LogoStore store = Open();
    LogoRecord out;
    EXPECT_TRUE(store.Lookup(4, 0x1A, 0, out));
    EXPECT_TRUE(store.Lookup(4, 0x1A, 2, out));
    EXPECT_TRUE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_FALSE(store.Lookup(4, 0x1A, 1, out));
    EXPECT_FALSE(store.Lookup(4, 0x1B, 5, out));
    EXPECT_EQ(Names(Dir()).size(), 3u);
}

// Many logos with three versions each, so that lower versions are met both before and after
// higher ones in whatever order the filesystem lists them.
TEST_F(Scan, HoldsTheHighestVersionAndMovesTheOthersAside) {
    std::set<std::string> expected;
    for (unsigned id = 0; id < 12; ++id) {
        for (unsigned version : {1u, 3u, 2u}) {
            char name[32];
            std::snprintf(name, sizeof name, "0004_%03X_%03X_05", id, version);
            Put(name, MakePng(20, id * 16 + version));
            expected.insert(version == 3 ? name : std::string(name) + "_");
        }
    }
    const LogoStore store = Open();
    for (unsigned id = 0; id < 12; ++id) {
        LogoRecord out;
        ASSERT_TRUE(store.Lookup(4, static_cast<uint16_t>(id), 5, out));
        EXPECT_EQ(out.logoVersion, 3);
        EXPECT_EQ(out.data, MakePng(20, id * 16 + 3));
    }
    EXPECT_EQ(Names(Dir()), expected);
}

TEST_F(Scan, AppendsUnderscoresUntilTheNameIsFree) {
    Put("0004_01A_001_05", MakePng(20, 1));
    Put("0004_01A_002_05", MakePng(20, 2));
    Put("0004_01A_001_05_", {1, 2, 3});
    fs::create_directory(Dir() / "0004_01A_001_05__");
    const LogoStore store = Open();
    EXPECT_EQ(Names(Dir()), (std::set<std::string>{"0004_01A_002_05", "0004_01A_001_05_",
                                                   "0004_01A_001_05__", "0004_01A_001_05___"}));
    EXPECT_EQ(ReadFile(Dir() / "0004_01A_001_05_"), (Bytes{1, 2, 3}));
    EXPECT_EQ(ReadFile(Dir() / "0004_01A_001_05___"), MakePng(20, 1));
}

TEST_F(Scan, EqualVersionsKeepTheFileListedFirst) {
    Put("0004_01a_002_05", MakePng(20, 1));
    Put("0004_01A_002_05", MakePng(20, 2));
    const std::vector<std::string> order = ListingOrder();
    const Bytes first = ReadFile(Dir() / order.at(0));
    const LogoStore store = Open();
    LogoRecord out;
    ASSERT_TRUE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_EQ(out.data, first);
    if (order.size() == 1) {
        // A filesystem that ignores case made the two names one file: nothing to move aside.
        EXPECT_EQ(Names(Dir()), std::set<std::string>{order[0]});
    } else {
        ASSERT_EQ(order.size(), 2u);
        EXPECT_EQ(Names(Dir()), (std::set<std::string>{order[0], order[1] + "_"}));
    }
}

// The held file is moved by the name it was found under, also when its digits are lower case
// and a higher version comes later in the listing.
TEST_F(Scan, MovesASupersededLowerCaseFileAside) {
    std::set<std::string> expected;
    for (unsigned id = 0xA0; id < 0xA8; ++id) {
        char lower[32];
        char upper[32];
        std::snprintf(lower, sizeof lower, "000a_%03x_001_05", id);
        std::snprintf(upper, sizeof upper, "000A_%03X_002_05", id);
        Put(lower, MakePng(20));
        Put(upper, MakePng(30));
        expected.insert(std::string(lower) + "_");
        expected.insert(upper);
    }
    const LogoStore store = Open();
    EXPECT_EQ(Names(Dir()), expected);
}

TEST_F(Scan, DeletesMalformedFilesAfterTheListing) {
    const Bytes good = MakePng(50);
    Bytes badCrc = good;
    badCrc[good.size() - 1] ^= 0xFF;
    Bytes trailing = good;
    trailing.push_back(0);
    Put("0004_01A_001_05", good);
    Put("0004_01A_002_05", badCrc);  // a malformed higher version supersedes nothing
    Put("0004_01B_001_05", {});
    Put("0004_01C_001_05", {'P', 'N', 'G', 0, 0, 0, 0, 0, 0});
    Put("0004_01D_001_05", trailing);
    const LogoStore store = Open();
    EXPECT_EQ(Names(Dir()), (std::set<std::string>{"0004_01A_001_05"}));
    LogoRecord out;
    ASSERT_TRUE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_EQ(out.logoVersion, 1);
    EXPECT_FALSE(store.Lookup(4, 0x1B, 5, out));
}

TEST_F(Scan, LeavesOtherNamesAndSubdirectoriesAlone) {
    const std::vector<std::string> others = {"0004_01A_002_05.png", "00004_01A_002_05",
                                             "0004-01A-002-05",     "0004_01A_002_05_",
                                             "0004_01A_002_05.tmp", "readme.txt"};
    for (const std::string& name : others) Put(name, {0});  // malformed, yet not deleted
    fs::create_directory(Dir() / "0004_01B_002_05");
    WriteFile(Dir() / "0004_01B_002_05" / "0004_01C_002_05", MakePng(10));
    const LogoStore store = Open();
    std::set<std::string> expected(others.begin(), others.end());
    expected.insert("0004_01B_002_05");
    EXPECT_EQ(Names(Dir()), expected);
    EXPECT_EQ(Names(Dir() / "0004_01B_002_05").size(), 1u);
    LogoRecord out;
    EXPECT_FALSE(store.Lookup(4, 0x1A, 5, out));
    EXPECT_FALSE(store.Lookup(4, 0x1B, 5, out));
    EXPECT_FALSE(store.Lookup(4, 0x1C, 5, out));
}

TEST_F(Scan, ADirectoryThatIsAPlainFileFailsWithTheOperationNamedFirst) {
    WriteFile(Dir(), {1});
    try {
        Open();
        FAIL() << "no exception";
    } catch (const fs::filesystem_error& error) {
        const std::string text = error.what();
        const size_t cut = text.find(": ");
        ASSERT_NE(cut, std::string::npos) << text;
        EXPECT_EQ(text.substr(0, cut).find(' '), std::string::npos) << text;
        EXPECT_NE(text.substr(0, cut).find("directory_iterator"), std::string::npos) << text;
        EXPECT_NE(text.substr(cut + 2).find(Dir().string()), std::string::npos) << text;
    }
    EXPECT_EQ(ReadFile(Dir()), (Bytes{1}));
}

TEST_F(Scan, AnUncreatableDirectoryFailsWithAFilesystemError) {
    WriteFile(base.Path() / "file", {1});
    EXPECT_THROW(LogoStore("file/Logo", base.Path().string()), fs::filesystem_error);
}

}  // namespace
