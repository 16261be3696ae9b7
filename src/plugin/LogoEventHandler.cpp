#include "LogoEventHandler.h"

#include <map>

#include "LogoPlugin.h"

using namespace TVTest;

LRESULT LogoEventHandler::Send(UINT message, LPARAM lParam1, LPARAM lParam2) const {
    return owner->app->SendHostMessage(message, lParam1, lParam2);
}

void LogoEventHandler::Retarget(bool show) {
    owner->manager.SetTarget(show, enabled && currentNetworkId != 0, currentNetworkId,
                             currentServiceId);
}

bool LogoEventHandler::OnPluginEnable(bool enable) {
    enabled = enable;
    Retarget(false);
    return true;
}

bool LogoEventHandler::OnPreviewChange(bool preview) {
    previewOn = preview;
    Retarget(false);
    return true;
}

bool LogoEventHandler::OnDriverChange() {
    currentNetworkId = 0;
    owner->manager.SetTarget(false, false, 0, currentServiceId);
    return true;
}

bool LogoEventHandler::OnServiceChange() {
    return true;
}

bool LogoEventHandler::OnChannelChange() {
    const LPARAM space = Send(HOST_MSG_GET_TUNING_SPACE) & 0xFFFF;
    std::map<int32_t, ChannelRecord> channels;
    ChannelRecord record{};
    for (LPARAM index = 0;; ++index) {
        record.size = CHANNEL_RECORD_SIZE;
        if (!Send(HOST_MSG_GET_CHANNEL, reinterpret_cast<LPARAM>(&record), (index << 16) | space))
            break;
        channels[record.channelNumber] = record;
    }
    record.size = CHANNEL_RECORD_SIZE;
    if (Send(HOST_MSG_GET_CURRENT_CHANNEL, reinterpret_cast<LPARAM>(&record))) {
        // The ids come from the enumerated record of the same channel number; a number the
        // enumeration did not return yields an all-zero record.
        const ChannelRecord& entry = channels[record.channelNumber];
        currentNetworkId = entry.networkId;
        currentServiceId = entry.serviceId;
        Retarget(enabled && previewOn && currentNetworkId != 0);
    } else {
        currentNetworkId = 0;
        owner->manager.SetTarget(false, false, 0, currentServiceId);
    }
    return true;
}

bool LogoEventHandler::OnServiceUpdate() {
    // Only while no channel is known; the ids stay unchanged so the next update tries again.
    if (currentNetworkId != 0) return true;
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
    owner->manager.SetTarget(enabled && previewOn, enabled && currentNetworkId != 0,
                             channel.networkId, service.serviceId);
    return true;
}
