#pragma once

#include <windows.h>

class StreamCallbackManager;

// Shows the settings dialog modally, owned by `owner`. Every change moves the overlay at once;
// OK writes the changed values into the settings file and keeps them, Cancel (or closing the
// dialog) puts every value back. False when it could not be shown. The viewer's UI thread only.
bool ShowSettingsDialog(HWND owner, StreamCallbackManager& manager);
