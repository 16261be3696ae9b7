# Shared by the MinGW toolchain files; they set INSIGNO_MINGW_TRIPLET before including this.
# Debian's posix-thread compilers: std::thread and friends need the posix model.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${INSIGNO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${INSIGNO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${INSIGNO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${INSIGNO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 API level, the same for the Boost archives (scripts/build-mingw-boost gets it from
# cmake/MingwDependencies.cmake) and our code: Boost's Windows code picks its primitives by it.
set(INSIGNO_WIN32_WINNT 0x0601)

# Executables carry their runtime (libgcc, libstdc++, winpthread) so that they run under Wine or
# on a bare Windows without MinGW DLLs next to them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# No link time in the PE header: the same sources give the same bytes, and so the same release zip.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-Wl,--no-insert-timestamp")
