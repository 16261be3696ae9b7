// The carousel collector on packets: finding the carousels, and what restarts it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Carousel.h"
#include "CarouselCollector.h"
#include "TsTestUtil.h"

namespace {

constexpr uint16_t kPmtPid = 0x01F0;
constexpr uint16_t kBsPid = 0x0920;
constexpr uint16_t kCsPid = 0x0921;

// The bytes of every packet, by PID, each with its own continuity counter.
class StreamBuilder {
public:
    StreamBuilder& Pat(uint16_t tsid, bool withService = true) {
        std::vector<tswriter::PatProgram> programs{{0x0101, 0x0100}};
        if (withService) programs.push_back({0x03A1, kPmtPid});
        return Sections(0x0000, {tswriter::PatSection(tsid, programs)});
    }
    StreamBuilder& Pmt(uint16_t bsPid = kBsPid, int bsTag = 0x79) {
        return Sections(
            kPmtPid,
            {tswriter::PmtSection(
                0x03A1, {{0x0D, bsPid, bsTag}, {0x0D, kCsPid, 0x7A}, {0x0D, 0x0922, 0x40}})});
    }
    // A DII for module id 1 of logo type 5 (or of `name`), `size` bytes, blocks of `blockSize`.
    StreamBuilder& Dii(uint16_t pid, uint32_t size, uint16_t blockSize = 100,
                       std::string name = "LOGO-05", Bytes extraInfo = {}) {
        tswriter::DiiSection dii;
        dii.downloadId = pid;
        dii.blockSize = blockSize;
        dii.modules = {{1, size, 1, std::move(name), std::move(extraInfo)}};
        return Sections(pid, {dii.Build()});
    }
    StreamBuilder& Blocks(uint16_t pid, const Bytes& module, size_t from, size_t to,
                          uint16_t blockSize = 100) {
        const std::vector<Bytes> all = tswriter::ModuleBlocks(pid, 1, 1, module, blockSize);
        return Sections(pid, std::vector<Bytes>(all.begin() + from, all.begin() + to));
    }
    StreamBuilder& Sections(uint16_t pid, const std::vector<Bytes>& sections) {
        auto found = packetizers.find(pid);
        if (found == packetizers.end()) found = packetizers.emplace(pid, pid).first;
        const Bytes packets = found->second.BackToBack(sections);
        bytes.insert(bytes.end(), packets.begin(), packets.end());
        return *this;
    }

    Bytes bytes;

private:
    std::map<uint16_t, tswriter::Packetizer> packetizers;
};

// A module of two logos of type 5, 450 bytes: five blocks of 100.
Bytes LogoModule() {
    Bytes png(200);
    for (size_t i = 0; i < png.size(); ++i) png[i] = static_cast<uint8_t>(i);
    return tswriter::LogoModule(
        5, {{0x101, {{4, 0x40F1, 101}}, png}, {0x102, {{4, 0x40F1, 102}, {6, 0x7001, 201}}, png}});
}

std::vector<std::string> Collect(const Bytes& stream) {
    std::vector<std::string> found;
    CarouselCollector collector([&](const CarouselLogo& logo) {
        found.push_back(logo.moduleName + "/" + std::to_string(logo.logoId) + "/" +
                        std::to_string(logo.services.size()));
    });
    for (const Bytes& packet : SplitPackets(stream)) collector.PushPacket(packet.data());
    return found;
}

struct Case {
    std::string name;
    std::function<void(StreamBuilder&)> build;
    std::vector<std::string> expected;
};

class Collector : public testing::TestWithParam<Case> {};

TEST_P(Collector, HandsOutTheLogosOfCompletedLogoModules) {
    StreamBuilder stream;
    GetParam().build(stream);
    EXPECT_EQ(Collect(stream.bytes), GetParam().expected);
}

const Bytes kModule = LogoModule();
const std::vector<std::string> kBoth = {"LOGO-05/257/1", "LOGO-05/258/2"};

INSTANTIATE_TEST_SUITE_P(
    Carousel, Collector,
    testing::Values(
        Case{"BsCarousel",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 0, 5);
             },
             kBoth},
        Case{"CsCarouselByItsName",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kCsPid, kModule.size(), 100, "CS_LOGO-05");
                 s.Blocks(kCsPid, kModule, 0, 5);
             },
             {"CS_LOGO-05/257/1", "CS_LOGO-05/258/2"}},
        Case{"FoundWhereverThePmtPutsIt",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt(0x0333).Dii(0x0333, kModule.size());
                 s.Blocks(0x0333, kModule, 0, 5);
             },
             kBoth},
        Case{"BlocksBeforeTheDiiAndTablesBetweenThem",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Blocks(kBsPid, kModule, 0, 2).Pat(0x40F1);
                 s.Dii(kBsPid, kModule.size()).Pmt().Blocks(kBsPid, kModule, 2, 5);
             },
             kBoth},
        // Sections of 181 bytes put the next one's header across two packets.
        Case{"SectionHeaderAcrossPackets",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size(), 151);
                 s.Blocks(kBsPid, kModule, 0, 3, 151);
             },
             kBoth},
        Case{"OtherModuleNamesLeftAlone",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size(), 100, "LOGO-06");
                 s.Blocks(kBsPid, kModule, 0, 5);
             },
             {}},
        Case{"CompressedModuleRefused",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size(), 100, "LOGO-05",
                                         tswriter::Descriptor(0xC2, {0, 0, 0, 1, 0xC2}));
                 s.Blocks(kBsPid, kModule, 0, 5);
             },
             {}},
        Case{"StreamWithoutTheComponentTag",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt(kBsPid, 0x40).Dii(kBsPid, kModule.size());
                 s.Blocks(kBsPid, kModule, 0, 5);
             },
             {}},
        Case{"StreamWithoutTheEngineeringService",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1, false).Pmt().Dii(kBsPid, kModule.size());
                 s.Blocks(kBsPid, kModule, 0, 5);
             },
             {}},
        Case{"AnotherTransportStreamRestarts",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 0, 3);
                 s.Pat(0x40F2).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 3, 5);
             },
             {}},
        Case{"ServiceLeavingThePatRestarts",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 0, 3);
                 s.Pat(0x40F1, false).Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size());
                 s.Blocks(kBsPid, kModule, 3, 5);
             },
             {}},
        Case{"CarouselMovedRestartsIt",
             [](StreamBuilder& s) {
                 s.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 0, 3);
                 s.Pmt(0x0333).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 3, 5);
             },
             {}}),
    [](const testing::TestParamInfo<Case>& param) { return param.param.name; });

TEST(CarouselCollector, SectionsWithoutCrcAreRefused) {
    StreamBuilder stream;
    Bytes dii = [] {
        tswriter::DiiSection section;
        section.downloadId = kBsPid;
        section.blockSize = 100;
        section.modules = {{1, static_cast<uint32_t>(kModule.size()), 1, "LOGO-05", {}}};
        return section.Build();
    }();
    dii[1] &= 0x7F;  // section_syntax_indicator 0: a checksum, not a CRC_32
    stream.Pat(0x40F1).Pmt().Sections(kBsPid, {dii}).Blocks(kBsPid, kModule, 0, 5);
    EXPECT_TRUE(Collect(stream.bytes).empty());
}

TEST(CarouselCollector, PartialModulesSurviveUntilReset) {
    StreamBuilder first;
    first.Pat(0x40F1).Pmt().Dii(kBsPid, kModule.size()).Blocks(kBsPid, kModule, 0, 3);
    StreamBuilder rest;
    rest.Blocks(kBsPid, kModule, 3, 5);
    for (const bool reset : {false, true}) {
        size_t logos = 0;
        CarouselCollector collector([&](const CarouselLogo&) { ++logos; });
        for (const Bytes& packet : SplitPackets(first.bytes)) collector.PushPacket(packet.data());
        if (reset) collector.Reset();
        for (const Bytes& packet : SplitPackets(rest.bytes)) collector.PushPacket(packet.data());
        EXPECT_EQ(logos, reset ? 0u : 2u) << "reset " << reset;
    }
}

}  // namespace
