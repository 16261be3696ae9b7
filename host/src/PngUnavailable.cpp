#include "insigno/host/Snapshot.h"

namespace insigno::host {

// Builds without libpng (Windows) have no snapshot.
bool WritePng(const Image&, const std::filesystem::path&, std::string& error) {
    error = "snapshots are not built into this viewer stand-in";
    return false;
}

}  // namespace insigno::host
