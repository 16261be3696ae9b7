# A module that really unloads, as a DLL does on Windows. GCC marks inline and template statics
# as GNU-unique symbols, and glibc never unloads an object that defines one: dlclose would keep
# the module mapped, and the next load would find it without running its constructor again. The
# native builds compile everything without them (what goes into the module comes from many
# static libraries); weak symbols serve one definition per loaded object just as well here.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
endif()
