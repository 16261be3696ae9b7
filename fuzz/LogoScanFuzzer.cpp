// The logo store's start-up scan over a fuzzed directory: entries named in or out of the logo
// file-name form, holding PNGs whole, cut or broken, some of them links to files outside, link
// loops, FIFOs or files larger than any logo.
// Invariants: nothing outside the directory changes, no kept logo file is malformed, the held
// version of each key is the highest well-formed one among the plain files, and every other
// entry (links, FIFOs and oversized files too) stays as it was.
// insigno-scan's logo-directory reader goes first: it changes nothing, and what it says the scan
// will do with each file is what the scan then does.
#include <sys/stat.h>
#include <unistd.h>

#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "FuzzReader.h"
#include "LogoDirectory.h"
#include "LogoStore.h"
#include "PngChunk.h"
#include "PngChunks.h"

namespace fs = boost::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

void Write(const fs::path& path, const Bytes& bytes) {
    fs::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes Read(const fs::path& path) {
    fs::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What lies beside the directory: a well-formed logo file and a malformed one that links from
// inside may point at, and that must come through the scan unchanged.
struct Outside {
    fs::path good, bad;
    Bytes goodBytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes badBytes{'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G'};
};

// The entry's name: the logo form from fuzzed fields (either case of digit, now and then one
// character too many), or fuzzed bytes made into one path component.
std::string Name(FuzzReader& in) {
    const uint8_t shape = in.Byte();
    if (shape & 0x80) {
        std::string name;
        for (uint8_t c : in.Bytes(shape & 0x1F))
            name += (c == '/' || c == 0) ? '_' : static_cast<char>(c);
        return name.empty() || name == "." || name == ".." ? "x" : name;
    }
    char name[32];
    std::snprintf(name, sizeof name, (shape & 0x01) ? "%04x_%03x_%03x_%02x" : "%04X_%03X_%03X_%02X",
                  in.Byte() & 0x03, in.Byte() & 0x03, in.Word() & 0xFFF, in.Byte() & 0x01);
    return std::string(name) + ((shape & 0x02) ? "0" : "");
}

// A well-formed logo one byte larger than any logo: never read.
const Bytes& Oversized() {
    static const Bytes png = [] {
        Bytes bytes(kPngSignature.begin(), kPngSignature.end());
        AppendPngChunk(bytes, "IHDR", Bytes(13));
        AppendPngChunk(bytes, "IDAT", Bytes(LogoStore::kMaxFileBytes + 1 - 57));
        AppendPngChunk(bytes, "IEND", {});
        return bytes;
    }();
    return png;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path root =
        fs::temp_directory_path() / ("insigno-fuzz-scan-" + std::to_string(getpid()));
    const fs::path directory = root / "Logo";
    fs::remove_all(root);
    fs::create_directories(directory);
    Outside outside{root / "0001_001_001_05", root / "0001_001_002_05"};
    FixPngCrcs(outside.goodBytes);
    Write(outside.good, outside.goodBytes);
    Write(outside.bad, outside.badBytes);

    // Each entry: a name byte and its fields, a kind byte, then the content.
    FuzzReader in(data, size);
    std::map<std::string, Bytes> files;  // by name, what each regular file or link holds
    std::set<std::string> plain;         // the regular files of a logo's size among them
    std::set<std::string> unread;        // FIFOs, link loops and oversized files
    for (int entry = 0; entry < 16 && !in.Empty(); ++entry) {
        const std::string name = Name(in);
        const uint8_t kind = in.Byte();
        const fs::path path = directory / name;
        if (fs::exists(fs::symlink_status(path))) continue;
        if (kind & 0x80) {
            fs::create_directory(path);
        } else if (kind & 0x40) {
            const bool good = kind & 0x01;
            fs::create_symlink(good ? outside.good : outside.bad, path);
            files[name] = good ? outside.goodBytes : outside.badBytes;
        } else if (kind & 0x20) {
            FUZZ_CHECK(mkfifo(path.c_str(), 0666) == 0);
            unread.insert(name);
        } else if (kind & 0x10) {
            fs::create_symlink(name, path);
            unread.insert(name);
        } else if (kind & 0x08) {
            Write(path, Oversized());
            unread.insert(name);
        } else {
            Bytes content = in.Bytes(in.Word() & 0x3FF);
            if (kind & 0x01) FixPngCrcs(content);
            Write(path, content);
            files[name] = content;
            plain.insert(name);
        }
    }

    std::vector<LogoDirectoryEntry> predicted;
    try {
        predicted = ReadLogoDirectory(directory.string());
    } catch (const std::exception&) {
        FUZZ_CHECK(false);
    }
    for (const auto& [name, bytes] : files) FUZZ_CHECK(Read(directory / name) == bytes);

    const LogoStore store(directory.string(), "");

    for (const LogoDirectoryEntry& entry : predicted) {
        const fs::path path = directory / entry.name;
        const bool stays = fs::exists(fs::symlink_status(path));
        switch (entry.action) {
            case LogoFileAction::Load: {
                LogoRecord held;
                FUZZ_CHECK(stays && store.Lookup(entry.record.originalNetworkId,
                                                 entry.record.logoId, entry.record.logoType, held));
                FUZZ_CHECK(held.logoVersion == entry.record.logoVersion &&
                           held.data == files[entry.name]);
                break;
            }
            case LogoFileAction::MoveAside:
            case LogoFileAction::Delete:
                FUZZ_CHECK(!stays);
                break;
            case LogoFileAction::Leave:
                FUZZ_CHECK(!files.count(entry.name) || Read(path) == files[entry.name]);
                break;
        }
    }

    FUZZ_CHECK(Read(outside.good) == outside.goodBytes && Read(outside.bad) == outside.badBytes);
    for (const std::string& name : unread) {
        const fs::file_status status = fs::symlink_status(directory / name);
        FUZZ_CHECK(fs::exists(status));
        if (fs::is_regular_file(status)) {
            FUZZ_CHECK(fs::file_size(directory / name) == Oversized().size());
        }
    }
    // The highest well-formed version of each key, as the names give it.
    std::map<std::string, std::pair<unsigned, std::vector<Bytes>>> highest;
    for (const auto& [name, bytes] : files) {
        if (!LogoStore::IsLogoFileName(name) || !plain.count(name)) {
            FUZZ_CHECK(Read(directory / name) == bytes);
            continue;
        }
        if (!LogoStore::IsWellFormedPng(bytes)) {
            FUZZ_CHECK(!fs::exists(fs::symlink_status(directory / name)));
            continue;
        }
        const unsigned version = std::stoul(name.substr(9, 3), nullptr, 16);
        auto& best = highest[name.substr(0, 8) + name.substr(12)];
        if (best.second.empty() || version > best.first) best = {version, {}};
        if (version == best.first) best.second.push_back(bytes);
    }
    for (const auto& [key, best] : highest) {
        LogoRecord held;
        FUZZ_CHECK(store.Lookup(std::stoul(key.substr(0, 4), nullptr, 16),
                                std::stoul(key.substr(5, 3), nullptr, 16),
                                std::stoul(key.substr(9, 2), nullptr, 16), held));
        FUZZ_CHECK(held.logoVersion == best.first);
        FUZZ_CHECK(std::find(best.second.begin(), best.second.end(), held.data) !=
                   best.second.end());
    }
    // What stays under a logo name is one well-formed file per key; the rest went aside.
    std::map<std::string, int> kept;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (!LogoStore::IsLogoFileName(name) || !fs::is_regular_file(entry.symlink_status()) ||
            unread.count(name)) {
            continue;
        }
        FUZZ_CHECK(LogoStore::IsWellFormedPng(Read(entry.path())));
        FUZZ_CHECK(++kept[name.substr(0, 8) + name.substr(12)] == 1);
    }
    FUZZ_CHECK(kept.size() == highest.size());
    return 0;
}
