#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TVTestPlugin.h"

using namespace TVTest;

namespace {

// Records which slot ran with which arguments, and answers true from every slot.
class RecordingHandler : public CTVTestEventHandler {
public:
    std::vector<std::string> calls;

    bool Record(const std::string& call) {
        calls.push_back(call);
        return true;
    }
    static std::string Flag(bool flag) { return flag ? "true" : "false"; }
    static std::string Value(LPARAM value) { return std::to_string(static_cast<long long>(value)); }

    bool OnPluginEnable(bool f) override { return Record("0(" + Flag(f) + ")"); }
    bool OnPluginSettings(LPARAM v) override { return Record("1(" + Value(v) + ")"); }
    bool OnChannelChange() override { return Record("2()"); }
    bool OnServiceChange() override { return Record("3()"); }
    bool OnDriverChange() override { return Record("4()"); }
    bool OnServiceUpdate() override { return Record("5()"); }
    bool OnUnusedEvent6(LPARAM v) override { return Record("6(" + Value(v) + ")"); }
    bool OnUnusedEvent7(bool f) override { return Record("7(" + Flag(f) + ")"); }
    bool OnPreviewChange(bool f) override { return Record("8(" + Flag(f) + ")"); }
    bool OnUnusedEvent9(LPARAM v, bool f) override {
        return Record("9(" + Value(v) + "," + Flag(f) + ")");
    }
    bool OnUnusedEvent10(LPARAM v) override { return Record("10(" + Value(v) + ")"); }
    bool OnUnusedEvent11() override { return Record("11()"); }
    bool OnUnusedEvent12(bool f) override { return Record("12(" + Flag(f) + ")"); }
    bool OnCommand(LPARAM v) override { return Record("13(" + Value(v) + ")"); }
    bool OnUnusedEvent14(LPARAM v) override { return Record("14(" + Value(v) + ")"); }
    bool OnUnusedEvent15() override { return Record("15()"); }
    bool OnUnusedEvent16() override { return Record("16()"); }
    bool OnUnusedEvent17(LPARAM v) override { return Record("17(" + Value(v) + ")"); }
};

struct DispatchCase {
    UINT event;
    LPARAM lParam1;
    LPARAM lParam2;
    const char* expected;
};

class DispatchEventTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchEventTest, ReachesTheSlotOfItsCodeWithItsArguments) {
    const DispatchCase& c = GetParam();
    RecordingHandler handler;
    int client = 0;
    EXPECT_EQ(handler.DispatchEvent(c.event, c.lParam1, c.lParam2, &client), 1);
    EXPECT_EQ(handler.calls, std::vector<std::string>{c.expected});
    EXPECT_EQ(handler.clientData, &client);
}

INSTANTIATE_TEST_SUITE_P(
    AllCodes, DispatchEventTest,
    ::testing::Values(DispatchCase{0, 2, 0, "0(true)"}, DispatchCase{0, 0, 1, "0(false)"},
                      DispatchCase{1, -5, 7, "1(-5)"}, DispatchCase{2, 1, 1, "2()"},
                      DispatchCase{3, 1, 1, "3()"}, DispatchCase{4, 1, 1, "4()"},
                      DispatchCase{5, 1, 1, "5()"}, DispatchCase{6, 42, 1, "6(42)"},
                      DispatchCase{7, 1, 0, "7(true)"}, DispatchCase{7, 0, 1, "7(false)"},
                      DispatchCase{8, 256, 0, "8(true)"}, DispatchCase{8, 0, 0, "8(false)"},
                      DispatchCase{9, 3, 0, "9(3,false)"}, DispatchCase{9, 3, 9, "9(3,true)"},
                      DispatchCase{10, 10, 0, "10(10)"}, DispatchCase{11, 1, 1, "11()"},
                      DispatchCase{12, 1, 0, "12(true)"}, DispatchCase{12, 0, 5, "12(false)"},
                      DispatchCase{13, 13, 0, "13(13)"}, DispatchCase{14, 14, 0, "14(14)"},
                      DispatchCase{15, 1, 1, "15()"}, DispatchCase{16, 1, 1, "16()"},
                      DispatchCase{17, 17, 0, "17(17)"}));

class DispatchOutOfRangeTest : public ::testing::TestWithParam<UINT> {};

TEST_P(DispatchOutOfRangeTest, AnswersZeroAndCallsNothing) {
    RecordingHandler handler;
    int client = 0;
    EXPECT_EQ(handler.DispatchEvent(GetParam(), 1, 1, &client), 0);
    EXPECT_TRUE(handler.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(CodesAbove17, DispatchOutOfRangeTest,
                         ::testing::Values(18u, 19u, 100u, 0x7FFFFFFFu, 0xFFFFFFFFu));

class BaseHandlerTest : public ::testing::TestWithParam<UINT> {};

// The base slots do nothing and answer 0, so unhandled events report "not handled".
TEST_P(BaseHandlerTest, AnswersZero) {
    CTVTestEventHandler handler;
    EXPECT_EQ(handler.DispatchEvent(GetParam(), 1, 1, nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(AllCodes, BaseHandlerTest, ::testing::Range(0u, 18u));

}  // namespace
