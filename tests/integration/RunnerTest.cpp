// A scenario run from its text to its end, as insigno-host runs it, and what it leaves behind.

#include <sstream>

#include "ModuleFixture.h"
#include "insigno/host/ScenarioRunner.h"
#include "insigno/host/Snapshot.h"

#ifndef _WIN32
#include <png.h>
#endif

namespace insigno::it {
namespace {

#ifndef _WIN32
std::optional<Image> ReadPng(const std::filesystem::path& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.string().c_str())) return std::nullopt;
    png.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB in a little-endian word
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(static_cast<std::size_t>(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) return std::nullopt;
    return image;
}
#endif

std::vector<std::string> Whats(const std::vector<std::string>& lines) {
    std::vector<std::string> whats;
    for (const auto& line : lines) {
        const auto at = line.find("\"what\":\"");
        if (at == std::string::npos) continue;
        const auto from = at + 8;
        whats.push_back(line.substr(from, line.find('"', from) - from));
    }
    return whats;
}

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

TEST_F(ModuleTest, ScenarioRunsFromItsTextToItsEnd) {
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, 1, 4)}));
    const auto stream = work / "stream.ts";
    WriteFile(stream, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    std::istringstream text(
        "container 640 360\n"
        "stream " +
        stream.string() +
        " fast loop\n"
        "add-channel 101 0x7FE0 0x0400\n"
        "current 101\n"
        "setting DisplaySeconds = -1\n"
        "at 0 event enable 1\n"
        "at +0 event preview 1\n"
        "at +0 channel 101\n"
        "at +0 wait visible 120\n"
        "at +0 note seen\n"
        "at +0 wait passes 1 120\n"
        "at +0 snapshot shot.png\n"
        "at +0 logo-files\n");
    host::Scenario scenario = host::ParseScenario(text);
    HostOptions options = host::OptionsFor(scenario);
    options.module = Options().module;
    options.workDir = RunDir();
    host = std::make_unique<Host>(options, report);
    const int status = host::RunScenario(scenario, *host, report);

    const auto lines = report.Lines();
    const auto whats = Whats(lines);
    ASSERT_GE(whats.size(), 4u);
    EXPECT_EQ(whats.front(), "load");
    EXPECT_EQ(whats[whats.size() - 2], "finalize");
    EXPECT_EQ(whats.back(), "unload");
    EXPECT_TRUE(Has(lines, R"("what":"initialize","result":true)"));
    EXPECT_TRUE(Has(
        lines,
        R"("what":"event","code":2,"name":"channel","lparam1":0,"lparam2":0,"delivered":true,"result":1)"));
    EXPECT_TRUE(
        Has(lines,
            R"("what":"overlay","exists":true,"visible":true,"x":0,"y":0,"width":64,"height":36)"));
    EXPECT_TRUE(Has(lines, R"("what":"note","text":"seen")"));
    EXPECT_TRUE(Has(lines, R"("what":"wait","for":"the overlay is shown","met":true)"));
    EXPECT_TRUE(Has(lines, R"("files":["7FE0_001_001_05"])"));
    EXPECT_TRUE(Has(lines, R"("what":"unload","result":true,"late_messages":0)"));
    EXPECT_EQ(status, 0);
#ifdef _WIN32
    // Under Wine the overlay's part comes from its X window (xwd); no PNG reader is built here.
    EXPECT_TRUE(Has(lines, R"("ok":true,"overlay_visible":true)"));  // the snapshot's entry
    EXPECT_GT(std::filesystem::file_size(RunDir() / "shot.png"), 0u);
#else
    // The snapshot: the overlay's picture at its place over the test background.
    const auto shot = ReadPng(RunDir() / "shot.png");
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->width, 640);
    ASSERT_EQ(shot->height, 360);
    EXPECT_EQ(shot->pixels[18 * 640 + 10] & 0xFFFFFF, 0xFF0000u);  // left half of the logo
    EXPECT_EQ(shot->pixels[18 * 640 + 50] & 0xFFFFFF, 0x0000FFu);  // right half
    for (const auto& [x, y] : {std::pair{64, 18}, std::pair{10, 36}, std::pair{600, 300}}) {
        EXPECT_EQ(shot->pixels[y * 640 + x], host::BackgroundPixel(x, y, 640, 360))
            << x << "," << y;
    }
#endif
}

TEST_F(ModuleTest, ScenarioGivesUpAWaitThatCannotBeMet) {
    // No stream at all: the logo can never be shown.
    std::istringstream text(
        "setting DisplaySeconds = -1\n"
        "at 0 event enable 1\n"
        "at +0 wait visible 0.2\n");
    host::Scenario scenario = host::ParseScenario(text);
    HostOptions options = host::OptionsFor(scenario);
    options.module = Options().module;
    options.workDir = RunDir();
    host = std::make_unique<Host>(options, report);
    EXPECT_EQ(host::RunScenario(scenario, *host, report), 1);
    EXPECT_TRUE(Has(report.Lines(), R"("what":"wait","for":"the overlay is shown","met":false)"));
    EXPECT_TRUE(Has(report.Lines(), R"("what":"unload","result":true)"));
}

}  // namespace
}  // namespace insigno::it
