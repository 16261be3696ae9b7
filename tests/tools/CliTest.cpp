#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "StreamSpec.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs a tool with its outputs in files of `directory`; as user and group nobody when asked, so
// that a file without read permission is really unreadable even though the tests run as root.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const fs::path& directory, bool asNobody = false) {
    const fs::path outPath = directory / "stdout";
    const fs::path errPath = directory / "stderr";
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(120);
        if (asNobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(121);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(122);
    }
    ToolRun run;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

size_t Lines(const std::string& text) {
    size_t count = 0;
    for (char c : text) count += c == '\n';
    return count;
}

// A parameterised case's name as one path element.
std::string Flat(std::string name) {
    for (char& c : name)
        if (c == '/') c = '-';
    return name;
}

class ToolsCli : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("insigno-cli-test-" + std::to_string(getpid()) + "-" +
                     Flat(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(directory);
        fs::create_directories(directory);
        // The child that drops to nobody must still write its output files here.
        fs::permissions(directory, fs::perms::all);
        sample = (directory / "sample.ts").string();
        const ToolRun made = RunTool(INSIGNO_MKTS, {"-o", sample}, directory);
        ASSERT_EQ(made.status, 0) << made.err;
    }
    void TearDown() override { fs::remove_all(directory); }

    fs::path directory;
    std::string sample;
};

TEST_F(ToolsCli, ScanReadsTheSampleAndSumsItUp) {
    const ToolRun run = RunTool(INSIGNO_SCAN, {sample}, directory);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out), 44u);
    EXPECT_EQ(run.err, "insigno-scan: 72 packets, 44 sections, 10 logos\n");
}

TEST_F(ToolsCli, ScanNamesEachUnreadableFileAndGoesOnWithTheOthers) {
    const std::string missing = (directory / "missing.ts").string();
    const std::string folder = directory.string();
    const ToolRun run = RunTool(INSIGNO_SCAN, {missing, sample, folder}, directory);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.out), 44u);
    std::istringstream err(run.err);
    std::string line;
    ASSERT_TRUE(std::getline(err, line));
    EXPECT_EQ(line.rfind("insigno-scan: " + missing + ": ", 0), 0u) << line;
    ASSERT_TRUE(std::getline(err, line));
    EXPECT_EQ(line.rfind("insigno-scan: " + folder + ": ", 0), 0u) << line;
    ASSERT_TRUE(std::getline(err, line));
    EXPECT_EQ(line, "insigno-scan: 72 packets, 44 sections, 10 logos");
}

TEST_F(ToolsCli, ScanReportsAFileItHasNoPermissionToRead) {
    const std::string locked = (directory / "locked.ts").string();
    fs::copy_file(sample, locked);
    fs::permissions(locked, fs::perms::none);
    const ToolRun run = RunTool(INSIGNO_SCAN, {locked}, directory, true);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("insigno-scan: " + locked + ": Permission denied\n"), std::string::npos)
        << run.err;
}

TEST_F(ToolsCli, UsageErrorsExitWithOne) {
    EXPECT_EQ(RunTool(INSIGNO_SCAN, {}, directory).status, 1);
    EXPECT_EQ(RunTool(INSIGNO_SCAN, {"--bogus", sample}, directory).status, 1);
    EXPECT_EQ(RunTool(INSIGNO_MKTS, {"--sample-rate", "1", "-o", "x"}, directory).status, 1);
    EXPECT_EQ(RunTool(INSIGNO_MKTS, {"--service", "0x400:1:5", "-o", "x"}, directory).status, 1);
    EXPECT_EQ(RunTool(INSIGNO_MKTS, {}, directory).status, 1);
}

TEST_F(ToolsCli, MktsWritesTheStreamItsOptionsDescribe) {
    const std::string custom = (directory / "custom.ts").string();
    const ToolRun made =
        RunTool(INSIGNO_MKTS,
                {"--network", "0x7FE8", "--service", "0x0500:1:0x010:3:0x0020", "--service",
                 "1281:2:16", "--service", "0x0502:3:ABC", "--logo", "0x0020:0x010:3:5", "--repeat",
                 "2", "--filler", "0", "-o", custom},
                directory);
    ASSERT_EQ(made.status, 0) << made.err;
    const ToolRun run = RunTool(INSIGNO_SCAN, {custom}, directory);
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string sdt;
    std::string cdt;
    ASSERT_TRUE(std::getline(lines, sdt));
    ASSERT_TRUE(std::getline(lines, cdt));
    EXPECT_EQ(sdt,
              "{\"table\":\"sdt\",\"packet\":0,\"onid\":32744,\"services\":["
              "{\"service_id\":1280,\"type\":1,\"logo_id\":16,\"logo_version\":3,"
              "\"download_data_id\":32},"
              "{\"service_id\":1281,\"type\":2,\"logo_id\":16,\"logo_version\":3,"
              "\"download_data_id\":32},"
              "{\"service_id\":1282,\"type\":3,\"logo_id\":0,\"logo_version\":0,"
              "\"download_data_id\":0}]}");
    EXPECT_EQ(cdt.rfind("{\"table\":\"cdt\",\"packet\":1,\"onid\":32744,\"download_data_id\":32,"
                        "\"logo_type\":5,\"logo_id\":16,\"logo_version\":3,\"width\":64,"
                        "\"height\":36,",
                        0),
              0u)
        << cdt;
    EXPECT_EQ(run.err, "insigno-scan: 4 packets, 4 sections, 1 logos\n");
}

std::string PngOf(uint16_t logoId, uint16_t version, uint8_t type) {
    LogoSpec logo;
    logo.logoId = logoId;
    logo.logoVersion = version;
    logo.logoType = type;
    const std::vector<uint8_t> png = LogoPngOf(logo);
    return {png.begin(), png.end()};
}

std::map<std::string, std::string> DirectoryFiles(const fs::path& directory) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(directory)) {
        files[entry.path().filename().string()] = ReadFile(entry.path());
    }
    return files;
}

// The plug-in's store fed from a recording: a CDT logo as sent; carousel logos under each
// network with the version its SDT gave, as version 0 only when none is held.
TEST_F(ToolsCli, ScanStoresEveryLogoAsThePlugInDoes) {
    const std::string stream = (directory / "bs.ts").string();
    // Two type 1 entries give logo 0x101 versions 3 and 9: the lower service id's counts.
    const std::vector<std::string> plan{"--network",    "4",
                                        "--tsid",       "0x40F1",
                                        "--service",    "101:1:0x101:3:0",
                                        "--service",    "102:1:0x103:6:0",
                                        "--service",    "103:1:0x101:9:0",
                                        "--logo",       "0x20:0x030:2:5",
                                        "--carousel",   "bs:5:0x101:4/0x40F1/101,7/0x7001/301",
                                        "--carousel",   "bs:5:0x102:4/0x40F1/102",
                                        "--carousel",   "bs:2:0x103:4/0x40F1/102",
                                        "--block-size", "100",
                                        "--repeat",     "2",
                                        "-o",           stream};
    const ToolRun made = RunTool(INSIGNO_MKTS, plan, directory);
    ASSERT_EQ(made.status, 0) << made.err;
    const fs::path store = directory / "Logo";
    fs::create_directories(store);
    const std::string held101 = PngOf(0x101, 1, 5);
    const std::string held102 = PngOf(0x102, 2, 5);
    std::ofstream(store / "0004_101_001_05", std::ios::binary) << held101;
    std::ofstream(store / "0004_102_002_05", std::ios::binary) << held102;

    const ToolRun run = RunTool(INSIGNO_SCAN, {"--store", store.string(), stream}, directory);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(" logos, 4 stored\n"), std::string::npos) << run.err;
    const std::map<std::string, std::string> expected{
        {"0004_030_002_05", PngOf(0x030, 2, 5)},  // from the CDT
        {"0004_101_001_05_", held101},            // superseded by service 101's version
        {"0004_101_003_05", PngOf(0x101, 0, 5)},
        {"0007_101_000_05", PngOf(0x101, 0, 5)},  // no SDT of network 7, none held
        {"0004_102_002_05", held102},             // no SDT version: the held one stays
        {"0004_103_006_02", PngOf(0x103, 0, 2)}};
    EXPECT_EQ(DirectoryFiles(store), expected);

    // A store that cannot be opened, or a save that fails, is an error.
    EXPECT_EQ(RunTool(INSIGNO_SCAN, {"--store", stream, stream}, directory).status, 1);
    const fs::path locked = directory / "Locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const ToolRun refused =
        RunTool(INSIGNO_SCAN, {"--store", locked.string(), stream}, directory, true);
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.err.find(", not all stored\n"), std::string::npos) << refused.err;
}

// insigno-scan --store over recordings of other versions than the folder (or an earlier
// recording) holds: a lower version is passed over, unless --replace-newer asks for the viewer's
// rule. What is left: the current version's file and the superseded one's, "_" appended.
struct StoreOrderCase {
    const char* name;
    bool carousel;  // else a CDT logo; a carousel logo takes its version from the SDT
    int held;       // the folder's version before, -1: none
    std::vector<int> recorded;
    bool replaceNewer;
    int current;
    int aside;  // -1: none

    friend void PrintTo(const StoreOrderCase& c, std::ostream* os) { *os << c.name; }
};

class StoreOrder : public ToolsCli, public ::testing::WithParamInterface<StoreOrderCase> {};

TEST_P(StoreOrder, KeepsTheHighestVersionUnlessAskedOtherwise) {
    const StoreOrderCase& c = GetParam();
    const std::string id = c.carousel ? "101" : "030";
    const auto file = [&](int version) {
        char name[8];
        std::snprintf(name, sizeof name, "%03X", version);
        return "0004_" + id + "_" + name + "_05";
    };
    // A carousel logo's picture carries no version: mkts draws it as version 0.
    const auto png = [&](int v) {
        return PngOf(c.carousel ? 0x101 : 0x030, v == c.held || !c.carousel ? v : 0, 5);
    };
    const fs::path store = directory / "Logo";
    fs::create_directories(store);
    if (c.held >= 0) std::ofstream(store / file(c.held), std::ios::binary) << png(c.held);
    std::vector<std::string> args{"--store", store.string()};
    if (c.replaceNewer) args.push_back("--replace-newer");
    for (const int version : c.recorded) {
        const std::string v = std::to_string(version), stream = (directory / (v + ".ts")).string();
        std::vector<std::string> plan{"--network", "4",      "-o",
                                      stream,      "--logo", "0x20:0x030:" + v + ":5"};
        if (c.carousel)
            plan = {"--network",  "4",
                    "--tsid",     "0x40F1",
                    "-o",         stream,
                    "--service",  "101:1:0x101:" + v + ":0",
                    "--carousel", "bs:5:0x101:4/0x40F1/101"};
        ASSERT_EQ(RunTool(INSIGNO_MKTS, plan, directory).status, 0);
        args.push_back(stream);
    }
    EXPECT_EQ(RunTool(INSIGNO_SCAN, args, directory).status, 0);
    std::map<std::string, std::string> expected{{file(c.current), png(c.current)}};
    if (c.aside >= 0) expected[file(c.aside) + "_"] = png(c.aside);
    EXPECT_EQ(DirectoryFiles(store), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoreOrder,
    ::testing::Values(StoreOrderCase{"OlderRecording", false, 3, {2}, false, 3, -1},
                      StoreOrderCase{"NewerRecording", false, 2, {3}, false, 3, 2},
                      StoreOrderCase{"NewerThenOlder", false, -1, {3, 2}, false, 3, -1},
                      StoreOrderCase{"NewerThenOlderReplacing", false, -1, {3, 2}, true, 2, 3},
                      StoreOrderCase{"OlderCarouselVersion", true, 3, {2}, false, 3, -1},
                      StoreOrderCase{"OlderCarouselVersionReplacing", true, 3, {2}, true, 2, 3}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
