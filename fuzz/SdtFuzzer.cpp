#include "FuzzInput.h"
#include "SDTParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SDTParse sdt;
    PushFuzzInput(sdt, data, size, (size > 0 && (data[0] & 0x04)) ? 0x46 : 0x42, -1);
    for (const auto& [id, info] : sdt.services) {
        // Entries hold masked values only.
        if (info.logoId > 0x1FF || info.logoVersion > 0xFFF || info.transmissionType > 3) {
            __builtin_trap();
        }
    }
    return 0;
}
