#include "CDTParse.h"
#include "FuzzInput.h"

// Section bytes around the logo data: header to data_type, the empty descriptor loop's length,
// logo_type, logo_id, logo_version, data_size and the CRC.
constexpr size_t kOverhead = 11 + 2 + 1 + 2 + 2 + 2 + 4;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CDTParse cdt;
    PushFuzzInput(cdt, data, size, 0xC8, 0x01, [&] {
        const LogoRecord& logo = cdt.logo;
        FUZZ_CHECK(logo.logoId <= 0x1FF && logo.logoVersion <= 0xFFF);
        FUZZ_CHECK(logo.data.size() <= SectionParse::kMaxSectionSize - kOverhead);
        if (!logo.data.empty()) {
            const LogoSize byType = SizeForLogoType(logo.logoType);
            FUZZ_CHECK(logo.width == byType.width && logo.height == byType.height);
        }
    });
    return 0;
}
