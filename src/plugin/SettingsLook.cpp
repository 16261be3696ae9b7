#include "SettingsLook.h"

#include "PositionSetting.h"
#include "Settings.h"

OverlayLook LookOfSettings(const std::map<std::string, std::string>& values) {
    const bool fixedX = ToInt(values.at("EnableFixedPositionX")) != 0;
    const bool fixedY = ToInt(values.at("EnableFixedPositionY")) != 0;
    const PositionSetting x =
        ReadPositionSetting(values.at(fixedX ? "PositionX" : "PositionRateX"));
    const PositionSetting y =
        ReadPositionSetting(values.at(fixedY ? "PositionY" : "PositionRateY"));
    return OverlayLook{ToInt(values.at("LogoScale")),
                       ToInt(values.at("EnableFixedScale")) != 0,
                       ToInt(values.at("DisplaySeconds")),
                       fixedX,
                       fixedY,
                       x.value,
                       y.value,
                       x.fromFarEdge,
                       y.fromFarEdge};
}
