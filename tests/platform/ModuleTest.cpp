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

TEST(ModuleTest, AMissingLibraryIsNotLoaded) {
    EXPECT_EQ(LoadLibraryA("/nonexistent/library.so"), nullptr);
}

}  // namespace
