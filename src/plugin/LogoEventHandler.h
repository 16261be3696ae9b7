#pragma once

#include <cstdint>
#include <optional>

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
    // The settings button: lParam1 is the owner window of the modal settings dialog.
    bool OnPluginSettings(LPARAM ownerWindow) override;
    // A registered command the user ran.
    bool OnCommand(LPARAM commandId) override;
    ~LogoEventHandler() override = default;

    LogoPlugin* owner;
    bool enabled = false;
    bool previewOn = false;
    // Network id of the current channel; 0 when not known or when the channel list was never
    // scanned (the stream side then learns it from the stream).
    uint16_t currentNetworkId = 0;
    // The watched service.
    uint16_t currentServiceId = 0;
    // The viewer answered the current channel at the last channel or service change.
    bool channelKnown = false;

private:
    struct Watched {
        uint16_t networkId;
        uint16_t serviceId;
    };

    LRESULT Send(UINT message, LPARAM lParam1 = 0, LPARAM lParam2 = 0) const;
    // show = enabled, preview on and a channel known; collect = enabled and a channel known.
    void Retarget();
    // The current channel's own network and the watched service (messages 6 and 10, else the
    // channel's); nothing when the viewer knows no current channel.
    std::optional<Watched> WatchedService() const;
    // Retargets to the watched service: always on a channel change, on a service change only
    // when the network or the service differs.
    void Follow(bool always);
};
