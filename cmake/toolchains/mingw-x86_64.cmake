# 64-bit Windows; test executables run under Wine through scripts/wine-run.
set(INSIGNO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCommon.cmake)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
get_filename_component(_insigno_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_insigno_root}/scripts/wine-run)
