#include "CarouselCollector.h"

#include <utility>

#include "TsPacket.h"

namespace {

constexpr size_t kPatSlot = 0;
constexpr size_t kPmtSlot = 1;
constexpr size_t kFirstCarrierSlot = 2;

}  // namespace

CarouselCollector::CarouselCollector(LogoHandler handler) : onLogo(std::move(handler)) {}

CarouselCollector::CarouselCollector(ModuleHandler handler) : onModule(std::move(handler)) {}

void CarouselCollector::Reset() {
    pat.Reset();
    Restart();
}

void CarouselCollector::Restart() {
    watched = {0x0000, kNoPid, kNoPid, kNoPid};
    transportStreamId.reset();
    pmt.Reset();
    for (DsmccParse& parser : carousels) parser.Reset();
    assembler.Clear();
}

void CarouselCollector::Take(const uint8_t* packet, uint16_t pid) {
    const uint8_t* end = packet + kTsPacketSize;
    // One PID can be both (a PMT on PID 0 is hostile but possible): each role sees the packet.
    if (pid == watched[kPatSlot]) pat.PushPacket(packet, end, [&] { OnPat(); });
    if (pid == watched[kPmtSlot]) pmt.PushPacket(packet, end, [&] { OnPmt(); });
    for (size_t i = 0; i < carousels.size(); ++i) {
        const uint16_t carrier = watched[kFirstCarrierSlot + i];
        if (pid == carrier) {
            carousels[i].PushPacket(packet, end, [&] { OnDsmcc(carousels[i], carrier); });
        }
    }
}

void CarouselCollector::OnPat() {
    // Another stream: nothing collected on the old one applies.
    if (transportStreamId && *transportStreamId != pat.transportStreamId) Restart();
    transportStreamId = pat.transportStreamId;
    std::optional<uint16_t> pmtPid;
    for (const PatProgram& program : pat.programs) {
        if (program.programNumber == kEngineeringServiceId) pmtPid = program.programMapPid;
    }
    if (pmtPid) {
        if (*pmtPid != watched[kPmtSlot]) {
            pmt.Reset();
            watched[kPmtSlot] = *pmtPid;
        }
    } else if (pat.wholeTable) {
        // The service left the stream: so did its carousels.
        pmt.Reset();
        watched[kPmtSlot] = kNoPid;
        SetCarrier(0, kNoPid);
        SetCarrier(1, kNoPid);
    }
}

void CarouselCollector::OnPmt() {
    if (pmt.programNumber != kEngineeringServiceId) return;  // a shared PMT PID
    std::array<uint16_t, 2> carriers{kNoPid, kNoPid};
    for (const PmtStream& stream : pmt.streams) {
        if (stream.componentTag == kBsCommonDataTag) carriers[0] = stream.elementaryPid;
        if (stream.componentTag == kCsCommonDataTag) carriers[1] = stream.elementaryPid;
    }
    for (size_t i = 0; i < carriers.size(); ++i) SetCarrier(i, carriers[i]);
}

void CarouselCollector::SetCarrier(size_t slot, uint16_t pid) {
    uint16_t& carrier = watched[kFirstCarrierSlot + slot];
    if (carrier == pid) return;
    if (carrier != kNoPid) assembler.Forget(carrier);
    carousels[slot].Reset();
    carrier = pid;
}

void CarouselCollector::OnDsmcc(DsmccParse& parser, uint16_t carrier) {
    if (parser.info) {
        std::vector<DiiModule> wanted;
        for (const DiiModule& module : parser.info->modules) {
            // Other downloads share the service (receiver software, genre tables): only the
            // logo modules are assembled, and never a compressed one.
            if (LogoModuleType(module.name) && !module.compressed) wanted.push_back(module);
        }
        for (CompletedModule& module : assembler.Announce(carrier, *parser.info, wanted)) {
            Hand(std::move(module));
        }
    } else if (parser.block) {
        if (auto module = assembler.Take(carrier, *parser.block)) Hand(std::move(*module));
    }
}

void CarouselCollector::Hand(CompletedModule&& module) {
    const std::optional<uint8_t> type = LogoModuleType(module.name);
    if (!type) return;
    if (onModule) {
        onModule(std::move(module), *type);
        return;
    }
    LogoModuleReader reader(std::move(module.bytes), *type);
    for (CarouselLogo logo; reader.Next(logo);) {
        logo.moduleName = module.name;
        logo.moduleVersion = module.moduleVersion;
        onLogo(logo);
    }
}
