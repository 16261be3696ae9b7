#pragma once

// A fresh working directory, a viewer stand-in and the real module for each end-to-end test.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "TestStream.h"
#include "insigno/host/Host.h"

namespace insigno::it {

using host::Host;
using host::HostOptions;
using host::Image;
using host::OverlayInfo;

constexpr std::uint16_t NETWORK = 0x7FE0;
constexpr std::uint16_t SERVICE_A = 0x0400;
constexpr std::uint16_t SERVICE_B = 0x0402;
constexpr int CHANNEL_A = 101;
constexpr int CHANNEL_B = 102;
// Bounds the waits for what the threads do; never a measure of speed.
constexpr double PATIENCE = 120;

class ModuleTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The module beside the test executable, copied into run/; two channels of NETWORK (101:
    // SERVICE_A, 102: SERVICE_B), channel 101 current, a 1280 x 720 video container, the logo
    // kept on screen (DisplaySeconds -1).
    HostOptions Options() const;
    // Creates the host and loads the module.
    void Start(HostOptions options);
    // Writes `stream` as a file and plays it (as fast as the plug-in takes it, looping) once the
    // module is initialised.
    void PlayStream(HostOptions& options, const Bytes& stream);
    // Puts a logo file into the default logo directory (run/Logo) as the store names them.
    void SeedLogo(const LogoRecord& record) const;

    std::filesystem::path RunDir() const { return work / "run"; }
    std::filesystem::path LogoDir() const { return RunDir() / "Logo"; }

    bool WaitFor(const std::function<bool()>& done) { return host->PumpUntil(done, PATIENCE); }
    bool WaitVisible(bool visible) {
        return WaitFor([&] { return host->Overlay().visible == visible; });
    }
    // Waits until the stream has gone through the whole file `passes` more times.
    bool WaitPasses(int passes);
    // Sends an event and checks the plug-in answered it.
    void Event(UINT code, LPARAM lParam1 = 0, LPARAM lParam2 = 0);
    void Channel(int number);
    // The viewer selects list entry `position` (message 4 answers it), then event 2.
    void Tune(std::size_t position);
    // The viewer switches to another service of the same channel, then event 3.
    void SwitchService(std::uint16_t serviceId);

    // The overlay's presented picture, where the platform can tell.
    std::optional<Image> Presented() const;

    std::filesystem::path work;
    bool breaksRules = false;  // the module under test is meant to break the viewer's rules
    host::Report report;
    std::unique_ptr<Host> host;
};

// The picture is `width` x `height`, its left half in `left` and its right half in `right`;
// pixels within `margin` of the edges or of the split are not looked at.
bool ShowsSplit(const Image& image, int width, int height, std::uint32_t left, std::uint32_t right,
                int margin = 0);

}  // namespace insigno::it
