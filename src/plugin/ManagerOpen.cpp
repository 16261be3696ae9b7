// Initialisation and teardown of StreamCallbackManager.

#include <boost/bind/bind.hpp>
#include <exception>
#include <sstream>
#include <string>

#include "LogoPlugin.h"
#include "LogoStore.h"
#include "ModulePaths.h"
#include "ModuleState.h"
#include "OverlayDisplay.h"
#include "Settings.h"
#include "SettingsLook.h"

namespace {

const char CAPTION_A[] = "Insigno";
const wchar_t CAPTION_W[] = L"Insigno";
// The viewer runs with the Japanese ANSI code page, so MessageBoxA texts are code page 932
// bytes, spelt out so that the source's own encoding cannot change them.
// "ディレクトリを作成できません。"
const char TEXT_NO_DIRECTORY[] =
    "\x83\x66\x83\x42\x83\x8C\x83\x4E\x83\x67\x83\x8A\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB"
    "\x82\xDC\x82\xB9\x82\xF1\x81\x42";
// "ウィンドウを作成できませんでした。"
const char TEXT_NO_WINDOW[] =
    "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC"
    "\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42";
// "初期化に失敗しました。"
const wchar_t TEXT_INIT_FAILED[] =
    L"\u521D\u671F\u5316\u306B\u5931\u6557\u3057\u307E\u3057\u305F\u3002";

const char VIDEO_CONTAINER_CLASS[] = "TVTest Video Container";
constexpr const char* SECTION = kSettingsSection;

void ReportA(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), CAPTION_A, MB_OK);
}

// The part of a library message after its "operation: " prefix.
std::string AfterFirstColon(const std::string& message) {
    const std::string::size_type at = message.find(": ");
    return at == std::string::npos ? message : message.substr(at + 2);
}

// Stops the store's writer thread unless initialisation gets through. No packet reaches a store
// whose initialisation failed, and the viewer may unload such a module without TVTFinalize,
// under the loader lock, where no thread of ours can be joined.
class WriterUnlessOpened {
public:
    explicit WriterUnlessOpened(const std::unique_ptr<LogoStore>& store) : logoStore(store) {}
    ~WriterUnlessOpened() {
        if (!opened && logoStore) logoStore->Stop();
    }
    WriterUnlessOpened(const WriterUnlessOpened&) = delete;
    WriterUnlessOpened& operator=(const WriterUnlessOpened&) = delete;
    void Opened() { opened = true; }

private:
    const std::unique_ptr<LogoStore>& logoStore;
    bool opened = false;
};

}  // namespace

BOOL CALLBACK FindVideoContainer(HWND window, LPARAM result) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != VIDEO_CONTAINER_CLASS) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

StreamCallbackManager::StreamCallbackManager(LogoPlugin* plugin)
    : owner(plugin),
      carousel(CarouselCollector::ModuleHandler([this](CompletedModule&& module, uint8_t type) {
          carouselBacklog.Add(std::move(module), type);
      })) {}

StreamCallbackManager::~StreamCallbackManager() {
    // The writer finishes what is queued while the overlay is torn down; the store's own
    // destructor then waits for it, within the same bound. It shows nothing from now on.
    if (logoStore) {
        logoStore->SetArrivalHandler(nullptr);
        logoStore->BeginStop();
    }
}

bool StreamCallbackManager::Open() {
    SettingsTable table;
    const ModulePaths paths = FindModulePaths(ModuleInstance());
    ReadSettingsFile(paths.settingsFile, table);
    ApplyDefaults(table);
    std::map<std::string, std::string>& values = table[SECTION];
    settingValues = values;
    settingsFile = paths.settingsFile;

    logoType = static_cast<uint8_t>(ToInt(values["LogoType"]));
    WriterUnlessOpened writer(logoStore);

    try {
        logoStore =
            std::make_unique<LogoStore>(SettingPath(values["LogoDirectory"]), paths.directory);
    } catch (const std::exception& e) {
        std::ostringstream text;
        text << TEXT_NO_DIRECTORY << "\n" << AfterFirstColon(e.what());
        ReportA(text.str());
        return false;
    }

    HWND container = nullptr;
    EnumChildWindows(owner->param->hostWindow, FindVideoContainer,
                     reinterpret_cast<LPARAM>(&container));
    if (!container) {
        MessageBoxW(nullptr, TEXT_INIT_FAILED, CAPTION_W, MB_OK);
        return false;
    }

    try {
        using namespace boost::placeholders;
        auto window = std::make_unique<PluginOverlay>(
            container, ZoomQuery(boost::bind(&StreamCallbackManager::PollZoom, this, _1)),
            AspectQuery(boost::bind(&StreamCallbackManager::PollAspect, this, _1, _2)),
            LookOfSettings(values));
        window->askViewer = [this] { AskViewerForLogo(); };
        overlayWindow = std::move(window);
        moduleReference.Acquire();
    } catch (const WindowException& e) {
        std::ostringstream text;
        text << TEXT_NO_WINDOW << "\n"
             << "Error Code: " << e.code;
        ReportA(text.str());
        return false;
    }
    logoStore->SetArrivalHandler([this](const LogoRecord& record) { ShowArrival(record); });
    writer.Opened();
    return true;
}
