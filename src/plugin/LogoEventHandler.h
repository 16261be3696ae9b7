#pragma once

#include <cstdint>

#include "TVTestPlugin.h"

class LogoPlugin;

// Follows the viewer's enabled, preview, channel and service events and retargets the stream
// side on each of them.
class LogoEventHandler : public TVTest::CTVTestEventHandler {
public:
    explicit LogoEventHandler(LogoPlugin* plugin) : owner(plugin) {}

    bool OnPluginEnable(bool enable) override;
    bool OnChannelChange() override;
    bool OnServiceChange() override;
    bool OnDriverChange() override;
    bool OnServiceUpdate() override;
    bool OnPreviewChange(bool preview) override;
    ~LogoEventHandler() override = default;

    LogoPlugin* owner;
    bool enabled = false;
    bool previewOn = false;
    uint16_t currentNetworkId = 0;
    uint16_t currentServiceId = 0;

private:
    LRESULT Send(UINT message, LPARAM lParam1 = 0, LPARAM lParam2 = 0) const;
    // collect = enabled and a network is known; the show flag never outlives one SetTarget.
    void Retarget(bool show);
};
