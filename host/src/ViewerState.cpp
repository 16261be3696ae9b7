#include "insigno/host/ViewerState.h"

#include <algorithm>

namespace insigno::host {

void SwitchChannel(ViewerState& state, int number) {
    state.current = CurrentChannel{number, {}, {}};
    const auto listed =
        std::find_if(state.channels.begin(), state.channels.end(),
                     [number](const ChannelEntry& e) { return e.number == number; });
    if (listed != state.channels.end()) WatchService(state, listed->serviceId);
}

void SelectEntry(ViewerState& state, std::size_t position) {
    if (position >= state.channels.size()) {
        state.current.reset();
        return;
    }
    const ChannelEntry entry = state.channels[position];
    state.current = CurrentChannel{entry.number, entry.networkId, entry.serviceId};
    WatchService(state, entry.serviceId);
}

void WatchService(ViewerState& state, std::uint16_t serviceId) {
    if (serviceId == 0) return;
    const auto found = std::find(state.services.begin(), state.services.end(), serviceId);
    state.currentService = static_cast<int>(found - state.services.begin());
    if (found == state.services.end()) state.services.push_back(serviceId);
}

}  // namespace insigno::host
