#include "LogoModule.h"

#include <utility>

#include "ByteReader.h"

std::optional<uint8_t> LogoModuleType(std::string_view name) {
    if (name.size() >= 3 && name.substr(0, 3) == "CS_") name.remove_prefix(3);
    if (name.size() != 7 || name.substr(0, 6) != "LOGO-0" || name[6] < '0' || name[6] > '5') {
        return std::nullopt;
    }
    return static_cast<uint8_t>(name[6] - '0');
}

namespace {

// Reads one logo entry's fixed fields and bounds; the PNG and service loop stay in the module.
struct LogoEntry {
    uint16_t logoId = 0;
    ByteReader services{nullptr, 0};
    ByteReader png{nullptr, 0};
};

LogoEntry ReadEntry(ByteReader& module) {
    LogoEntry entry;
    entry.logoId = module.U16() & 0x01FF;
    const uint8_t services = module.U8();
    entry.services = module.Sub(size_t{services} * 6);
    entry.png = module.Sub(module.U16());
    return entry;
}

}  // namespace

LogoModuleReader::LogoModuleReader(std::vector<uint8_t> module, uint8_t expectedType)
    : bytes(std::move(module)) {
    ByteReader reader(bytes.data(), bytes.size());
    logoType = reader.U8();
    const uint16_t count = reader.U16();
    if (!reader.Ok() || logoType != expectedType) return;
    const size_t first = bytes.size() - reader.Remaining();
    for (uint16_t i = 0; i < count; ++i) ReadEntry(reader);
    if (!reader.Ok()) return;
    position = first;
    remaining = count;
}

bool LogoModuleReader::Next(CarouselLogo& logo) {
    while (remaining > 0) {
        --remaining;
        ByteReader reader(bytes.data() + position, bytes.size() - position);
        LogoEntry entry = ReadEntry(reader);
        position = bytes.size() - reader.Remaining();
        if (entry.services.AtEnd() || entry.png.AtEnd()) continue;
        logo.logoType = logoType;
        logo.logoId = entry.logoId;
        logo.services.clear();
        while (!entry.services.AtEnd()) {
            CarouselService service;
            service.originalNetworkId = entry.services.U16();
            service.transportStreamId = entry.services.U16();
            service.serviceId = entry.services.U16();
            logo.services.push_back(service);
        }
        logo.png.assign(entry.png.Position(), entry.png.Position() + entry.png.Remaining());
        return true;
    }
    return false;
}

std::vector<CarouselLogo> DecodeLogoModule(const uint8_t* data, size_t size, uint8_t expectedType) {
    std::vector<CarouselLogo> logos;
    LogoModuleReader reader(std::vector<uint8_t>(data, data + size), expectedType);
    for (CarouselLogo logo; reader.Next(logo);) logos.push_back(logo);
    return logos;
}
