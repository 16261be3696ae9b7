#include <gtest/gtest.h>

#include "LogoRecord.h"

struct SizeCase {
    uint8_t type;
    int32_t width;
    int32_t height;
};

class SizeByType : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SizeByType, SetsDisplaySizeFromTypeAlone) {
    LogoRecord record;
    record.width = 999;
    record.height = 999;
    record.logoType = GetParam().type;
    record.ApplySizeByType();
    EXPECT_EQ(record.width, GetParam().width);
    EXPECT_EQ(record.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, SizeByType,
                         ::testing::Values(SizeCase{0, 48, 24}, SizeCase{1, 36, 24},
                                           SizeCase{2, 48, 27}, SizeCase{3, 72, 36},
                                           SizeCase{4, 54, 36}, SizeCase{5, 64, 36},
                                           SizeCase{6, 0, 0}, SizeCase{0xFF, 0, 0}));

TEST(LogoRecord, ClearKeepsIdsAndEmptiesBytes) {
    LogoRecord record;
    record.originalNetworkId = 4;
    record.logoId = 0x1A;
    record.logoVersion = 2;
    record.logoType = 5;
    record.data = {1, 2, 3};
    record.Clear();
    EXPECT_TRUE(record.data.empty());
    EXPECT_EQ(record.logoType, 0xFF);
    EXPECT_EQ(record.originalNetworkId, 4);
    EXPECT_EQ(record.logoId, 0x1A);
    EXPECT_EQ(record.logoVersion, 2);
}
