#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A service a carousel logo is for.
struct CarouselService {
    uint16_t originalNetworkId = 0;
    uint16_t transportStreamId = 0;
    uint16_t serviceId = 0;

    bool operator==(const CarouselService&) const = default;
};

// One logo of a logo module of the common-data carousel (ARIB STD-B21): its PNG bytes as
// broadcast, the services it is for, and the module it came in. It carries no logo version.
struct CarouselLogo {
    uint8_t logoType = 0;
    uint16_t logoId = 0;  // 9 bits
    std::vector<CarouselService> services;
    std::vector<uint8_t> png;
    std::string moduleName;
    uint8_t moduleVersion = 0;
};

// The logo type a module name stands for: N for "LOGO-0N" (BS) and "CS_LOGO-0N" (CS), N from 0
// to 5; nothing for any other name, compared byte for byte.
std::optional<uint8_t> LogoModuleType(std::string_view name);

// Reads the logos of a complete logo module one at a time, without module name and version, so
// that a real-time caller can spread a module of hundreds of logos over many calls. The
// constructor walks the loop once without copying: a module whose logo loop runs past its end,
// or whose logo_type is not `expectedType`, gives none, as its layout is not what it claims.
// Logos without bytes or without services are left out.
class LogoModuleReader {
public:
    LogoModuleReader(std::vector<uint8_t> module, uint8_t expectedType);

    // The next logo into `logo`; false when none is left.
    bool Next(CarouselLogo& logo);

private:
    std::vector<uint8_t> bytes;
    size_t position = 0;
    uint16_t remaining = 0;
    uint8_t logoType = 0;
};

// All logos of a complete logo module, in module order (LogoModuleReader's rules).
std::vector<CarouselLogo> DecodeLogoModule(const uint8_t* data, size_t size, uint8_t expectedType);
