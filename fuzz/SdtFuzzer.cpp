#include "FuzzInput.h"
#include "SDTParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SDTParse sdt;
    const uint8_t tableId = (size > 0 && (data[0] & 0x04)) ? 0x46 : 0x42;
    PushFuzzInput(sdt, data, size, tableId, -1, [&] {
        // Entries hold masked values only.
        for (const auto& [id, info] : sdt.services) {
            FUZZ_CHECK(info.logoId <= 0x1FF && info.logoVersion <= 0xFFF &&
                       info.transmissionType <= 3);
        }
    });
    return 0;
}
