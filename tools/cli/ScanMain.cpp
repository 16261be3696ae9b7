// insigno-scan: shows the logo references (SDT) and logos (CDT) in transport-stream recordings,
// one JSON line per find, and optionally extracts the logos as viewable PNGs.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Scanner.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitUnreadable = 2;

constexpr char kUsage[] =
    R"(usage: insigno-scan [--png DIR] FILE...

Reads transport-stream recordings (188-byte packets, 192-byte timestamped or 204-byte packets;
the size is detected and garbage between packets is skipped), runs the plug-in's SDT (PID 0x0011)
and CDT (PID 0x0029) parsers over them and prints one JSON line per result on standard output:
  {"table":"sdt","packet":K,"onid":N,"services":[{"service_id":N,"type":N,"logo_id":N,
   "logo_version":N,"download_data_id":N},...]}
  {"table":"cdt","packet":K,"onid":N,"download_data_id":N,"logo_type":N,"logo_id":N,
   "logo_version":N,"width":N,"height":N,"size":N,"sha256":"..."}
K is the 0-based index of the packet in its file. FILE "-" reads standard input.

  --png DIR   also write each distinct logo once to DIR as NNNN_LLL_VVV_TT.png, completed with
              the fixed broadcast palette so that any image viewer shows it
  --help      show this text

A summary line goes to standard error. Exit status: 0 when every file was read, 2 when a file
could not be read (the others are still scanned), 1 for a usage error or a PNG not written.
)";

struct Options {
    std::optional<std::filesystem::path> pngDirectory;
    std::vector<std::string> files;
};

// Returns the exit status to stop with, or nothing to go on.
std::optional<int> ParseArguments(int argc, char** argv, Options& options) {
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!onlyFiles && arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (!onlyFiles && arg == "--png") {
            if (++i == argc) {
                std::cerr << "insigno-scan: --png needs a directory\n";
                return kExitUsage;
            }
            options.pngDirectory = argv[i];
        } else if (!onlyFiles && arg == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && arg.size() > 1 && arg[0] == '-') {
            std::cerr << "insigno-scan: unknown option " << arg << " (see --help)\n";
            return kExitUsage;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.files.empty()) {
        std::cerr << "insigno-scan: no input file (see --help)\n";
        return kExitUsage;
    }
    return std::nullopt;
}

// Scans one file; false (after a one-line message) when it cannot be read.
bool ScanFile(Scanner& scanner, const std::string& name) {
    if (name == "-") {
        try {
            scanner.ScanStream(std::cin);
            return true;
        } catch (const OutputError&) {
            throw;
        } catch (const std::runtime_error& error) {
            std::cerr << "insigno-scan: standard input: " << error.what() << '\n';
            return false;
        }
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(name, ignored)) {
        std::cerr << "insigno-scan: " << name << ": is a directory\n";
        return false;
    }
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        std::cerr << "insigno-scan: " << name << ": " << std::strerror(errno) << '\n';
        return false;
    }
    try {
        scanner.ScanStream(file);
    } catch (const OutputError&) {
        throw;
    } catch (const std::runtime_error& error) {
        std::cerr << "insigno-scan: " << name << ": " << error.what() << '\n';
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const std::optional<int> status = ParseArguments(argc, argv, options)) return *status;

    Scanner scanner(std::cout, options.pngDirectory);
    int status = 0;
    try {
        for (const std::string& name : options.files) {
            if (!ScanFile(scanner, name)) status = kExitUnreadable;
        }
    } catch (const OutputError& error) {
        std::cerr << "insigno-scan: " << error.what() << '\n';
        status = kExitUsage;
    }
    std::cerr << "insigno-scan: " << scanner.packets << " packets, " << scanner.sections
              << " sections, " << scanner.Logos() << " logos\n";
    return status;
}
