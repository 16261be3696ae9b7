#include <gtest/gtest.h>
#include <insigno/platform_test.h>
#include <windows.h>

#include <string>

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { InsignoPlatform_Reset(); }
};

struct Cp932Case {
    const char* name;
    std::string cp932;
    std::string utf8;
};

class MessageBoxATest : public MessageBoxTest, public ::testing::WithParamInterface<Cp932Case> {};

TEST_P(MessageBoxATest, ConvertsCodePage932ToUtf8) {
    EXPECT_EQ(MessageBoxA(nullptr, GetParam().cp932.c_str(), "Insigno", MB_OK), IDOK);
    auto boxes = InsignoPlatform_MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].api, "MessageBoxA");
    EXPECT_EQ(boxes[0].caption, "Insigno");
    EXPECT_EQ(boxes[0].text, GetParam().utf8);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MessageBoxATest,
    ::testing::Values(
        // "ディレクトリを作成できません。" + LF + a message
        Cp932Case{"Directory",
                  "\x83\x66\x83\x42\x83\x8C\x83\x4E\x83\x67\x83\x8A\x82\xF0\x8D\xEC\x90\xAC\x82\xC5"
                  "\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42\nPermission denied",
                  "\xE3\x83\x87\xE3\x82\xA3\xE3\x83\xAC\xE3\x82\xAF\xE3\x83\x88\xE3\x83\xAA\xE3\x82"
                  "\x92\xE4\xBD\x9C\xE6\x88\x90\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3"
                  "\x82\x93\xE3\x80\x82\nPermission denied"},
        // Half-width katakana is one byte in code page 932.
        Cp932Case{"HalfWidthKana", "\xB1\xB2", "\xEF\xBD\xB1\xEF\xBD\xB2"},
        // Where code page 932 differs from plain Shift_JIS: the wave dash is U+FF5E, and the
        // NEC row 13 has circled digits.
        Cp932Case{"WaveDash", "\x81\x60", "\xEF\xBD\x9E"},
        Cp932Case{"CircledDigit", "\x87\x40", "\xE2\x91\xA0"},
        // A lead byte at the end has no character: replaced, not dropped silently.
        Cp932Case{"CutShort", "A\x83", "A\xEF\xBF\xBD"}),
    [](const auto& param) { return param.param.name; });

TEST_F(MessageBoxTest, MessageBoxWConvertsWideTextAndEachCallIsRecorded) {
    EXPECT_EQ(MessageBoxW(nullptr,
                          L"\u521D\u671F\u5316\u306B\u5931\u6557\u3057\u307E\u3057\u305F"
                          L"\u3002",
                          L"Insigno", MB_OK),
              IDOK);
    MessageBoxW(nullptr, L"second", nullptr, MB_OK);
    auto boxes = InsignoPlatform_MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].api, "MessageBoxW");
    EXPECT_EQ(boxes[0].text,
              "\xE5\x88\x9D\xE6\x9C\x9F\xE5\x8C\x96\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97\xE3\x81"
              "\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82");
    EXPECT_EQ(boxes[1].caption, "Error") << "Windows' caption when none is given";
    InsignoPlatform_ClearMessageBoxes();
    EXPECT_TRUE(InsignoPlatform_MessageBoxes().empty());
}

}  // namespace
