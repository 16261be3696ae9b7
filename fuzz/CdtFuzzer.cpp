#include "CDTParse.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CDTParse cdt;
    PushFuzzInput(cdt, data, size, 0xC8, 0x01);
    if (cdt.logo.logoId > 0x1FF || cdt.logo.logoVersion > 0xFFF ||
        cdt.logo.data.size() > SectionParse::kMaxSectionSize) {
        __builtin_trap();
    }
    return 0;
}
