#include <gtest/gtest.h>

#include "Settings.h"
#include "SettingsWriter.h"

namespace {

// One line shape under [LogoMark]: the writer changes LogoType to 3 in exactly the bytes the
// reader takes as its value, or adds a line where the reader takes none.
struct LineShape {
    const char* name;
    std::string line;
    std::string written;  // the line afterwards
};

void PrintTo(const LineShape& c, std::ostream* out) {
    *out << c.name;
}

class ReaderAndWriter : public ::testing::TestWithParam<LineShape> {};

TEST_P(ReaderAndWriter, AgreeOnTheValue) {
    const std::string after =
        ApplySettingChanges("[LogoMark]\n" + GetParam().line, {{SettingName::kLogoType, "3"}});
    EXPECT_EQ(after, "[LogoMark]\n" + GetParam().written);
    SettingsTable table;
    ReadSettingsText(after, table);
    EXPECT_EQ(SettingValue(table, SettingName::kLogoType), "3");
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ReaderAndWriter,
    ::testing::Values(
        LineShape{"Plain", "LogoType=1\n", "LogoType=3\n"},
        LineShape{"Blanks", " \tLogoType \t= \t1 \t\r\n", " \tLogoType \t= \t3 \t\r\n"},
        LineShape{"Comments", "LogoType=1 ; one # x\n", "LogoType=3 ; one # x\n"},
        LineShape{"Quoted", "LogoType=\"1\"\n", "LogoType=3\n"},
        LineShape{"InnerBlanks", "LogoType=1 2\n", "LogoType=3\n"},
        LineShape{"NoLineEnd", "LogoType=1", "LogoType=3"},
        LineShape{"LaterLine", "LogoType=1\nLogoType=2\n", "LogoType=1\nLogoType=3\n"},
        LineShape{"EmptyLaterLine", "LogoType=1\nLogoType=\n", "LogoType=3\nLogoType=\n"},
        LineShape{"OnlyAComment", "LogoType= ; none\n", "LogoType= ; none\nLogoType=3\r\n"},
        LineShape{"CommentedOut", "; LogoType=1\n", "LogoType=3\r\n; LogoType=1\n"},
        LineShape{"LoneCarriageReturn", "LogoType=1\rX=2\n", "LogoType=3\n"},
        LineShape{"OtherSectionAfter", "LogoType=1\n[ LogoMark ]\nLogoType=2\n",
                  "LogoType=3\n[ LogoMark ]\nLogoType=2\n"},
        LineShape{"HeaderWithText", "[LogoMark] LogoType=2\n",
                  "[LogoMark] LogoType=2\nLogoType=3\r\n"},
        LineShape{"UnclosedHeader", "[Other=1\nLogoType=1\n", "[Other=1\nLogoType=3\n"}),
    [](const ::testing::TestParamInfo<LineShape>& p) { return std::string(p.param.name); });

// Notepad's "Unicode": read as its code page 932 text (ロゴ is 83 8D 83 53); a line with a
// character that code page lacks is left out.
TEST(SettingsFile, ReadsAUtf16File) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : std::u16string_view(u"[LogoMark]\r\nLogoDirectory=\u30ED\u30B4\r\n"
                                          u"LogoDirectory=\U0001F4FA\r\n")) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    SettingsTable table;
    ReadSettingsText(Utf16ToSettingsText(bytes), table);
    EXPECT_EQ(SettingValue(table, "LogoDirectory"), "\x83\x8D\x83\x53");
}

}  // namespace
