// The viewer's rules as the stand-in enforces them: host messages only on the viewer's thread, no
// WM_QUIT to it, callbacks removed before teardown while the stream still runs.

#include <sstream>

#include "ModuleFixture.h"
#include "insigno/host/ScenarioRunner.h"

namespace insigno::it {
namespace {

bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

int RunText(const std::string& text, HostOptions options, std::unique_ptr<Host>& host,
            host::Report& report) {
    std::istringstream in(text);
    const host::Scenario scenario = host::ParseScenario(in);
    HostOptions fromText = host::OptionsFor(scenario);
    fromText.module = options.module;
    fromText.workDir = options.workDir;
    fromText.settings.insert(fromText.settings.end(), options.settings.begin(),
                             options.settings.end());
    fromText.initial = options.initial;
    fromText.stream = options.stream;
    host = std::make_unique<Host>(fromText, report);
    return host::RunScenario(scenario, *host, report);
}

TEST_F(ModuleTest, ABrokenRuleIsReportedAndFailsTheRun) {
    breaksRules = true;
    auto options = Options();
    options.module = INSIGNO_RULE_BREAKER;
    EXPECT_EQ(RunText("at 0 end\n", options, host, report), 1);
    EXPECT_TRUE(Has(report.Lines(), R"("what":"off-thread","message":18)"));
    EXPECT_TRUE(Has(report.Lines(), R"("what":"quit")"));
}

TEST_F(ModuleTest, FinalisingWhileTheStreamRunsRemovesBothCallbacksFirst) {
    SeedLogo(Record(NETWORK, {0x0010, 0x001, 1, 5, SplitLogo(5, 1, 4)}));
    auto options = Options();
    PlayStream(options, BuildStream(NETWORK, {{SERVICE_A, 0x001, 1, 0x0010}}, {}));
    const int status = RunText(
        "stream-through-finalize\n"
        "at 0 event enable 1\n"
        "at +0 event preview 1\n"
        "at +0 channel 101\n"
        "at +0 wait visible 120\n"
        "at +0 wait passes 2 120\n",
        options, host, report);
    EXPECT_EQ(status, 0);
    const auto lines = report.Lines();
    EXPECT_TRUE(Has(lines, R"("event_callback_removed":true,"stream_callback_removed":true)"));
    EXPECT_TRUE(Has(lines, R"("when":"after TVTFinalize")"));
    EXPECT_TRUE(Has(lines, R"("what":"late_packet")"));
    EXPECT_EQ(host->LateMessages(), 0);
}

}  // namespace
}  // namespace insigno::it
