// The carousel collector: PAT, PMT, DII and DDB sections (CRC-correct, so that the decoders and
// the assembler see the fuzzed fields) or raw packets. Checked besides the sanitizers: the
// in-flight bytes stay within their bound and every logo handed out is well-formed.
#include <map>

#include "Carousel.h"
#include "CarouselCollector.h"
#include "FuzzReader.h"
#include "Packetizer.h"

namespace {

constexpr uint16_t kPmtPid = 0x01F0;
constexpr uint16_t kCarriers[2] = {0x0920, 0x0921};
const char* const kNames[] = {"LOGO-05", "CS_LOGO-02", "LOGO-00", "INSIGNO-OTHER", "LOGO-06"};

struct Run {
    CarouselCollector collector{[](const CarouselLogo& logo) {
        const auto type = LogoModuleType(logo.moduleName);
        FUZZ_CHECK(type && *type == logo.logoType);
        FUZZ_CHECK(logo.logoId <= 0x1FF);
        FUZZ_CHECK(!logo.services.empty() && logo.services.size() <= 255);
        FUZZ_CHECK(!logo.png.empty() && logo.png.size() <= 0xFFFF);
    }};
    std::map<uint16_t, tswriter::Packetizer> packetizers;

    void Push(const std::vector<uint8_t>& stream) {
        for (size_t at = 0; at + 188 <= stream.size(); at += 188) {
            // Its own allocation, so that AddressSanitizer sees a read past the packet.
            const std::vector<uint8_t> packet(stream.begin() + at, stream.begin() + at + 188);
            collector.PushPacket(packet.data());
            FUZZ_CHECK(collector.BytesInFlight() <= ModuleAssembler::kMaxBytesInFlight);
        }
    }
    void Send(uint16_t pid, const std::vector<uint8_t>& section) {
        auto found = packetizers.find(pid);
        if (found == packetizers.end()) found = packetizers.emplace(pid, pid).first;
        Push(found->second.BackToBack({section}));
    }
};

// A DSM-CC section around a message, CRC-correct; nothing when too long for one.
std::vector<uint8_t> DsmccSection(uint8_t tableId, const std::vector<uint8_t>& message) {
    if (message.size() > 4084) return {};
    tswriter::LongHeader header{tableId, 0, 0, true, 0, 0, 0xB};
    return tswriter::LongSection(header, message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    Run run;
    if (data[0] & 0x01) {
        run.Push(std::vector<uint8_t>(data + 1, data + size));
        return 0;
    }
    FuzzReader in(data + 1, size - 1);
    while (!in.Empty()) {
        const uint8_t command = in.Byte();
        const uint16_t carrier = kCarriers[command >> 7];
        switch (command & 0x07) {
            case 0:
                run.Send(0x0000, tswriter::PatSection(in.Word(), {{0x03A1, kPmtPid}}));
                break;
            case 1: {
                const uint8_t tags = in.Byte();
                run.Send(kPmtPid, tswriter::PmtSection(
                                      0x03A1, {{0x0D, kCarriers[0], tags & 1 ? 0x79 : 0x40},
                                               {0x0D, kCarriers[1], tags & 2 ? 0x7A : 0x41}}));
                break;
            }
            case 2:
            case 3:  // a raw message
                run.Send(carrier, DsmccSection((command & 0x07) == 2 ? 0x3B : 0x3C,
                                               in.Bytes(in.Word() & 0x0FFF)));
                break;
            case 4: {  // a DII of made-up modules
                tswriter::DiiSection dii;
                dii.downloadId = in.Byte();
                dii.blockSize = in.Word();
                for (uint8_t count = in.Byte() & 0x07; count > 0; --count) {
                    tswriter::DiiModuleEntry module;
                    module.moduleId = in.Byte();
                    module.moduleSize = static_cast<uint32_t>(in.Word()) << (in.Byte() & 0x0F);
                    module.moduleVersion = in.Byte();
                    module.name = kNames[in.Byte() % 5];
                    dii.modules.push_back(module);
                }
                run.Send(carrier, dii.Build());
                break;
            }
            case 5: {  // a block
                tswriter::DdbSection ddb;
                ddb.downloadId = in.Byte();
                ddb.moduleId = in.Byte();
                ddb.moduleVersion = in.Byte();
                ddb.blockNumber = in.Word();
                ddb.data = in.Bytes(in.Word() & 0x0FFF);
                if (ddb.data.size() <= 4066) run.Send(carrier, ddb.Build());
                break;
            }
            case 6:
                run.collector.Reset();
                FUZZ_CHECK(run.collector.BytesInFlight() == 0);
                break;
            default:  // raw packets of a carousel's PID
                run.Push(in.Bytes(188 * (in.Byte() & 0x03)));
                break;
        }
    }
    return 0;
}
