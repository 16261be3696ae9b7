#include "ViewablePng.h"

#include <fstream>
#include <vector>

#include "PaletteChunk.h"
#include "Scanner.h"
#include "TextPath.h"

bool WriteViewablePng(const std::filesystem::path& directory, const std::string& name,
                      const LogoRecord& logo) {
    // Broadcast logos carry no palette; a viewer needs the fixed one to show them at all.
    const std::vector<uint8_t> png = InsertPalette(logo);
    if (png.empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    const std::filesystem::path path = directory / PathFromUtf8(name + ".png");
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    if (!file) throw OutputError("cannot write " + Utf8(path));
    return true;
}
