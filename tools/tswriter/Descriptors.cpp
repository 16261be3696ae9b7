#include "Descriptors.h"

#include <stdexcept>

namespace tswriter {

Bytes Descriptor(uint8_t tag, const Bytes& body) {
    if (body.size() > 0xFF) throw std::length_error("descriptor body longer than 255 bytes");
    Bytes out{tag, static_cast<uint8_t>(body.size())};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes LogoTransmissionType1(uint16_t logoId, uint16_t logoVersion, uint16_t downloadDataId) {
    return Descriptor(
        kLogoTransmissionDescriptorTag,
        {0x01, static_cast<uint8_t>(0xFE | ((logoId >> 8) & 0x01)), static_cast<uint8_t>(logoId),
         static_cast<uint8_t>(0xF0 | (logoVersion >> 8)), static_cast<uint8_t>(logoVersion),
         static_cast<uint8_t>(downloadDataId >> 8), static_cast<uint8_t>(downloadDataId)});
}

Bytes LogoTransmissionType2(uint16_t logoId) {
    return Descriptor(
        kLogoTransmissionDescriptorTag,
        {0x02, static_cast<uint8_t>(0xFE | ((logoId >> 8) & 0x01)), static_cast<uint8_t>(logoId)});
}

Bytes LogoTransmissionType3(std::string_view logoChar) {
    Bytes body{0x03};
    body.insert(body.end(), logoChar.begin(), logoChar.end());
    return Descriptor(kLogoTransmissionDescriptorTag, body);
}

Bytes ServiceDescriptor(uint8_t serviceType, std::string_view providerName,
                        std::string_view serviceName) {
    if (providerName.size() > 0xFF || serviceName.size() > 0xFF) {
        throw std::length_error("service descriptor name longer than 255 bytes");
    }
    Bytes body{serviceType, static_cast<uint8_t>(providerName.size())};
    body.insert(body.end(), providerName.begin(), providerName.end());
    body.push_back(static_cast<uint8_t>(serviceName.size()));
    body.insert(body.end(), serviceName.begin(), serviceName.end());
    return Descriptor(kServiceDescriptorTag, body);
}

}  // namespace tswriter
