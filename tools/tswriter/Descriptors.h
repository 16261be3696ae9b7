#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tswriter {

using Bytes = std::vector<uint8_t>;

inline constexpr uint8_t kServiceDescriptorTag = 0x48;
inline constexpr uint8_t kLogoTransmissionDescriptorTag = 0xCF;

// Any descriptor: tag, descriptor_length, body. Throws std::length_error past 255 body bytes.
Bytes Descriptor(uint8_t tag, const Bytes& body);

// Logo transmission descriptors (ARIB STD-B10), reserved bits sent as 1.
// Type 1: the CDT that carries the logo. logoId has 9 bits, logoVersion 12.
Bytes LogoTransmissionType1(uint16_t logoId, uint16_t logoVersion, uint16_t downloadDataId);
// Type 2: the logo of a type 1 service with the same logo id.
Bytes LogoTransmissionType2(uint16_t logoId);
// Type 3: a simple logo given as characters.
Bytes LogoTransmissionType3(std::string_view logoChar);

// Service descriptor (0x48) with 8-bit names, for streams that look like a broadcast.
Bytes ServiceDescriptor(uint8_t serviceType, std::string_view providerName,
                        std::string_view serviceName);

}  // namespace tswriter
