#include "ScriptedHost.h"

#include <cstring>

using namespace TVTest;

ScriptedHost::ScriptedHost() {
    param.messageCallback = &MessageCallback;
    param.hostWindow = nullptr;
    param.hostData = this;
}

ChannelRecord ScriptedHost::Channel(int number, WORD networkId, WORD serviceId) {
    ChannelRecord record{};
    // Host-owned bytes are not zero in a real viewer; the plug-in must not depend on them.
    std::memset(&record, 0xA5, sizeof record);
    record.size = CHANNEL_RECORD_SIZE;
    record.channelNumber = number;
    record.networkId = networkId;
    record.serviceId = serviceId;
    return record;
}

LRESULT CALLBACK ScriptedHost::MessageCallback(HostParam* param, UINT message, LPARAM lParam1,
                                               LPARAM lParam2) {
    return static_cast<ScriptedHost*>(param->hostData)->Answer(message, lParam1, lParam2);
}

LRESULT ScriptedHost::Answer(UINT message, LPARAM lParam1, LPARAM lParam2) {
    std::lock_guard<std::mutex> lock(mutex);
    DWORD sizeField = 0;
    switch (message) {
        case HOST_MSG_GET_CHANNEL:
        case HOST_MSG_GET_CURRENT_CHANNEL:
        case HOST_MSG_GET_ASPECT:
        case HOST_MSG_SET_STREAM_CALLBACK:
            sizeField = *reinterpret_cast<DWORD*>(lParam1);
            break;
        case HOST_MSG_GET_SERVICE_INFO:
            sizeField = *reinterpret_cast<DWORD*>(lParam2);
            break;
        default:
            break;
    }
    calls.push_back(Call{message, lParam1, lParam2, sizeField});

    switch (message) {
        case HOST_MSG_SET_EVENT_CALLBACK:
            eventCallback = reinterpret_cast<EventCallbackFunc>(lParam1);
            eventClientData = reinterpret_cast<void*>(lParam2);
            return 0;
        case HOST_MSG_SET_STREAM_CALLBACK:
            streamCallback = *reinterpret_cast<StreamCallbackInfo*>(lParam1);
            if (streamCallback->flags & STREAM_CALLBACK_REMOVE) streamCallback.reset();
            return 0;
        case HOST_MSG_GET_TUNING_SPACE:
            // The high half is noise the plug-in must mask off.
            return static_cast<LRESULT>(0x70000 | tuningSpace);
        case HOST_MSG_GET_CHANNEL: {
            const size_t index = static_cast<size_t>(lParam2 >> 16);
            if ((lParam2 & 0xFFFF) != tuningSpace || index >= channels.size()) return 0;
            std::memcpy(reinterpret_cast<void*>(lParam1), &channels[index], sizeof(ChannelRecord));
            return 1;
        }
        case HOST_MSG_GET_CURRENT_CHANNEL:
            if (!current) return 0;
            std::memcpy(reinterpret_cast<void*>(lParam1), &*current, sizeof(ChannelRecord));
            return 1;
        case HOST_MSG_GET_SERVICE:
            return serviceIndex;
        case HOST_MSG_GET_SERVICE_INFO: {
            if (!serviceId) return 0;
            auto* record = reinterpret_cast<ServiceRecord*>(lParam2);
            std::memset(record, 0x5A, sizeof *record);
            record->size = SERVICE_RECORD_SIZE;
            record->serviceId = *serviceId;
            return 1;
        }
        case HOST_MSG_GET_ZOOM:
            return zoom;
        case HOST_MSG_GET_ASPECT: {
            if (!aspect) return 0;
            auto* record = reinterpret_cast<AspectRecord*>(lParam1);
            record->aspectX = aspect->first;
            record->aspectY = aspect->second;
            return 1;
        }
        case HOST_MSG_GET_FULLSCREEN:
            return fullScreen ? 1 : 0;
        default:
            return 0;
    }
}

std::vector<ScriptedHost::Call> ScriptedHost::Calls() {
    std::lock_guard<std::mutex> lock(mutex);
    return calls;
}

std::vector<UINT> ScriptedHost::Messages() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<UINT> messages;
    for (const Call& call : calls) messages.push_back(call.message);
    return messages;
}

void ScriptedHost::ClearCalls() {
    std::lock_guard<std::mutex> lock(mutex);
    calls.clear();
}
