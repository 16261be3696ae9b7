#include "../UserState.h"
#include "Registry.h"

namespace insigno::platform {

DWORD WindowThread(HWND window) {
    UserState& state = User();
    Lock lock(state.mutex);
    const WindowRecord* record = FindWindow(state, window);
    return record ? record->ownerThread : 0;
}

bool OnThread(DWORD thread) {
    UserState& state = User();
    Lock lock(state.mutex);
    return thread != 0 && thread == CurrentThread();
}

}  // namespace insigno::platform
