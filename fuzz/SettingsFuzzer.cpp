// Any bytes as the settings file: the reader's table, the defaults and the conversions; and the
// writer: a changed value written into the file reads back as that value, nothing else changed.
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzReader.h"
#include "Settings.h"
#include "SettingsWriter.h"

namespace {

const std::string& FilePath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir ? dir : "/tmp") + "/insigno-fuzz-settings-" +
               std::to_string(getpid()) + ".ini";
    }();
    return path;
}

bool Trimmed(const std::string& text) {
    const std::string blanks = " \t\r\n\v\f";
    return !text.empty() && blanks.find(text.front()) == std::string::npos &&
           blanks.find(text.back()) == std::string::npos;
}

// The rule each key's value must pass once the defaults are applied.
bool Accepted(const std::string& key, const std::string& value) {
    const int32_t number = ToInt(value);
    const double real = ToReal(value);
    if (key == "LogoDirectory") return !value.empty();
    if (key == "LogoType") return number >= 0 && number <= 5;
    if (key == "LogoScale") return number > 0;
    if (key == "DisplaySeconds") return number >= -1;
    if (key == "PositionRateX" || key == "PositionRateY") return real >= -1.0 && real <= 1.0;
    if (key == "PositionX" || key == "PositionY") return true;
    return number == 0 || number == 1;  // the three Enable... switches
}

constexpr const char* kKeys[] = {
    "LogoDirectory",        "LogoType",  "LogoScale", "EnableFixedScale", "EnableFixedPositionX",
    "EnableFixedPositionY", "PositionX", "PositionY", "PositionRateX",    "PositionRateY",
    "DisplaySeconds"};

// Writes a value taken from the file's own first bytes into the key its size picks, as the dialog
// would, and reads the result back.
void CheckWriteThenRead(const std::string& text, const SettingsTable& before) {
    if (IsUtf16Text(text)) return;  // never written
    const std::string key = kKeys[text.size() % std::size(kKeys)];
    std::string value = text.substr(0, 1 + text.size() / 7 % 12);
    if (value.empty() || !WritableValue(value)) value = std::to_string(text.size());
    SettingsTable after;
    ReadSettingsText(ApplySettingChanges(text, {{key, value}}), after);
    SettingsTable expected = before;
    expected[kSettingsSection][key] = value;
    FUZZ_CHECK(after == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(FilePath().c_str(), "wb");
    FUZZ_CHECK(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0);
    SettingsTable table;
    ReadSettingsFile(FilePath(), table);
    CheckWriteThenRead(std::string(reinterpret_cast<const char*>(data), size), table);

    for (const auto& [section, keys] : table) {
        // A line never spans a newline, and a section name stops at its first ']'.
        FUZZ_CHECK(section.find_first_of("\n]") == std::string::npos);
        for (const auto& [key, value] : keys) {
            FUZZ_CHECK(Trimmed(key) && key.find_first_of("=;#") == std::string::npos);
            FUZZ_CHECK(value.find_first_of("\n;#") == std::string::npos);
            // Every number read back from its own text within its six significant digits.
            const double real = ToReal(value);
            if (real != -DBL_MAX && std::isfinite(real)) {
                FUZZ_CHECK(std::fabs(ToReal(FormatReal(real)) - real) <= 5e-6 * std::fabs(real));
            }
            const int32_t number = ToInt(value);
            if (number != INT32_MIN) FUZZ_CHECK(ToInt(std::to_string(number)) == number);
        }
    }

    ApplyDefaults(table);
    const SettingsTable once = table;
    for (const char* key : kKeys) FUZZ_CHECK(Accepted(key, SettingValue(table, key)));
    // Accepted values stay exactly as written, so a second pass changes nothing.
    ApplyDefaults(table);
    FUZZ_CHECK(table == once);
    return 0;
}
