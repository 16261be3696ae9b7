#include "LogoEventHandler.h"

#include "LogoPlugin.h"
#include "SettingsDialog.h"

using namespace TVTest;

LRESULT LogoEventHandler::Send(UINT message, LPARAM lParam1, LPARAM lParam2) const {
    return owner->app->SendHostMessage(message, lParam1, lParam2);
}

void LogoEventHandler::Retarget() {
    // While the preview is off nothing is shown; collection goes on. Network id 0 (a channel list
    // that was never scanned) is learned by the stream side from the stream itself.
    owner->manager.SetTarget(enabled && previewOn && channelKnown, enabled && channelKnown,
                             currentNetworkId, currentServiceId);
    owner->manager.FetchForTarget();
}

std::optional<LogoEventHandler::Watched> LogoEventHandler::WatchedService() const {
    ChannelRecord channel{};
    channel.size = CHANNEL_RECORD_SIZE;
    if (!Send(HOST_MSG_GET_CURRENT_CHANNEL, reinterpret_cast<LPARAM>(&channel)))
        return std::nullopt;
    // The channel-list entry's service is the one the list names, not necessarily the one being
    // watched: one transport stream carries several services.
    Watched watched{channel.networkId, channel.serviceId};
    const LRESULT index = Send(HOST_MSG_GET_SERVICE);
    if (index >= 0) {
        ServiceRecord service{};
        service.size = SERVICE_RECORD_SIZE;
        if (Send(HOST_MSG_GET_SERVICE_INFO, index, reinterpret_cast<LPARAM>(&service)))
            watched.serviceId = service.serviceId;
    }
    return watched;
}

void LogoEventHandler::Follow(bool always) {
    const std::optional<Watched> watched = WatchedService();
    if (!watched) {
        // A service change that finds no channel where none was known changes nothing.
        if (!always && !channelKnown) return;
        channelKnown = false;
        currentNetworkId = 0;
        owner->manager.SetTarget(false, false, 0, currentServiceId);
        return;
    }
    if (!always && channelKnown && watched->networkId == currentNetworkId &&
        watched->serviceId == currentServiceId) {
        return;
    }
    channelKnown = true;
    currentNetworkId = watched->networkId;
    currentServiceId = watched->serviceId;
    Retarget();
}

bool LogoEventHandler::OnPluginEnable(bool enable) {
    enabled = enable;
    Retarget();
    return true;
}

bool LogoEventHandler::OnPreviewChange(bool preview) {
    previewOn = preview;
    Retarget();
    return true;
}

bool LogoEventHandler::OnDriverChange() {
    channelKnown = false;
    currentNetworkId = 0;
    owner->manager.SetTarget(false, false, 0, currentServiceId);
    return true;
}

bool LogoEventHandler::OnServiceChange() {
    Follow(false);
    return true;
}

bool LogoEventHandler::OnChannelChange() {
    Follow(true);
    return true;
}

bool LogoEventHandler::OnServiceUpdate() {
    // Only while no channel is known; the ids stay unchanged so the next update tries again.
    if (channelKnown) return true;
    ChannelRecord channel{};
    channel.size = CHANNEL_RECORD_SIZE;
    if (!Send(HOST_MSG_GET_CURRENT_CHANNEL, reinterpret_cast<LPARAM>(&channel)) ||
        channel.networkId == 0) {
        return true;
    }
    const LRESULT index = Send(HOST_MSG_GET_SERVICE);
    if (index < 0) return true;
    ServiceRecord service{};
    service.size = SERVICE_RECORD_SIZE;
    if (!Send(HOST_MSG_GET_SERVICE_INFO, index, reinterpret_cast<LPARAM>(&service))) return true;
    owner->manager.SetTarget(enabled && previewOn, false, channel.networkId, service.serviceId);
    owner->manager.FetchForTarget();
    return true;
}

bool LogoEventHandler::OnPluginSettings(LPARAM ownerWindow) {
    return ShowSettingsDialog(reinterpret_cast<HWND>(ownerWindow), owner->manager);
}

bool LogoEventHandler::OnCommand(LPARAM commandId) {
    return owner->manager.RunCommand(commandId);
}
