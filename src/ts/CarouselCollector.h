#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "DsmccParse.h"
#include "LogoModule.h"
#include "ModuleAssembler.h"
#include "PATParse.h"
#include "PMTParse.h"

// Collects the logos of the common-data carousel (ARIB STD-B21) from a transport stream: finds
// the engineering service (service_id 0x03A1) in the stream's PAT, its PMT's streams with
// component_tag 0x79 (BS common data) and 0x7A (CS common data), assembles their LOGO modules and
// hands each logo of a completed module to the handler.
//
// It works on one thread: PushPacket and Reset are called by the stream's own thread, never at
// the same time, and the handler runs on that thread inside PushPacket, with a logo that is valid
// until it returns; the handler must not call back into the collector. Nothing in it depends on
// the service being viewed.
//
// Reset semantics:
// - a retarget within the stream needs no call: partial modules carry on;
// - a PAT of another transport_stream_id, or a whole PAT without the engineering service,
//   restarts everything on its own (the PMT PID and the carousel PIDs are learnt again, partial
//   and completed modules are forgotten); a PMT that moves a carousel to another PID forgets
//   that carousel's modules;
// - Reset() restarts everything at once, for a caller that knows the stream changed (a channel
//   change) before a PAT says so; a module completed before is then handed out again.
class CarouselCollector {
public:
    using LogoHandler = std::function<void(const CarouselLogo&)>;
    // A completed logo module whole, for a caller that reads its logos later, a few at a time.
    // Each module version is handed out once; HandAgain brings every module back once more.
    using ModuleHandler = std::function<void(CompletedModule&& module, uint8_t logoType)>;

    static constexpr uint16_t kEngineeringServiceId = 0x03A1;
    static constexpr uint8_t kBsCommonDataTag = 0x79;
    static constexpr uint8_t kCsCommonDataTag = 0x7A;

    explicit CarouselCollector(LogoHandler onLogo);
    explicit CarouselCollector(ModuleHandler onModule);

    // Takes one 188-byte packet from its sync byte. A packet of a PID it does not watch costs a
    // PID test and nothing else.
    void PushPacket(const uint8_t* packet) {
        const uint16_t pid = static_cast<uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
        if (pid != watched[0] && pid != watched[1] && pid != watched[2] && pid != watched[3]) {
            return;
        }
        Take(packet, pid);
    }

    void Reset();
    // Every completed module is assembled and handed out again in the carousel's next cycle: for
    // a caller that could not take all of one, or whose versions changed.
    void HandAgain() { assembler.HandAgain(); }

    // Whether the stream carries the engineering service's carousel (its PMT named a carrier).
    bool Carrying() const { return watched[2] != kNoPid || watched[3] != kNoPid; }

    // Bytes held for modules being assembled; for tests and benchmarks.
    size_t BytesInFlight() const { return assembler.BytesInFlight(); }

private:
    // watched[0] is the PAT's PID, [1] the PMT's, [2] and [3] the carousels'; kNoPid where unknown.
    static constexpr uint16_t kNoPid = 0xFFFF;

    void Take(const uint8_t* packet, uint16_t pid);
    // Everything but the PAT's assembly.
    void Restart();
    void OnPat();
    void OnPmt();
    void OnDsmcc(DsmccParse& parser, uint16_t pid);
    void SetCarrier(size_t slot, uint16_t pid);
    void Hand(CompletedModule&& module);

    LogoHandler onLogo;
    ModuleHandler onModule;
    std::array<uint16_t, 4> watched{0x0000, kNoPid, kNoPid, kNoPid};
    std::optional<uint16_t> transportStreamId;
    PATParse pat;
    PMTParse pmt;
    std::array<DsmccParse, 2> carousels;
    ModuleAssembler assembler;
};
