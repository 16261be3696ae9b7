#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "MktsOptions.h"

namespace {

using Args = std::vector<std::string>;

Args With(Args args) {
    args.push_back("-o");
    args.push_back("out.ts");
    return args;
}

TEST(MktsOptions, WithoutServicesOrLogosTheContentsAreTheSample) {
    const MktsOptions options = ParseMktsArguments(
        With({"--packet-size", "204", "--repeat", "2", "--network", "0x0004", "--other"}));
    const StreamSpec sample = SampleSpec();
    EXPECT_EQ(options.output, "out.ts");
    EXPECT_EQ(options.plan.services.size(), sample.services.size());
    EXPECT_EQ(options.plan.logos.size(), sample.logos.size());
    EXPECT_EQ(options.plan.packetSize, 204u);
    EXPECT_EQ(options.plan.repeat, 2);
    EXPECT_EQ(options.plan.originalNetworkId, 0x0004);
    EXPECT_TRUE(options.plan.sdtOther);
}

TEST(MktsOptions, ServicesAndLogosReplaceTheSampleInTheOrderGiven) {
    const MktsOptions options =
        ParseMktsArguments(With({"--service", "0x0500:1:0x1FF:0xFFF:65535", "--service", "010:2:16",
                                 "--service", "7:3:A:B", "--service", "8", "--logo", "1:2:3:255"}));
    const std::vector<ServiceSpec>& services = options.plan.services;
    ASSERT_EQ(services.size(), 4u);
    EXPECT_EQ(services[0].serviceId, 0x0500);
    EXPECT_EQ(services[0].transmissionType, 1);
    EXPECT_EQ(services[0].logoId, 0x1FF);
    EXPECT_EQ(services[0].logoVersion, 0xFFF);
    EXPECT_EQ(services[0].downloadDataId, 0xFFFF);
    EXPECT_EQ(services[1].serviceId, 10);  // decimal, not octal
    EXPECT_EQ(services[1].transmissionType, 2);
    EXPECT_EQ(services[1].logoId, 16);
    EXPECT_EQ(services[2].logoChar, "A:B");  // the text keeps its colons
    EXPECT_EQ(services[3].transmissionType, 0);
    ASSERT_EQ(options.plan.logos.size(), 1u);
    EXPECT_EQ(options.plan.logos[0].logoType, 255);
    EXPECT_TRUE(options.plan.logos[0].png.empty());
}

class MktsBadArguments : public ::testing::TestWithParam<Args> {};

TEST_P(MktsBadArguments, AreRefusedWithAMessage) {
    EXPECT_THROW(ParseMktsArguments(GetParam()), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MktsBadArguments,
    ::testing::Values(Args{},                                  // no output
                      With({"--bogus"}), With({"--network"}),  // unknown, no value
                      With({"--network", "0x10000"}),          // too wide
                      With({"--network", "-1"}), With({"--network", "12ab"}),
                      With({"--network", "0x"}), With({"--service", "1:1:2:3"}),
                      With({"--service", "1:2"}), With({"--service", "1:4:1"}),
                      With({"--service", "1:1:0x200:1:1"}),   // logo id has 9 bits
                      With({"--service", "1:1:1:0x1000:1"}),  // version has 12 bits
                      With({"--logo", "1:2:3"}), With({"--logo", "1:2:3:256"}),
                      With({"--logo", "1:2:3:4:/nonexistent/logo.png"}),
                      With({"--packet-size", "190"}),
                      With({"--carousel", "bs:5:1"}),        // no services
                      With({"--carousel", "xs:5:1:4/1/2"}),  // neither bs nor cs
                      With({"--carousel", "bs:6:1:4/1/2"}),  // no module LOGO-06
                      With({"--carousel", "bs:5:1:4/1"}),    // a service has three ids
                      With({"--block-size", "0"}), With({"--block-size", "4067"})));

}  // namespace
