#pragma once

#include <vector>

#include "Carousel.h"
#include "Packetizer.h"
#include "StreamSpec.h"

// The engineering service insigno-mkts writes for carousel logos: a PAT with service 0x03A1,
// its PMT, and per carousel (BS, CS) a DII and the DDBs of its logo modules, plus one module of
// another name that a collector must leave alone.
class CarouselStream {
public:
    // Throws std::invalid_argument for logos that do not fit a module.
    explicit CarouselStream(const StreamSpec& plan);

    bool Empty() const { return carousels.empty(); }
    // The PAT and PMT packets of one cycle.
    tswriter::Bytes Tables();
    // The DII and DDB packets of one cycle.
    tswriter::Bytes Cycle();

private:
    struct Carousel {
        tswriter::Packetizer packets;
        tswriter::Bytes dii;
        std::vector<tswriter::Bytes> blocks;  // in the order of a cycle
    };

    const StreamSpec& plan;
    tswriter::Packetizer patPackets;
    tswriter::Packetizer pmtPackets;
    tswriter::Bytes pat;
    tswriter::Bytes pmt;
    std::vector<Carousel> carousels;
};
