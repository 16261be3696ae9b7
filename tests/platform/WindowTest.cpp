#include <algorithm>
#include <string>
#include <thread>

#include "WindowTestSupport.h"

namespace insigno::platform::test {
namespace {

TEST_F(WindowTest, AClassNameRegistersOnceUntilUnregistered) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Recorder::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    EXPECT_EQ(RegisterClassW(&windowClass), 0);

    HWND hwnd = Make();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(UnregisterClassW(kClass, GetModuleHandleW(nullptr))) << "a window still uses it";
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(UnregisterClassW(kClass, GetModuleHandleW(nullptr)));
    EXPECT_FALSE(InsignoPlatform_IsClassRegistered(kClass));
    EXPECT_EQ(CreateWindowExW(0, kClass, nullptr, 0, 0, 0, 1, 1, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr),
              nullptr);
    EXPECT_NE(RegisterClassW(&windowClass), 0);
}

TEST_F(WindowTest, PropertiesAreKeptPerWindowAndName) {
    HWND first = Make();
    HWND second = Make();
    int a = 0, b = 0;
    ASSERT_TRUE(SetPropW(first, L"Owner", &a));
    ASSERT_TRUE(SetPropW(second, L"Owner", &b));
    EXPECT_EQ(GetPropW(first, L"Owner"), &a);
    EXPECT_EQ(GetPropW(second, L"Owner"), &b);
    EXPECT_EQ(GetPropW(first, L"Other"), nullptr);
    EXPECT_EQ(RemovePropW(first, L"Owner"), &a);
    EXPECT_EQ(GetPropW(first, L"Owner"), nullptr);
    EXPECT_EQ(RemovePropW(first, L"Owner"), nullptr);
    EXPECT_EQ(GetPropW(second, L"Owner"), &b);
}

// The procedure of a destroyed window still finds its property during WM_DESTROY, which is
// where the overlay removes it.
HANDLE propertyDuringDestroy = nullptr;
LRESULT CALLBACK ReadPropertyOnDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        propertyDuringDestroy = GetPropW(hwnd, L"Owner");
    }
    return Recorder::Procedure(hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, DestroyWindowSendsDestroyToTheWindowThenItsDescendants) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ReadPropertyOnDestroy;
    windowClass.lpszClassName = L"ReadsProperty";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND top = CreateWindowExW(0, L"ReadsProperty", nullptr, 0, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    int owner = 0;
    SetPropW(top, L"Owner", &owner);
    HWND child = Make(top);
    HWND grandchild = Make(child);
    HWND unrelated = Make();

    ASSERT_TRUE(DestroyWindow(top));

    std::vector<HWND> destroyed;
    for (const Received& r : Recorder::Of(WM_DESTROY)) {
        destroyed.push_back(r.hwnd);
    }
    EXPECT_EQ(destroyed, (std::vector<HWND>{top, child, grandchild}));
    EXPECT_EQ(propertyDuringDestroy, &owner);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_TRUE(IsWindow(unrelated));
    EXPECT_EQ(GetPropW(top, L"Owner"), nullptr);
    EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(WindowTest, OnlyTheOwningThreadDestroysAWindow) {
    HWND hwnd = Make();
    BOOL destroyedElsewhere = TRUE;
    std::thread([&] { destroyedElsewhere = DestroyWindow(hwnd); }).join();
    EXPECT_FALSE(destroyedElsewhere);
    EXPECT_TRUE(IsWindow(hwnd));
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(lParam);
    found->push_back(hwnd);
    return found->size() < 3 ? TRUE : FALSE;
}

BOOL CALLBACK CollectAll(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

TEST_F(WindowTest, EnumChildWindowsVisitsAllDescendantsUntilTheCallbackStops) {
    HWND top = Make();
    HWND a = Make(top);
    HWND a1 = Make(a);
    HWND a1x = Make(a1);
    HWND b = Make(top);
    Make();  // another top-level window is not a descendant

    std::vector<HWND> all;
    EnumChildWindows(top, CollectAll, reinterpret_cast<LPARAM>(&all));
    // Newest sibling first (top of the z-order), each window before its own children.
    EXPECT_EQ(all, (std::vector<HWND>{b, a, a1, a1x}));

    std::vector<HWND> firstThree;
    EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&firstThree));
    EXPECT_EQ(firstThree, (std::vector<HWND>{b, a, a1}));
}

TEST_F(WindowTest, AWindowIsVisibleOnlyWithAllItsAncestors) {
    HWND top = Make(nullptr, WS_VISIBLE);
    HWND child = Make(top);
    HWND grandchild = Make(child, WS_VISIBLE);
    EXPECT_TRUE(IsWindowVisible(top));
    EXPECT_FALSE(IsWindowVisible(grandchild)) << "its parent is hidden";

    EXPECT_FALSE(ShowWindow(child, SW_SHOW)) << "returns whether it was visible before";
    EXPECT_TRUE(IsWindowVisible(grandchild));
    EXPECT_TRUE(ShowWindow(top, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_FALSE(IsWindowVisible(child));
    ShowWindow(top, SW_SHOW);
    SetWindowPos(grandchild, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_FALSE(IsWindowVisible(nullptr));
}

TEST_F(WindowTest, SetWindowPosMovesAndSizesAsItsFlagsSay) {
    HWND top = Make(nullptr, 0, 100, 200, 1280, 720);
    HWND child = CreateWindowExW(0, kClass, nullptr, WS_CHILD, CW_USEDEFAULT, CW_USEDEFAULT, 160,
                                 120, top, nullptr, nullptr, nullptr);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{100, 200, 260, 320}))
        << "CW_USEDEFAULT puts a child at 0, 0 of its parent";

    SetWindowPos(child, nullptr, 0, 0, 72, 40, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(child, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(GetClientRect(child, &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{0, 0, 72, 40}));
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{110, 220, 182, 260}));
    EXPECT_EQ(GetParent(child), top);
}

struct ClassNameCase {
    const wchar_t* name;
    int bufferSize;
    const char* expected;
};

class ClassNameTest : public WindowTest, public ::testing::WithParamInterface<ClassNameCase> {};

TEST_P(ClassNameTest, GetClassNameACutsTheAnsiNameToTheBuffer) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Recorder::Procedure;
    windowClass.lpszClassName = GetParam().name;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND hwnd = CreateWindowExW(0, GetParam().name, nullptr, 0, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    std::string buffer(8 + GetParam().bufferSize, 'X');
    int length = GetClassNameA(hwnd, buffer.data(), GetParam().bufferSize);
    std::string expected = GetParam().expected;
    EXPECT_EQ(length, static_cast<int>(expected.size()));
    EXPECT_EQ(buffer.substr(0, expected.size() + 1), expected + '\0');
    EXPECT_EQ(buffer.back(), 'X') << "nothing written past the buffer";
}

INSTANTIATE_TEST_SUITE_P(
    Names, ClassNameTest,
    ::testing::Values(ClassNameCase{L"TVTest Video Container", 128, "TVTest Video Container"},
                      ClassNameCase{L"TVTest Video Container", 23, "TVTest Video Container"},
                      ClassNameCase{L"TVTest Video Container", 22, "TVTest Video Containe"},
                      ClassNameCase{L"TVTest Video Container", 1, ""},
                      // Code page 932: two bytes per kana.
                      ClassNameCase{L"\u30ED\u30B4", 16, "\x83\x8D\x83\x53"}));

TEST_F(WindowTest, StockObjectsIconsAndCursorsAreHandlesOnlyForWhatExists) {
    EXPECT_NE(GetStockObject(WHITE_BRUSH), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetStockObject(1000), nullptr);
    EXPECT_NE(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)), nullptr);
    EXPECT_NE(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)), nullptr);
    EXPECT_EQ(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)), nullptr);
}

}  // namespace
}  // namespace insigno::platform::test
