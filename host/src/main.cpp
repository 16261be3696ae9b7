// insigno-host: the viewer stand-in on the command line. Runs one scenario against a plug-in
// module and reports what happened.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "insigno/host/Host.h"
#include "insigno/host/ScenarioRunner.h"
#include "insigno/host/Soak.h"
#include "insigno/host/Text.h"

#ifdef _WIN32
#include <shellapi.h>
#endif

namespace {

const char* const USAGE =
    "usage: insigno-host [--module PATH] [--workdir DIR] [--stream PATH] [--report FILE]\n"
    "                    [--timeline] [--soak MINUTES [--reload SECONDS]] SCENARIO\n"
    "  --module PATH   the plug-in module (default: the scenario's, else Insigno.tvtp beside\n"
    "                  insigno-host)\n"
    "  --workdir DIR   the module is copied here; its settings file and logo directory are\n"
    "                  beside the copy (default: the scenario's, else ./insigno-host-run)\n"
    "  --stream PATH   the transport stream to play (the scenario's rate and looping stay)\n"
    "  --report FILE   write the JSON lines to FILE instead of standard output\n"
    "  --timeline      print a readable timeline on standard output\n"
    "  --soak MINUTES  instead of the scenario's steps, soak the module for MINUTES among the\n"
    "                  scenario's channels, printing counts and process figures every minute\n"
    "  --reload SECONDS  during a soak, finalise, unload, load and initialise the module every\n"
    "                  SECONDS (default 10); the figures are taken between cycles, so at most\n"
    "                  60 gives one a minute\n";

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(buffer).parent_path();
#else
    return std::filesystem::canonical("/proc/self/exe").parent_path();
#endif
}

// The command line as UTF-8, whatever characters its paths hold: on Windows from the wide
// command line (the narrow one has only what the code page can hold), elsewhere as it is.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide) {
        std::vector<std::string> arguments;
        for (int i = 0; i < count; ++i) arguments.push_back(insigno::host::Utf8FromWide(wide[i]));
        LocalFree(wide);
        return arguments;
    }
#endif
    return {argv, argv + argc};
}

std::filesystem::path FromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::filesystem::path Against(const std::filesystem::path& base, const std::filesystem::path& p) {
    return p.is_absolute() ? p : base / p;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace insigno::host;
    const std::vector<std::string> args = Arguments(argc, argv);
    const int count = static_cast<int>(args.size());
    std::optional<std::filesystem::path> module, workDir, stream, reportFile, scenarioFile;
    bool timeline = false;
    std::optional<double> soakMinutes;
    double reloadSeconds = SoakOptions{}.reloadSeconds;
    for (int i = 1; i < count; ++i) {
        const std::string& arg = args[static_cast<std::size_t>(i)];
        auto value = [&]() -> std::filesystem::path {
            if (i + 1 >= count) {
                std::cerr << "insigno-host: " << arg << " needs a value\n" << USAGE;
                std::exit(2);
            }
            return std::filesystem::absolute(FromUtf8(args[static_cast<std::size_t>(++i)]));
        };
        if (arg == "--module") {
            module = value();
        } else if (arg == "--workdir") {
            workDir = value();
        } else if (arg == "--stream") {
            stream = value();
        } else if (arg == "--report") {
            reportFile = value();
        } else if (arg == "--soak" && i + 1 < count) {
            soakMinutes = std::atof(args[static_cast<std::size_t>(++i)].c_str());
            if (!(*soakMinutes > 0)) {
                std::cerr << "insigno-host: --soak needs a number of minutes\n" << USAGE;
                return 2;
            }
        } else if (arg == "--reload" && i + 1 < count) {
            reloadSeconds = std::atof(args[static_cast<std::size_t>(++i)].c_str());
            if (!(reloadSeconds > 0)) {
                std::cerr << "insigno-host: --reload needs a number of seconds\n" << USAGE;
                return 2;
            }
        } else if (arg == "--timeline") {
            timeline = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << USAGE;
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && !scenarioFile) {
            scenarioFile = std::filesystem::absolute(FromUtf8(arg));
        } else {
            std::cerr << "insigno-host: unexpected argument " << arg << "\n" << USAGE;
            return 2;
        }
    }
    if (!scenarioFile) {
        std::cerr << USAGE;
        return 2;
    }

    try {
        Scenario scenario = LoadScenario(*scenarioFile);
        // Paths in a scenario are relative to its own folder; those on the command line to the
        // current one (made absolute above).
        const auto base = scenarioFile->parent_path();
        scenario.module = module            ? *module
                          : scenario.module ? Against(base, *scenario.module)
                                            : ExecutableDirectory() / "Insigno.tvtp";
        scenario.workDir = workDir            ? *workDir
                           : scenario.workDir ? Against(base, *scenario.workDir)
                                              : std::filesystem::absolute("insigno-host-run");
        if (scenario.settingsFile) scenario.settingsFile = Against(base, *scenario.settingsFile);
        if (scenario.stream) scenario.stream->path = Against(base, scenario.stream->path);
        if (stream) {
            if (!scenario.stream) scenario.stream = StreamSpec{};
            scenario.stream->path = *stream;
        }

        std::ofstream reportOut;
        if (reportFile) {
            reportOut.open(*reportFile);
            if (!reportOut) {
                std::cerr << "insigno-host: cannot write " << Utf8Path(*reportFile) << "\n";
                return 2;
            }
        }
        std::ostream* json =
            reportFile ? &reportOut : (timeline || soakMinutes ? nullptr : &std::cout);
        Report report(json, timeline ? &std::cout : nullptr);
        Host host(OptionsFor(scenario), report);
        if (soakMinutes) {
            SoakOptions soak;
            soak.minutes = *soakMinutes;
            soak.reloadSeconds = reloadSeconds;
            return RunSoak(scenario, soak, host, report, std::cout);
        }
        return RunScenario(scenario, host, report);
    } catch (const std::exception& e) {
        std::cerr << "insigno-host: " << e.what() << "\n";
        return 2;
    }
}
