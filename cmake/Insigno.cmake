# Warnings and small helpers shared by every target of the project.

add_library(insigno_warnings INTERFACE)
target_compile_options(insigno_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(INSIGNO_WERROR)
    target_compile_options(insigno_warnings INTERFACE -Werror)
endif()

# insigno_add_gtest(NAME SOURCES ... LIBS ... [NATIVE_ONLY] [TEST_PREFIX PREFIX])
# One test executable; natively every case becomes its own CTest test, win64 runs the
# executable once under the emulator (one Wine start per executable is what keeps that fast).
# TEST_PREFIX goes before every discovered case name, so `ctest -R PREFIX` selects an area.
function(insigno_add_gtest name)
    cmake_parse_arguments(T "NATIVE_ONLY" "TEST_PREFIX" "SOURCES;LIBS" ${ARGN})
    if(T_NATIVE_ONLY AND WIN32)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main insigno_warnings)
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
        # win32: built to prove it compiles, not run (Wine here runs 64-bit programs only).
    elseif(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    else()
        include(GoogleTest)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
            TEST_PREFIX "${T_TEST_PREFIX}")
    endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/WindowsModule.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/VersionResource.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/Unloadable.cmake)
