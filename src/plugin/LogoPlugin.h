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

    bool GetPluginInfo(TVTest::PluginDescription* info) override;
    bool Initialize() override;

    // Whether a running overlay thread makes destruction unsafe where no thread may be joined.
    bool HasRunningOverlay() const;

    LogoEventHandler handler;
    StreamCallbackManager manager;
};

// The viewer's callbacks; the client data is the LogoPlugin. Neither lets an exception out.
LRESULT CALLBACK EventCallback(UINT event, LPARAM lParam1, LPARAM lParam2, void* clientData);
BOOL CALLBACK StreamCallback(BYTE* packet, void* clientData);
