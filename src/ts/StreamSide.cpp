// The stream side of StreamCallbackManager: the packet stages and SetTarget.

#include <boost/thread/locks.hpp>
#include <exception>

#include "LogoStore.h"
#include "StreamCallbackManager.h"
#include "StreamSideHook.h"
#include "TsPacket.h"

#ifdef INSIGNO_STREAM_HOOKS
void (*streamStageHook)(StreamCallbackManager& manager) = nullptr;
#endif

namespace {

constexpr uint8_t SDT_ACTUAL = 0x42;

void EnteringStage([[maybe_unused]] StreamCallbackManager& manager) {
#ifdef INSIGNO_STREAM_HOOKS
    if (streamStageHook) streamStageHook(manager);
#endif
}

}  // namespace

void StreamCallbackManager::HandlePacket(const BYTE* packet) noexcept {
    const bool collecting = collectCarousel.load(std::memory_order_relaxed);
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
    if (collecting) CollectCarousel(packet);
}

void StreamCallbackManager::IgnorePacket(const BYTE* packet) {
    // While collecting, every SDT section teaches the carousel's versions, whatever the stage.
    if (collectCarousel.load(std::memory_order_relaxed)) ReadSdt(packet, false);
}

void StreamCallbackManager::HandleSDTPacket(const BYTE* packet) {
    ReadSdt(packet, true);
}

void StreamCallbackManager::ReadSdt(const BYTE* packet, bool sdtStage) {
    if (PacketPid(packet) != kSdtPid) return;
    if (sdtStage) EnteringStage(*this);
    // The lock is inside a try too: a mutex that cannot be taken drops the packet untouched.
    try {
        boost::mutex::scoped_lock lock(mutex);
        // SetTarget may have changed the stage after the stream thread read it: the packet
        // belongs to the target before, whose stage it was read for.
        const Stage stage = packetHandler.load(std::memory_order_relaxed);
        if ((stage == Stage::SDT) != sdtStage) return;
        try {
            bool ended = !sdtStage;
            sdt.PushPacket(packet, packet + kTsPacketSize, [&] {
                // Every section, actual or other, of any network: within the table's bounds.
                typeOneReferences.Remember(sdt.originalNetworkId, sdt.services);
                // Left only now, so that a section that failed half-way leaves the stage in place.
                if (!ended && TakeSdtSection()) {
                    packetHandler.store(collectLogos ? Stage::CDT : Stage::Ignore,
                                        std::memory_order_relaxed);
                    ended = true;
                }
            });
        } catch (...) {
            // Nothing may reach the viewer's stream thread: drop the packet and its partial
            // section.
            sdt.Reset();
        }
    } catch (...) {
    }
}

bool StreamCallbackManager::TakeSdtSection() {
    const bool networkFromStream = targetNetworkId == 0;
    if (networkFromStream) {
        // A channel list that was never scanned knows no network: the actual SDT that lists the
        // target carries it. Another actual SDT may still be the previous channel's, whose
        // packets a tuner's buffers deliver after the change.
        if (sdt.tableId != SDT_ACTUAL || sdt.services.count(targetServiceId) == 0) return false;
        targetNetworkId = sdt.originalNetworkId;
    }
    if (sdt.originalNetworkId != targetNetworkId) return false;
    // On satellite networks every transport stream shares the network id, and the SDT of the
    // others travels beside the actual one: only a section that lists the target service tells
    // its logo.
    if (sdt.services.count(targetServiceId) != 0) {
        services = sdt.services;
    } else if (!targetSeen) {
        return false;
    }
    ServiceLogoInfo* entry = TargetEntry();
    if (!entry) return false;
    const bool partnered = entry->transmissionType != 2 || LendTypeOne(*entry);
    if (!targetSeen) {
        // Type 3 has no logo image: its logo id 0 would find another broadcaster's logo.
        const ServiceLogoInfo* image = TargetImage();
        LogoRecord record;
        if (showLogo && image) {
            if (logoStore->Lookup(targetNetworkId, image->logoId, logoType, record)) {
                ShowLogo(record);
            } else if (viewerLogo && !viewerLogoEarly) {
                ShowLogo(*viewerLogo);
            } else if (networkFromStream) {
                // The UI thread could not ask the viewer at the retarget without the network.
                display->AskViewerForLogo();
            }
        } else if (viewerLogoEarly) {
            display->Hide();
        }
        targetSeen = true;
    }
    // A type 2 entry stays in this stage until its partner came: without it no CDT logo can be
    // told to be the service's.
    return partnered || !collectLogos;
}

bool StreamCallbackManager::LendTypeOne(ServiceLogoInfo& entry) const {
    const ServiceLogoInfo* partner = typeOneReferences.Find(targetNetworkId, entry.logoId);
    if (!partner) return false;
    entry.logoVersion = partner->logoVersion;
    entry.downloadDataId = partner->downloadDataId;
    return true;
}

void StreamCallbackManager::HandleCDTPacket(const BYTE* packet) {
    if (PacketPid(packet) == kSdtPid) {
        IgnorePacket(packet);
        return;
    }
    if (PacketPid(packet) != kCdtPid) return;
    EnteringStage(*this);
    try {
        boost::mutex::scoped_lock lock(mutex);
        if (packetHandler.load(std::memory_order_relaxed) != Stage::CDT) return;
        try {
            cdt.PushPacket(packet, packet + kTsPacketSize, [&] {
                const LogoRecord& record = cdt.logo;
                if (record.data.empty() || record.originalNetworkId != targetNetworkId) return;
                const ServiceLogoInfo* entry = TargetImage();
                const bool current = entry && entry->downloadDataId == cdt.downloadDataId &&
                                     entry->logoId == record.logoId &&
                                     entry->logoVersion == record.logoVersion;
                // Decided in memory; the store's writer thread does the file work. A refusal
                // (queue full) is retried by the next repetition of the section.
                if (current && logoStore->Accept(record)) ShowIfTarget(record);
            });
        } catch (...) {
            cdt.Reset();
        }
    } catch (...) {
    }
}

void StreamCallbackManager::SetTarget(bool show, bool collect, uint16_t networkId,
                                      uint16_t serviceId) {
    boost::mutex::scoped_lock lock(mutex);
    display->Hide();
    services.clear();
    sdt.Reset();
    cdt.Reset();
    targetNetworkId = networkId;
    targetServiceId = serviceId;
    collectLogos = collect;
    collectCarousel.store(collect, std::memory_order_relaxed);
    showLogo = show;
    targetSeen = false;
    viewerLogo.reset();
    viewerLogoEarly = false;
    packetHandler.store(show || collect ? Stage::SDT : Stage::Ignore, std::memory_order_relaxed);
}
