#include "MktsOptions.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

const char kMktsUsage[] =
    R"(usage: insigno-mkts [OPTIONS] -o FILE

Writes a transport stream with an SDT (PID 0x0011) whose services carry logo transmission
descriptors and CDT logo sections (PID 0x0029), repeated in cycles of SDT, filler packets of other
PIDs, CDT sections, filler packets. Without --service and --logo it writes the built-in sample:
network 0x7FE0, services 0x0400-0x0404, logos 0x001 (versions 1 and 2) and 0x002 (see README).
The same options always give the same bytes.

  -o, --output FILE      where to write ("-" for standard output); required
  --network ID           original_network_id (default 0x7FE0)
  --tsid ID              transport_stream_id (default 0x7FE1)
  --other                send the SDT as the table of another transport stream (0x46, not 0x42)
  --service SID          a service without a logo transmission descriptor
  --service SID:1:LOGO:VERSION:DDID
                         a service with a type 1 descriptor: logo id, version, download data id
  --service SID:2:LOGO   a service with a type 2 descriptor (the logo of a type 1 service)
  --service SID:3:TEXT   a service with a type 3 descriptor (logo characters)
  --logo DDID:LOGO:VERSION:TYPE[:PNG]
                         a CDT section with the logo of that download data id, logo id, version
                         and logo type; the bytes of the file PNG (send it without a PLTE chunk, as
                         broadcasters do), or else a generated picture of the type's size labelled
                         with the logo id and version ("1V2")
  --carousel NET:TYPE:LOGO:SERVICES[:PNG]
                         a logo of the engineering service's common-data carousel: NET "bs"
                         (module LOGO-0TYPE) or "cs" (CS_LOGO-0TYPE), TYPE 0 to 5, the logo id,
                         SERVICES as ONID/TSID/SID[,ONID/TSID/SID...], and the bytes of the file
                         PNG or a generated picture labelled "1V0". The stream then also holds a
                         PAT with service 0x03A1, its PMT (PID 0x01F0) with the BS carousel (PID
                         0x0920, component tag 0x79) and the CS one (0x0921, 0x7A), and per
                         cycle each carousel's DII and DDB sections
  --module-version N     moduleVersion of the logo modules (default 1)
  --block-size N         DII blockSize, 1 to 4066 (default 4066)
  --interleave           send the modules' blocks in turn, not module after module
  --repeat-blocks        send every block a second time after all others in each cycle
  --blocks-first         send each cycle's blocks before its DII
  --repeat N             number of cycles (default 4)
  --filler N             filler packets after each table group (default 3)
  --back-to-back         pack the CDT sections back to back, several in one packet where they
                         fit, instead of one section per packet
  --packet-size N        188 (default), 192 (4-byte timestamp before each packet) or 204 (16
                         bytes after each packet)
  --garbage N            N bytes of junk before every cycle (to try a reader's resync)
  --adaptation N         an adaptation field of N bytes (0 to 182) in every packet of a section
                         PID (SDT, CDT, PAT, PMT, carousels), before its payload
  --adaptation-only      an adaptation-only packet (no payload) after each such packet
  --repeat-packets       each such packet sent twice, same continuity counter and bytes
  --counter-gap N        the continuity counter skips a value before every Nth packet that
                         continues a section and is followed by another
  --transport-error N    transport_error_indicator set in every Nth such packet
  --help                 show this text

Numbers are decimal or hexadecimal with 0x. Options may repeat; services and logos are sent in
the order given.
)";

namespace {

unsigned long Number(const std::string& text, unsigned long max, const std::string& what) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    size_t used = 0;
    unsigned long value = 0;
    try {
        if (digits.empty() || digits[0] == '-' || digits[0] == '+') throw std::invalid_argument("");
        value = std::stoul(digits, &used, hex ? 16 : 10);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (used == 0 || used != digits.size() || value > max) {
        throw std::invalid_argument(what + " must be a number from 0 to " + std::to_string(max) +
                                    ", not \"" + text + "\"");
    }
    return value;
}

// Splits at the first `count` - 1 colons: the last piece keeps any further colons.
std::vector<std::string> Fields(const std::string& text, size_t count) {
    std::vector<std::string> fields;
    size_t from = 0;
    while (fields.size() + 1 < count) {
        const size_t colon = text.find(':', from);
        if (colon == std::string::npos) break;
        fields.push_back(text.substr(from, colon - from));
        from = colon + 1;
    }
    fields.push_back(text.substr(from));
    return fields;
}

std::vector<uint8_t> ReadPng(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> png(std::istreambuf_iterator<char>(file),
                             (std::istreambuf_iterator<char>()));
    if (!file.good() && !file.eof()) throw std::invalid_argument("cannot read " + path);
    if (png.empty()) throw std::invalid_argument(path + " is empty or unreadable");
    return png;
}

ServiceSpec ParseService(const std::string& text) {
    const auto usage = [&text] {
        return std::invalid_argument(
            "--service " + text + ": use SID, SID:1:LOGO:VERSION:DDID, SID:2:LOGO or SID:3:TEXT");
    };
    // The type 3 text may hold colons of its own: split the rest only by the type's fields.
    const std::vector<std::string> head = Fields(text, 3);
    ServiceSpec service;
    service.serviceId = static_cast<uint16_t>(Number(head[0], 0xFFFF, "service id"));
    if (head.size() == 1) return service;
    if (head.size() == 2) throw usage();
    service.transmissionType = static_cast<uint8_t>(Number(head[1], 3, "logo transmission type"));
    if (service.transmissionType == 0) throw usage();
    if (service.transmissionType == 3) {
        service.logoChar = head[2];
        if (service.logoChar.size() > 254) throw std::invalid_argument("logo text too long");
        return service;
    }
    const std::vector<std::string> ids = Fields(head[2], 3);
    if (ids.size() != (service.transmissionType == 1 ? 3u : 1u)) throw usage();
    service.logoId = static_cast<uint16_t>(Number(ids[0], 0x1FF, "logo id"));
    if (service.transmissionType == 1) {
        service.logoVersion = static_cast<uint16_t>(Number(ids[1], 0xFFF, "logo version"));
        service.downloadDataId = static_cast<uint16_t>(Number(ids[2], 0xFFFF, "download data id"));
    }
    return service;
}

LogoSpec ParseLogo(const std::string& text) {
    const std::vector<std::string> fields = Fields(text, 5);
    if (fields.size() < 4) {
        throw std::invalid_argument("--logo " + text + ": use DDID:LOGO:VERSION:TYPE[:PNG]");
    }
    LogoSpec logo;
    logo.downloadDataId = static_cast<uint16_t>(Number(fields[0], 0xFFFF, "download data id"));
    logo.logoId = static_cast<uint16_t>(Number(fields[1], 0x1FF, "logo id"));
    logo.logoVersion = static_cast<uint16_t>(Number(fields[2], 0xFFF, "logo version"));
    logo.logoType = static_cast<uint8_t>(Number(fields[3], 0xFF, "logo type"));
    if (fields.size() == 5) logo.png = ReadPng(fields[4]);
    return logo;
}

CarouselLogoSpec ParseCarouselLogo(const std::string& text) {
    const std::vector<std::string> fields = Fields(text, 5);
    if (fields.size() < 4 || (fields[0] != "bs" && fields[0] != "cs")) {
        throw std::invalid_argument("--carousel " + text +
                                    ": use bs|cs:TYPE:LOGO:ONID/TSID/SID[,...][:PNG]");
    }
    CarouselLogoSpec logo;
    logo.cs = fields[0] == "cs";
    logo.logoType = static_cast<uint8_t>(Number(fields[1], 5, "carousel logo type"));
    logo.logoId = static_cast<uint16_t>(Number(fields[2], 0x1FF, "logo id"));
    std::string services = fields[3];
    while (!services.empty()) {
        const size_t comma = services.find(',');
        const std::string one = services.substr(0, comma);
        services = comma == std::string::npos ? "" : services.substr(comma + 1);
        const size_t first = one.find('/');
        const size_t second = first == std::string::npos ? first : one.find('/', first + 1);
        if (second == std::string::npos) {
            throw std::invalid_argument("--carousel " + text + ": a service is ONID/TSID/SID");
        }
        CarouselServiceSpec service;
        service.originalNetworkId =
            static_cast<uint16_t>(Number(one.substr(0, first), 0xFFFF, "network id"));
        service.transportStreamId = static_cast<uint16_t>(
            Number(one.substr(first + 1, second - first - 1), 0xFFFF, "transport stream id"));
        service.serviceId =
            static_cast<uint16_t>(Number(one.substr(second + 1), 0xFFFF, "service id"));
        logo.services.push_back(service);
    }
    if (logo.services.empty() || logo.services.size() > 255) {
        throw std::invalid_argument("--carousel " + text + ": 1 to 255 services");
    }
    if (fields.size() == 5) logo.png = ReadPng(fields[4]);
    return logo;
}

}  // namespace

MktsOptions ParseMktsArguments(const std::vector<std::string>& args) {
    MktsOptions options;
    StreamSpec& plan = options.plan;
    StreamSpec custom;
    bool anyContent = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 == args.size()) throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "-o" || arg == "--output") {
            options.output = value();
        } else if (arg == "--network") {
            plan.originalNetworkId = static_cast<uint16_t>(Number(value(), 0xFFFF, "network id"));
        } else if (arg == "--tsid") {
            plan.transportStreamId =
                static_cast<uint16_t>(Number(value(), 0xFFFF, "transport stream id"));
        } else if (arg == "--other") {
            plan.sdtOther = true;
        } else if (arg == "--service") {
            custom.services.push_back(ParseService(value()));
            anyContent = true;
        } else if (arg == "--logo") {
            custom.logos.push_back(ParseLogo(value()));
            anyContent = true;
        } else if (arg == "--carousel") {
            custom.carouselLogos.push_back(ParseCarouselLogo(value()));
            anyContent = true;
        } else if (arg == "--module-version") {
            plan.moduleVersion = static_cast<uint8_t>(Number(value(), 0xFF, "module version"));
        } else if (arg == "--block-size") {
            plan.blockSize = static_cast<uint16_t>(Number(value(), 4066, "block size"));
            if (plan.blockSize == 0) throw std::invalid_argument("block size must be 1 to 4066");
        } else if (arg == "--interleave") {
            plan.interleave = true;
        } else if (arg == "--repeat-blocks") {
            plan.repeatBlocks = true;
        } else if (arg == "--blocks-first") {
            plan.blocksFirst = true;
        } else if (arg == "--repeat") {
            plan.repeat = static_cast<int>(Number(value(), 100000, "repeat"));
        } else if (arg == "--filler") {
            plan.filler = static_cast<int>(Number(value(), 100000, "filler"));
        } else if (arg == "--back-to-back") {
            plan.backToBack = true;
        } else if (arg == "--packet-size") {
            plan.packetSize = Number(value(), 204, "packet size");
            if (plan.packetSize != 188 && plan.packetSize != 192 && plan.packetSize != 204) {
                throw std::invalid_argument("packet size must be 188, 192 or 204");
            }
        } else if (arg == "--adaptation") {
            plan.shape.adaptation = static_cast<int>(Number(value(), 182, "adaptation"));
        } else if (arg == "--adaptation-only") {
            plan.shape.adaptationOnly = true;
        } else if (arg == "--repeat-packets") {
            plan.shape.repeat = true;
        } else if (arg == "--counter-gap") {
            plan.shape.counterGapEvery = static_cast<int>(Number(value(), 100000, "counter gap"));
        } else if (arg == "--transport-error") {
            plan.shape.transportErrorEvery =
                static_cast<int>(Number(value(), 100000, "transport error"));
        } else if (arg == "--garbage") {
            plan.garbage = Number(value(), 1 << 20, "garbage");
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
    }
    const StreamSpec sample = SampleSpec();
    plan.services = anyContent ? custom.services : sample.services;
    plan.logos = anyContent ? custom.logos : sample.logos;
    plan.carouselLogos = custom.carouselLogos;
    if (!options.help && options.output.empty()) {
        throw std::invalid_argument("no output: give -o FILE (\"-\" for standard output)");
    }
    return options;
}
