#include "insigno/host/HostState.h"

#include "HostProtocol.h"

namespace insigno::host {
namespace {

const ChannelEntry* FindChannel(const ViewerState& state, int number) {
    for (const auto& channel : state.channels) {
        if (channel.number == number) return &channel;
    }
    return nullptr;
}

void FillChannel(TVTest::ChannelRecord* record, int number, std::uint16_t networkId,
                 std::uint16_t serviceId) {
    record->channelNumber = number;
    record->networkId = networkId;
    record->serviceId = serviceId;
}

}  // namespace

HostState::HostState(ViewerState initial) : state(std::move(initial)) {}

void HostState::Change(const std::function<void(ViewerState&)>& change) {
    std::lock_guard<std::mutex> lock(mutex);
    change(state);
}

ViewerState HostState::Get() const {
    std::lock_guard<std::mutex> lock(mutex);
    return state;
}

bool HostState::Answers(UINT message) {
    switch (message) {
        case TVTest::HOST_MSG_GET_CURRENT_CHANNEL:
        case TVTest::HOST_MSG_GET_SERVICE:
        case TVTest::HOST_MSG_GET_CHANNEL:
        case TVTest::HOST_MSG_GET_SERVICE_INFO:
        case TVTest::HOST_MSG_GET_ZOOM:
        case TVTest::HOST_MSG_GET_ASPECT:
        case TVTest::HOST_MSG_GET_VIDEO_INFO:
        case TVTest::HOST_MSG_GET_FULLSCREEN:
        case TVTest::HOST_MSG_GET_TUNING_SPACE:
            return true;
        default:
            return false;
    }
}

LRESULT HostState::Answer(UINT message, LPARAM lParam1, LPARAM lParam2) {
    std::lock_guard<std::mutex> lock(mutex);
    switch (message) {
        case TVTest::HOST_MSG_GET_TUNING_SPACE:
            return state.tuningSpace;
        case TVTest::HOST_MSG_GET_CHANNEL: {
            auto* record = reinterpret_cast<TVTest::ChannelRecord*>(lParam1);
            if (!record || record->size != TVTest::CHANNEL_RECORD_SIZE) return 0;
            const auto index = static_cast<std::size_t>((lParam2 >> 16) & 0xFFFF);
            if ((lParam2 & 0xFFFF) != state.tuningSpace || index >= state.channels.size()) return 0;
            const auto& channel = state.channels[index];
            FillChannel(record, channel.number, channel.networkId, channel.serviceId);
            return 1;
        }
        case TVTest::HOST_MSG_GET_CURRENT_CHANNEL: {
            auto* record = reinterpret_cast<TVTest::ChannelRecord*>(lParam1);
            if (!record || record->size != TVTest::CHANNEL_RECORD_SIZE || !state.current) return 0;
            const CurrentChannel& current = *state.current;
            const ChannelEntry* listed = FindChannel(state, current.number);
            FillChannel(record, current.number,
                        current.networkId.value_or(listed ? listed->networkId : 0),
                        current.serviceId.value_or(listed ? listed->serviceId : 0));
            return 1;
        }
        case TVTest::HOST_MSG_GET_SERVICE:
            return state.currentService < 0 ? -1 : state.currentService;
        case TVTest::HOST_MSG_GET_SERVICE_INFO: {
            auto* record = reinterpret_cast<TVTest::ServiceRecord*>(lParam2);
            if (!record || record->size != TVTest::SERVICE_RECORD_SIZE) return 0;
            if (lParam1 < 0 || static_cast<std::size_t>(lParam1) >= state.services.size()) return 0;
            record->serviceId = state.services[static_cast<std::size_t>(lParam1)];
            return 1;
        }
        case TVTest::HOST_MSG_GET_ZOOM:
            return state.zoom;
        case TVTest::HOST_MSG_GET_ASPECT: {
            auto* record = reinterpret_cast<TVTest::AspectRecord*>(lParam1);
            if (!record || record->size != TVTest::ASPECT_RECORD_SIZE || !state.aspect) return 0;
            record->aspectX = state.aspect->first;
            record->aspectY = state.aspect->second;
            return 1;
        }
        case TVTest::HOST_MSG_GET_VIDEO_INFO: {
            auto* record = reinterpret_cast<TVTest::VideoInfoRecord*>(lParam1);
            if (!record || record->size != TVTest::VIDEO_INFO_RECORD_SIZE || !state.videoAspect)
                return 0;
            // A broadcast's 1440 x 1080 or 720 x 480 frame, whatever its display aspect.
            const bool wide = state.videoAspect->first * 3 > state.videoAspect->second * 4;
            record->width = wide ? 1440 : 720;
            record->height = wide ? 1080 : 480;
            record->aspectX = state.videoAspect->first;
            record->aspectY = state.videoAspect->second;
            record->sourceLeft = 0;
            record->sourceTop = 0;
            record->sourceRight = record->width;
            record->sourceBottom = record->height;
            return 1;
        }
        case TVTest::HOST_MSG_GET_FULLSCREEN:
            return state.fullScreen ? 1 : 0;
        default:
            return 0;
    }
}

}  // namespace insigno::host
