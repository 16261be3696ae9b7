#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <iterator>
#include <optional>

#include "SettingsWriter.h"

namespace {

namespace fs = boost::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path.string(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SampleWith(const std::string& from, const std::string& to) {
    std::string text = SampleSettingsText();
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct WriteCase {
    const char* name;
    std::optional<std::string> before;  // nothing: no file
    bool readOnly;
    SettingChanges changes;
    SettingsWrite result;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsWriter : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SettingsWriter, ChangesOnlyTheValuesAsked) {
    const WriteCase& c = GetParam();
    const fs::path directory = fs::temp_directory_path() / fs::unique_path("insigno-w-%%%%-%%%%");
    fs::create_directories(directory);
    const fs::path file = directory / "Insigno.ini";
    if (c.before) std::ofstream(file.string(), std::ios::binary) << *c.before;
    // A permission bit, which holds for root too: the file's owner asked for it to stay.
    if (c.readOnly) fs::permissions(file, fs::owner_read | fs::group_read | fs::others_read);
    EXPECT_EQ(WriteSettingChanges(file, c.changes), c.result);
    EXPECT_EQ(ReadBytes(file), c.after);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);
    // Windows removes no read-only file.
    if (c.readOnly) fs::permissions(file, fs::owner_all);
    fs::remove_all(directory);
}

const std::string kBefore = "; mine\r\n[LogoMark]\r\nLogoScale = 100 ; big\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsWriter,
    ::testing::Values(
        WriteCase{"comments",
                  kBefore,
                  false,
                  {{"LogoScale", "150"}},
                  SettingsWrite::Written,
                  "; mine\r\n[LogoMark]\r\nLogoScale = 150 ; big\r\n"},
        WriteCase{"other_sections_unknown_keys",
                  "[Other]\r\nLogoScale=1\r\n[LogoMark]\r\nMine=x\r\nLogoScale=2\r\n[X]\r\n",
                  false,
                  {{"LogoScale", "3"}},
                  SettingsWrite::Written,
                  "[Other]\r\nLogoScale=1\r\n[LogoMark]\r\nMine=x\r\nLogoScale=3\r\n[X]\r\n"},
        WriteCase{"the_line_the_reader_takes",
                  "[LogoMark]\nLogoType=1\nLogoType=2\nLogoType=\n",
                  false,
                  {{"LogoType", "3"}},
                  SettingsWrite::Written,
                  "[LogoMark]\nLogoType=1\nLogoType=3\nLogoType=\n"},
        WriteCase{"missing_key",
                  "[LogoMark]\r\nLogoType=1\r\n\r\n[Next]\r\n",
                  false,
                  {{"PositionX", "-20"}, {"LogoType", "2"}},
                  SettingsWrite::Written,
                  "[LogoMark]\r\nLogoType=2\r\nPositionX=-20\r\n\r\n[Next]\r\n"},
        WriteCase{"missing_section",
                  "; only",
                  false,
                  {{"LogoScale", "150"}},
                  SettingsWrite::Written,
                  "; only\r\n\r\n[LogoMark]\r\nLogoScale=150\r\n"},
        WriteCase{"code_page_932",
                  "\xEF\xBB\xBF[LogoMark]\r\nLogoDirectory=\"./Logo\"\r\n",
                  false,
                  {{"LogoDirectory", "C:\\\x95\x5C\x83\x8D\x83\x53"}},
                  SettingsWrite::Written,
                  "\xEF\xBB\xBF[LogoMark]\r\nLogoDirectory=C:\\\x95\x5C\x83\x8D\x83\x53\r\n"},
        WriteCase{"missing_file",
                  std::nullopt,
                  false,
                  {{"LogoScale", "150"}},
                  SettingsWrite::Written,
                  SampleWith("LogoScale=100", "LogoScale=150")},
        WriteCase{"read_only_file",
                  kBefore,
                  true,
                  {{"LogoScale", "150"}},
                  SettingsWrite::ReadOnly,
                  kBefore}),
    [](const ::testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

}  // namespace
