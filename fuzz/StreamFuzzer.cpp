// The plug-in's whole stream side as the viewer drives it: packets through the stream callback,
// retargets through SetTarget in between, a real logo store in a temporary directory, and the
// overlay's posted messages recorded instead of handled.
//
// The input is a list of commands, each starting with a tag byte, so that a recording written by
// insigno-mkts is itself a list of packet commands:
//   0x47 + 187 bytes          one packet as it stands (sync byte included)
//   'T' flags NNNN SSSS       SetTarget(flags & 1 show, flags & 2 collect, network, service)
//   'S' / 'C' LLLL + L bytes  an SDT / CDT section made to pass its checks, in packets of its PID
// Any other byte is skipped.
#include <unistd.h>

#include <boost/filesystem.hpp>
#include <boost/thread/lock_guard.hpp>

#include <set>
#include <string>

#include "FuzzInput.h"
#include "LogoPlugin.h"
#include "LogoStore.h"
#include "WindowAsChild.h"

namespace fs = boost::filesystem;
using Stage = StreamCallbackManager::Stage;

namespace {

// The overlay as the plug-in's tests make it, under a plain parent window. What the stream side
// posts to it is taken from its queue unhandled, so it is never shown and never draws.
class RecordingOverlay : public WindowAsChild {
public:
    explicit RecordingOverlay(HWND parent)
        : WindowAsChild(
              parent, [](int&) { return false; }, [](int&, int&) { return false; },
              OverlayLook{100, true, -1, true, true, 10.0, 10.0, false, false}) {}

    struct Posted {
        std::vector<WPARAM> shows;  // MSG_SHOW_LOGO values in order
        int logos = 0;              // MSG_LOGO_CHANGED count
    };
    Posted Take() {
        Posted posted;
        MSG message;
        while (PeekMessageW(&message, hwnd, 0, 0, PM_REMOVE)) {
            if (message.message == MSG_SHOW_LOGO) posted.shows.push_back(message.wParam);
            if (message.message == MSG_LOGO_CHANGED) ++posted.logos;
        }
        return posted;
    }

    LogoRecord Pending() {
        boost::lock_guard<boost::mutex> lock(logoMutex);
        return pendingLogo;
    }
};

struct Fixture {
    Fixture() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"StreamFuzzerVideo";
        RegisterClassW(&windowClass);
        const HWND video = CreateWindowExW(0, L"StreamFuzzerVideo", nullptr, WS_OVERLAPPEDWINDOW, 0,
                                           0, 640, 360, nullptr, nullptr, nullptr, nullptr);
        auto made = std::make_unique<RecordingOverlay>(video);
        overlay = made.get();
        plugin.manager.overlayWindow = std::move(made);
    }
    LogoPlugin plugin;
    RecordingOverlay* overlay;
    const fs::path directory =
        fs::temp_directory_path() / ("insigno-fuzz-stream-" + std::to_string(getpid()));
};

// Kept for the whole run: the overlay's render thread lives as long as the process.
Fixture& Shared() {
    static Fixture* fixture = new Fixture;
    return *fixture;
}

// One packet through the viewer's callback, then what it may have changed.
void Feed(Fixture& f, std::vector<uint8_t> packet) {
    StreamCallbackManager& manager = f.plugin.manager;
    const Stage before = manager.CurrentStage();
    StreamCallback(packet.data(), &f.plugin);
    const Stage after = manager.CurrentStage();
    const RecordingOverlay::Posted posted = f.overlay->Take();

    FUZZ_CHECK(manager.sdt.buffer.size() <= SectionParse::kMaxSectionSize &&
               manager.cdt.buffer.size() <= SectionParse::kMaxSectionSize);
    for (const auto& [id, info] : manager.services) {
        FUZZ_CHECK(info.logoId <= 0x1FF && info.logoVersion <= 0xFFF && info.transmissionType <= 3);
    }
    if (before != after) {
        // The one transition a packet may make: out of the SDT stage, once the target's entry
        // came.
        FUZZ_CHECK(before == Stage::SDT &&
                   after == (manager.collectLogos ? Stage::CDT : Stage::Ignore));
        FUZZ_CHECK(manager.services.count(manager.targetServiceId) == 1);
    }
    if (posted.logos == 0) {
        FUZZ_CHECK(posted.shows.empty());
        return;
    }
    // A logo shown is the target's, with the show flag, of an entry that names an image, and the
    // store had it from a CDT of this very input: found by the SDT stage, or shown as it was
    // collected. A type 2 entry may still wait for its partner.
    FUZZ_CHECK(manager.showLogo);
    FUZZ_CHECK(posted.logos == 1 && posted.shows == std::vector<WPARAM>{1});
    const ServiceLogoInfo& entry = manager.services.at(manager.targetServiceId);
    FUZZ_CHECK(entry.transmissionType == 1 || entry.transmissionType == 2);
    const LogoRecord shown = f.overlay->Pending();
    FUZZ_CHECK(shown.originalNetworkId == manager.targetNetworkId &&
               shown.logoType == manager.logoType && !shown.data.empty());
    FUZZ_CHECK(shown.logoId == entry.logoId);
    manager.logoStore->Flush();
    FUZZ_CHECK(fs::exists(f.directory / LogoStore::MakeFileName(shown)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fixture& f = Shared();
    StreamCallbackManager& manager = f.plugin.manager;
    // The last input's store first: its writer may still be saving into the directory.
    manager.logoStore.reset();
    fs::remove_all(f.directory);
    manager.logoStore = std::make_unique<LogoStore>(f.directory.string(), "");
    manager.SetTarget(false, false, 0, 0);
    f.overlay->SetLogo(LogoRecord{});
    f.overlay->Take();

    std::set<uint16_t> collected;  // networks logos may have been collected for
    FuzzReader in(data, size);
    while (!in.Empty()) {
        // Network 0 is learned from the stream: whatever it became may be collected.
        if (manager.collectLogos) collected.insert(manager.targetNetworkId);
        const uint8_t tag = in.Byte();
        if (tag == 'T') {
            const uint8_t flags = in.Byte();
            const uint16_t network = in.Word();
            const bool show = flags & 0x01, collect = flags & 0x02;
            manager.SetTarget(show, collect, network, in.Word());
            // Every retarget hides the logo first, and only that.
            const RecordingOverlay::Posted posted = f.overlay->Take();
            FUZZ_CHECK(posted.shows == std::vector<WPARAM>{0} && posted.logos == 0);
            FUZZ_CHECK(manager.CurrentStage() == (show || collect ? Stage::SDT : Stage::Ignore));
            if (collect) collected.insert(network);
        } else if (tag == 0x47) {
            std::vector<uint8_t> packet = in.Bytes(tswriter::kPacketSize - 1);
            packet.insert(packet.begin(), tag);
            packet.resize(tswriter::kPacketSize, 0xFF);
            Feed(f, std::move(packet));
        } else if (tag == 'S' || tag == 'C') {
            std::vector<uint8_t> section =
                in.Bytes(in.Word() % (SectionParse::kMaxSectionSize + 1));
            CompleteSection(section, tag == 'S' ? 0x42 : 0xC8);
            const tswriter::Bytes packets =
                tswriter::Packetizer(tag == 'S' ? tswriter::kSdtPid : tswriter::kCdtPid)
                    .OnePerPacket({section});
            for (size_t at = 0; at < packets.size(); at += tswriter::kPacketSize) {
                Feed(f, {packets.begin() + at, packets.begin() + at + tswriter::kPacketSize});
            }
        }
    }

    // Only logo files (or ones moved aside) of collected networks, no temporary file left.
    manager.logoStore->Flush();
    for (const fs::directory_entry& entry : fs::directory_iterator(f.directory)) {
        std::string name = entry.path().filename().string();
        FUZZ_CHECK(fs::is_regular_file(entry.status()));
        name.erase(name.find_last_not_of('_') + 1);
        FUZZ_CHECK(LogoStore::IsLogoFileName(name));
        FUZZ_CHECK(
            collected.count(static_cast<uint16_t>(std::stoul(name.substr(0, 4), nullptr, 16))));
    }
    return 0;
}
