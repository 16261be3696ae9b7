#include "../UserState.h"
#include "Registry.h"

namespace insigno::platform {

bool OnWindowThread(HWND window) {
    UserState& state = User();
    Lock lock(state.mutex);
    const WindowRecord* record = FindWindow(state, window);
    return record && record->ownerThread == CurrentThread();
}

}  // namespace insigno::platform
