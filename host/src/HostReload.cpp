#include "insigno/host/Host.h"

namespace insigno::host {

void Host::PrepareReload() {
    if (module && module->Loaded()) return;
    if (pump) pump->Stop();
    pump.reset();
    module.reset();
    initialized = false;
    finalized = false;
    std::lock_guard<std::mutex> lock(mutex);
    afterFinalize = false;
    eventCallback = nullptr;
    eventClientData = nullptr;
    streamCallback.reset();
    eventCallbackRemoved = false;
    streamCallbackRemoved = false;
}

}  // namespace insigno::host
