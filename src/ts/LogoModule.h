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

// The logos of a complete logo module, in module order, without module name and version. A
// module whose logo loop runs past its end, or whose logo_type is not `expectedType`, gives none:
// its layout is not what it claims. Logos without bytes or without services are left out.
std::vector<CarouselLogo> DecodeLogoModule(const uint8_t* data, size_t size, uint8_t expectedType);
