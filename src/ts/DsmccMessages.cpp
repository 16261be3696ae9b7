#include "DsmccMessages.h"

#include "ByteReader.h"

namespace {

constexpr uint8_t kProtocolDiscriminator = 0x11;
constexpr uint8_t kDownloadMessage = 0x03;  // dsmccType: U-N download
constexpr uint16_t kDownloadInfoIndication = 0x1002;
constexpr uint16_t kDownloadDataBlock = 0x1003;
constexpr uint8_t kNameDescriptor = 0x02;
constexpr uint8_t kCompressionDescriptor = 0xC2;

// Reads the 12-byte dsmccMessageHeader (or dsmccDownloadDataHeader) and returns the message
// body after the adaptation header; a failed reader when it is not `messageId`.
ByteReader MessageBody(const uint8_t* message, size_t size, uint16_t messageId, uint32_t& id) {
    ByteReader reader(message, size);
    const bool dsmcc = reader.U8() == kProtocolDiscriminator && reader.U8() == kDownloadMessage &&
                       reader.U16() == messageId;
    id = reader.U32();  // transactionId or downloadId
    reader.Skip(1);     // reserved
    const uint8_t adaptationLength = reader.U8();
    const uint16_t messageLength = reader.U16();
    ByteReader body = reader.Sub(messageLength);
    body.Skip(adaptationLength);
    if (!dsmcc) body.Skip(body.Remaining() + 1);
    return body;
}

bool ReadModuleInfo(ByteReader info, DiiModule& module) {
    while (info.Ok() && !info.AtEnd()) {
        const uint8_t tag = info.U8();
        ByteReader body = info.Sub(info.U8());
        if (tag == kNameDescriptor) {
            module.name.assign(reinterpret_cast<const char*>(body.Position()), body.Remaining());
        } else if (tag == kCompressionDescriptor) {
            module.compressed = true;
        }
    }
    return info.Ok();
}

}  // namespace

std::optional<DownloadInfo> DecodeDownloadInfo(const uint8_t* message, size_t size) {
    DownloadInfo dii;
    ByteReader body = MessageBody(message, size, kDownloadInfoIndication, dii.transactionId);
    dii.downloadId = body.U32();
    dii.blockSize = body.U16();
    body.Skip(1 + 1 + 4 + 4);  // windowSize, ackPeriod, tCDownloadWindow, tCDownloadScenario
    body.Skip(body.U16());     // compatibilityDescriptor
    const uint16_t count = body.U16();
    // Each entry takes at least 8 bytes: a count beyond what is left is refused before any
    // allocation.
    if (!body.Ok() || count > body.Remaining() / 8) return std::nullopt;
    dii.modules.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        DiiModule module;
        module.moduleId = body.U16();
        module.moduleSize = body.U32();
        module.moduleVersion = body.U8();
        const ByteReader info = body.Sub(body.U8());
        if (!body.Ok() || !ReadModuleInfo(info, module)) return std::nullopt;
        dii.modules.push_back(std::move(module));
    }
    // privateDataLength and its bytes follow; nothing in them is used.
    return dii;
}

std::optional<DownloadDataBlock> DecodeDownloadDataBlock(const uint8_t* message, size_t size) {
    DownloadDataBlock ddb;
    ByteReader body = MessageBody(message, size, kDownloadDataBlock, ddb.downloadId);
    ddb.moduleId = body.U16();
    ddb.moduleVersion = body.U8();
    body.Skip(1);  // reserved
    ddb.blockNumber = body.U16();
    if (!body.Ok()) return std::nullopt;
    ddb.data = body.Position();
    ddb.size = body.Remaining();
    return ddb;
}
