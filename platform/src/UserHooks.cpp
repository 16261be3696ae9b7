// Test hooks of the window side.
#include <insigno/platform_test.h>

#include "UserState.h"

using namespace insigno::platform;

bool InsignoPlatform_IsClassRegistered(LPCWSTR className) {
    UserState& state = User();
    Lock lock(state.mutex);
    for (const auto& [key, windowClass] : state.classes) {
        if (windowClass.name == className) {
            return true;
        }
    }
    return false;
}

std::size_t InsignoPlatform_RegisteredClassCount() {
    UserState& state = User();
    Lock lock(state.mutex);
    return state.classes.size();
}

std::size_t InsignoPlatform_WindowCount() {
    UserState& state = User();
    Lock lock(state.mutex);
    return state.windows.size();
}

namespace insigno::platform {

void ResetUserState() {
    UserState& state = User();
    Lock lock(state.mutex);
    std::vector<HWND> all;
    for (const auto& [hwnd, window] : state.windows) {
        all.push_back(hwnd);
    }
    ForgetWindows(state, all);
    state.classes.clear();
    for (auto& [thread, queue] : state.queues) {
        queue->posted.clear();
        queue->timers.clear();
        queue->quit = false;
    }
}

}  // namespace insigno::platform
