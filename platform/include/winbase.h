// Kernel services: modules, threads, time (stand-in for the SDK's winbase.h).
//
// A module handle (HMODULE, HINSTANCE) is, as on Windows, the address at which the module's image
// starts in memory. A shared object finds its own handle with
//     GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
//                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
//                        reinterpret_cast<LPCWSTR>(&someFunctionOfTheModule), &instance);
// which works unchanged on Windows too.
#pragma once

#include <windef.h>

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

#define INFINITE 0xFFFFFFFF

// The "ANSI" code page is 932, as on a Japanese Windows.
#define CP_ACP 0
#define CP_UTF8 65001

extern "C" {
HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
// Only FROM_ADDRESS together with UNCHANGED_REFCOUNT is provided.
BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule);
// Narrow paths are code page 932, as on a Japanese Windows: GetModuleFileNameA converts the file
// system's name (UTF-8 here), LoadLibraryA converts back; a character that code page lacks
// becomes '?'. The wide forms carry every character.
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL WINAPI FreeLibrary(HMODULE hLibModule);

// CP_ACP (932) and CP_UTF8 only; flags are ignored. Unconvertible input becomes U+FFFD (wide)
// or '?' (narrow). A length of -1 takes the text with its terminating null.
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar);

VOID WINAPI Sleep(DWORD dwMilliseconds);
DWORD WINAPI GetTickCount();
DWORD WINAPI GetCurrentThreadId();
}
