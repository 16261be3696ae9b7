#pragma once

// Control ids of the settings dialog, shared with the viewer stand-in, which plays its user.
enum SettingsControl : int {
    IDC_DIRECTORY = 101,
    IDC_TYPE = 102,
    IDC_SCALE = 103,
    IDC_FIXED_SCALE = 104,
    IDC_X_UNIT = 105,  // items: fraction of the picture, pixels
    IDC_X_EDGE = 106,  // items: from the left, from the right
    IDC_X_AMOUNT = 107,
    IDC_Y_UNIT = 108,
    IDC_Y_EDGE = 109,  // items: from the top, from the bottom
    IDC_Y_AMOUNT = 110,
    IDC_TIME = 111,  // items: seconds, always, never
    IDC_SECONDS = 112,
};
