#include "LogoPlugin.h"

#include <atomic>
#include <thread>

#include "Commands.h"
#include "LogoStore.h"

using namespace TVTest;

namespace {

// The stream callback's door. It lives in the module, not in the plug-in object: a packet that
// the viewer handed over just before the removal may reach the callback after the object is
// gone, and must find the door closed without touching the object.
std::atomic<bool> streamClosed{false};
std::atomic<int> packetsInside{0};

}  // namespace

void LogoPlugin::Describe(PluginDescription& info) {
    info.type = 0;
    info.flags = PLUGIN_FLAG_HAS_SETTINGS;
    info.name = L"Insigno";
    info.copyright = L"Copyright (c) 2026 the Insigno developers";
    // "放送局のロゴを表示します"
    info.description = L"\u653E\u9001\u5C40\u306E\u30ED\u30B4\u3092\u8868\u793A\u3057\u307E\u3059";
}

bool LogoPlugin::GetPluginInfo(PluginDescription* info) {
    Describe(*info);
    return true;
}

bool LogoPlugin::Initialize() {
    if (!manager.Open()) return false;
    streamClosed.store(false);
    app->SendHostMessage(HOST_MSG_REGISTER_COMMAND, reinterpret_cast<LPARAM>(CommandRecords()),
                         CommandCount());
    app->SendHostMessage(HOST_MSG_SET_EVENT_CALLBACK, reinterpret_cast<LPARAM>(&EventCallback),
                         reinterpret_cast<LPARAM>(this));
    StreamCallbackInfo info{};
    info.size = sizeof info;
    info.flags = 0;
    info.callback = &StreamCallback;
    info.clientData = this;
    app->SendHostMessage(HOST_MSG_SET_STREAM_CALLBACK, reinterpret_cast<LPARAM>(&info), 0);
    callbacksRegistered = true;
    return true;
}

void LogoPlugin::RemoveCallbacks() {
    if (!callbacksRegistered) return;
    StreamCallbackInfo info{};
    info.size = sizeof info;
    info.flags = STREAM_CALLBACK_REMOVE;
    info.callback = &StreamCallback;
    info.clientData = this;
    app->SendHostMessage(HOST_MSG_SET_STREAM_CALLBACK, reinterpret_cast<LPARAM>(&info), 0);
    app->SendHostMessage(HOST_MSG_SET_EVENT_CALLBACK, 0, 0);
    callbacksRegistered = false;
    // A packet the viewer handed over before the removal may still be inside; one arriving now
    // is dropped at the door. Packets are short: wait by yielding.
    streamClosed.store(true);
    while (packetsInside.load() != 0) std::this_thread::yield();
}

bool LogoPlugin::HasRunningThreads() const {
    return manager.overlayWindow != nullptr ||
           (manager.logoStore != nullptr && manager.logoStore->WriterRunning());
}

LRESULT CALLBACK EventCallback(UINT event, LPARAM lParam1, LPARAM lParam2, void* clientData) {
    try {
        return static_cast<LogoPlugin*>(clientData)
            ->handler.DispatchEvent(event, lParam1, lParam2, clientData);
    } catch (...) {
        // An exception must not unwind into the viewer (an allocation failure while the
        // channel list is copied, for one); the event is dropped.
        return 0;
    }
}

BOOL CALLBACK StreamCallback(BYTE* packet, void* clientData) {
    // Counted in before the door is read, and the closing side closes before it counts: one of
    // the two always sees the other.
    packetsInside.fetch_add(1);
    if (!streamClosed.load()) static_cast<LogoPlugin*>(clientData)->manager.HandlePacket(packet);
    packetsInside.fetch_sub(1);
    return TRUE;
}
