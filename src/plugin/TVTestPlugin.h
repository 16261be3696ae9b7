#pragma once

// The three viewer interface classes compiled into the plug-in: the message sender, the plug-in
// base the exports talk to, and the event handler base with its dispatch by event code.

#include <memory>

#include "HostProtocol.h"

namespace TVTest {

class CTVTestApp {
public:
    explicit CTVTestApp(HostParam* hostParam) : param(hostParam) {}
    virtual ~CTVTestApp() = default;

    // Callable from any thread; the viewer's message function is thread-safe.
    LRESULT SendHostMessage(UINT message, LPARAM lParam1 = 0, LPARAM lParam2 = 0) const {
        return param->messageCallback(param, message, lParam1, lParam2);
    }

    HostParam* param;
};

class CTVTestPlugin {
public:
    CTVTestPlugin() = default;
    CTVTestPlugin(const CTVTestPlugin&) = delete;
    CTVTestPlugin& operator=(const CTVTestPlugin&) = delete;
    virtual ~CTVTestPlugin() = default;

    // The plug-in interface level this module speaks.
    static constexpr DWORD kInterfaceVersion = 7;

    virtual DWORD GetVersion() { return kInterfaceVersion; }
    virtual bool GetPluginInfo(PluginDescription* info) = 0;
    virtual bool Initialize() { return true; }
    virtual bool Finalize() { return true; }

    HostParam* param = nullptr;
    std::unique_ptr<CTVTestApp> app;
};

// Eighteen handler slots, the n-th handling event code n; the base answers false to all.
class CTVTestEventHandler {
public:
    CTVTestEventHandler() = default;
    CTVTestEventHandler(const CTVTestEventHandler&) = delete;
    CTVTestEventHandler& operator=(const CTVTestEventHandler&) = delete;

    virtual bool OnPluginEnable(bool /*enable*/) { return false; }                    // 0
    virtual bool OnPluginSettings(LPARAM /*ownerWindow*/) { return false; }           // 1
    virtual bool OnChannelChange() { return false; }                                  // 2
    virtual bool OnServiceChange() { return false; }                                  // 3
    virtual bool OnDriverChange() { return false; }                                   // 4
    virtual bool OnServiceUpdate() { return false; }                                  // 5
    virtual bool OnUnusedEvent6(LPARAM /*lParam1*/) { return false; }                 // 6
    virtual bool OnUnusedEvent7(bool /*flag*/) { return false; }                      // 7
    virtual bool OnPreviewChange(bool /*preview*/) { return false; }                  // 8
    virtual bool OnUnusedEvent9(LPARAM /*lParam1*/, bool /*flag*/) { return false; }  // 9
    virtual bool OnUnusedEvent10(LPARAM /*lParam1*/) { return false; }                // 10
    virtual bool OnUnusedEvent11() { return false; }                                  // 11
    virtual bool OnUnusedEvent12(bool /*flag*/) { return false; }                     // 12
    virtual bool OnCommand(LPARAM /*commandId*/) { return false; }                    // 13
    virtual bool OnUnusedEvent14(LPARAM /*lParam1*/) { return false; }                // 14
    virtual bool OnUnusedEvent15() { return false; }                                  // 15
    virtual bool OnUnusedEvent16() { return false; }                                  // 16
    virtual bool OnUnusedEvent17(LPARAM /*lParam1*/) { return false; }                // 17
    virtual ~CTVTestEventHandler() = default;

    // Returns the handler's result as 0 or 1; codes above 17 reach no handler and answer 0.
    LRESULT DispatchEvent(UINT event, LPARAM lParam1, LPARAM lParam2, void* client);

    // The client data of the event being handled (the plug-in object). Nothing here reads it:
    // the viewer hands it back with every event, and the handler keeps it for that reason.
    void* clientData = nullptr;
};

}  // namespace TVTest
