#include "LogoStore.h"

namespace fs = boost::filesystem;

namespace {

// A relative setting is taken from the module's directory, never from the process's working
// directory, which the viewer does not control for us.
fs::path ResolveDirectory(const std::string& setting, const fs::path& base) {
    const fs::path configured(setting);
    if (configured.empty()) return configured;
    if (configured.has_root_name() && configured.has_root_directory()) return configured;
    if (configured.has_root_directory()) return base.root_name() / configured;
    return base / configured;
}

}  // namespace

LogoStore::LogoStore(const std::string& directorySetting, const std::string& baseDirectory)
    : directory(ResolveDirectory(directorySetting, fs::path(baseDirectory))) {
    Scan();
}

LogoStore::~LogoStore() = default;
