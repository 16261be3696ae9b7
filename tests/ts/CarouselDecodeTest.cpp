// DII, DDB and logo-module decoding against hostile lengths: tables of one mutation each.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Carousel.h"
#include "DsmccMessages.h"
#include "LogoModule.h"

namespace {

using tswriter::Bytes;

// The message of a section: its bytes between the 8-byte header and the CRC.
Bytes Message(const Bytes& section) {
    return Bytes(section.begin() + 8, section.end() - 4);
}

Bytes GoodDii() {
    tswriter::DiiSection dii;
    dii.downloadId = 0x01020304;
    dii.blockSize = 4066;
    dii.modules = {{0x0005, 5000, 3, "LOGO-05", {}}, {0x0105, 200, 4, "CS_LOGO-05", {}}};
    return Message(dii.Build());
}

Bytes GoodDdb() {
    tswriter::DdbSection ddb;
    ddb.downloadId = 7;
    ddb.moduleId = 5;
    ddb.moduleVersion = 3;
    ddb.blockNumber = 2;
    ddb.data = {1, 2, 3, 4, 5};
    return Message(ddb.Build());
}

Bytes GoodLogoModule() {
    return tswriter::LogoModule(5, {{0x101, {{4, 0x40F1, 101}, {4, 0x40F1, 102}}, {9, 8, 7}},
                                    {0x102, {{6, 0x7001, 201}}, {1, 2}}});
}

void Put16(Bytes& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<uint8_t>(value);
}

struct Mutation {
    std::string name;
    std::function<void(Bytes&)> apply;
};

std::string Name(const testing::TestParamInfo<Mutation>& info) {
    return info.param.name;
}

// Message header offsets: messageId 2, adaptationLength 9, messageLength 10; the body from 12.
class HostileDii : public testing::TestWithParam<Mutation> {};

TEST_P(HostileDii, IsRefusedWhole) {
    Bytes message = GoodDii();
    GetParam().apply(message);
    EXPECT_FALSE(DecodeDownloadInfo(message.data(), message.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Carousel, HostileDii,
    testing::Values(Mutation{"NotDsmcc", [](Bytes& m) { m[0] = 0x12; }},
                    Mutation{"DdbMessageId", [](Bytes& m) { Put16(m, 2, 0x1003); }},
                    Mutation{"MessageLengthPastTheEnd",
                             [](Bytes& m) { Put16(m, 10, static_cast<uint16_t>(m.size() - 11)); }},
                    Mutation{"AdaptationPastTheMessage", [](Bytes& m) { m[9] = 0xFF; }},
                    Mutation{"CompatibilityDescriptorPastTheEnd",
                             [](Bytes& m) { Put16(m, 28, 0xFFFF); }},
                    Mutation{"MoreModulesThanBytes", [](Bytes& m) { Put16(m, 30, 3); }},
                    Mutation{"HugeModuleCount", [](Bytes& m) { Put16(m, 30, 0xFFFF); }},
                    Mutation{"ModuleInfoPastTheEnd", [](Bytes& m) { m[39] = 0xFF; }},
                    Mutation{"DescriptorPastModuleInfo", [](Bytes& m) { m[41] = 8; }},
                    Mutation{"CutAtTheEnd", [](Bytes& m) { m.pop_back(); }}),
    Name);

TEST(CarouselDecode, DiiGivesItsModules) {
    const Bytes message = GoodDii();
    const auto dii = DecodeDownloadInfo(message.data(), message.size());
    ASSERT_TRUE(dii);
    EXPECT_EQ(dii->downloadId, 0x01020304u);
    EXPECT_EQ(dii->blockSize, 4066);
    ASSERT_EQ(dii->modules.size(), 2u);
    const DiiModule& cs = dii->modules[1];
    EXPECT_EQ(std::tuple(cs.moduleId, cs.moduleSize, cs.moduleVersion, cs.name, cs.compressed),
              std::tuple(0x0105, 200u, 4, std::string("CS_LOGO-05"), false));
}

TEST(CarouselDecode, CompressionDescriptorIsReported) {
    tswriter::DiiSection dii;
    dii.modules = {{1, 10, 1, "LOGO-05", tswriter::Descriptor(0xC2, {0, 0, 0, 0, 10})}};
    const Bytes message = Message(dii.Build());
    const auto decoded = DecodeDownloadInfo(message.data(), message.size());
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->modules[0].compressed);
}

class HostileDdb : public testing::TestWithParam<Mutation> {};

TEST_P(HostileDdb, IsRefused) {
    Bytes message = GoodDdb();
    GetParam().apply(message);
    EXPECT_FALSE(DecodeDownloadDataBlock(message.data(), message.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Carousel, HostileDdb,
    testing::Values(Mutation{"DiiMessageId", [](Bytes& m) { Put16(m, 2, 0x1002); }},
                    Mutation{"NotADownloadMessage", [](Bytes& m) { m[1] = 0x04; }},
                    Mutation{"MessageLengthPastTheEnd", [](Bytes& m) { Put16(m, 10, 100); }},
                    Mutation{"MessageShorterThanTheBlockHeader", [](Bytes& m) { Put16(m, 10, 5); }},
                    Mutation{"AdaptationIntoTheBlockHeader", [](Bytes& m) { m[9] = 8; }},
                    Mutation{"CutAtTheEnd", [](Bytes& m) { m.pop_back(); }}),
    Name);

TEST(CarouselDecode, DdbGivesItsBlock) {
    const Bytes message = GoodDdb();
    const auto ddb = DecodeDownloadDataBlock(message.data(), message.size());
    ASSERT_TRUE(ddb);
    EXPECT_EQ(std::tuple(ddb->downloadId, ddb->moduleId, ddb->moduleVersion, ddb->blockNumber),
              std::tuple(7u, 5, 3, 2));
    EXPECT_EQ(Bytes(ddb->data, ddb->data + ddb->size), Bytes({1, 2, 3, 4, 5}));
}

// Logo module offsets: logo_type 0, number_of_loop 1, first logo_id 3, its number_of_services
// 5, its services 6 to 17, its data_size 18.
class HostileLogoModule : public testing::TestWithParam<Mutation> {};

TEST_P(HostileLogoModule, GivesNoLogo) {
    Bytes module = GoodLogoModule();
    GetParam().apply(module);
    EXPECT_TRUE(DecodeLogoModule(module.data(), module.size(), 5).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Carousel, HostileLogoModule,
    testing::Values(Mutation{"MoreLogosThanBytes", [](Bytes& m) { Put16(m, 1, 3); }},
                    Mutation{"ServicesPastTheEnd", [](Bytes& m) { m[5] = 0xFF; }},
                    Mutation{"DataSizePastTheEnd", [](Bytes& m) { Put16(m, 18, 0xFFFF); }},
                    Mutation{"TypeOtherThanItsName", [](Bytes& m) { m[0] = 4; }},
                    Mutation{"CutAtTheEnd", [](Bytes& m) { m.pop_back(); }},
                    Mutation{"Empty", [](Bytes& m) { m.clear(); }}),
    Name);

TEST(CarouselDecode, LogoModuleGivesEveryLogoWithItsServices) {
    Bytes module = GoodLogoModule();
    module.push_back(0xFF);  // trailing bytes are no logo and harm none
    const std::vector<CarouselLogo> logos = DecodeLogoModule(module.data(), module.size(), 5);
    ASSERT_EQ(logos.size(), 2u);
    EXPECT_EQ(logos[0].logoId, 0x101);
    EXPECT_EQ(logos[0].services,
              (std::vector<CarouselService>{{4, 0x40F1, 101}, {4, 0x40F1, 102}}));
    EXPECT_EQ(logos[0].png, Bytes({9, 8, 7}));
    EXPECT_EQ(logos[1].services, (std::vector<CarouselService>{{6, 0x7001, 201}}));
}

TEST(CarouselDecode, LogosWithoutServicesOrBytesAreLeftOut) {
    const Bytes module = tswriter::LogoModule(
        2, {{0x001, {}, {1}}, {0x002, {{1, 2, 3}}, {}}, {0x003, {{1, 2, 3}}, {4}}});
    const std::vector<CarouselLogo> logos = DecodeLogoModule(module.data(), module.size(), 2);
    ASSERT_EQ(logos.size(), 1u);
    EXPECT_EQ(logos[0].logoId, 0x003);
}

TEST(CarouselDecode, OnlyTheTwelveLogoModuleNamesHaveAType) {
    const std::vector<std::pair<std::string, int>> names = {
        {"LOGO-00", 0},  {"LOGO-05", 5},     {"CS_LOGO-00", 0}, {"CS_LOGO-05", 5},
        {"LOGO-06", -1}, {"LOGO-5", -1},     {"logo-05", -1},   {"LOGO-05 ", -1},
        {"CS_LOGO", -1}, {"BS_LOGO-05", -1}, {"", -1},          {std::string("LOGO-0\0", 7), -1}};
    for (const auto& [name, type] : names) {
        const auto found = LogoModuleType(name);
        EXPECT_EQ(found ? *found : -1, type) << name;
    }
}

}  // namespace
