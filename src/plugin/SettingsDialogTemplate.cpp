#include "SettingsDialogTemplate.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "SettingsDialogIds.h"

namespace {

// The predefined control classes, by atom.
constexpr uint16_t kButton = 0x0080;
constexpr uint16_t kEdit = 0x0081;
constexpr uint16_t kStatic = 0x0082;
constexpr uint16_t kComboBox = 0x0085;

class TemplateWriter {
public:
    void Word(uint16_t value) { words.push_back(value); }
    void Dword(uint32_t value) {
        Word(static_cast<uint16_t>(value & 0xFFFF));
        Word(static_cast<uint16_t>(value >> 16));
    }
    void Text(std::u16string_view text) {
        words.insert(words.end(), text.begin(), text.end());
        Word(0);
    }
    void Align() {
        if (words.size() % 2 != 0) Word(0);
    }
    void Header(std::u16string_view title, int16_t cx, int16_t cy) {
        Word(1);
        Word(0xFFFF);
        Dword(0);  // help id
        Dword(0);  // extended style
        // Visible from its creation: a dialog without WS_VISIBLE is shown only once its modal
        // loop finds the queue empty, which a due timer may put off.
        Dword(DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
        countAt = words.size();
        Word(0);  // the number of items, counted as they come
        Word(0);
        Word(0);
        Word(static_cast<uint16_t>(cx));
        Word(static_cast<uint16_t>(cy));
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(title);
        Word(9);    // points
        Word(400);  // weight
        Word(0);    // italic, character set
        Text(u"MS Shell Dlg");
    }
    void Item(uint16_t atom, std::u16string_view text, uint32_t id, uint32_t style, int16_t x,
              int16_t y, int16_t cx, int16_t cy) {
        Align();
        ++words[countAt];
        Dword(0);
        Dword(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        for (int16_t v : {x, y, cx, cy}) Word(static_cast<uint16_t>(v));
        Dword(id);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }
    std::vector<uint32_t> Done() {
        Align();
        std::vector<uint32_t> out(words.size() / 2);
        std::memcpy(out.data(), words.data(), words.size() * sizeof(uint16_t));
        return out;
    }

private:
    std::vector<uint16_t> words;
    size_t countAt = 0;
};

constexpr uint32_t kLabel = SS_LEFT;
constexpr uint32_t kField = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr uint32_t kList = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

}  // namespace

std::vector<uint32_t> SettingsDialogTemplate() {
    TemplateWriter t;
    t.Header(u"Insigno \u306E\u8A2D\u5B9A", 266, 184);  // "Insigno の設定"
    // "ロゴのフォルダ:" and "(次回の起動から有効になります)"
    t.Item(kStatic, u"\u30ED\u30B4\u306E\u30D5\u30A9\u30EB\u30C0:", 0xFFFF, kLabel, 7, 9, 62, 8);
    t.Item(kEdit, u"", IDC_DIRECTORY, kField, 72, 7, 186, 12);
    t.Item(kStatic,
           u"(\u6B21\u56DE\u306E\u8D77\u52D5\u304B\u3089\u6709\u52B9\u306B\u306A\u308A"
           u"\u307E\u3059)",
           0xFFFF, kLabel, 72, 22, 186, 8);
    // "ロゴの種類:"
    t.Item(kStatic, u"\u30ED\u30B4\u306E\u7A2E\u985E:", 0xFFFF, kLabel, 7, 38, 62, 8);
    t.Item(kComboBox, u"", IDC_TYPE, kList, 72, 36, 90, 120);
    // "表示倍率 (%):"
    t.Item(kStatic, u"\u8868\u793A\u500D\u7387 (%):", 0xFFFF, kLabel, 7, 56, 62, 8);
    t.Item(kEdit, u"", IDC_SCALE, kField, 72, 54, 40, 12);
    // "倍率を固定する (拡大率に合わせない)"
    t.Item(kButton,
           u"\u500D\u7387\u3092\u56FA\u5B9A\u3059\u308B (\u62E1\u5927\u7387\u306B\u5408"
           u"\u308F\u305B\u306A\u3044)",
           IDC_FIXED_SCALE, BS_AUTOCHECKBOX | WS_TABSTOP, 72, 70, 186, 10);
    // "横位置:" and "縦位置:"
    t.Item(kStatic, u"\u6A2A\u4F4D\u7F6E:", 0xFFFF, kLabel, 7, 90, 62, 8);
    t.Item(kComboBox, u"", IDC_X_UNIT, kList, 72, 88, 60, 60);
    t.Item(kComboBox, u"", IDC_X_EDGE, kList, 136, 88, 60, 60);
    t.Item(kEdit, u"", IDC_X_AMOUNT, kField, 200, 88, 58, 12);
    t.Item(kStatic, u"\u7E26\u4F4D\u7F6E:", 0xFFFF, kLabel, 7, 108, 62, 8);
    t.Item(kComboBox, u"", IDC_Y_UNIT, kList, 72, 106, 60, 60);
    t.Item(kComboBox, u"", IDC_Y_EDGE, kList, 136, 106, 60, 60);
    t.Item(kEdit, u"", IDC_Y_AMOUNT, kField, 200, 106, 58, 12);
    // "割合: 映像の幅・高さに対する 0～1 の値"
    t.Item(kStatic,
           u"\u5272\u5408: \u6620\u50CF\u306E\u5E45\u30FB\u9AD8\u3055\u306B\u5BFE\u3059"
           u"\u308B 0\uFF5E1 \u306E\u5024",
           0xFFFF, kLabel, 72, 122, 186, 8);
    // "表示時間:" and "秒"
    t.Item(kStatic, u"\u8868\u793A\u6642\u9593:", 0xFFFF, kLabel, 7, 140, 62, 8);
    t.Item(kComboBox, u"", IDC_TIME, kList, 72, 138, 90, 60);
    t.Item(kEdit, u"", IDC_SECONDS, kField, 166, 138, 40, 12);
    t.Item(kStatic, u"\u79D2", 0xFFFF, kLabel, 210, 140, 20, 8);
    t.Item(kButton, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 154, 162, 50, 14);
    t.Item(kButton, u"\u30AD\u30E3\u30F3\u30BB\u30EB", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 208,
           162, 50, 14);  // "キャンセル"
    return t.Done();
}
