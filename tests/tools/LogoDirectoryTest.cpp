#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "LogoDirectory.h"
#include "ScanJson.h"

namespace {

namespace fs = std::filesystem;

// A small well-formed PNG by the store's check: signature, a 1x1 IHDR and an IEND chunk.
const std::string kPng(
    "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x03\0\0\0"
    "\x28\xcb\x34\xbb\0\0\0\0IEND\xae\x42\x60\x82",
    45);

class LogoDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("insigno-logodir-" +
                     std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory / "0004_01A_009_05");  // a subdirectory: not listed
    }
    void TearDown() override { fs::remove_all(directory); }

    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(directory / name, std::ios::binary) << bytes;
    }
    std::map<std::string, std::string> Actions() {
        std::map<std::string, std::string> actions;
        for (const LogoDirectoryEntry& entry : ReadLogoDirectory(directory))
            actions[entry.name] = ActionName(entry.action);
        return actions;
    }

    fs::path directory;
};

// The start-up scan's verdicts, whatever order the listing gives: the highest version of a key
// loads, the others move aside, malformed logo files go, other names stay.
TEST_F(LogoDirectory, JudgesEachFileAsTheStartUpScan) {
    Put("0004_01A_001_05", kPng);
    Put("0004_01A_003_05", kPng);
    Put("0004_01A_002_05", kPng);
    Put("0004_01A_002_02", kPng);
    Put("0004_01B_001_05", kPng + "x");
    Put("0004_01B_002_05", "");
    Put("0004_01A_002_05.png", kPng);
    Put("0004_01A_002_05_", kPng);
    Put("\xe3\x83\xad\xe3\x82\xb4", kPng);
    const std::map<std::string, std::string> expected = {
        {"0004_01A_001_05", "move-aside"},    {"0004_01A_002_05", "move-aside"},
        {"0004_01A_003_05", "load"},          {"0004_01A_002_02", "load"},
        {"0004_01B_001_05", "delete"},        {"0004_01B_002_05", "delete"},
        {"0004_01A_002_05.png", "leave"},     {"0004_01A_002_05_", "leave"},
        {"\xe3\x83\xad\xe3\x82\xb4", "leave"}};
    EXPECT_EQ(Actions(), expected);
    EXPECT_EQ(Actions(), expected) << "a second reading finds the directory unchanged";
}

TEST_F(LogoDirectory, PrintsNameIdsSizeAndAction) {
    Put("7fe0_01a_002_05", kPng);
    Put("notes \"1\".txt", "x");
    std::vector<std::string> lines;
    for (const LogoDirectoryEntry& entry : ReadLogoDirectory(directory))
        lines.push_back(LogoFileJsonLine(entry));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         R"({"file":"7fe0_01a_002_05","onid":32736,"logo_id":26,"logo_version":2,)"
                         R"("logo_type":5,"size":45,"action":"load"})",
                         R"({"file":"notes \"1\".txt","action":"leave"})"}));
}

TEST_F(LogoDirectory, AMissingDirectoryThrows) {
    EXPECT_THROW(ReadLogoDirectory(directory / "absent"), fs::filesystem_error);
}

}  // namespace
