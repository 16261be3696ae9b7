#pragma once

#include <cstdint>
#include <exception>

// The overlay window could not be built; code says which step failed:
// 1 class registration, 2 window creation, 3 Direct3D, 4 device creation.
class WindowException : public std::exception {
public:
    explicit WindowException(int32_t errorCode) : code(errorCode) {}

    int32_t code;
};
