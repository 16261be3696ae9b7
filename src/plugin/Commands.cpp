#include "Commands.h"

#include <iterator>

#include "LogoPlugin.h"
#include "LogoStore.h"
#include "Settings.h"
#include "SettingsLook.h"

namespace {

// "ロゴを表示", "ロゴ表示の切り替え"
const TVTest::CommandRecord kCommands[] = {
    {COMMAND_SHOW_LOGO, L"ShowLogo", L"\u30ED\u30B4\u3092\u8868\u793A"},
    {COMMAND_TOGGLE_LOGO, L"ToggleLogo", L"\u30ED\u30B4\u8868\u793A\u306E\u5207\u308A\u66FF\u3048"},
};

}  // namespace

const TVTest::CommandRecord* CommandRecords() {
    return kCommands;
}

int CommandCount() {
    return static_cast<int>(std::size(kCommands));
}

bool StreamCallbackManager::RunCommand(LPARAM id) {
    if (!overlayWindow) return false;
    switch (id) {
        case COMMAND_SHOW_LOGO:
            overlayWindow->ShowNow();
            return true;
        case COMMAND_TOGGLE_LOGO:
            overlayWindow->ToggleShown();
            return true;
        default:
            return false;
    }
}

void StreamCallbackManager::ApplySettings(const std::map<std::string, std::string>& values) {
    if (!overlayWindow) return;
    ChangeLogoType(static_cast<uint8_t>(ToInt(values.at("LogoType"))));
    overlayWindow->Restyle(LookOfSettings(values));
}

void StreamCallbackManager::ChangeLogoType(uint8_t type) {
    boost::mutex::scoped_lock lock(mutex);
    if (type == logoType) return;
    logoType = type;
    if (!showLogo || !targetSeen) return;
    // An empty record when the service has no logo of this type: the window then has no area.
    LogoRecord record;
    const ServiceLogoInfo* image = TargetImage();
    if (!image || !logoStore->Lookup(targetNetworkId, image->logoId, logoType, record))
        record = LogoRecord{};
    overlayWindow->SetLogo(record);
}
