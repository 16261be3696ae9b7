# 32-bit Windows, the release artifact. No emulator: the win32 tests inspect the binaries.
set(INSIGNO_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
set(CMAKE_SYSTEM_PROCESSOR x86)
