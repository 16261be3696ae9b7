#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <iterator>

#include "Settings.h"

namespace {

namespace fs = boost::filesystem;

// One settings file in a fresh temporary directory.
class SettingsFile {
public:
    explicit SettingsFile(const std::string& body)
        : directory(fs::temp_directory_path() / fs::unique_path("insigno-ini-%%%%-%%%%-%%%%")) {
        fs::create_directories(directory);
        std::ofstream(Path(), std::ios::binary) << body;
    }
    ~SettingsFile() {
        boost::system::error_code ignored;
        fs::remove_all(directory, ignored);
    }
    std::string Path() const { return (directory / "Insigno.ini").string(); }

private:
    fs::path directory;
};

SettingsTable ReadWithDefaults(const std::string& body) {
    const SettingsFile file(body);
    SettingsTable table;
    ReadSettingsFile(file.Path(), table);
    ApplyDefaults(table);
    return table;
}

struct LineCase {
    const char* name;
    const char* body;  // the whole file
    const char* key;
    const char* value;  // in [LogoMark] after the defaults are applied
};

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<LineCase>& param) {
    return param.param.name;
}

class FileLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(FileLine, EndsWithTheAcceptedValueOrTheDefault) {
    const SettingsTable table = ReadWithDefaults(GetParam().body);
    EXPECT_EQ(SettingValue(table, GetParam().key), GetParam().value);
}

#define LOGOMARK "[LogoMark]\n"

INSTANTIATE_TEST_SUITE_P(
    Comments, FileLine,
    ::testing::Values(LineCase{"SemicolonAfterValue", LOGOMARK "LogoScale = 150 ; large",
                               "LogoScale", "150"},
                      LineCase{"SemicolonInPath", LOGOMARK "LogoDirectory=C:\\Logo;old",
                               "LogoDirectory", "C:\\Logo"},
                      LineCase{"HashInsideQuotes", LOGOMARK "LogoDirectory=\"C:\\a#b\"",
                               "LogoDirectory", "\"C:\\a"},
                      LineCase{"HashAfterSemicolonPart", LOGOMARK "LogoType=3#;4", "LogoType", "3"},
                      LineCase{"CommentedOutKey", LOGOMARK "; LogoType=3", "LogoType", "5"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Values, FileLine,
    ::testing::Values(
        LineCase{"QuotedPath", LOGOMARK "LogoDirectory = \"C:\\My Logos\"", "LogoDirectory",
                 "C:\\My Logos"},
        LineCase{"EmptyQuotes", LOGOMARK "LogoDirectory=\"\"", "LogoDirectory", "./Logo"},
        LineCase{"OneQuote", LOGOMARK "LogoDirectory=\"", "LogoDirectory", "\""},
        LineCase{"NothingAfterEquals", LOGOMARK "LogoType=", "LogoType", "5"},
        LineCase{"NoKey", LOGOMARK "=3", "LogoType", "5"},
        LineCase{"BlanksAround", LOGOMARK "\t LogoType \t=\t 3 \t\r", "LogoType", "3"},
        LineCase{"HexType", LOGOMARK "LogoType=0x3", "LogoType", "0x3"},
        LineCase{"TypeTooHigh", LOGOMARK "LogoType=7", "LogoType", "5"},
        LineCase{"TypeNegative", LOGOMARK "LogoType=-1", "LogoType", "5"},
        LineCase{"TypeWord", LOGOMARK "LogoType=five", "LogoType", "5"},
        LineCase{"TypeBareHexPrefix", LOGOMARK "LogoType=0x", "LogoType", "0x"},
        LineCase{"ScaleZero", LOGOMARK "LogoScale=0", "LogoScale", "100"},
        LineCase{"ScalePercentSign", LOGOMARK "LogoScale=50%", "LogoScale", "50%"},
        LineCase{"ScaleLargestHex", LOGOMARK "LogoScale=0x7FFFFFFF", "LogoScale", "0x7FFFFFFF"},
        LineCase{"ScaleHexOverflow", LOGOMARK "LogoScale=0x80000000", "LogoScale", "100"},
        LineCase{"ScaleDecimalOverflow", LOGOMARK "LogoScale=2147483648", "LogoScale", "100"},
        LineCase{"FlagTwo", LOGOMARK "EnableFixedScale=2", "EnableFixedScale", "0"},
        LineCase{"FlagYes", LOGOMARK "EnableFixedScale=yes", "EnableFixedScale", "0"},
        LineCase{"FlagOne", LOGOMARK "EnableFixedPositionY=1", "EnableFixedPositionY", "1"},
        LineCase{"SecondsUnlimited", LOGOMARK "DisplaySeconds=-1", "DisplaySeconds", "-1"},
        LineCase{"SecondsBelow", LOGOMARK "DisplaySeconds=-2", "DisplaySeconds", "5"},
        LineCase{"SecondsOverflow", LOGOMARK "DisplaySeconds=99999999999", "DisplaySeconds", "5"},
        LineCase{"RateLowest", LOGOMARK "PositionRateX=-1", "PositionRateX", "-1"},
        LineCase{"RateHighest", LOGOMARK "PositionRateX=1", "PositionRateX", "1"},
        LineCase{"RateAbove", LOGOMARK "PositionRateX=1.5", "PositionRateX", "0"},
        LineCase{"RateWord", LOGOMARK "PositionRateY=abc", "PositionRateY", "0"},
        LineCase{"RateOverflow", LOGOMARK "PositionRateY=1e999", "PositionRateY", "0"},
        LineCase{"PositionUnchecked", LOGOMARK "PositionX=abc", "PositionX", "abc"},
        LineCase{"PositionMinusZero", LOGOMARK "PositionY=-0", "PositionY", "-0"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Sections, FileLine,
    ::testing::Values(
        LineCase{"LaterLineWins", LOGOMARK "LogoType=1\nLogoType=2", "LogoType", "2"},
        LineCase{"EmptyLaterValueKeepsEarlier", LOGOMARK "LogoType=1\nLogoType=", "LogoType", "1"},
        LineCase{"BeforeAnyHeader", "LogoType=3\n" LOGOMARK, "LogoType", "5"},
        LineCase{"LowerCaseHeader", "[logomark]\nLogoType=3", "LogoType", "5"},
        LineCase{"BlanksInHeader", "[ LogoMark ]\nLogoType=3", "LogoType", "5"},
        LineCase{"UnclosedHeaderKeepsSection", LOGOMARK "[LogoMark\nLogoType=3", "LogoType", "3"},
        LineCase{"UnclosedHeaderWithEquals", LOGOMARK "[Other=4\nLogoType=3", "LogoType", "3"},
        LineCase{"TextAfterHeaderIgnored", "[LogoMark] LogoType=3", "LogoType", "5"},
        LineCase{"OtherSectionThenOurs", "[Other]\nLogoType=3\n" LOGOMARK "LogoType=2", "LogoType",
                 "2"},
        LineCase{"OursThenOther", LOGOMARK "LogoType=2\n[Other]\nLogoType=3", "LogoType", "2"},
        LineCase{"KeyCaseMatters", LOGOMARK "logotype=3", "LogoType", "5"},
        LineCase{"CarriageReturns", "[LogoMark]\r\nLogoType=3\r\n", "LogoType", "3"},
        LineCase{"HeaderAfterBlanks", "  \t[LogoMark]\nLogoType=4", "LogoType", "4"},
        LineCase{"ByteOrderMarkBeforeHeader", "\xEF\xBB\xBF[LogoMark]\r\nLogoType=3", "LogoType",
                 "3"},
        LineCase{"ByteOrderMarkOnALaterLine", LOGOMARK "\xEF\xBB\xBFLogoType=3", "LogoType", "5"},
        // ロゴ表示 in code page 932: the second byte of 表 is a backslash, kept as it is.
        LineCase{"CodePage932Folder", LOGOMARK "LogoDirectory=\x83\x8D\x83\x53\x95\x5C\x8E\xA6",
                 "LogoDirectory", "\x83\x8D\x83\x53\x95\x5C\x8E\xA6"}),
    CaseName);

TEST(SettingsFile, MissingFileOrEmptyPathLeavesTheTableEmpty) {
    SettingsTable table;
    ReadSettingsFile("", table);
    ReadSettingsFile("/nonexistent/Insigno.ini", table);
    EXPECT_TRUE(table.empty());
}

TEST(SettingsFile, OtherSectionsAreReadButNotChanged) {
    const SettingsTable table = ReadWithDefaults("a=1\n[Other]\nLogoType=9\n");
    EXPECT_EQ(table.at("").at("a"), "1");
    EXPECT_EQ(table.at("Other").at("LogoType"), "9");
    EXPECT_EQ(table.size(), 3u);
}

TEST(SettingsFile, AnEmptyTableGetsEveryDefault) {
    SettingsTable table;
    ApplyDefaults(table);
    const std::map<std::string, std::string> expected = {{"LogoDirectory", "./Logo"},
                                                         {"LogoType", "5"},
                                                         {"LogoScale", "100"},
                                                         {"EnableFixedScale", "0"},
                                                         {"EnableFixedPositionX", "0"},
                                                         {"EnableFixedPositionY", "0"},
                                                         {"PositionX", "0"},
                                                         {"PositionY", "0"},
                                                         {"PositionRateX", "0"},
                                                         {"PositionRateY", "0"},
                                                         {"DisplaySeconds", "5"}};
    EXPECT_EQ(table, (SettingsTable{{"LogoMark", expected}}));
}

TEST(SettingsFile, AMissingKeyTakesItsDefaultWhateverItsRule) {
    SettingsTable table;
    ApplyDefault(table, "Anything", SettingRules::Unchecked(), "text");
    ApplyDefault(table, "Empty", SettingRules::NonEmptyText(), "");
    EXPECT_EQ(SettingValue(table, "Anything"), "text");
    EXPECT_EQ(table.at("LogoMark").count("Empty"), 1u);
}

// As a Windows editor saves it on a Japanese system: code page 932 (設定 is 90 DD 92 E8), and
// every line ended by CR LF.
TEST(SampleFile, ShipsInCodePage932WithCrLf) {
    std::ifstream in(INSIGNO_SAMPLE_SETTINGS, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("\x90\xDD\x92\xE8"), std::string::npos);
    size_t lineFeeds = 0, crLfs = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        ++lineFeeds;
        if (i > 0 && bytes[i - 1] == '\r') ++crLfs;
    }
    EXPECT_GT(lineFeeds, 0u);
    EXPECT_EQ(crLfs, lineFeeds);
}

// The sample beside the module must read as it ships and give exactly the defaults.
TEST(SampleFile, ReadsUnchangedAsEveryDefault) {
    SettingsTable sample;
    ReadSettingsFile(INSIGNO_SAMPLE_SETTINGS, sample);
    ASSERT_EQ(sample.size(), 1u) << "only [LogoMark] expected";
    EXPECT_EQ(sample.at("LogoMark").size(), 11u) << "every key written out";
    SettingsTable defaults;
    ApplyDefaults(defaults);
    EXPECT_EQ(sample, defaults);
    ApplyDefaults(sample);
    EXPECT_EQ(sample, defaults);
}

}  // namespace
