// Events and the overlay's drawing on this (the UI) thread and packets on a streaming thread, all
// at once; run under ThreadSanitizer, any race or lock-order problem fails it.

#include <gtest/gtest.h>
#include <insigno/platform_test.h>

#include <atomic>
#include <boost/bind/bind.hpp>
#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>
#include <thread>

#include "IndexedPng.h"
#include "LogoPlugin.h"
#include "LogoStore.h"
#include "Packetizer.h"
#include "ScriptedHost.h"
#include "Sections.h"
#include "TestWindows.h"
#include "WindowAsChild.h"

namespace fs = boost::filesystem;
using namespace TVTest;
using tswriter::Bytes;

namespace {

constexpr int RETARGETS = 3000;

struct Channel {
    int number;
    uint16_t network;
    uint16_t service;
    uint16_t logo;
};
const Channel CHANNELS[] = {{13, 0x7FE0, 0x0400, 0x010}, {16, 0x7FE1, 0x0408, 0x011}};

LogoRecord Logo(const Channel& channel, uint16_t version) {
    LogoRecord record;
    record.originalNetworkId = channel.network;
    record.logoId = channel.logo;
    record.logoVersion = version;
    record.logoType = 5;
    record.data = overlay_test::IndexedPngWithoutPalette(64, 36, std::vector<uint8_t>(64 * 36, 7));
    return record;
}

// Both channels' SDTs and a run of CDT versions of both logos, so the streaming thread keeps
// looking up, showing and saving while the targets change under it.
Bytes Stream() {
    Bytes stream;
    tswriter::Packetizer sdt(tswriter::kSdtPid);
    tswriter::Packetizer cdt(tswriter::kCdtPid);
    for (uint16_t version = 1; version <= 4; ++version) {
        for (const Channel& channel : CHANNELS) {
            tswriter::SdtSection section;
            section.originalNetworkId = channel.network;
            tswriter::SdtService service;
            service.serviceId = channel.service;
            service.descriptors = tswriter::LogoTransmissionType1(channel.logo, version, 0x0100);
            section.services = {service};
            const Bytes sdtPackets = sdt.OnePerPacket({section.Build()});
            stream.insert(stream.end(), sdtPackets.begin(), sdtPackets.end());

            const LogoRecord logo = Logo(channel, version);
            tswriter::CdtLogoSection cdtSection;
            cdtSection.originalNetworkId = channel.network;
            cdtSection.downloadDataId = 0x0100;
            cdtSection.logoId = logo.logoId;
            cdtSection.logoVersion = logo.logoVersion;
            cdtSection.logoType = logo.logoType;
            cdtSection.data = logo.data;
            const Bytes cdtPackets = cdt.OnePerPacket({cdtSection.Build()});
            stream.insert(stream.end(), cdtPackets.begin(), cdtPackets.end());
        }
    }
    return stream;
}

TEST(StressTest, EventsPacketsAndDrawingMeetWithoutRaceOrDeadlock) {
    ScriptedHost host;
    host.tuningSpace = 0;
    for (const Channel& channel : CHANNELS) {
        host.channels.push_back(
            ScriptedHost::Channel(channel.number, channel.network, channel.service));
    }
    host.current = host.channels[0];
    host.zoom = 100;
    host.aspect = std::pair{16, 9};

    TestWindows windows;
    const fs::path directory =
        fs::temp_directory_path() / fs::unique_path("insigno-stress-%%%%-%%%%");
    fs::create_directories(directory);
    for (const Channel& channel : CHANNELS) {
        const LogoRecord logo = Logo(channel, 1);
        fs::ofstream file(directory / LogoStore::MakeFileName(logo), std::ios::binary);
        file.write(reinterpret_cast<const char*>(logo.data.data()),
                   static_cast<std::streamsize>(logo.data.size()));
    }

    const Bytes stream = Stream();
    std::atomic<bool> streaming{true};
    std::atomic<long> refused{0};
    std::atomic<long> packets{0};
    {
        auto plugin = std::make_unique<LogoPlugin>();
        plugin->param = &host.param;
        plugin->app = std::make_unique<CTVTestApp>(&host.param);
        StreamCallbackManager& manager = plugin->manager;
        using namespace boost::placeholders;
        manager.logoStore = std::make_unique<LogoStore>(directory.string(), "");
        manager.overlayWindow = std::make_unique<WindowAsChild>(
            windows.container,
            ZoomQuery(boost::bind(&StreamCallbackManager::PollZoom, &manager, _1)),
            AspectQuery(boost::bind(&StreamCallbackManager::PollAspect, &manager, _1, _2)),
            OverlayLook{100, false, -1, false, false, 0.05, 0.05, false, false});

        std::thread streamer([&] {
            while (streaming.load()) {
                for (size_t at = 0; at < stream.size(); at += 188) {
                    if (!StreamCallback(const_cast<BYTE*>(&stream[at]), plugin.get())) ++refused;
                    ++packets;
                }
            }
        });

        EventCallback(EVENT_PLUGIN_ENABLE, 1, 0, plugin.get());
        EventCallback(EVENT_PREVIEW_CHANGE, 1, 0, plugin.get());
        for (int i = 0; i < RETARGETS; ++i) {
            {
                auto lock = host.Lock();
                host.current = host.channels[i % 2];
                host.zoom = 100 + 50 * (i % 3);
                host.fullScreen = i % 7 == 0;
            }
            switch (i % 5) {
                case 0:
                    EventCallback(EVENT_DRIVER_CHANGE, 0, 0, plugin.get());
                    EventCallback(EVENT_SERVICE_UPDATE, 0, 0, plugin.get());
                    break;
                case 1:
                    EventCallback(EVENT_PREVIEW_CHANGE, i % 2, 0, plugin.get());
                    break;
                default:
                    EventCallback(EVENT_CHANNEL_CHANGE, 0, 0, plugin.get());
                    break;
            }
            PumpMessages();
        }
        const HWND overlay = manager.overlayWindow->hwnd;
        const unsigned presented = InsignoPlatform_PresentCount(overlay);
        EventCallback(EVENT_PREVIEW_CHANGE, 1, 0, plugin.get());
        EventCallback(EVENT_CHANNEL_CHANGE, 0, 0, plugin.get());
        // Let the stream reach the SDT stage's end at least once more, then show the result.
        const long seen = packets.load();
        while (packets.load() < seen + static_cast<long>(stream.size() / 188)) {
            PumpMessages();
            std::this_thread::yield();
        }
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(overlay));
        // The logo shown anew is drawn; tear down only once it has.
        while (IsWindowVisible(overlay) && InsignoPlatform_PresentCount(overlay) == presented) {
            PumpMessages();
            std::this_thread::yield();
        }
        EXPECT_GT(InsignoPlatform_PresentCount(overlay), presented);

        // Teardown with the overlay visible and packets still arriving.
        streaming = false;
        streamer.join();
        plugin.reset();
    }
    EXPECT_EQ(refused.load(), 0);
    EXPECT_GT(packets.load(), 0);
    boost::system::error_code ignored;
    fs::remove_all(directory, ignored);
}

}  // namespace
