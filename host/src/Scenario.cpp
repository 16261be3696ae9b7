#include "insigno/host/Scenario.h"

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "insigno/host/Text.h"
#include "insigno/host/ViewerLogos.h"

namespace insigno::host {
namespace {

struct NamedEvent {
    const char* name;
    std::uint32_t code;
};

constexpr std::array<NamedEvent, 6> EVENT_NAMES{{{"enable", 0},
                                                 {"channel", 2},
                                                 {"service", 3},
                                                 {"driver", 4},
                                                 {"service-update", 5},
                                                 {"preview", 8}}};

// One line, cut into words, with the raw text after each word kept for directives whose last
// argument may hold blanks (a setting's value).
struct Line {
    int number = 0;
    std::string text;
    std::vector<std::string> words;
    std::vector<std::string> rest;  // rest[i]: the text from word i on, trimmed

    [[noreturn]] void Fail(const std::string& what) const {
        throw ScenarioError("line " + std::to_string(number) + ": " + what + " (\"" + text + "\")");
    }
};

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A '#' at the start of a line or after a blank begins a comment; one inside a word (a path) does
// not.
std::string StripComment(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '#' && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t')) return s.substr(0, i);
    }
    return s;
}

Line Split(int number, const std::string& raw) {
    Line line;
    line.number = number;
    line.text = Trim(StripComment(raw));
    std::size_t pos = 0;
    while (true) {
        pos = line.text.find_first_not_of(" \t", pos);
        if (pos == std::string::npos) break;
        const auto end = line.text.find_first_of(" \t", pos);
        line.rest.push_back(Trim(line.text.substr(pos)));
        line.words.push_back(line.text.substr(pos, end == std::string::npos ? end : end - pos));
        pos = end;
    }
    return line;
}

std::int64_t ToInteger(const Line& line, const std::string& word, std::int64_t min,
                       std::int64_t max) {
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(word, &used, 0);
    } catch (const std::exception&) {
        line.Fail("not a number: " + word);
    }
    if (used != word.size()) line.Fail("not a number: " + word);
    if (value < min || value > max) {
        line.Fail(word + " is outside " + std::to_string(min) + " to " + std::to_string(max));
    }
    return value;
}

double ToSeconds(const Line& line, const std::string& word) {
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(word, &used);
    } catch (const std::exception&) {
        line.Fail("not a time: " + word);
    }
    if (used != word.size() || !std::isfinite(value) || value < 0) line.Fail("not a time: " + word);
    return value;
}

std::uint16_t ToId(const Line& line, const std::string& word) {
    return static_cast<std::uint16_t>(ToInteger(line, word, 0, 0xFFFF));
}

int ToInt(const Line& line, const std::string& word) {
    return static_cast<int>(
        ToInteger(line, word, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void Arity(const Line& line, std::size_t from, std::size_t min, std::size_t max) {
    const std::size_t n = line.words.size() - from - 1;
    if (n < min || n > max) line.Fail("wrong number of arguments");
}

// State directives, allowed both before the start and as steps. `w` is the first word of the
// directive (after "at T", if any). Returns nullopt when the word names no state directive.
std::optional<StateChange> ParseStateChange(const Line& line, std::size_t w) {
    const std::string& cmd = line.words[w];
    auto arg = [&](std::size_t i) -> const std::string& { return line.words[w + 1 + i]; };
    const std::string text = line.rest[w];
    if (cmd == "space") {
        Arity(line, w, 1, 1);
        const auto space = ToId(line, arg(0));
        return StateChange{text, [space](ViewerState& s) { s.tuningSpace = space; }};
    }
    if (cmd == "add-channel") {
        Arity(line, w, 3, 4);
        ChannelEntry entry{ToInt(line, arg(0)), ToId(line, arg(1)), ToId(line, arg(2)),
                           line.words.size() > w + 4 ? arg(3) : std::string()};
        return StateChange{text, [entry](ViewerState& s) { s.channels.push_back(entry); }};
    }
    if (cmd == "clear-channels") {
        Arity(line, w, 0, 0);
        return StateChange{text, [](ViewerState& s) { s.channels.clear(); }};
    }
    if (cmd == "current") {
        if (line.words.size() == w + 2 && arg(0) == "none") {
            return StateChange{text, [](ViewerState& s) { s.current.reset(); }};
        }
        Arity(line, w, 1, 3);
        if (line.words.size() == w + 3)
            line.Fail("current takes a number, or a number and two ids");
        CurrentChannel current{ToInt(line, arg(0)), std::nullopt, std::nullopt};
        if (line.words.size() == w + 4) {
            current.networkId = ToId(line, arg(1));
            current.serviceId = ToId(line, arg(2));
        }
        return StateChange{text, [current](ViewerState& s) { s.current = current; }};
    }
    if (cmd == "select") {
        Arity(line, w, 1, 1);
        const auto position = static_cast<std::size_t>(ToInteger(line, arg(0), 0, 0xFFFF));
        return StateChange{text, [position](ViewerState& s) { SelectEntry(s, position); }};
    }
    if (cmd == "watch") {
        Arity(line, w, 1, 1);
        const auto service = ToId(line, arg(0));
        return StateChange{text, [service](ViewerState& s) { WatchService(s, service); }};
    }
    if (cmd == "services") {
        std::vector<std::uint16_t> ids;
        for (std::size_t i = w + 1; i < line.words.size(); ++i)
            ids.push_back(ToId(line, line.words[i]));
        return StateChange{text, [ids](ViewerState& s) { s.services = ids; }};
    }
    if (cmd == "service") {
        Arity(line, w, 1, 1);
        const int index = arg(0) == "none" ? -1 : ToInt(line, arg(0));
        return StateChange{text, [index](ViewerState& s) { s.currentService = index; }};
    }
    if (cmd == "zoom") {
        Arity(line, w, 1, 1);
        const int zoom = static_cast<int>(ToInteger(line, arg(0), 0, 100000));
        return StateChange{text, [zoom](ViewerState& s) { s.zoom = zoom; }};
    }
    if (cmd == "aspect") {
        if (line.words.size() == w + 2 && arg(0) == "none") {
            return StateChange{text, [](ViewerState& s) { s.aspect.reset(); }};
        }
        Arity(line, w, 2, 2);
        const std::pair<int, int> aspect{static_cast<int>(ToInteger(line, arg(0), 0, 100000)),
                                         static_cast<int>(ToInteger(line, arg(1), 0, 100000))};
        return StateChange{text, [aspect](ViewerState& s) { s.aspect = aspect; }};
    }
    if (cmd == "viewer-logo") {
        Arity(line, w, 4, 4);
        ViewerLogo logo{ToId(line, arg(0)),
                        ToId(line, arg(1)),
                        static_cast<std::uint8_t>(ToInteger(line, arg(2), 0, 5)),
                        0,
                        0,
                        {}};
        std::string error;
        if (!ReadPicture(arg(3), logo, error)) line.Fail(error);
        return StateChange{text, [logo](ViewerState& s) { s.viewerLogos.push_back(logo); }};
    }
    if (cmd == "viewer-logos") {
        Arity(line, w, 1, 1);
        if (arg(0) != "on" && arg(0) != "off") line.Fail("viewer-logos takes on or off");
        const bool on = arg(0) == "on";
        return StateChange{text, [on](ViewerState& s) { s.viewerLogosHandled = on; }};
    }
    if (cmd == "video-aspect") {
        if (line.words.size() == w + 2 && arg(0) == "none") {
            return StateChange{text, [](ViewerState& s) { s.videoAspect.reset(); }};
        }
        Arity(line, w, 2, 2);
        const std::pair<int, int> aspect{static_cast<int>(ToInteger(line, arg(0), 0, 100000)),
                                         static_cast<int>(ToInteger(line, arg(1), 0, 100000))};
        return StateChange{text, [aspect](ViewerState& s) { s.videoAspect = aspect; }};
    }
    if (cmd == "fullscreen") {
        Arity(line, w, 1, 1);
        const bool on = ToInteger(line, arg(0), 0, 1) != 0;
        return StateChange{text, [on](ViewerState& s) { s.fullScreen = on; }};
    }
    return std::nullopt;
}

StreamSpec ParseStreamSpec(const Line& line) {
    StreamSpec plan;
    plan.path = line.words[1];
    for (std::size_t i = 2; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        if (word == "loop") {
            plan.loop = true;
        } else if (word == "once") {
            plan.loop = false;
        } else if (word == "fast") {
            plan.bitRate = 0;
        } else if (word == "rate" && i + 1 < line.words.size()) {
            plan.bitRate = static_cast<double>(ToInteger(line, line.words[++i], 1, 1'000'000'000));
        } else {
            line.Fail("stream takes a path, then rate BITS_PER_SECOND or fast, then loop or once");
        }
    }
    return plan;
}

void ParseSetup(const Line& line, Scenario& scenario) {
    const std::string& cmd = line.words[0];
    if (auto change = ParseStateChange(line, 0)) {
        change->apply(scenario.initial);
    } else if (cmd == "module") {
        Arity(line, 0, 1, 1);
        scenario.module = line.words[1];
    } else if (cmd == "workdir") {
        Arity(line, 0, 1, 1);
        scenario.workDir = line.words[1];
    } else if (cmd == "container") {
        Arity(line, 0, 2, 2);
        scenario.containerWidth = static_cast<int>(ToInteger(line, line.words[1], 1, 16384));
        scenario.containerHeight = static_cast<int>(ToInteger(line, line.words[2], 1, 16384));
    } else if (cmd == "no-container") {
        Arity(line, 0, 0, 0);
        scenario.videoContainer = false;
    } else if (cmd == "setting") {
        // "setting KEY VALUE" or "setting KEY = VALUE"; the value is written as it stands.
        const std::size_t value = line.words.size() > 2 && line.words[2] == "=" ? 3 : 2;
        if (line.words.size() <= value) line.Fail("setting takes a key and a value");
        scenario.settings.emplace_back(line.words[1], line.rest[value]);
    } else if (cmd == "logodir") {
        if (line.words.size() < 2) line.Fail("logodir takes a path");
        scenario.settings.emplace_back("LogoDirectory", line.rest[1]);
    } else if (cmd == "settings-file") {
        Arity(line, 0, 1, 1);
        scenario.settingsFile = line.words[1];
    } else if (cmd == "stream-through-finalize") {
        Arity(line, 0, 0, 0);
        scenario.streamThroughFinalize = true;
    } else if (cmd == "stream") {
        if (line.words.size() < 2) line.Fail("stream takes a path");
        scenario.stream = ParseStreamSpec(line);
    } else {
        line.Fail("unknown directive " + cmd + " (steps begin with \"at\")");
    }
}

WaitStep ParseWait(const Line& line, std::size_t w) {
    WaitStep wait;
    const auto& words = line.words;
    if (words.size() < w + 2) line.Fail("wait takes visible, hidden, files N or passes N");
    const std::string& what = words[w + 1];
    std::size_t next = w + 2;
    if (what == "visible") {
        wait.condition = WaitCondition::Visible;
    } else if (what == "hidden") {
        wait.condition = WaitCondition::Hidden;
    } else if (what == "files" || what == "passes") {
        wait.condition = what == "files" ? WaitCondition::Files : WaitCondition::Passes;
        if (words.size() < w + 3) line.Fail("wait " + what + " takes a count");
        wait.count = static_cast<int>(ToInteger(line, words[w + 2], 0, 1'000'000));
        next = w + 3;
    } else {
        line.Fail("wait takes visible, hidden, files N or passes N");
    }
    if (next < words.size()) wait.timeout = ToSeconds(line, words[next++]);
    if (next != words.size()) line.Fail("wrong number of arguments");
    return wait;
}

StepAction ParseAction(const Line& line, std::size_t w) {
    if (auto change = ParseStateChange(line, w)) return *change;
    const std::string& cmd = line.words[w];
    const auto& words = line.words;
    if (cmd == "event" && words.size() == w + 2 && words[w + 1] == "settings")
        return SettingsStep{};
    if (cmd == "event" && words.size() > w + 2 && words[w + 1] == "command")
        return CommandStep{line.rest[w + 2]};
    if (cmd == "dialog") {
        if (words.size() == w + 2 && (words[w + 1] == "ok" || words[w + 1] == "cancel"))
            return DialogStep{words[w + 1], ""};
        if (words.size() < w + 3) line.Fail("dialog takes ok, cancel, or a key and a value");
        return DialogStep{words[w + 1], line.rest[w + 2]};
    }
    if (cmd == "event") {
        Arity(line, w, 1, 3);
        EventStep event;
        if (auto code = EventCode(words[w + 1])) {
            event.code = *code;
        } else {
            event.code = static_cast<std::uint32_t>(ToInteger(line, words[w + 1], 0, 0xFFFFFFFF));
        }
        if (words.size() > w + 2) {
            event.lParam1 = ToInteger(line, words[w + 2], std::numeric_limits<int>::min(),
                                      std::numeric_limits<std::uint32_t>::max());
        }
        if (words.size() > w + 3) {
            event.lParam2 = ToInteger(line, words[w + 3], std::numeric_limits<int>::min(),
                                      std::numeric_limits<std::uint32_t>::max());
        }
        return event;
    }
    if (cmd == "channel") {
        Arity(line, w, 1, 1);
        return ChannelStep{ToInt(line, words[w + 1])};
    }
    if (cmd == "tune") {
        Arity(line, w, 1, 1);
        return TuneStep{static_cast<std::size_t>(ToInteger(line, words[w + 1], 0, 0xFFFF))};
    }
    if (cmd == "switch-service") {
        Arity(line, w, 1, 1);
        return ServiceStep{ToId(line, words[w + 1])};
    }
    if (cmd == "snapshot") {
        Arity(line, w, 1, 1);
        return SnapshotStep{words[w + 1]};
    }
    if (cmd == "wait") return ParseWait(line, w);
    if (cmd == "stream") {
        Arity(line, w, 1, 1);
        if (words[w + 1] == "pause") return StreamStep{StreamOp::Pause};
        if (words[w + 1] == "resume") return StreamStep{StreamOp::Resume};
        if (words[w + 1] == "restart") return StreamStep{StreamOp::Restart};
        line.Fail("a stream step is pause, resume or restart");
    }
    if (cmd == "logo-files") {
        Arity(line, w, 0, 0);
        return LogoFilesStep{};
    }
    if (cmd == "cpu") {
        Arity(line, w, 1, 1);
        return CpuStep{words[w + 1]};
    }
    if (cmd == "note") {
        if (words.size() < w + 2) line.Fail("note takes a text");
        return NoteStep{line.rest[w + 1]};
    }
    if (cmd == "end") {
        Arity(line, w, 0, 0);
        return EndStep{};
    }
    line.Fail("unknown step " + cmd);
}

Step ParseStep(const Line& line) {
    if (line.words.size() < 3) line.Fail("a step is \"at TIME DIRECTIVE ...\"");
    Step step;
    step.line = line.number;
    std::string time = line.words[1];
    if (!time.empty() && time[0] == '+') {
        step.relative = true;
        time.erase(0, 1);
    }
    step.at = ToSeconds(line, time);
    step.text = line.rest[2];
    step.action = ParseAction(line, 2);
    return step;
}

}  // namespace

Scenario ParseScenario(std::istream& in) {
    Scenario scenario;
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        const Line line = Split(++number, raw);
        if (line.words.empty()) continue;
        if (line.words[0] == "at") {
            scenario.steps.push_back(ParseStep(line));
        } else {
            ParseSetup(line, scenario);
        }
    }
    return scenario;
}

Scenario LoadScenario(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) throw ScenarioError("cannot read the scenario " + Utf8Path(path));
    try {
        return ParseScenario(in);
    } catch (const ScenarioError& e) {
        throw ScenarioError(Utf8Path(path) + ": " + e.what());
    }
}

std::optional<std::uint32_t> EventCode(const std::string& name) {
    for (const auto& event : EVENT_NAMES) {
        if (name == event.name) return event.code;
    }
    return std::nullopt;
}

std::string EventName(std::uint32_t code) {
    for (const auto& event : EVENT_NAMES) {
        if (code == event.code) return event.name;
    }
    return std::to_string(code);
}

}  // namespace insigno::host
