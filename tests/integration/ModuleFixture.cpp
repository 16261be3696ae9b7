#include "ModuleFixture.h"

#include <cstdlib>
#include <iostream>

#include "LogoStore.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace insigno::it {
namespace {

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(buffer).parent_path();
#else
    return std::filesystem::canonical("/proc/self/exe").parent_path();
#endif
}

// Some tests make the module create folders deeper than MAX_PATH, which std::filesystem of
// MinGW cannot reach; the Win32 calls can, given the "\\?\" form.
void RemoveWork(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::wstring at = LR"(\\?\)" + std::filesystem::absolute(path).wstring();
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((at + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = at + L"\\" + name;
            const DWORD kind = found.dwFileAttributes;
            // A link is removed, its target left alone.
            if ((kind & FILE_ATTRIBUTE_DIRECTORY) && !(kind & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveWork(path / name);
            else if (kind & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(child.c_str());
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(at.c_str());
#else
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
#endif
}

}  // namespace

void ModuleTest::SetUp() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name) {
        if (c == '/') c = '-';
    }
    work = std::filesystem::temp_directory_path() / ("insigno-it-" + name);
    RemoveWork(work);
    std::filesystem::create_directories(RunDir());
}

void ModuleTest::TearDown() {
    if (host) {
        host->Finalize();
        host->Unload();
        // Every run keeps the viewer's rules, unless a test breaks them on purpose.
        if (!breaksRules) {
            EXPECT_EQ(host->Violations(), 0);
        }
    }
    host.reset();
    if (HasFailure()) {
        std::cerr << "what the viewer stand-in saw:\n";
        for (const auto& line : report.Lines()) std::cerr << "  " << line << "\n";
    }
    RemoveWork(work);
}

HostOptions ModuleTest::Options() const {
    HostOptions options;
    options.module = ExecutableDirectory() / "Insigno.tvtp";
    options.workDir = RunDir();
    options.settings = {{"DisplaySeconds", "-1"}};
    options.initial.channels = {{CHANNEL_A, NETWORK, SERVICE_A, "A"},
                                {CHANNEL_B, NETWORK, SERVICE_B, "B"}};
    options.initial.current = host::CurrentChannel{CHANNEL_A, {}, {}};
    options.initial.services = {SERVICE_A};
    return options;
}

void ModuleTest::Start(HostOptions options) {
    host = std::make_unique<Host>(std::move(options), report);
    ASSERT_TRUE(host->Load());
}

void ModuleTest::PlayStream(HostOptions& options, const Bytes& stream) {
    const auto path = work / "stream.ts";
    WriteFile(path, stream);
    options.stream = host::StreamSpec{path, 0, true};
}

void ModuleTest::SeedLogo(const LogoRecord& record) const {
    std::filesystem::create_directories(LogoDir());
    WriteFile(LogoDir() / LogoStore::MakeFileName(record), record.data);
}

bool ModuleTest::WaitPasses(int passes) {
    if (!host->Stream()) return false;
    const auto target = host->Stream()->Passes() + static_cast<std::uint64_t>(passes);
    return WaitFor([&] { return host->Stream()->Passes() >= target; });
}

void ModuleTest::Event(UINT code, LPARAM lParam1, LPARAM lParam2) {
    EXPECT_EQ(host->SendEvent(code, lParam1, lParam2), 1) << "event " << code;
}

void ModuleTest::Channel(int number) {
    host->State().Change([number](host::ViewerState& v) { host::SwitchChannel(v, number); });
    Event(TVTest::EVENT_CHANNEL_CHANGE);
}

void ModuleTest::Tune(std::size_t position) {
    host->State().Change([position](host::ViewerState& v) { host::SelectEntry(v, position); });
    Event(TVTest::EVENT_CHANNEL_CHANGE);
}

void ModuleTest::SwitchService(std::uint16_t serviceId) {
    host->State().Change([serviceId](host::ViewerState& v) { host::WatchService(v, serviceId); });
    Event(TVTest::EVENT_SERVICE_CHANGE);
}

std::optional<Image> ModuleTest::Presented() const {
    HWND overlay = host->Windows().FindOverlay();
    return overlay ? host::PresentedImage(overlay) : std::nullopt;
}

bool ShowsSplit(const Image& image, int width, int height, std::uint32_t left, std::uint32_t right,
                int margin) {
    if (image.width != width || image.height != height) return false;
    for (int y = margin; y < height - margin; ++y) {
        for (int x = margin; x < width - margin; ++x) {
            if (std::abs(x - width / 2) < margin || std::abs(x + 1 - width / 2) < margin) continue;
            const std::uint32_t rgb =
                image.pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
            if (rgb != (x < width / 2 ? left : right)) return false;
        }
    }
    return true;
}

}  // namespace insigno::it
