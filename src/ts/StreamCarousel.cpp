// The stream side's share of the engineering service's logo carousel: BS and CS logos, taken
// from every completed logo module while collecting is on, whatever service is targeted.

#include <boost/thread/locks.hpp>

#include "CarouselVersions.h"
#include "LogoStore.h"
#include "StreamCallbackManager.h"

void StreamCallbackManager::CollectCarousel(const BYTE* packet) {
    try {
        // Versions learnt since the modules were filed, or a logo refused: every module comes
        // once more. Both happen seldom; a carousel that stays as it is is filed once.
        if (carouselBacklog.NeedsAgain(typeOneReferences.Changes())) carousel.HandAgain();
        carousel.PushPacket(packet);
        // One logo per packet: a module of hundreds completes at once, and the stream thread
        // must never be held for all of them.
        if (!carouselBacklog.Empty()) OfferCarouselLogo();
    } catch (...) {
        // Nothing may reach the viewer's stream thread; what was lost comes again next cycle.
        carouselBacklog.Again();
    }
}

void StreamCallbackManager::OfferCarouselLogo() {
    LogoRecord record;
    if (!carouselBacklog.Next(record)) return;
    boost::mutex::scoped_lock lock(mutex);
    switch (FileCarouselLogo(record, typeOneReferences, *logoStore)) {
    case LogoStore::Taken::Queued: ShowIfTarget(record); break;
    case LogoStore::Taken::Refused: carouselBacklog.Again(); break;
    case LogoStore::Taken::Held: break;
    }
}
