// How the module's entry points are exported. Declare and define each of them as
//   extern "C" INSIGNO_EXPORT DWORD WINAPI TVTGetVersion();
#pragma once

#if defined(_WIN32) && defined(__i386__)
// i686: Insigno-i686.def exports every entry point under its plain and its stdcall-decorated
// name (_TVTInitialize@4); dllexport here would add a third name.
#define INSIGNO_EXPORT
#elif defined(_WIN32)
// x86_64 decorates nothing: dllexport gives the one name, and once anything is marked the linker
// exports nothing else.
#define INSIGNO_EXPORT __declspec(dllexport)
#else
// The Linux build loads the module with dlopen.
#define INSIGNO_EXPORT __attribute__((visibility("default")))
#endif
