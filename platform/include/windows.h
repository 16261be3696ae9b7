// Linux stand-in for the part of <windows.h> that Insigno and its viewer stand-in use.
// Names, types, values and signatures follow the Windows SDK so that the same sources build
// against MinGW's headers on Windows and against these natively. Only what is used is declared.
#pragma once

#include <winbase.h>
#include <windef.h>
#include <windialogs.h>
#include <winerror.h>
#include <wingdi.h>
#include <winuser.h>
