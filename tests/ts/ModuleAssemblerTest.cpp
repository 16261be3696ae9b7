// Module assembly against the carousel's pitfalls: one table of block and announcement sequences.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModuleAssembler.h"

namespace {

constexpr uint16_t kBlockSize = 4;
constexpr uint32_t kSize = 10;  // blocks of 4, 4 and 2 bytes

std::vector<uint8_t> Content(uint8_t version, uint32_t size = kSize) {
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + version * 31);
    return bytes;
}

// One event: an announcement of module 1 (or of none), or one of its blocks.
struct Step {
    enum Kind { Announce, AnnounceNone, Block, HandAgain } kind = Block;
    uint16_t block = 0;
    uint8_t version = 1;
    uint32_t downloadId = 1;
    uint16_t carrier = 0x0920;
    int lengthChange = 0;   // a block cut short or too long
    uint32_t size = kSize;  // what an announcement says
    uint16_t blockSize = kBlockSize;
};

Step Dii(uint8_t version = 1) {
    return {Step::Announce, 0, version};
}
Step B(uint16_t block, uint8_t version = 1) {
    return {Step::Block, block, version};
}
Step OfDownload(Step step, uint32_t downloadId) {
    step.downloadId = downloadId;
    return step;
}
Step OnCarrier(Step step, uint16_t carrier) {
    step.carrier = carrier;
    return step;
}

struct Case {
    std::string name;
    std::vector<Step> steps;
    // The versions of the modules completed, in order; each must hold that version's bytes.
    std::vector<uint8_t> completed;
};

class Pitfall : public testing::TestWithParam<Case> {};

TEST_P(Pitfall, CompletesExactlyTheWholeModules) {
    ModuleAssembler assembler;
    std::vector<CompletedModule> done;
    for (const Step& step : GetParam().steps) {
        if (step.kind == Step::Block) {
            const std::vector<uint8_t> bytes = Content(step.version);
            const size_t offset = size_t{step.block} * kBlockSize;
            const size_t length =
                offset < bytes.size() ? std::min<size_t>(kBlockSize, bytes.size() - offset) : 1;
            std::vector<uint8_t> data(bytes.begin() + std::min(offset, bytes.size() - 1),
                                      bytes.end());
            data.resize(length + step.lengthChange);
            DownloadDataBlock block{step.downloadId, 1,           step.version,
                                    step.block,      data.data(), data.size()};
            if (auto module = assembler.Take(step.carrier, block)) done.push_back(*module);
            continue;
        }
        if (step.kind == Step::HandAgain) {
            assembler.HandAgain();
            continue;
        }
        DownloadInfo info{0, step.downloadId, step.blockSize, {}};
        info.modules.push_back({1, step.size, step.version, "LOGO-05", false});
        const std::vector<DiiModule> wanted =
            step.kind == Step::Announce ? info.modules : std::vector<DiiModule>{};
        for (CompletedModule& module : assembler.Announce(step.carrier, info, wanted)) {
            done.push_back(std::move(module));
        }
    }
    std::vector<uint8_t> versions;
    for (const CompletedModule& module : done) {
        versions.push_back(module.moduleVersion);
        EXPECT_EQ(module.bytes, Content(module.moduleVersion))
            << "version " << +module.moduleVersion;
    }
    EXPECT_EQ(versions, GetParam().completed);
    EXPECT_LE(assembler.BytesInFlight(), ModuleAssembler::kMaxBytesInFlight);
}

Step Cut(Step step, int change) {
    step.lengthChange = change;
    return step;
}
Step Sized(Step step, uint32_t size, uint16_t blockSize = kBlockSize) {
    step.size = size;
    step.blockSize = blockSize;
    return step;
}

INSTANTIATE_TEST_SUITE_P(
    Carousel, Pitfall,
    testing::Values(
        Case{"InOrder", {Dii(), B(0), B(1), B(2)}, {1}},
        Case{"OutOfOrder", {Dii(), B(2), B(0), B(1)}, {1}},
        Case{"RepeatedBlockNeverCompletes", {Dii(), B(0), B(0), B(1), B(1)}, {}},
        Case{"CompletedOnceWhateverRepeats", {Dii(), B(0), B(1), B(2), B(2), Dii(), B(0)}, {1}},
        Case{"HandedAgainFromTheNextDii",
             {Dii(), B(0), B(1), B(2), {Step::HandAgain}, B(0), Dii(), B(2), B(1), B(0)},
             {1, 1}},
        Case{"BlocksBeforeTheirDii", {B(0), B(1), Dii(), B(2)}, {1}},
        Case{"AllBlocksBeforeTheirDii", {B(2), B(0), B(1), Dii()}, {1}},
        Case{"RepeatedDiiKeepsProgress", {Dii(), B(0), Dii(), B(1), Dii(), B(2)}, {1}},
        Case{"NewVersionInDiiRestarts", {Dii(1), B(0, 1), B(1, 1), Dii(2), B(2, 2)}, {}},
        Case{"NewVersionInDiiCompletesFromItsOwnBlocks",
             {Dii(1), B(0, 1), B(1, 1), Dii(2), B(2, 2), B(0, 2), B(1, 2)},
             {2}},
        Case{"BlockOfAnotherVersionRestarts",
             {Dii(1), B(0, 1), B(1, 1), B(2, 2), Dii(1), B(2, 1)},
             {}},
        Case{"BlockOfANewerVersionWaitsForItsDii",
             {Dii(1), B(0, 1), B(1, 2), B(2, 2), Dii(2), B(0, 2)},
             {2}},
        Case{"DownloadsDoNotMix",
             {Dii(), OfDownload(Dii(), 2), B(0), OfDownload(B(1), 2), B(2), OfDownload(B(0), 2)},
             {}},
        Case{"CarriersDoNotMix",
             {Dii(), OnCarrier(Dii(), 0x0921), B(0), OnCarrier(B(1), 0x0921), B(2)},
             {}},
        Case{"ShortBlockRefused", {Dii(), B(0), Cut(B(1), -1), B(2)}, {}},
        Case{"LongBlockRefused", {Dii(), B(0), B(1), Cut(B(2), 1)}, {}},
        Case{"BlockPastTheModuleRefused", {Dii(), B(0), B(1), B(3)}, {}},
        Case{"ModuleNoLongerAnnouncedIsDropped",
             {Dii(), B(0), {Step::AnnounceNone}, B(1), B(2)},
             {}},
        Case{"BlockSizeZeroRefused", {Sized(Dii(), kSize, 0), B(0), B(1), B(2)}, {}},
        Case{"BlockSizePastASectionRefused",
             {Sized(Dii(), kSize, ModuleAssembler::kMaxBlockSize + 1), B(0), B(1), B(2)},
             {}},
        Case{"ModulePastOneMiBRefused",
             {Sized(Dii(), ModuleAssembler::kMaxModuleSize + 1), B(0), B(1), B(2)},
             {}},
        Case{"EmptyModuleRefused", {Sized(Dii(), 0), B(0)}, {}},
        Case{"ChangedSizeRestarts", {Dii(), B(0), B(1), Sized(Dii(), kSize + 1), B(2)}, {}}),
    [](const testing::TestParamInfo<Case>& param) { return param.param.name; });

// Hostile announcements and floods of early blocks never hold more than the budget.
TEST(ModuleAssemblerBudget, InFlightBytesStayWithinTheBound) {
    ModuleAssembler assembler;
    const uint32_t oneMiB = ModuleAssembler::kMaxModuleSize;
    for (uint32_t download = 0; download < 20; ++download) {
        DownloadInfo info{0, download, 4066, {}};
        for (uint16_t id = 0; id < 3; ++id)
            info.modules.push_back({id, oneMiB, 1, "LOGO-05", false});
        assembler.Announce(0x0920, info, info.modules);
        ASSERT_LE(assembler.BytesInFlight(), ModuleAssembler::kMaxBytesInFlight);
    }
    const std::vector<uint8_t> data(4066, 0xAB);
    for (uint16_t block = 0; block < 4000; ++block) {
        assembler.Take(0x0921, {7, 1, 1, block, data.data(), data.size()});
        ASSERT_LE(assembler.BytesInFlight(), ModuleAssembler::kMaxBytesInFlight);
    }
    assembler.Clear();
    EXPECT_EQ(assembler.BytesInFlight(), 0u);
}

// Blocks that no announcement takes in do not hold the budget for good.
TEST(ModuleAssemblerBudget, UnannouncedBlocksAreDroppedAfterABound) {
    ModuleAssembler assembler;
    const std::vector<uint8_t> data(100, 0xAB);
    assembler.Take(0x0921, {7, 1, 1, 0, data.data(), data.size()});
    ASSERT_GT(assembler.BytesInFlight(), 0u);
    assembler.Announce(0x0920, DownloadInfo{0, 1, 100, {}}, {});
    for (uint64_t i = 0; i <= ModuleAssembler::kMaxPendingAge + 1024; ++i) {
        assembler.Take(0x0920, {1, 9, 1, 0, data.data(), data.size()});  // a module not wanted
    }
    EXPECT_EQ(assembler.BytesInFlight(), 0u);
}

}  // namespace
