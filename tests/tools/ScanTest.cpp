#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "LogoPng.h"
#include "Packetizer.h"
#include "PaletteChunk.h"
#include "PngDecode.h"
#include "Scanner.h"
#include "Sections.h"
#include "Sha256.h"
#include "StreamSpec.h"

namespace {

using tswriter::Bytes;

std::string ScanToText(const Bytes& stream,
                       std::optional<std::filesystem::path> pngDirectory = std::nullopt) {
    std::ostringstream out;
    Scanner scanner(out, std::move(pngDirectory));
    std::istringstream in(std::string(stream.begin(), stream.end()));
    scanner.ScanStream(in);
    return out.str();
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

tswriter::SdtService Service(uint16_t id, const Bytes& descriptors) {
    tswriter::SdtService service;
    service.serviceId = id;
    service.descriptors = descriptors;
    return service;
}

// A picture busy enough that its PNG spans several packets.
const PixelIndex kBusy = [](int x, int y) { return static_cast<uint8_t>((x * y * 31 + x) % 128); };

Bytes LogoSection(uint16_t downloadDataId, uint16_t logoId, uint16_t version, uint8_t type,
                  const Bytes& png) {
    tswriter::CdtLogoSection cdt;
    cdt.downloadDataId = downloadDataId;
    cdt.originalNetworkId = 0x7FE8;
    cdt.logoType = type;
    cdt.logoId = logoId;
    cdt.logoVersion = version;
    cdt.data = png;
    return cdt.Build();
}

TEST(Sha256, MatchesPublishedVectors) {
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex({'a', 'b', 'c'}),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Scanner, PrintsOneLinePerSdtAndCdtResult) {
    tswriter::SdtSection sdt;
    sdt.originalNetworkId = 0x7FE8;
    // Loop order differs from id order; the type 2 entry follows the type 1 entry it uses.
    sdt.services = {Service(0x0402, tswriter::LogoTransmissionType1(0x105, 0xA03, 0x0020)),
                    Service(0x0401, tswriter::LogoTransmissionType2(0x105)),
                    Service(0x0404, tswriter::ServiceDescriptor(1, "P", "S")),
                    Service(0x0403, tswriter::LogoTransmissionType3("AB"))};
    const Bytes png = WriteLogoPng(64, 36, kBusy);
    ASSERT_GT(png.size(), 2 * tswriter::kPayloadSize);

    tswriter::Packetizer sdtPackets(tswriter::kSdtPid);
    tswriter::Packetizer cdtPackets(tswriter::kCdtPid);
    Bytes stream = tswriter::FillerPacket(0x0100);           // packet 0
    Append(stream, sdtPackets.OnePerPacket({sdt.Build()}));  // packet 1
    const Bytes cdt = cdtPackets.OnePerPacket({LogoSection(0x0020, 0x105, 0xA03, 5, png)});
    const size_t cdtPacketCount = cdt.size() / tswriter::kPacketSize;
    Append(stream, cdt);  // packets 2 .. 1 + cdtPacketCount

    const std::string expected =
        "{\"table\":\"sdt\",\"packet\":1,\"onid\":32744,\"services\":["
        "{\"service_id\":1025,\"type\":2,\"logo_id\":261,\"logo_version\":2563,"
        "\"download_data_id\":32},"
        "{\"service_id\":1026,\"type\":1,\"logo_id\":261,\"logo_version\":2563,"
        "\"download_data_id\":32},"
        "{\"service_id\":1027,\"type\":3,\"logo_id\":0,\"logo_version\":0,"
        "\"download_data_id\":0}]}\n"
        "{\"table\":\"cdt\",\"packet\":" +
        std::to_string(1 + cdtPacketCount) +
        ",\"onid\":32744,\"download_data_id\":32,\"logo_type\":5,\"logo_id\":261,"
        "\"logo_version\":2563,\"width\":64,\"height\":36,\"size\":" +
        std::to_string(png.size()) + ",\"sha256\":\"" + Sha256Hex(png) + "\"}\n";
    EXPECT_EQ(ScanToText(stream), expected);
}

TEST(Scanner, PrintsNothingForTablesWithoutLogos) {
    tswriter::SdtSection sdt;
    sdt.services = {Service(0x0400, tswriter::ServiceDescriptor(1, "P", "S"))};
    tswriter::CdtLogoSection notLogo;
    notLogo.dataType = 0x02;
    notLogo.data = {1, 2, 3};
    Bytes stream = tswriter::Packetizer(tswriter::kSdtPid).OnePerPacket({sdt.Build()});
    Append(stream, tswriter::Packetizer(tswriter::kCdtPid).OnePerPacket({notLogo.Build()}));
    // Logo sections on a PID other than the CDT's are not the CDT.
    Append(stream, tswriter::Packetizer(0x0030).OnePerPacket(
                       {LogoSection(1, 1, 1, 0, WriteLogoPng(48, 24, kBusy))}));
    EXPECT_EQ(ScanToText(stream), "");
}

TEST(Scanner, WritesEachDistinctLogoOnceAsAViewablePng) {
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() /
        ("insigno-scan-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(directory);
    const Bytes first = WriteLogoPng(64, 36, kBusy);
    const Bytes second = WriteLogoPng(
        48, 24, [](int x, int) { return static_cast<uint8_t>(x % 8); }, 4);
    const Bytes sectionA = LogoSection(0x0020, 0x105, 0xA03, 5, first);
    const Bytes sectionB = LogoSection(0x0020, 0x00B, 0x001, 0, second);
    const Bytes stream =
        tswriter::Packetizer(tswriter::kCdtPid).OnePerPacket({sectionA, sectionB, sectionA});

    std::ostringstream out;
    Scanner scanner(out, directory / "logos");
    std::istringstream in(std::string(stream.begin(), stream.end()));
    scanner.ScanStream(in);
    EXPECT_EQ(scanner.sections, 3u);
    EXPECT_EQ(scanner.Logos(), 2u);

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory / "logos")) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"7FE8_105_A03_05.png", "7FE8_00B_001_00.png"}));

    std::ifstream file(directory / "logos" / "7FE8_00B_001_00.png", std::ios::binary);
    const Bytes written{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    LogoRecord record;
    record.data = second;
    EXPECT_EQ(written, InsertPalette(record));
    const DecodedPng decoded = DecodePng(written);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    // Pixel (2, 0) is index 2, green in the fixed palette.
    EXPECT_EQ(Bytes(decoded.rgb.begin() + 6, decoded.rgb.begin() + 9), (Bytes{0x00, 0xFF, 0x00}));
    std::filesystem::remove_all(directory);
}

// The sample's contents as the README documents them.
TEST(SampleStream, HoldsTheDocumentedServicesAndLogos) {
    const Bytes stream = BuildStream(SampleSpec());
    EXPECT_EQ(stream, BuildStream(SampleSpec()));
    EXPECT_EQ(stream.size(), 72 * tswriter::kPacketSize);

    const std::string text = ScanToText(stream);
    const std::string sdtServices =
        "\"onid\":32736,\"services\":["
        "{\"service_id\":1024,\"type\":1,\"logo_id\":1,\"logo_version\":2,\"download_data_id\":16},"
        "{\"service_id\":1025,\"type\":2,\"logo_id\":1,\"logo_version\":2,\"download_data_id\":16},"
        "{\"service_id\":1026,\"type\":1,\"logo_id\":2,\"logo_version\":1,\"download_data_id\":17},"
        "{\"service_id\":1027,\"type\":3,\"logo_id\":0,\"logo_version\":0,"
        "\"download_data_id\":0}]}";
    std::set<std::tuple<int, int, int, int>> logos;
    int sdtLines = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"table\":\"sdt\"") != std::string::npos) {
            ++sdtLines;
            EXPECT_NE(line.find(sdtServices), std::string::npos) << line;
            continue;
        }
        int ddid = 0, type = 0, id = 0, version = 0;
        const size_t at = line.find("\"download_data_id\"");
        ASSERT_NE(at, std::string::npos) << line;
        ASSERT_EQ(std::sscanf(line.c_str() + at,
                              "\"download_data_id\":%d,\"logo_type\":%d,\"logo_id\":%d,"
                              "\"logo_version\":%d",
                              &ddid, &type, &id, &version),
                  4)
            << line;
        logos.insert({ddid, id, version, type});
    }
    EXPECT_EQ(sdtLines, 4);
    std::set<std::tuple<int, int, int, int>> expected;
    for (int type = 0; type <= 5; ++type) expected.insert({0x10, 1, 2, type});
    expected.insert({0x10, 1, 1, 5});
    for (int type : {0, 2, 5}) expected.insert({0x11, 2, 1, type});
    EXPECT_EQ(logos, expected);
}

struct FramingCase {
    size_t packetSize;
    size_t garbage;
    bool backToBack;
};

std::ostream& operator<<(std::ostream& out, const FramingCase& c) {
    return out << c.packetSize << "-garbage" << c.garbage << (c.backToBack ? "-packed" : "");
}

class ScanFraming : public ::testing::TestWithParam<FramingCase> {};

// Timestamps, parity bytes and junk between cycles change nothing the scanner reports: packet
// numbers count packets, not bytes.
TEST_P(ScanFraming, ReportsWhatThePlainStreamGives) {
    StreamSpec plain = SampleSpec();
    plain.backToBack = GetParam().backToBack;
    StreamSpec framed = plain;
    framed.packetSize = GetParam().packetSize;
    framed.garbage = GetParam().garbage;
    const std::string expected = ScanToText(BuildStream(plain));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ScanToText(BuildStream(framed)), expected);
}

INSTANTIATE_TEST_SUITE_P(Framings, ScanFraming,
                         ::testing::Values(FramingCase{192, 0, false}, FramingCase{204, 0, false},
                                           FramingCase{188, 500, false},
                                           FramingCase{192, 77, false},
                                           FramingCase{204, 1000, true}));

}  // namespace

namespace {

// BS logos of two types (one serving two networks) and a CS logo, in modules of several blocks.
StreamSpec CarouselSpec() {
    StreamSpec plan;
    plan.originalNetworkId = 4;
    plan.transportStreamId = 0x40F1;
    plan.services = {ServiceSpec{101, 1, 0x101, 3, 0, "", ""}};
    plan.carouselLogos = {{false, 5, 0x101, {{4, 0x40F1, 101}, {7, 0x7001, 301}}, {}},
                          {false, 5, 0x102, {{4, 0x40F1, 102}}, {}},
                          {false, 2, 0x101, {{4, 0x40F1, 101}}, {}},
                          {true, 5, 0x120, {{6, 0x7001, 201}}, {}}};
    plan.blockSize = 100;
    plan.repeat = 2;
    return plan;
}

// The carousel lines a scan must print for CarouselSpec(), without their packet numbers.
std::multiset<std::string> ExpectedCarouselLines() {
    std::multiset<std::string> lines;
    for (const CarouselLogoSpec& logo : CarouselSpec().carouselLogos) {
        LogoSpec picture;
        picture.logoId = logo.logoId;
        picture.logoType = logo.logoType;
        const Bytes png = LogoPngOf(picture);
        const LogoSize size = SizeForLogoType(logo.logoType);
        std::string services;
        for (const CarouselServiceSpec& s : logo.services) {
            services += std::string(services.empty() ? "" : ",") +
                        "{\"onid\":" + std::to_string(s.originalNetworkId) +
                        ",\"tsid\":" + std::to_string(s.transportStreamId) +
                        ",\"service_id\":" + std::to_string(s.serviceId) + "}";
        }
        lines.insert(std::string("\"module\":\"") + (logo.cs ? "CS_" : "") + "LOGO-0" +
                     std::to_string(logo.logoType) + "\",\"module_version\":1,\"logo_type\":" +
                     std::to_string(logo.logoType) + ",\"logo_id\":" + std::to_string(logo.logoId) +
                     ",\"services\":[" + services + "],\"width\":" + std::to_string(size.width) +
                     ",\"height\":" + std::to_string(size.height) + ",\"size\":" +
                     std::to_string(png.size()) + ",\"sha256\":\"" + Sha256Hex(png) + "\"}");
    }
    return lines;
}

std::multiset<std::string> CarouselLines(const std::string& text) {
    std::multiset<std::string> lines;
    std::istringstream in(text);
    const std::string prefix = "{\"table\":\"carousel\",\"packet\":";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) != 0) continue;
        lines.insert(line.substr(line.find(',', prefix.size()) + 1));
    }
    return lines;
}

class ScanCarousel : public ::testing::TestWithParam<std::string> {};

// Each logo of each completed module once, however the blocks are sent.
TEST_P(ScanCarousel, PrintsEachLogoOfEachModuleOnce) {
    StreamSpec plan = CarouselSpec();
    const std::string& order = GetParam();
    plan.interleave = order == "interleaved";
    plan.repeatBlocks = order == "repeated";
    plan.blocksFirst = order == "blocks-first";
    if (order == "whole-blocks") plan.blockSize = 4066;
    EXPECT_EQ(CarouselLines(ScanToText(BuildStream(plan))), ExpectedCarouselLines());
}

INSTANTIATE_TEST_SUITE_P(Orders, ScanCarousel,
                         ::testing::Values("in-turn", "interleaved", "repeated", "blocks-first",
                                           "whole-blocks"));

TEST(ScanCarousel, PngsGoUnderEachNetworkWithTheSdtsVersion) {
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() /
        ("insigno-scan-carousel-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(directory);
    std::ostringstream out;
    Scanner scanner(out, directory);
    const Bytes stream = BuildStream(CarouselSpec());
    std::istringstream in(std::string(stream.begin(), stream.end()));
    scanner.ScanStream(in);
    scanner.Finish();
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    // Network 4's SDT gives logo 0x101 version 3; no SDT of network 7 or 6 was seen.
    EXPECT_EQ(names, (std::set<std::string>{"0004_101_003_05.png", "0007_101_000_05.png",
                                            "0004_102_000_05.png", "0004_101_003_02.png",
                                            "0006_120_000_05.png"}));
    std::filesystem::remove_all(directory);
}

}  // namespace
