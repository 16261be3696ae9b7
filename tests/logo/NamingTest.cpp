#include <gtest/gtest.h>

#include "LogoStore.h"
#include "support/LogoFiles.h"

namespace {

struct NameCase {
    uint16_t networkId;
    uint16_t logoId;
    uint16_t version;
    uint8_t type;
    const char* key;
    const char* fileName;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.fileName;
}

class Names : public ::testing::TestWithParam<NameCase> {};

TEST_P(Names, AreUpperCaseHexPaddedToMinimumWidthsAndNeverCut) {
    const NameCase& c = GetParam();
    LogoRecord record;
    record.originalNetworkId = c.networkId;
    record.logoId = c.logoId;
    record.logoVersion = c.version;
    record.logoType = c.type;
    EXPECT_EQ(LogoStore::MakeKey(c.networkId, c.logoId, c.type), c.key);
    EXPECT_EQ(LogoStore::MakeKey(record), c.key);
    EXPECT_EQ(LogoStore::MakeFileName(record), c.fileName);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Names,
    ::testing::Values(NameCase{0x0004, 0x01A, 0x002, 5, "0004_01A_05", "0004_01A_002_05"},
                      NameCase{0, 0, 0, 0, "0000_000_00", "0000_000_000_00"},
                      NameCase{0xFFFF, 0x1FF, 0xFFF, 0xFF, "FFFF_1FF_FF", "FFFF_1FF_FFF_FF"},
                      NameCase{0x7FE0, 0xABC, 0x00D, 0x41, "7FE0_ABC_41", "7FE0_ABC_00D_41"},
                      NameCase{1, 0x2000, 0x1000, 7, "0001_2000_07", "0001_2000_1000_07"}));

struct PatternCase {
    const char* name;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* out) {
    *out << '"' << c.name << '"';
}

class FileNamePattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FileNamePattern, AcceptsOnlyTheWholeLogoForm) {
    EXPECT_EQ(LogoStore::IsLogoFileName(GetParam().name), GetParam().matches) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileNamePattern,
    ::testing::Values(PatternCase{"0004_01A_002_05", true}, PatternCase{"0004_01a_002_0f", true},
                      PatternCase{"FFFF_FFF_FFF_FF", true},
                      PatternCase{"0004_01A_002_05.png", false},
                      PatternCase{"0004_01A_002_05.tmp", false},
                      PatternCase{"00004_01A_002_05", false}, PatternCase{"0004-01A-002-05", false},
                      PatternCase{"0004_01A_002_05_", false}, PatternCase{"0004_01A_002_5", false},
                      PatternCase{"0004_01G_002_05", false}, PatternCase{"x0004_01A_002_05", false},
                      PatternCase{"", false}));

namespace fs = boost::filesystem;

struct ResolveCase {
    const char* setting;
    const char* underBase;  // expected directory relative to the base, as joined
};

void PrintTo(const ResolveCase& c, std::ostream* out) {
    *out << c.setting;
}

class Resolution : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(Resolution, RelativeSettingsAreJoinedToTheBaseWithoutNormalising) {
    logo_files::TempDir base;
    const LogoStore store(GetParam().setting, base.Path().string());
    EXPECT_EQ(store.Directory(), base.Path() / GetParam().underBase);
    EXPECT_TRUE(fs::is_directory(store.Directory()));
}

INSTANTIATE_TEST_SUITE_P(Table, Resolution,
                         ::testing::Values(ResolveCase{"./Logo", "./Logo"},
                                           ResolveCase{"Logo", "Logo"},
                                           ResolveCase{"a/b/c", "a/b/c"},
                                           ResolveCase{"a/../Logo", "a/../Logo"}));

TEST(Resolution, AbsoluteSettingIsUsedUnchanged) {
    logo_files::TempDir base;
    logo_files::TempDir elsewhere;
    const fs::path wanted = elsewhere.Path() / "Logos";
    const LogoStore store(wanted.string(), base.Path().string());
    EXPECT_EQ(store.Directory(), wanted);
    EXPECT_TRUE(fs::is_directory(wanted));
    EXPECT_TRUE(logo_files::Names(base.Path()).empty());
}

#ifndef _WIN32
// A setting rooted without a drive lands on the base's share, as Windows resolves "\\Logo" on
// "\\\\server\\share\\...". The library reads "//name" as such a network root here too, and
// Linux opens "//tmp/x" as "/tmp/x", so the directory can be made.
TEST(Resolution, RootedSettingLandsOnTheShareOfANetworkBase) {
    logo_files::TempDir base;
    const fs::path share = "/" + base.Path().string();  // root name //tmp, share the next element
    const LogoStore store("/Logo", share / "plugins");
    const fs::path relative = share.relative_path();
    EXPECT_EQ(store.Directory().string(),
              share.root_name().string() + "/" + relative.begin()->string() + "/Logo");
}
#endif

TEST(Resolution, EmptySettingGivesNoDirectoryAndCreatesNothing) {
    logo_files::TempDir base;
    const LogoStore store("", base.Path().string());
    EXPECT_TRUE(store.Directory().empty());
    EXPECT_TRUE(logo_files::Names(base.Path()).empty());
    LogoRecord out;
    EXPECT_FALSE(store.Lookup(4, 0x1A, 5, out));
}

}  // namespace
