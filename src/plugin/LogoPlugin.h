#pragma once

#include "LogoEventHandler.h"
#include "StreamCallbackManager.h"
#include "TVTestPlugin.h"

// The module's single plug-in object. The manager is declared last so that it goes first: its
// overlay stops polling the viewer before the handler and the viewer interface disappear.
class LogoPlugin : public TVTest::CTVTestPlugin {
public:
    LogoPlugin() : handler(this), manager(this) {}
    ~LogoPlugin() override = default;

    // Constants only: the exports answer it without an object.
    static void Describe(TVTest::PluginDescription& info);
    bool GetPluginInfo(TVTest::PluginDescription* info) override;
    bool Initialize() override;

    // Whether a running thread of ours (the overlay's render thread, the store's writer) makes
    // destruction unsafe where no thread may be joined.
    bool HasRunningThreads() const;

    // Before teardown: removes both callbacks from the viewer (nothing is sent when none was
    // registered), then waits for a packet already inside the stream callback, so that no packet
    // ever runs on a half-destroyed manager. The viewer's thread only.
    void RemoveCallbacks();

    LogoEventHandler handler;
    StreamCallbackManager manager;

private:
    bool callbacksRegistered = false;
};

// The viewer's callbacks; the client data is the LogoPlugin. Neither lets an exception out.
LRESULT CALLBACK EventCallback(UINT event, LPARAM lParam1, LPARAM lParam2, void* clientData);
BOOL CALLBACK StreamCallback(BYTE* packet, void* clientData);

#if defined(_WIN32) && !defined(_WIN64)
#include <type_traits>
// The viewer calls these with the Windows API convention (the callee removes the arguments): a
// missing CALLBACK here would unbalance its stack, so it fails the 32-bit build instead.
static_assert(std::is_same_v<decltype(&EventCallback), TVTest::EventCallbackFunc>);
static_assert(std::is_same_v<decltype(&StreamCallback), TVTest::StreamCallbackFunc>);
#endif
