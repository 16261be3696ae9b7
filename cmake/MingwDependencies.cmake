# MinGW builds: the same target names the native build gets from Debian's packages.
#   Boost::headers, Boost::thread, Boost::filesystem  static archives from scripts/build-mingw-boost
#   GTest::gtest, GTest::gtest_main                    Debian's GoogleTest sources, built here
#   PNG::PNG                                           static archive from scripts/build-mingw-libpng
#   insigno_winapi                                     user32, gdi32, d3d9 (no D3DX: not in Windows)
#   ZLIB::ZLIB                                         Debian's libz-mingw-w64-dev, static
# Everything compiles against one _WIN32_WINNT (set by the toolchain file), Boost included.

if(NOT INSIGNO_WIN32_WINNT)
    message(FATAL_ERROR "Use a toolchain file from cmake/toolchains (INSIGNO_WIN32_WINNT is unset)")
endif()
add_compile_definitions(_WIN32_WINNT=${INSIGNO_WIN32_WINNT} WINVER=${INSIGNO_WIN32_WINNT})

# GCC 12 at -O2 (these presets are Release) reports impossible sizes inside libstdc++'s inlined
# string and vector code, e.g. for `"," + s` (GCC bugs 105329, 105651): false positives that
# -Werror would turn into failed builds of correct code.
target_compile_options(insigno_warnings INTERFACE -Wno-restrict -Wno-stringop-overflow -Wno-stringop-overread)

string(REGEX REPLACE "-g\\+\\+(-posix)?$" "" _insigno_triplet "${CMAKE_CXX_COMPILER}")
get_filename_component(_insigno_triplet "${_insigno_triplet}" NAME)

# Fast when the archives are cached; builds them once otherwise (about half a minute for Boost,
# a few seconds for libpng).
execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-mingw-boost ${_insigno_triplet} ${INSIGNO_WIN32_WINNT}
    OUTPUT_VARIABLE INSIGNO_MINGW_BOOST_PREFIX
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE _insigno_boost_result)
if(NOT _insigno_boost_result EQUAL 0 OR NOT EXISTS ${INSIGNO_MINGW_BOOST_PREFIX}/.complete)
    message(FATAL_ERROR "scripts/build-mingw-boost ${_insigno_triplet} failed")
endif()
message(STATUS "MinGW Boost: ${INSIGNO_MINGW_BOOST_PREFIX}")

add_library(Boost::headers INTERFACE IMPORTED GLOBAL)
set_target_properties(Boost::headers PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${INSIGNO_MINGW_BOOST_PREFIX}/include
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${INSIGNO_MINGW_BOOST_PREFIX}/include
    INTERFACE_COMPILE_DEFINITIONS "BOOST_ALL_NO_LIB;_WIN32_WINNT=${INSIGNO_WIN32_WINNT}")
add_library(Boost::boost ALIAS Boost::headers)

add_library(Boost::chrono STATIC IMPORTED GLOBAL)
set_target_properties(Boost::chrono PROPERTIES
    IMPORTED_LOCATION ${INSIGNO_MINGW_BOOST_PREFIX}/lib/libboost_chrono.a
    INTERFACE_COMPILE_DEFINITIONS BOOST_CHRONO_STATIC_LINK=1
    INTERFACE_LINK_LIBRARIES Boost::headers)

add_library(Boost::thread STATIC IMPORTED GLOBAL)
set_target_properties(Boost::thread PROPERTIES
    IMPORTED_LOCATION ${INSIGNO_MINGW_BOOST_PREFIX}/lib/libboost_thread.a
    INTERFACE_COMPILE_DEFINITIONS BOOST_THREAD_USE_LIB
    INTERFACE_LINK_LIBRARIES "Boost::headers;Boost::chrono")

# unique_path draws from BCryptGenRandom at this API level.
add_library(Boost::filesystem STATIC IMPORTED GLOBAL)
set_target_properties(Boost::filesystem PROPERTIES
    IMPORTED_LOCATION ${INSIGNO_MINGW_BOOST_PREFIX}/lib/libboost_filesystem.a
    INTERFACE_COMPILE_DEFINITIONS BOOST_FILESYSTEM_STATIC_LINK=1
    INTERFACE_LINK_LIBRARIES "Boost::headers;bcrypt")

find_package(Threads REQUIRED)

# zlib, static, from Debian's libz-mingw-w64-dev: the portable logo PNG writer of the tools, which
# Windows builds of the integration tests take in, the plug-in's PNG of the viewer's logos, and
# libpng's inflate.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# libpng, static, against that zlib: the overlay decodes the logos with it, as natively.
execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-mingw-libpng ${_insigno_triplet}
    OUTPUT_VARIABLE INSIGNO_MINGW_PNG_PREFIX
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE _insigno_png_result)
if(NOT _insigno_png_result EQUAL 0 OR NOT EXISTS ${INSIGNO_MINGW_PNG_PREFIX}/.complete)
    message(FATAL_ERROR "scripts/build-mingw-libpng ${_insigno_triplet} failed")
endif()
message(STATUS "MinGW libpng: ${INSIGNO_MINGW_PNG_PREFIX}")

add_library(PNG::PNG STATIC IMPORTED GLOBAL)
set_target_properties(PNG::PNG PROPERTIES
    IMPORTED_LOCATION ${INSIGNO_MINGW_PNG_PREFIX}/lib/libpng.a
    INTERFACE_INCLUDE_DIRECTORIES ${INSIGNO_MINGW_PNG_PREFIX}/include
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${INSIGNO_MINGW_PNG_PREFIX}/include
    INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)

add_library(insigno_winapi INTERFACE)
target_link_libraries(insigno_winapi INTERFACE user32 gdi32 d3d9)
target_compile_definitions(insigno_winapi INTERFACE _WIN32_WINNT=${INSIGNO_WIN32_WINNT})

if(INSIGNO_TESTS)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
    # GoogleTest 1.12 names its targets GTest::gtest and GTest::gtest_main itself.
    foreach(lib gtest gtest_main)
        if(NOT TARGET GTest::${lib})
            add_library(GTest::${lib} ALIAS ${lib})
        endif()
    endforeach()
endif()
