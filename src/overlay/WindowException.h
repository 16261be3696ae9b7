#pragma once

#include <cstdint>
#include <exception>

// The overlay window could not be built; `code` says which step failed. The numbers are shown to
// users in the start-up failure's message box, so they never change.
enum WindowFailure : int32_t {
    WINDOW_CLASS_NOT_REGISTERED = 1,
    WINDOW_NOT_CREATED = 2,
    DIRECT3D_NOT_CREATED = 3,
    DEVICE_NOT_CREATED = 4,
};

class WindowException : public std::exception {
public:
    explicit WindowException(int32_t errorCode) : code(errorCode) {}

    int32_t code;
};
