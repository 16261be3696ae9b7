// How long one received logo holds the viewer's stream thread: Accept then Save, as the CDT
// stage runs them under the manager's mutex, each a new version of the same logo (so each moves
// the previous file aside and writes, flushes and renames a new one) in a directory on this disk.
//
//   insigno-bench-save [saves [payload-bytes]]     (default 200 saves, 1500 bytes of image data)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "LogoStore.h"
#include "support/LogoFiles.h"

int main(int argc, char** argv) {
    const size_t saves = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    const size_t bytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1500;
    if (saves == 0 || saves > 0xFFE) {
        std::fprintf(stderr, "saves must be 1 to 4094 (one logo version each)\n");
        return 2;
    }

    logo_files::TempDir base;
    LogoStore store("Logo", base.Path().string());
    std::vector<double> micros;
    micros.reserve(saves);
    for (size_t i = 0; i < saves; ++i) {
        LogoRecord record = logo_files::Received(static_cast<uint16_t>(1 + i), 5, bytes);
        const auto start = std::chrono::steady_clock::now();
        const bool saved = store.Accept(record) && store.Save(record);
        const auto end = std::chrono::steady_clock::now();
        if (!saved) {
            std::fprintf(stderr, "save %zu failed\n", i);
            return 1;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double share) {
        return micros[std::min(micros.size() - 1, static_cast<size_t>(share * micros.size()))];
    };
    std::printf("%zu saves of %zu bytes of image data in %s\n", saves, bytes,
                base.Path().string().c_str());
    std::printf("stream thread held per save: median %.0f us, 90th %.0f us, worst %.0f us\n",
                at(0.5), at(0.9), micros.back());
    return 0;
}
