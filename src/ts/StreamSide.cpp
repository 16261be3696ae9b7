// The stream side of StreamCallbackManager: the packet stages and SetTarget.

#include <boost/thread/locks.hpp>
#include <exception>

#include "LogoStore.h"
#include "StreamCallbackManager.h"
#include "WindowAsChild.h"

namespace {

constexpr uint16_t SDT_PID = 0x0011;
constexpr uint16_t CDT_PID = 0x0029;
constexpr size_t PACKET_SIZE = 188;

uint16_t PacketPid(const BYTE* packet) {
    return static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
}

}  // namespace

void StreamCallbackManager::HandlePacket(const BYTE* packet) noexcept {
    switch (packetHandler.load(std::memory_order_relaxed)) {
        case Stage::Ignore:
            IgnorePacket(packet);
            break;
        case Stage::SDT:
            HandleSDTPacket(packet);
            break;
        case Stage::CDT:
            HandleCDTPacket(packet);
            break;
    }
}

void StreamCallbackManager::IgnorePacket(const BYTE* /*packet*/) {}

void StreamCallbackManager::HandleSDTPacket(const BYTE* packet) {
    if (PacketPid(packet) != SDT_PID) return;
    // The lock is inside a try too: a mutex that cannot be taken drops the packet untouched.
    try {
        boost::mutex::scoped_lock lock(mutex);
        try {
            sdt.PushPacket(packet, packet + PACKET_SIZE);
            if (sdt.services.empty()) return;
            services = sdt.services;
            if (sdt.originalNetworkId != targetNetworkId) {
                sdt.Reset();
                return;
            }
            // The entry's logo id counts whatever its transmission type: a service without a
            // reference is looked up with logo id 0.
            const ServiceLogoInfo& entry = services[targetServiceId];
            LogoRecord record;
            if (logoStore->Lookup(sdt.originalNetworkId, entry.logoId, logoType, record)) {
                overlayWindow->SetLogo(record);
                PostShowLogo(1);
            }
            // Left only now, so that a packet that failed half-way leaves the SDT stage in place.
            packetHandler.store(collectLogos ? Stage::CDT : Stage::Ignore,
                                std::memory_order_relaxed);
        } catch (...) {
            // Nothing may reach the viewer's stream thread: drop the packet and its partial
            // section.
            sdt.Reset();
        }
    } catch (...) {
    }
}

void StreamCallbackManager::HandleCDTPacket(const BYTE* packet) {
    if (PacketPid(packet) != CDT_PID) return;
    // The lock is inside a try too: a mutex that cannot be taken drops the packet untouched.
    try {
        boost::mutex::scoped_lock lock(mutex);
        try {
            cdt.PushPacket(packet, packet + PACKET_SIZE);
            if (cdt.logo.data.empty()) return;
            const LogoRecord record = cdt.logo;
            const uint16_t downloadDataId = cdt.downloadDataId;
            if (record.originalNetworkId != targetNetworkId) {
                cdt.Reset();
                return;
            }
            const ServiceLogoInfo& entry = services[targetServiceId];
            const bool current = (entry.transmissionType == 1 || entry.transmissionType == 2) &&
                                 entry.downloadDataId == downloadDataId &&
                                 entry.logoId == record.logoId &&
                                 entry.logoVersion == record.logoVersion;
            // Accept first: it moves the held version's file aside before Save writes the new one.
            if (current && logoStore->Accept(record)) logoStore->Save(record);
        } catch (...) {
            cdt.Reset();
        }
    } catch (...) {
    }
}

void StreamCallbackManager::SetTarget(bool show, bool collect, uint16_t networkId,
                                      uint16_t serviceId) {
    boost::mutex::scoped_lock lock(mutex);
    PostShowLogo(0);
    services.clear();
    sdt.Reset();
    cdt.Reset();
    targetNetworkId = networkId;
    targetServiceId = serviceId;
    collectLogos = collect;
    packetHandler.store(show || collect ? Stage::SDT : Stage::Ignore, std::memory_order_relaxed);
}

void StreamCallbackManager::PostShowLogo(WPARAM show) {
    // No window before initialisation has created one: nothing is shown that could be hidden.
    if (overlayWindow) PostMessageW(overlayWindow->hwnd, MSG_SHOW_LOGO, show, 0);
}
