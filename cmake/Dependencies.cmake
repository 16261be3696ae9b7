# Boost, libpng, zlib and GoogleTest: Debian's packages natively; for MinGW the static Boost
# archives built by scripts/build-mingw-boost and GoogleTest built from Debian's sources.

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/MingwDependencies.cmake)
else()
    set(Boost_NO_WARN_NEW_VERSIONS ON)
    find_package(Boost 1.74 REQUIRED COMPONENTS thread filesystem chrono)
    find_package(PNG REQUIRED)
    find_package(ZLIB REQUIRED)
    find_package(Threads REQUIRED)
    if(INSIGNO_TESTS)
        find_package(GTest REQUIRED)
    endif()
endif()
