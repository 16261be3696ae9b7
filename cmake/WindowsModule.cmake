# insigno_windows_module(TARGET)
# Makes a MODULE (or SHARED) library the viewer's plug-in: the file Insigno.tvtp, no lib prefix.
# On Windows it carries libgcc, libstdc++, winpthread, libpng and zlib inside: the DLL imports only
# DLLs that every Windows from 7 on ships, d3d9.dll among them, and no D3DX DLL (Windows has none;
# tests/winbuild/check-module refuses them). Exports: on i686 src/plugin/Insigno-i686.def names
# each entry point twice (plain and stdcall-decorated); on x86_64 the INSIGNO_EXPORT marks of
# src/plugin/Exports.h (dllexport) are the whole export list, so no .def file is needed there.
# The version resource describes the module as it describes itself to the viewer
# (LogoPlugin::GetPluginInfo; tests/winbuild/check-version compares the two).
set(INSIGNO_MODULE_DESCRIPTION "放送局のロゴを表示します")
function(insigno_windows_module target)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME Insigno SUFFIX ".tvtp")
    if(NOT WIN32)
        return()
    endif()
    # -s: the released file carries no symbols (a fifth of the size). Stripped at link time, as a
    # strip afterwards would stamp the time into the header and break reproducible archives.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -s)
    insigno_version_resource(${target} Insigno.tvtp "${INSIGNO_MODULE_DESCRIPTION}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/plugin/Insigno-i686.def)
    endif()
endfunction()
