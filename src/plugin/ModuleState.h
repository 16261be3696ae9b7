#pragma once

#include <windows.h>

// The module instance saved at load; the settings file is found beside the module's file.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
