// A logo's bytes through palette completion and decoding into texels of its type's size, as the
// overlay makes its texture; the texels stand in the box whatever size the image claims.
#include <algorithm>

#include "FuzzReader.h"
#include "LogoImage.h"
#include "PaletteChunk.h"
#include "PngChunks.h"

// First byte: bit 0 repairs the chunk CRCs; the second the logo type; the rest the logo's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in(data, size);
    const uint8_t mode = in.Byte();
    LogoRecord logo;
    logo.logoType = in.Byte();
    logo.data = in.Rest();
    if (mode & 0x01) FixPngCrcs(logo.data);
    logo.ApplySizeByType();

    const std::vector<uint8_t> png = InsertPalette(logo);
    if (logo.data.size() < kPaletteOffset) {
        FUZZ_CHECK(png.empty());
        return 0;
    }
    // The logo's bytes with the chunk between its IHDR and the rest, nothing else changed; or,
    // for a logo with a palette of its own, the logo's bytes as they are.
    static constexpr char kPlte[] = "PLTE";
    const bool ownPalette = png == logo.data;
    FUZZ_CHECK(!ownPalette || std::search(logo.data.begin(), logo.data.end(), kPlte, kPlte + 4) !=
                                  logo.data.end());
    // A PLTE right behind a 13-byte first chunk that is no IDAT is found in any case.
    const auto at = [&](size_t offset, const char* text) {
        return std::equal(text, text + 4, logo.data.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    const bool paletteSecond =
        logo.data.size() >= 41 && at(8, "\0\0\0\x0d") && !at(12, "IDAT") && at(37, kPlte);
    FUZZ_CHECK(ownPalette || !paletteSecond);
    if (!ownPalette) {
        FUZZ_CHECK(png.size() == logo.data.size() + kPaletteChunkSize);
        const auto chunk = png.begin() + kPaletteOffset;
        FUZZ_CHECK(std::equal(png.begin(), chunk, logo.data.begin()));
        FUZZ_CHECK(std::equal(PALETTE_CHUNK.begin(), PALETTE_CHUNK.end(), chunk));
        FUZZ_CHECK(
            std::equal(chunk + kPaletteChunkSize, png.end(), logo.data.begin() + kPaletteOffset));
    }

    const auto shown = insigno::DecodeLogoImage(png.data(), png.size(), logo.width, logo.height);
    if (shown) {
        FUZZ_CHECK(shown->width == logo.width && shown->height == logo.height);
        FUZZ_CHECK(shown->pixels.size() == static_cast<size_t>(logo.width) * logo.height);
    }
    return 0;
}
