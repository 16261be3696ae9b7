#pragma once

#include <cstdint>
#include <vector>

// The settings dialog's template (DLGTEMPLATEEX), built in memory so that the Windows builds and
// the stand-in share one layout, in dialog units. DWORD-aligned, as the dialog functions require.
std::vector<uint32_t> SettingsDialogTemplate();
