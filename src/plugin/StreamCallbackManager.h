#pragma once

#include <windows.h>

#include <atomic>
#include <boost/thread/mutex.hpp>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <boost/filesystem/path.hpp>

#include "CDTParse.h"
#include "CarouselBacklog.h"
#include "CarouselCollector.h"
#include "ModuleReference.h"
#include "SDTParse.h"
#include "StreamSideDisplay.h"
#include "TypeOneReferences.h"

class LogoPlugin;
class LogoStore;
class WindowAsChild;

// The overlay window as the stream side sees it; follows whatever `window` holds.
std::unique_ptr<StreamSideDisplay> OverlayAsDisplay(const std::unique_ptr<WindowAsChild>& window);

// Everything the plug-in works with: the settings-derived values, the logo store, the overlay
// window and the stream side (packet stages, table parsers, mutex). Initialisation and teardown
// live in src/plugin, the stream side in src/ts, the view-state polls beside the event handler.
class StreamCallbackManager {
public:
    // The current packet stage. Stored as an atomic index rather than a member-function pointer
    // because the stream thread reads it without the mutex while the event thread replaces it.
    enum class Stage : uint8_t { Ignore, SDT, CDT };

    explicit StreamCallbackManager(LogoPlugin* plugin);
    ~StreamCallbackManager();
    StreamCallbackManager(const StreamCallbackManager&) = delete;
    StreamCallbackManager& operator=(const StreamCallbackManager&) = delete;

    // Reads the settings, opens the logo store, finds the viewer's video window and creates the
    // overlay. Reports a failure in a message box and answers false.
    bool Open();

    // Hands one 188-byte packet to the current stage. Never throws: whatever fails while a
    // packet is handled drops that packet and leaves the stage as it was.
    void HandlePacket(const BYTE* packet) noexcept;

    // Hides the logo and restarts the stream side for a service (event thread).
    void SetTarget(bool show, bool collect, uint16_t networkId, uint16_t serviceId);

    // After SetTarget, on the viewer's UI thread: asks the store to take in what other processes
    // saved, and the viewer for its own logo of the target, which is shown while the store holds
    // none of the service's logo (display only, never stored).
    void FetchForTarget();
    // The viewer's share of FetchForTarget, also run when the stream side has learned the
    // target's network (a channel list that was never scanned). UI thread only.
    void AskViewerForLogo();
    // A logo that reached the store from elsewhere than the stream (a file another process
    // saved): shown at once when it is the target's. Any thread but the stream's; takes the mutex.
    void ShowArrival(const LogoRecord& record);

    // Whether the viewer's zoom changed; stores the new value. No lock; the UI thread, as the
    // overlay polls from its window's timer.
    bool PollZoom(int& zoom) const;
    // Whether the viewer's aspect ratio or full-screen state changed; stores the new ratio. The
    // UI thread.
    bool PollAspect(int& x, int& y) const;
    // The picture's aspect ratio: the viewer's setting (message 20), else the video's own
    // (message 24), else 16:9.
    std::pair<int, int> PictureAspect() const;

    // The settings dialog's OK and its live preview (the UI thread): the overlay takes the
    // values at once; a new logo type shows that type of the current logo.
    void ApplySettings(const std::map<std::string, std::string>& values);
    // The user's commands (EVENT_COMMAND, the UI thread); false for an unknown id.
    bool RunCommand(LPARAM id);

    Stage CurrentStage() const { return packetHandler.load(std::memory_order_relaxed); }

    LogoPlugin* owner;
    // The values of section "LogoMark" after the defaults, as last read or written, and where
    // the file is: the settings dialog starts from them.
    std::map<std::string, std::string> settingValues;
    boost::filesystem::path settingsFile;
    std::map<uint16_t, ServiceLogoInfo> services;
    SDTParse sdt;
    CDTParse cdt;
    // Keeps the module mapped while the store's writer thread runs in it; released after the
    // store (declared before it, so destroyed after it).
    ModuleReference moduleReference;
    std::unique_ptr<LogoStore> logoStore;
    std::unique_ptr<WindowAsChild> overlayWindow;
    // All the stream side shows through.
    std::unique_ptr<StreamSideDisplay> display = OverlayAsDisplay(overlayWindow);
    uint16_t targetNetworkId = 0;
    uint16_t targetServiceId = 0;
    uint8_t logoType = 5;
    bool collectLogos = false;
    // The show flag of the last SetTarget: while the preview is off nothing is shown, though the
    // SDT stage still runs for collection.
    bool showLogo = false;
    // The target's entry came in this SDT stage (and was looked up); a type 2 entry may still wait
    // there for the type 1 entry it shares a logo with.
    bool targetSeen = false;
    // The viewer's logo of the target (display only); cleared by SetTarget.
    std::optional<LogoRecord> viewerLogo;
    // The viewer's logo went up before the SDT told the target's entry; cleared by SetTarget.
    bool viewerLogoEarly = false;
    // Whether the viewer handles message 63, asked once; the UI thread's alone.
    std::optional<bool> viewerHasLogos;
    // Type 1 references seen per network, by service id. They outlive SetTarget: a type 2 service
    // takes its version and download data id from them whichever section or transport stream
    // listed its partner; carousel logos take their versions from them. At most 64 networks.
    TypeOneReferences typeOneReferences{64};
    // The engineering service's logo carousel (BS and CS logos), collected while collecting is
    // on, whatever service is targeted. Both are the stream thread's alone, outside the mutex:
    // SetTarget never touches them, so partial modules outlive a retarget.
    CarouselBacklog carouselBacklog;
    CarouselCollector carousel;
    // The collect flag of the last SetTarget, for the stream thread to read without the mutex.
    std::atomic<bool> collectCarousel{false};
    // Relaxed is enough: every stage takes the mutex before it touches any state.
    std::atomic<Stage> packetHandler{Stage::Ignore};
    boost::mutex mutex;

    void IgnorePacket(const BYTE* packet);
    void HandleSDTPacket(const BYTE* packet);
    void HandleCDTPacket(const BYTE* packet);
    // The carousel's share of a packet that its stage has already seen.
    void CollectCarousel(const BYTE* packet);

private:
    // The target's entry of the SDT stage; null until the stage has seen it.
    ServiceLogoInfo* TargetEntry();
    // The target's entry when it names a logo image; null otherwise.
    const ServiceLogoInfo* TargetImage();
    // Under the mutex: shows a logo that just reached the store when it is the target's logo in
    // the configured type, for the display time as after a channel change.
    void ShowIfTarget(const LogoRecord& record);
    void ShowLogo(const LogoRecord& record);
    // Shows logo type `type` of the current service in place of the one shown (UI thread).
    void ChangeLogoType(uint8_t type);
    // The SDT stage's work on one parsed section; true when the stage is over.
    bool TakeSdtSection();
    // Fills a type 2 entry's version and download data id from its network's type 1 entry of the
    // same logo id; false while there is none.
    bool LendTypeOne(ServiceLogoInfo& entry) const;
    // An SDT packet: every section teaches typeOneReferences; in the SDT stage (`sdtStage`, as
    // the stream thread read it) the target's section also ends the stage.
    void ReadSdt(const BYTE* packet, bool sdtStage);
    // Offers the store the next logo of the carousel backlog by the versions rule.
    void OfferCarouselLogo();
};
