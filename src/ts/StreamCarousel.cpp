// The stream side's share of the engineering service's logo carousel: BS and CS logos, taken
// from every completed logo module while collecting is on, whatever service is targeted.

#include <boost/thread/locks.hpp>

#include "LogoStore.h"
#include "StreamCallbackManager.h"

namespace {

constexpr uint16_t SDT_PID = 0x0011;
constexpr size_t PACKET_SIZE = 188;

}  // namespace

void StreamCallbackManager::CollectCarousel(const BYTE* packet, Stage stage) {
    try {
        carousel.PushPacket(packet);
        const uint16_t pid = static_cast<uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
        // The SDT stage reads SDT packets itself; the other stages leave them to the carousel's
        // versions once the stream is known to carry it.
        if (pid == SDT_PID && stage != Stage::SDT && carousel.Carrying()) LearnVersions(packet);
        // One logo per packet: a module of hundreds completes at once, and the stream thread
        // must never be held for all of them.
        if (!carouselBacklog.Empty()) OfferCarouselLogo();
    } catch (...) {
        // Nothing may reach the viewer's stream thread; what was lost comes again next cycle.
    }
}

void StreamCallbackManager::LearnVersions(const BYTE* packet) {
    boost::mutex::scoped_lock lock(mutex);
    // SetTarget may have started the SDT stage since: its parser is that stage's now.
    if (packetHandler.load(std::memory_order_relaxed) == Stage::SDT) return;
    try {
        sdt.PushPacket(packet, packet + PACKET_SIZE,
                       [&] { typeOneReferences.Remember(sdt.originalNetworkId, sdt.services); });
    } catch (...) {
        sdt.Reset();
    }
}

void StreamCallbackManager::OfferCarouselLogo() {
    LogoRecord record;
    if (!carouselBacklog.Next(record)) return;
    boost::mutex::scoped_lock lock(mutex);
    if (const ServiceLogoInfo* reference =
            typeOneReferences.Find(record.originalNetworkId, record.logoId)) {
        record.logoVersion = reference->logoVersion;
    } else {
        // No SDT has told its version yet: version 0 stands in only for a logo the store lacks,
        // and a later copy under its real version replaces it.
        LogoRecord held;
        if (logoStore->Lookup(record.originalNetworkId, record.logoId, record.logoType, held)) {
            return;
        }
    }
    if (logoStore->Accept(record)) ShowIfTarget(record);
}
