#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "SettingsWriter.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

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

enum class Shape { Plain, Link, Private };

struct WriteCase {
    const char* name;
    std::optional<std::string> before;  // nothing: no file
    bool readOnly;
    SettingChanges changes;
    SettingsWrite result;
    std::string after;
    Shape shape = Shape::Plain;  // a link to the file, or a file only its owner may read
    SettingChanges other = {};   // written by a second writer at the same moment
};

// What a replace must keep of the file: POSIX mode and owner; Windows attributes.
std::string Kept(const fs::path& file) {
#ifdef _WIN32
    return std::to_string(GetFileAttributesW(file.c_str()));
#else
    struct stat status {};
    ::stat(file.c_str(), &status);
    return std::to_string(status.st_mode) + " " + std::to_string(status.st_uid);
#endif
}

void MakePrivate(const fs::path& file) {
#ifdef _WIN32
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
#else
    ::chmod(file.c_str(), 0600);
    if (::geteuid() == 0 && ::chown(file.c_str(), 1000, 1000) != 0) ADD_FAILURE() << "chown";
#endif
}

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsWriter : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SettingsWriter, ChangesOnlyTheValuesAsked) {
    const WriteCase& c = GetParam();
    const fs::path directory = fs::temp_directory_path() / fs::unique_path("insigno-w-%%%%-%%%%");
    fs::create_directories(directory);
    const fs::path file = directory / "Insigno.ini";
    const fs::path target = c.shape == Shape::Link ? directory / "mine.ini" : file;
    if (c.before) std::ofstream(target.string(), std::ios::binary) << *c.before;
    if (c.shape == Shape::Link) fs::create_symlink("mine.ini", file);
    if (c.shape == Shape::Private) MakePrivate(file);
    // A permission bit, which holds for root too: the file's owner asked for it to stay.
    if (c.readOnly) fs::permissions(file, fs::owner_read | fs::group_read | fs::others_read);
    const std::string kept = Kept(target);
    // Two viewers pressing OK together, a few times over: each change lands and says so.
    for (int round = 0; round < (c.other.empty() ? 1 : 8); ++round) {
        SettingsWrite other = SettingsWrite::Written;
        std::thread second([&] {
            if (!c.other.empty()) other = WriteSettingChanges(file, c.other);
        });
        EXPECT_EQ(WriteSettingChanges(file, c.changes), c.result);
        second.join();
        EXPECT_EQ(other, SettingsWrite::Written);
    }
    EXPECT_EQ(ReadBytes(file), c.after);
    if (c.before) {
        EXPECT_EQ(Kept(target), kept);
    }
    EXPECT_EQ(fs::is_symlink(file), c.shape == Shape::Link);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()),
              c.shape == Shape::Link ? 2 : 1);
    // Windows removes no read-only file.
    if (c.readOnly) fs::permissions(file, fs::owner_all);
    fs::remove_all(directory);
}

const std::string kBefore = "; mine\r\n[LogoMark]\r\nLogoScale = 100 ; big\r\n";
// Large enough that two writers overlap, as with a 7 MB file of the user's comments.
const std::string kLong =
    std::string(2 << 20, ';') + "\r\n[LogoMark]\r\nLogoScale=1\r\nLogoType=1\r\n";
const std::string kUtf16 = std::string("\xFF\xFE[\0L\0o\0g\0o\0M\0a\0r\0k\0]\0", 22);

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
                  kBefore},
        WriteCase{
            "utf16_file", kUtf16, false, {{"LogoScale", "150"}}, SettingsWrite::Utf16, kUtf16},
        WriteCase{"private_file",
                  kBefore,
                  false,
                  {{"LogoScale", "150"}},
                  SettingsWrite::Written,
                  "; mine\r\n[LogoMark]\r\nLogoScale = 150 ; big\r\n",
                  Shape::Private},
        WriteCase{"two_writers",
                  kLong,
                  false,
                  {{"LogoScale", "150"}},
                  SettingsWrite::Written,
                  std::string(2 << 20, ';') + "\r\n[LogoMark]\r\nLogoScale=150\r\nLogoType=3\r\n",
                  Shape::Plain,
                  {{"LogoType", "3"}}}),
    [](const ::testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

// POSIX only: Wine's CreateSymbolicLinkW reports success for a link that it then cannot stat.
#ifndef _WIN32
INSTANTIATE_TEST_SUITE_P(Links, SettingsWriter,
                         ::testing::Values(WriteCase{
                             "through_a_link",
                             kBefore,
                             false,
                             {{"LogoScale", "150"}},
                             SettingsWrite::Written,
                             "; mine\r\n[LogoMark]\r\nLogoScale = 150 ; big\r\n",
                             Shape::Link}));
#endif

}  // namespace
