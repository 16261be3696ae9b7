#include "Descriptors.h"

#include <algorithm>
#include <stdexcept>

namespace tswriter {

Bytes Descriptor(uint8_t tag, const Bytes& body) {
    if (body.size() > 0xFF) throw std::length_error("descriptor body longer than 255 bytes");
    Bytes out(2 + body.size());
    out[0] = tag;
    out[1] = static_cast<uint8_t>(body.size());
    std::copy(body.begin(), body.end(), out.begin() + 2);
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
    Bytes body(1 + logoChar.size());
    body[0] = 0x03;
    std::copy(logoChar.begin(), logoChar.end(), body.begin() + 1);
    return Descriptor(kLogoTransmissionDescriptorTag, body);
}

Bytes ServiceDescriptor(uint8_t serviceType, std::string_view providerName,
                        std::string_view serviceName) {
    if (providerName.size() > 0xFF || serviceName.size() > 0xFF) {
        throw std::length_error("service descriptor name longer than 255 bytes");
    }
    // Sized up front: growing a vector from a short initialiser trips GCC 12's -Warray-bounds.
    Bytes body(3 + providerName.size() + serviceName.size());
    body[0] = serviceType;
    body[1] = static_cast<uint8_t>(providerName.size());
    auto next = std::copy(providerName.begin(), providerName.end(), body.begin() + 2);
    *next++ = static_cast<uint8_t>(serviceName.size());
    std::copy(serviceName.begin(), serviceName.end(), next);
    return Descriptor(kServiceDescriptorTag, body);
}

}  // namespace tswriter
