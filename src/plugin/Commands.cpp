#include "Commands.h"

#include <iterator>

#include "AxisOffset.h"
#include "LogoPlugin.h"
#include "LogoStore.h"
#include "Settings.h"
#include "WindowAsChild.h"

namespace {

// "ロゴを表示", "ロゴ表示の切り替え"
const TVTest::CommandRecord kCommands[] = {
    {COMMAND_SHOW_LOGO, L"ShowLogo", L"\u30ED\u30B4\u3092\u8868\u793A"},
    {COMMAND_TOGGLE_LOGO, L"ToggleLogo", L"\u30ED\u30B4\u8868\u793A\u306E\u5207\u308A\u66FF\u3048"},
};

}  // namespace

OverlayLook LookOf(const std::map<std::string, std::string>& values) {
    const bool fixedX = ToInt(values.at("EnableFixedPositionX")) != 0;
    const bool fixedY = ToInt(values.at("EnableFixedPositionY")) != 0;
    const AxisOffset x = ReadAxisOffset(values.at(fixedX ? "PositionX" : "PositionRateX"));
    const AxisOffset y = ReadAxisOffset(values.at(fixedY ? "PositionY" : "PositionRateY"));
    return OverlayLook{ToInt(values.at("LogoScale")),
                       ToInt(values.at("EnableFixedScale")) != 0,
                       ToInt(values.at("DisplaySeconds")),
                       fixedX,
                       fixedY,
                       x.value,
                       y.value,
                       x.negative,
                       y.negative};
}

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
    overlayWindow->Restyle(LookOf(values));
}

void StreamCallbackManager::ChangeLogoType(uint8_t type) {
    boost::mutex::scoped_lock lock(mutex);
    if (type == logoType) return;
    logoType = type;
    if (!showLogo || !targetSeen) return;
    // An empty record when the service has no logo of this type: the window then has no area.
    LogoRecord record;
    const auto found = services.find(targetServiceId);
    const bool image = found != services.end() &&
                       (found->second.transmissionType == 1 || found->second.transmissionType == 2);
    if (!image || !logoStore->Lookup(targetNetworkId, found->second.logoId, logoType, record))
        record = LogoRecord{};
    overlayWindow->SetLogo(record);
}
