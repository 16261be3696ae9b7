#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string RealPath(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

std::string FileNameOf(HMODULE module) {
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
    return std::string(buffer, length);
}

using InstanceFunction = HMODULE (*)();

TEST(ModuleTest, ALoadedModuleKnowsItsHandleAndItsRealPath) {
    std::filesystem::path module = TEST_MODULE_PATH;
    std::filesystem::path before = std::filesystem::current_path();
    // Loaded by a relative path, asked after the working directory has changed.
    std::filesystem::current_path(module.parent_path());
    HMODULE handle = LoadLibraryA(("./" + module.filename().string()).c_str());
    std::filesystem::current_path("/");
    ASSERT_NE(handle, nullptr);

    auto instanceOf = reinterpret_cast<InstanceFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(handle, "TestModuleInstance")));
    ASSERT_NE(instanceOf, nullptr);
    EXPECT_EQ(instanceOf(), handle) << "the module's own view of its handle";
    EXPECT_EQ(FileNameOf(handle), RealPath(module));
    EXPECT_EQ(GetProcAddress(handle, "NoSuchFunction"), nullptr);

    char small[5];
    EXPECT_EQ(GetModuleFileNameA(handle, small, sizeof small), sizeof small);
    EXPECT_EQ(std::string(small), RealPath(module).substr(0, 4));

    EXPECT_EQ(LoadLibraryW(module.wstring().c_str()), handle) << "the same module, counted twice";
    EXPECT_TRUE(FreeLibrary(handle));
    EXPECT_TRUE(FreeLibrary(handle));
    EXPECT_FALSE(FreeLibrary(handle));
    std::filesystem::current_path(before);
}

TEST(ModuleTest, TheExecutablesHandleAndPath) {
    static int inExecutable = 0;
    HMODULE fromAddress = nullptr;
    ASSERT_TRUE(GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&inExecutable), &fromAddress));
    EXPECT_EQ(GetModuleHandleW(nullptr), fromAddress);
    EXPECT_EQ(FileNameOf(nullptr), RealPath("/proc/self/exe"));
    EXPECT_EQ(FileNameOf(GetModuleHandleW(nullptr)), RealPath("/proc/self/exe"));
}

// Narrow paths are code page 932, as on a Japanese Windows: ロゴ表示 is 83 8D 83 53 95 5C 8E A6,
// the second byte of 表 a backslash. The wide forms carry the characters.
TEST(ModuleTest, NarrowPathsAreCodePage932AndWideOnesCarryTheCharacters) {
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("insigno-cp932-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    const std::filesystem::path copy =
        directory / "\xE3\x83\xAD\xE3\x82\xB4\xE8\xA1\xA8\xE7\xA4\xBA.so";
    std::filesystem::copy_file(TEST_MODULE_PATH, copy,
                               std::filesystem::copy_options::overwrite_existing);
    const std::string narrow = directory.string() + "/\x83\x8D\x83\x53\x95\x5C\x8E\xA6.so";
    HMODULE handle = LoadLibraryA(narrow.c_str());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(FileNameOf(handle),
              RealPath(directory.string()) + "/\x83\x8D\x83\x53\x95\x5C\x8E\xA6.so");
    wchar_t wide[MAX_PATH];
    const DWORD length = GetModuleFileNameW(handle, wide, MAX_PATH);
    EXPECT_EQ(std::wstring(wide, length).substr(length - 7), L"\u30ED\u30B4\u8868\u793A.so");
    EXPECT_TRUE(FreeLibrary(handle));
    std::filesystem::remove_all(directory);
}

struct Conversion {
    UINT codePage;
    const char* narrow;
    const wchar_t* wide;
};

class CodePages : public ::testing::TestWithParam<Conversion> {};

TEST_P(CodePages, ConvertBothWaysAndTellTheLengthFirst) {
    const Conversion& c = GetParam();
    const int wideLength = MultiByteToWideChar(c.codePage, 0, c.narrow, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.narrow, -1, wide.data(), wideLength),
              wideLength);
    EXPECT_EQ(wide, std::wstring(c.wide) + L'\0');  // -1 counts the terminating null
    const int narrowLength =
        WideCharToMultiByte(c.codePage, 0, c.wide, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(c.codePage, 0, c.wide, -1, narrow.data(), narrowLength, nullptr, nullptr);
    EXPECT_EQ(narrow, std::string(c.narrow) + '\0');
}

INSTANTIATE_TEST_SUITE_P(Table, CodePages,
                         ::testing::Values(Conversion{CP_ACP, "\x95\x5C\x8E\xA6", L"\u8868\u793A"},
                                           Conversion{CP_ACP, "Logo", L"Logo"},
                                           Conversion{CP_UTF8, "\xE8\xA1\xA8", L"\u8868"}));

TEST(ModuleTest, AMissingLibraryIsNotLoaded) {
    EXPECT_EQ(LoadLibraryA("/nonexistent/library.so"), nullptr);
}

}  // namespace
