// The built-in sample stream of insigno-mkts: one network, 0x7FE0 (transport stream 0x7FE1),
// whose SDT (table 0x42) lists
//   service 0x0400: logo transmission type 1, logo 0x001 version 0x002 in download data 0x0010
//   service 0x0401: type 2, logo 0x001 (the parser resolves version 0x002, download data 0x0010)
//   service 0x0402: type 1, logo 0x002 version 0x001 in download data 0x0011
//   service 0x0403: type 3, the characters "INSIGNO" (entry 3, 0, 0, 0)
//   service 0x0404: no logo transmission descriptor (no entry)
// and whose CDT carries
//   download data 0x0010: logo 0x001 version 0x002 in types 0 to 5, labelled "1V2";
//                         logo 0x001 version 0x001 in type 5, an older version, labelled "1V1"
//   download data 0x0011: logo 0x002 version 0x001 in types 0, 2 and 5, labelled "2V1"
// Four cycles of SDT, filler, the ten CDT sections, filler. Viewers, demos and tests rely on
// these values: change them together with the README.
#include <string>
#include <utility>

#include "StreamSpec.h"

namespace {

ServiceSpec Service(uint16_t serviceId, uint8_t type, uint16_t logoId, uint16_t logoVersion,
                    uint16_t downloadDataId, std::string logoChar, std::string name) {
    ServiceSpec service;
    service.serviceId = serviceId;
    service.transmissionType = type;
    service.logoId = logoId;
    service.logoVersion = logoVersion;
    service.downloadDataId = downloadDataId;
    service.logoChar = std::move(logoChar);
    service.name = std::move(name);
    return service;
}

LogoSpec Logo(uint16_t downloadDataId, uint16_t logoId, uint16_t logoVersion, uint8_t logoType) {
    LogoSpec logo;
    logo.downloadDataId = downloadDataId;
    logo.logoId = logoId;
    logo.logoVersion = logoVersion;
    logo.logoType = logoType;
    return logo;
}

}  // namespace

StreamSpec SampleSpec() {
    StreamSpec plan;
    plan.originalNetworkId = 0x7FE0;
    plan.transportStreamId = 0x7FE1;
    plan.services = {
        Service(0x0400, 1, 0x001, 0x002, 0x0010, "", "Insigno 1"),
        Service(0x0401, 2, 0x001, 0, 0, "", "Insigno 1 Sub"),
        Service(0x0402, 1, 0x002, 0x001, 0x0011, "", "Insigno 2"),
        Service(0x0403, 3, 0, 0, 0, "INSIGNO", "Insigno Text"),
        Service(0x0404, 0, 0, 0, 0, "", "Insigno Radio"),
    };
    for (uint8_t type = 0; type <= 5; ++type)
        plan.logos.push_back(Logo(0x0010, 0x001, 0x002, type));
    plan.logos.push_back(Logo(0x0010, 0x001, 0x001, 5));
    for (uint8_t type : {0, 2, 5}) plan.logos.push_back(Logo(0x0011, 0x002, 0x001, type));
    return plan;
}
