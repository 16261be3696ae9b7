#include "LogoStore.h"

namespace fs = boost::filesystem;

namespace {

bool IsSeparator(fs::path::value_type c) {
    return c == '/' || c == '\\';
}

// Where a setting rooted without a drive ("\Logo") is taken from, as Windows resolves it: the
// base's drive ("C:"), or for a network path its share ("\\server\share"), not just the server.
fs::path RootOf(const fs::path& base) {
    fs::path root = base.root_name();
    const fs::path::string_type& name = root.native();
    const bool network = name.size() > 2 && IsSeparator(name[0]) && IsSeparator(name[1]);
    const fs::path relative = base.relative_path();
    if (network && !relative.empty()) root /= *relative.begin();
    return root;
}

// A relative setting is taken from the module's directory, never from the process's working
// directory, which the viewer does not control for us.
fs::path ResolveDirectory(const fs::path& configured, const fs::path& base) {
    if (configured.empty()) return configured;
    if (configured.has_root_name() && configured.has_root_directory()) return configured;
    if (configured.has_root_directory()) {
        fs::path rooted = RootOf(base);
        rooted += configured;  // appended as text: "/" would drop the share again
        return rooted;
    }
    return base / configured;
}

}  // namespace

LogoStore::LogoStore(const fs::path& directorySetting, const fs::path& baseDirectory,
                     std::shared_ptr<LogoDisk> files, QueueLimits queueLimits)
    : directory(ResolveDirectory(directorySetting, baseDirectory)),
      disk(files ? std::move(files) : std::make_shared<LogoDisk>()),
      limits(queueLimits) {
    Scan();
    writer = boost::thread([this] { RunWriter(); });
}

LogoStore::~LogoStore() {
    Stop();
}
