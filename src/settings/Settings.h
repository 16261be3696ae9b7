#pragma once

// The settings file beside the module: reading, defaults and conversions.
#include "SettingConversions.h"
#include "SettingDefaults.h"
#include "SettingsFile.h"
