#pragma once

// What the viewer knows and tells the plug-in when asked: the tuning space and its channels, the
// current channel and service, the zoom, the picture's aspect ratio and the full-screen state.
// Plain values; HostState guards them and answers the plug-in's requests from them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace insigno::host {

struct ChannelEntry {
    int number = 0;
    std::uint16_t networkId = 0;
    std::uint16_t serviceId = 0;
    std::string name;
};

// The record message 4 fills: normally the listed channel of that number; a scenario may give
// other ids to model a viewer whose current channel disagrees with its list.
struct CurrentChannel {
    int number = 0;
    std::optional<std::uint16_t> networkId;
    std::optional<std::uint16_t> serviceId;
};

// A logo the viewer holds for (network, service) in one logo type: what message 63 answers as a
// fresh DIB section, and message 64 counts.
struct ViewerLogo {
    std::uint16_t networkId = 0;
    std::uint16_t serviceId = 0;
    std::uint8_t type = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, top row first
};

struct ViewerState {
    std::uint16_t tuningSpace = 0;
    std::vector<ChannelEntry> channels;                  // message 9 enumerates them in this order
    std::optional<CurrentChannel> current;               // empty: message 4 fails
    std::vector<std::uint16_t> services;                 // message 10, by index
    int currentService = 0;                              // message 6; negative means none
    int zoom = 100;                                      // message 18; 0 means not available
    std::optional<std::pair<int, int>> aspect{{16, 9}};  // message 20; empty: the request fails
    std::optional<std::pair<int, int>> videoAspect{{16, 9}};  // message 24; empty: it fails
    bool fullScreen = false;                                  // message 29
    std::vector<ViewerLogo> viewerLogos;  // messages 63 and 64; a later one wins
    bool viewerLogosHandled = true;       // message 1 for 63 and 64
};

// What the viewer does when the user picks a channel or a service. Several list entries may share
// one channel number (a transport stream carrying several services, each its own entry).
//
// The current channel becomes NUMBER (message 4 answers its first listed entry) and the watched
// service that entry's service.
void SwitchChannel(ViewerState& state, int number);
// The current channel becomes list entry POSITION (in the order message 9 enumerates): message 4
// answers its number with its own ids, and the watched service is its service. A position past
// the list leaves no current channel.
void SelectEntry(ViewerState& state, std::size_t position);
// The watched service becomes SERVICE: message 6 answers its index in `services`, where it is
// added when missing. Service id 0 (an entry that names none) leaves the watched service as it is.
void WatchService(ViewerState& state, std::uint16_t serviceId);

}  // namespace insigno::host
