// insigno-scan: shows the logo references (SDT) and logos (CDT) in transport-stream recordings,
// or what the plug-in makes of a logo directory, one JSON line per find, and optionally writes the
// logos as viewable PNGs with a gallery page, or stores them in a logo directory.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

#include <boost/filesystem/exception.hpp>

#include "Gallery.h"
#include "LogoDirectory.h"
#include "LogoStore.h"
#include "ScanJson.h"
#include "Scanner.h"
#include "TextPath.h"
#include "ViewablePng.h"

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitUnreadable = 2;

constexpr char kUsage[] =
    R"(usage: insigno-scan [--png DIR] [--store LOGODIR [--replace-newer]] FILE...
       insigno-scan [--png DIR] --logo-dir LOGODIR

Reads transport-stream recordings (188-byte packets, 192-byte timestamped or 204-byte packets;
the size is detected and garbage between packets is skipped), runs the plug-in's SDT (PID 0x0011)
and CDT (PID 0x0029) parsers and its carousel collector over them and prints one JSON line per
result on standard output:
  {"table":"sdt","packet":K,"onid":N,"services":[{"service_id":N,"type":N,"logo_id":N,
   "logo_version":N,"download_data_id":N},...]}
  {"table":"cdt","packet":K,"onid":N,"download_data_id":N,"logo_type":N,"logo_id":N,
   "logo_version":N,"width":N,"height":N,"size":N,"sha256":"..."}
and, for the logo modules of the common-data carousel (the engineering service 0x03A1 found in
the PAT, its streams of component tag 0x79 and 0x7A), one line per logo of each completed module
LOGO-0N or CS_LOGO-0N:
  {"table":"carousel","packet":K,"module":"LOGO-05","module_version":N,"logo_type":N,
   "logo_id":N,"services":[{"onid":N,"tsid":N,"service_id":N},...],"width":N,"height":N,
   "size":N,"sha256":"..."}
K is the 0-based index of the packet in its file (for the carousel, of the packet that completed
the module). FILE "-" reads standard input.

  --logo-dir LOGODIR  read a logo directory as the plug-in's start-up scan does, changing
              nothing, and print one line per file (sorted by name):
  {"file":"NAME","onid":N,"logo_id":N,"logo_version":N,"logo_type":N,"size":N,"action":"A"}
              A: load, move-aside (superseded by a higher version), delete (not a well-formed
              PNG) or leave (no logo file name, not a plain file of at most 65535 bytes, or
              unreadable); the ids only for logo file names
  --png DIR   also write each distinct logo once to DIR as NNNN_LLL_VVV_TT.png, completed with
              the fixed broadcast palette so that any image viewer shows it, and DIR/index.html,
              a page showing them all by network (superseded ones greyed); a carousel logo once
              for each network it serves, under the version an SDT of the recording gave its
              logo id (0 before any did)
  --store LOGODIR  also store every logo found (CDT and carousel) in the logo directory
              LOGODIR, created when missing, as the plug-in stores what it receives: the logos
              already there are read as at the plug-in's start, a logo of a higher version than
              the one held (from the folder or an earlier find) replaces it and the superseded
              file is renamed with "_" appended, a lower version is passed over, so that
              recordings stored in any order leave the newest logos; a carousel logo goes in
              under each network it serves with the version an SDT of that network gave its
              logo id, and as version 0 only while no version is held
  --replace-newer  with --store: a logo of any other version replaces the one held, a lower one
              too, as the plug-in does with what it receives (the last one found stays)
  --help      show this text

A summary line goes to standard error. Exit status: 0 when every file was read, 2 when a file
could not be read (the others are still scanned), 1 for a usage error, a PNG not written, a
logo directory that cannot be opened or a logo not stored.
)";

struct Options {
    std::optional<std::filesystem::path> pngDirectory;
    std::optional<std::filesystem::path> logoDirectory;
    std::optional<std::filesystem::path> storeDirectory;
    bool replaceNewer = false;
    std::vector<std::string> files;
};

// Returns the exit status to stop with, or nothing to go on.
std::optional<int> ParseArguments(const std::vector<std::string>& argv, Options& options) {
    const size_t argc = argv.size();
    bool onlyFiles = false;
    for (size_t i = 1; i < argc; ++i) {
        const std::string& arg = argv[i];
        if (!onlyFiles && arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (!onlyFiles && arg == "--png") {
            if (++i == argc) {
                std::cerr << "insigno-scan: --png needs a directory\n";
                return kExitUsage;
            }
            options.pngDirectory = PathFromUtf8(argv[i]);
        } else if (!onlyFiles && arg == "--logo-dir") {
            if (++i == argc) {
                std::cerr << "insigno-scan: --logo-dir needs a directory\n";
                return kExitUsage;
            }
            options.logoDirectory = PathFromUtf8(argv[i]);
        } else if (!onlyFiles && arg == "--store") {
            if (++i == argc) {
                std::cerr << "insigno-scan: --store needs a directory\n";
                return kExitUsage;
            }
            options.storeDirectory = PathFromUtf8(argv[i]);
        } else if (!onlyFiles && arg == "--replace-newer") {
            options.replaceNewer = true;
        } else if (!onlyFiles && arg == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && arg.size() > 1 && arg[0] == '-') {
            std::cerr << "insigno-scan: unknown option " << arg << " (see --help)\n";
            return kExitUsage;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.logoDirectory && !options.files.empty()) {
        std::cerr << "insigno-scan: --logo-dir takes no recordings (see --help)\n";
        return kExitUsage;
    }
    if (options.logoDirectory && options.storeDirectory) {
        std::cerr << "insigno-scan: --store stores the logos of recordings, not of --logo-dir\n";
        return kExitUsage;
    }
    if (options.replaceNewer && !options.storeDirectory) {
        std::cerr << "insigno-scan: --replace-newer goes with --store (see --help)\n";
        return kExitUsage;
    }
    if (!options.logoDirectory && options.files.empty()) {
        std::cerr << "insigno-scan: no input file (see --help)\n";
        return kExitUsage;
    }
    std::error_code ignored;
    if (options.logoDirectory && options.pngDirectory &&
        std::filesystem::equivalent(*options.logoDirectory, *options.pngDirectory, ignored)) {
        std::cerr << "insigno-scan: --png must not be the logo directory, which stays unchanged\n";
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
    const std::filesystem::path path = PathFromUtf8(name);
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        std::cerr << "insigno-scan: " << name << ": is a directory\n";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
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

// The logo directory mode: one line per file, and the gallery of what would be loaded.
int ScanLogoDirectory(const Options& options) {
    std::vector<LogoDirectoryEntry> entries;
    try {
        entries = ReadLogoDirectory(*options.logoDirectory);
    } catch (const std::filesystem::filesystem_error& error) {
        std::cerr << "insigno-scan: " << Utf8(*options.logoDirectory) << ": "
                  << error.code().message() << '\n';
        return kExitUnreadable;
    }
    std::vector<GalleryLogo> logos;
    std::vector<GalleryOther> others;
    try {
        for (const LogoDirectoryEntry& entry : entries) {
            std::cout << LogoFileJsonLine(entry) << '\n';
            if (!options.pngDirectory) continue;
            const bool shown =
                entry.action == LogoFileAction::Load || entry.action == LogoFileAction::MoveAside;
            if (shown && WriteViewablePng(*options.pngDirectory, entry.name, entry.record)) {
                logos.push_back({entry.record, entry.name + ".png", entry.name,
                                 entry.action == LogoFileAction::MoveAside});
            } else if (entry.logoName) {
                others.push_back({entry.name, entry.action == LogoFileAction::Leave
                                                  ? "left alone (not a plain file of a "
                                                    "logo's size, or unreadable)"
                                                  : "deleted at start-up (not a well-formed PNG)"});
            }
        }
        std::cout.flush();
        if (options.pngDirectory) {
            WriteGallery(*options.pngDirectory,
                         GalleryPage(Utf8(*options.logoDirectory), std::move(logos), others));
        }
    } catch (const OutputError& error) {
        std::cerr << "insigno-scan: " << error.what() << '\n';
        return kExitUsage;
    }
    std::cerr << "insigno-scan: " << entries.size() << " files\n";
    return 0;
}

int Run(const std::vector<std::string>& args) {
    // Lines go out through the stream's own buffer, not through stdio's locked one per write.
    std::ios::sync_with_stdio(false);
    Options options;
    if (const std::optional<int> status = ParseArguments(args, options)) return *status;
    if (options.logoDirectory) return ScanLogoDirectory(options);

    // Taken as the plug-in takes its setting, with no module directory: relative to the
    // working directory.
    std::optional<LogoStore> store;
    if (options.storeDirectory) {
        try {
            store.emplace(boost::filesystem::path(options.storeDirectory->native()),
                          boost::filesystem::path());
        } catch (const boost::filesystem::filesystem_error& error) {
            std::cerr << "insigno-scan: " << Utf8(*options.storeDirectory) << ": "
                      << error.code().message() << '\n';
            return kExitUsage;
        } catch (const std::exception& error) {
            std::cerr << "insigno-scan: " << Utf8(*options.storeDirectory) << ": " << error.what()
                      << '\n';
            return kExitUsage;
        }
    }
    Scanner scanner(std::cout, options.pngDirectory);
    if (store) scanner.store = &*store;
    scanner.replaceNewer = options.replaceNewer;
    int status = 0;
    try {
        for (const std::string& name : options.files) {
            scanner.source = name == "-" ? "standard input" : name;
            if (!ScanFile(scanner, name)) status = kExitUnreadable;
        }
        scanner.Finish();
        if (options.pngDirectory) {
            std::string title;
            for (const std::string& name : options.files)
                title += (title.empty() ? "" : ", ") + name;
            MarkSuperseded(scanner.gallery);
            WriteGallery(*options.pngDirectory, GalleryPage(title, scanner.gallery, {}));
        }
    } catch (const OutputError& error) {
        std::cerr << "insigno-scan: " << error.what() << '\n';
        status = kExitUsage;
    }
    bool saved = true;
    if (store) {
        saved = store->Flush() && scanner.storeSaved;
        store->Stop();
        if (!saved) {
            std::cerr << "insigno-scan: " << Utf8(*options.storeDirectory)
                      << ": a logo could not be stored\n";
            status = kExitUsage;
        }
    }
    std::cerr << "insigno-scan: " << scanner.packets << " packets, " << scanner.sections
              << " sections, ";
    if (scanner.carouselLogos != 0) std::cerr << scanner.carouselLogos << " carousel logos, ";
    std::cerr << scanner.Logos() << " logos";
    // A failed save is offered again by the next repetition: the count of saves then says little.
    if (store && saved) std::cerr << ", " << scanner.stored << " stored";
    if (store && !saved) std::cerr << ", not all stored";
    std::cerr << '\n';
    return status;
}

}  // namespace

#ifdef _WIN32
// Wide arguments, so that any file name reaches the tool; binary standard streams, so that the
// lines end as they do on Linux and recordings on standard input arrive unchanged.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(Utf8(std::filesystem::path(argv[i])));
    return Run(args);
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv, argv + argc));
}
#endif
