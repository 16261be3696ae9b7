#include "PositionSetting.h"

#include "FarEdge.h"
#include "Settings.h"

PositionSetting ReadPositionSetting(const std::string& setting) {
    const std::string text = FormatReal(ToReal(setting));
    return PositionSetting{ToReal(text), insigno::MeasuresFromFarEdge(text)};
}
