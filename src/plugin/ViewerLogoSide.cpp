// The manager's share of logos that reach the screen other than by the SDT stage's lookup: the
// viewer's own logo while the store has none, and logos that reach the store while the target
// is watched.

#include <boost/thread/locks.hpp>

#include "LogoPlugin.h"
#include "LogoStore.h"
#include "ViewerLogo.h"

void StreamCallbackManager::ShowLogo(const LogoRecord& record) {
    display->Show(record);
}

void StreamCallbackManager::ShowIfTarget(const LogoRecord& record) {
    // Before the SDT stage has seen the target its logo id is unknown; the stage then looks the
    // store up itself.
    if (!showLogo || !targetSeen || record.originalNetworkId != targetNetworkId ||
        record.logoType != logoType) {
        return;
    }
    const ServiceLogoInfo* image = TargetImage();
    if (image && image->logoId == record.logoId) ShowLogo(record);
}

void StreamCallbackManager::ShowArrival(const LogoRecord& record) {
    try {
        boost::mutex::scoped_lock lock(mutex);
        ShowIfTarget(record);
    } catch (...) {
    }
}

void StreamCallbackManager::FetchForTarget() {
    // The next visit to a service finds what other processes saved for it meanwhile.
    if (logoStore) logoStore->Refresh();
    AskViewerForLogo();
}

void StreamCallbackManager::AskViewerForLogo() {
    try {
        uint16_t networkId = 0;
        uint16_t serviceId = 0;
        {
            boost::mutex::scoped_lock lock(mutex);
            // A network the stream side has still to learn: it asks for this once it has.
            if (!showLogo || targetNetworkId == 0) return;
            networkId = targetNetworkId;
            serviceId = targetServiceId;
        }
        // The viewer is asked without the mutex: the stream thread goes on meanwhile.
        if (!owner || !owner->app) return;
        if (!viewerHasLogos) viewerHasLogos = ViewerHandlesLogos(*owner->app);
        if (!*viewerHasLogos) return;
        std::optional<LogoRecord> record =
            FetchViewerLogo(*owner->app, networkId, serviceId, logoType);
        if (!record) return;
        boost::mutex::scoped_lock lock(mutex);
        if (!showLogo || targetNetworkId != networkId || targetServiceId != serviceId) return;
        viewerLogo = std::move(record);
        if (!targetSeen) {
            // The viewer holds logos only of services that send an image, so it goes up now
            // rather than after the next SDT (up to two seconds); the SDT's entry then puts the
            // store's logo in its place or, for a service without an image, hides it.
            ShowLogo(*viewerLogo);
            viewerLogoEarly = true;
            return;
        }
        // The SDT stage came first and found nothing in the store (nor does it hold anything
        // now, else it was shown on arrival).
        const ServiceLogoInfo* image = TargetImage();
        LogoRecord held;
        if (image && !logoStore->Lookup(targetNetworkId, image->logoId, logoType, held))
            ShowLogo(*viewerLogo);
    } catch (...) {
        // Without the viewer's logo the store's still comes when it is collected.
    }
}
