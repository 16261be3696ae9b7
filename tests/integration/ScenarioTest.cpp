#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <tuple>

#include "insigno/host/Report.h"
#include "insigno/host/Scenario.h"

namespace insigno::host {
namespace {

Scenario Parse(const std::string& text) {
    std::istringstream in(text);
    return ParseScenario(in);
}

TEST(Scenario, SetupAndStepsAsWritten) {
    const Scenario s = Parse(R"(# a run
module build/Insigno.tvtp
workdir out#1          # the '#' inside a word is no comment
container 960 540
setting LogoScale = 150 ; kept raw for the plug-in's reader
logodir "../My Logos"
stream sample.ts rate 4000000 once
space 1
add-channel 101 0x7FE0 0x0400 Insigno-1
add-channel 102 0x7FE0 0x0402
current 101
services 0x0400 0x0401
service 1
zoom 150
aspect 4 3
fullscreen 1

at 0.5 event enable 1
at +0.25 event 17 5 -1
at 2 channel 102
at +1 wait passes 2 15
at 3 snapshot shot.png
at 3 aspect none
at 4 note the end  is near
at 4 end
)");
    ASSERT_TRUE(s.module && s.workDir);
    EXPECT_EQ(*s.module, "build/Insigno.tvtp");
    EXPECT_EQ(*s.workDir, "out#1");
    EXPECT_EQ(s.containerWidth, 960);
    EXPECT_EQ(s.containerHeight, 540);
    ASSERT_EQ(s.settings.size(), 2u);
    EXPECT_EQ(s.settings[0], (std::pair<std::string, std::string>{
                                 "LogoScale", "150 ; kept raw for the plug-in's reader"}));
    EXPECT_EQ(s.settings[1],
              (std::pair<std::string, std::string>{"LogoDirectory", "\"../My Logos\""}));
    ASSERT_TRUE(s.stream);
    EXPECT_EQ(s.stream->path, "sample.ts");
    EXPECT_EQ(s.stream->bitRate, 4000000);
    EXPECT_FALSE(s.stream->loop);

    const ViewerState& v = s.initial;
    EXPECT_EQ(v.tuningSpace, 1);
    ASSERT_EQ(v.channels.size(), 2u);
    EXPECT_EQ(v.channels[0].number, 101);
    EXPECT_EQ(v.channels[0].networkId, 0x7FE0);
    EXPECT_EQ(v.channels[0].serviceId, 0x0400);
    EXPECT_EQ(v.channels[0].name, "Insigno-1");
    EXPECT_EQ(v.channels[1].serviceId, 0x0402);
    ASSERT_TRUE(v.current);
    EXPECT_EQ(v.current->number, 101);
    EXPECT_FALSE(v.current->networkId);
    EXPECT_EQ(v.services, (std::vector<std::uint16_t>{0x0400, 0x0401}));
    EXPECT_EQ(v.currentService, 1);
    EXPECT_EQ(v.zoom, 150);
    EXPECT_EQ(v.aspect, (std::pair<int, int>{4, 3}));
    EXPECT_TRUE(v.fullScreen);

    ASSERT_EQ(s.steps.size(), 8u);
    const auto& enable = std::get<EventStep>(s.steps[0].action);
    EXPECT_EQ(enable.code, 0u);
    EXPECT_EQ(enable.lParam1, 1);
    EXPECT_EQ(s.steps[0].at, 0.5);
    EXPECT_FALSE(s.steps[0].relative);
    const auto& other = std::get<EventStep>(s.steps[1].action);
    EXPECT_EQ(other.code, 17u);
    EXPECT_EQ(other.lParam1, 5);
    EXPECT_EQ(other.lParam2, -1);
    EXPECT_TRUE(s.steps[1].relative);
    EXPECT_EQ(s.steps[1].at, 0.25);
    EXPECT_EQ(std::get<ChannelStep>(s.steps[2].action).number, 102);
    const auto& wait = std::get<WaitStep>(s.steps[3].action);
    EXPECT_EQ(wait.condition, WaitCondition::Passes);
    EXPECT_EQ(wait.count, 2);
    EXPECT_EQ(wait.timeout, 15);
    EXPECT_EQ(std::get<SnapshotStep>(s.steps[4].action).path, "shot.png");
    EXPECT_EQ(s.steps[4].line, 22);

    ViewerState later = v;
    std::get<StateChange>(s.steps[5].action).apply(later);
    EXPECT_FALSE(later.aspect);
    EXPECT_EQ(std::get<NoteStep>(s.steps[6].action).text, "the end  is near");
    EXPECT_TRUE(std::holds_alternative<EndStep>(s.steps[7].action));
}

TEST(Scenario, CurrentChannelWithItsOwnIdsOrNone) {
    Scenario s = Parse("current 7 0x10 0x20\n");
    ASSERT_TRUE(s.initial.current);
    EXPECT_EQ(s.initial.current->networkId, 0x10);
    EXPECT_EQ(s.initial.current->serviceId, 0x20);
    s = Parse("current 7\ncurrent none\nservice none\n");
    EXPECT_FALSE(s.initial.current);
    EXPECT_EQ(s.initial.currentService, -1);
}

// Picking a list entry or a service, as setup: what messages 4 and 6 then answer.
TEST(Scenario, SelectingAnEntryOrAServiceSetsWhatTheViewerAnswers) {
    struct Case {
        const char* directives;
        std::optional<CurrentChannel> current;
        std::vector<std::uint16_t> services;
        int currentService;
    };
    const std::string list =
        "add-channel 1 4 0x0101\nadd-channel 1 4 0x0102\nadd-channel 2 0 0\nservices 0x0101\n";
    for (const Case& c :
         std::vector<Case>{{"select 1", CurrentChannel{1, 4, 0x0102}, {0x0101, 0x0102}, 1},
                           {"select 0", CurrentChannel{1, 4, 0x0101}, {0x0101}, 0},
                           {"select 2", CurrentChannel{2, 0, 0}, {0x0101}, 0},  // names no service
                           {"select 3", std::nullopt, {0x0101}, 0},
                           {"watch 0x0103", std::nullopt, {0x0101, 0x0103}, 1}}) {
        const Scenario s = Parse(list + c.directives + "\n");
        const ViewerState& v = s.initial;
        EXPECT_EQ(v.current.has_value(), c.current.has_value()) << c.directives;
        if (v.current && c.current) {
            EXPECT_EQ(std::tie(v.current->number, v.current->networkId, v.current->serviceId),
                      std::tie(c.current->number, c.current->networkId, c.current->serviceId))
                << c.directives;
        }
        EXPECT_EQ(v.services, c.services) << c.directives;
        EXPECT_EQ(v.currentService, c.currentService) << c.directives;
    }
    const Scenario steps = Parse("at 1 tune 2\nat 2 switch-service 0x0102\n");
    EXPECT_EQ(std::get<TuneStep>(steps.steps[0].action).position, 2u);
    EXPECT_EQ(std::get<ServiceStep>(steps.steps[1].action).serviceId, 0x0102);
}

TEST(Scenario, EventNamesAndCodes) {
    for (const auto& [name, code] :
         std::vector<std::pair<std::string, std::uint32_t>>{{"enable", 0},
                                                            {"channel", 2},
                                                            {"service", 3},
                                                            {"driver", 4},
                                                            {"service-update", 5},
                                                            {"preview", 8}}) {
        EXPECT_EQ(EventCode(name), code) << name;
        EXPECT_EQ(EventName(code), name);
    }
    EXPECT_FALSE(EventCode("zap"));
    EXPECT_EQ(EventName(18), "18");
}

struct BadLine {
    const char* text;
    const char* says;
};

class ScenarioRejects : public testing::TestWithParam<BadLine> {};

TEST_P(ScenarioRejects, NamingTheLine) {
    const std::string text = std::string("space 0\n") + GetParam().text + "\n";
    try {
        Parse(text);
        FAIL() << "accepted: " << GetParam().text;
    } catch (const ScenarioError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("line 2:"), std::string::npos) << message;
        EXPECT_NE(message.find(GetParam().says), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScenarioRejects,
    testing::Values(
        BadLine{"frobnicate 1", "unknown directive"},
        BadLine{"event enable 1", "unknown directive"},  // a step needs "at"
        BadLine{"at 1 frobnicate", "unknown step"},
        BadLine{"at 1 module x", "unknown step"},  // setup only
        BadLine{"at soon event enable", "not a time"}, BadLine{"at -1 event enable", "not a time"},
        BadLine{"at 1", "a step is"}, BadLine{"zoom big", "not a number"},
        BadLine{"zoom 12x", "not a number"}, BadLine{"add-channel 1 0x10000 1", "outside"},
        BadLine{"add-channel 1 2", "wrong number of arguments"},
        BadLine{"current 1 2", "a number and two ids"}, BadLine{"fullscreen 2", "outside"},
        BadLine{"container 0 10", "outside"}, BadLine{"stream a.ts rate", "stream takes"},
        BadLine{"stream a.ts sometimes", "stream takes"},
        BadLine{"at 1 wait forever", "wait takes"}, BadLine{"at 1 wait files", "takes a count"},
        BadLine{"at 1 wait visible 3 4", "wrong number of arguments"},
        BadLine{"at 1 stream rewind", "pause, resume or restart"},
        BadLine{"at 1 event enable 1 2 3", "wrong number of arguments"},
        BadLine{"at 1 event 4294967296", "outside"},
        BadLine{"setting LogoScale", "a key and a value"},
        BadLine{"setting LogoScale =", "a key and a value"}));

}  // namespace
}  // namespace insigno::host

namespace insigno::host {
namespace {

class JsonText : public testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(JsonText, IsEscapedAsJsonWants) {
    EXPECT_EQ(JsonString(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, JsonText,
    testing::Values(std::pair<std::string, std::string>{"plain", R"("plain")"},
                    std::pair<std::string, std::string>{"a \"quote\"", R"("a \"quote\"")"},
                    std::pair<std::string, std::string>{R"(C:\Logo)", R"("C:\\Logo")"},
                    std::pair<std::string, std::string>{"two\nlines\t", R"("two\nlines\t")"},
                    std::pair<std::string, std::string>{std::string("\x01\x1f", 2),
                                                        R"("\u0001\u001f")"},
                    std::pair<std::string, std::string>{"初期化", "\"初期化\""}));

TEST(Report, LinesCarryTimeAndWhatFirst) {
    std::ostringstream json, timeline;
    Report report(&json, &timeline);
    report.Emit(ReportEntry("event")
                    .Add("code", 2)
                    .Add("ok", true)
                    .Add("files", std::vector<std::string>{"a", "b"})
                    .Text("event channel"));
    report.Emit(ReportEntry("bare"));
    const auto lines = report.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 5), R"({"t":)");
    EXPECT_NE(lines[0].find(R"(,"what":"event","code":2,"ok":true,"files":["a","b"]})"),
              std::string::npos)
        << lines[0];
    EXPECT_EQ(json.str(), lines[0] + "\n" + lines[1] + "\n");
    EXPECT_NE(timeline.str().find("event channel\n"), std::string::npos);
    EXPECT_NE(timeline.str().find("bare \n"), std::string::npos);
}

}  // namespace
}  // namespace insigno::host
