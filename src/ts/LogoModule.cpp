#include "LogoModule.h"

#include "ByteReader.h"

std::optional<uint8_t> LogoModuleType(std::string_view name) {
    if (name.size() >= 3 && name.substr(0, 3) == "CS_") name.remove_prefix(3);
    if (name.size() != 7 || name.substr(0, 6) != "LOGO-0" || name[6] < '0' || name[6] > '5') {
        return std::nullopt;
    }
    return static_cast<uint8_t>(name[6] - '0');
}

std::vector<CarouselLogo> DecodeLogoModule(const uint8_t* data, size_t size, uint8_t expectedType) {
    std::vector<CarouselLogo> logos;
    ByteReader module(data, size);
    const uint8_t logoType = module.U8();
    const uint16_t count = module.U16();
    if (!module.Ok() || logoType != expectedType) return {};
    for (uint16_t i = 0; i < count; ++i) {
        CarouselLogo logo;
        logo.logoType = logoType;
        logo.logoId = module.U16() & 0x01FF;
        const uint8_t services = module.U8();
        ByteReader serviceLoop = module.Sub(size_t{services} * 6);
        const size_t dataSize = module.U16();
        ByteReader png = module.Sub(dataSize);
        if (!module.Ok()) return {};
        if (services == 0 || dataSize == 0) continue;
        logo.services.reserve(services);
        while (!serviceLoop.AtEnd()) {
            CarouselService service;
            service.originalNetworkId = serviceLoop.U16();
            service.transportStreamId = serviceLoop.U16();
            service.serviceId = serviceLoop.U16();
            logo.services.push_back(service);
        }
        logo.png.assign(png.Position(), png.Position() + dataSize);
        logos.push_back(std::move(logo));
    }
    return logos;
}
