#pragma once

#include <map>
#include <string>

#include "WindowAsChild.h"

// The overlay's look from the values of section "LogoMark" after the defaults: at start-up and
// for every change the settings dialog makes.
OverlayLook LookOfSettings(const std::map<std::string, std::string>& values);
