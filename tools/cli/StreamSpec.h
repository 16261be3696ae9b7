#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Packetizer.h"

// What insigno-mkts writes: one network's SDT with logo references, CDT logo sections and
// filler traffic, repeated in cycles so that a viewer tuned in at any point sees an SDT and then
// the CDT logos.
struct ServiceSpec {
    uint16_t serviceId = 0;
    // logo_transmission_type of the descriptor: 1, 2 or 3; 0 for a service without one.
    uint8_t transmissionType = 0;
    uint16_t logoId = 0;          // types 1 and 2
    uint16_t logoVersion = 0;     // type 1
    uint16_t downloadDataId = 0;  // type 1
    std::string logoChar;         // type 3
    std::string name;             // service descriptor name; none when empty
};

struct LogoSpec {
    uint16_t downloadDataId = 0;
    uint16_t logoId = 0;
    uint16_t logoVersion = 0;
    uint8_t logoType = 0;
    // The PNG bytes to send; when empty a labelled picture of the type's size is generated.
    std::vector<uint8_t> png;
};

// A logo of the engineering service's common-data carousel.
struct CarouselServiceSpec {
    uint16_t originalNetworkId = 0;
    uint16_t transportStreamId = 0;
    uint16_t serviceId = 0;
};

struct CarouselLogoSpec {
    bool cs = false;       // in the CS module CS_LOGO-0N instead of the BS module LOGO-0N
    uint8_t logoType = 0;  // 0 to 5: N of the module name
    uint16_t logoId = 0;
    std::vector<CarouselServiceSpec> services;
    // The PNG bytes to send; when empty a labelled picture of the type's size ("1V0").
    std::vector<uint8_t> png;
};

struct StreamSpec {
    uint16_t originalNetworkId = 0x7FE0;
    uint16_t transportStreamId = 0x7FE1;
    bool sdtOther = false;  // table id 0x46 instead of 0x42
    std::vector<ServiceSpec> services;
    std::vector<LogoSpec> logos;

    int repeat = 4;           // cycles of SDT, filler, CDT, filler
    int filler = 3;           // filler packets after each table group
    bool backToBack = false;  // sections packed back to back instead of one per packet
    size_t packetSize = 188;  // 188, 192 (timestamp first) or 204 (parity after)
    size_t garbage = 0;       // junk bytes before every cycle
    // The packets of every section PID (SDT, CDT, PAT, PMT, carousels).
    tswriter::PacketShape shape;

    // With carousel logos: a PAT listing the engineering service 0x03A1, its PMT with the BS
    // (component tag 0x79) and CS (0x7A) carousels, and per cycle their DII and DDB sections.
    std::vector<CarouselLogoSpec> carouselLogos;
    uint8_t moduleVersion = 1;
    uint16_t blockSize = 4066;
    bool interleave = false;    // the modules' blocks in turn instead of module after module
    bool repeatBlocks = false;  // every block sent a second time, after all others
    bool blocksFirst = false;   // each cycle's blocks before its DII
};

// The built-in sample (described in its source and the README).
StreamSpec SampleSpec();

// The PNG a logo of the plan is sent with: its own bytes or the generated picture.
std::vector<uint8_t> LogoPngOf(const LogoSpec& logo);

// The whole stream, the same bytes for the same plan. Throws std::invalid_argument for a plan
// that cannot be sent (a packet size other than 188, 192, 204; a logo too big for a section).
std::vector<uint8_t> BuildStream(const StreamSpec& plan);
