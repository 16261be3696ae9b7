#include "insigno/host/Report.h"

#include <cmath>
#include <cstdio>

namespace insigno::host {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;  // UTF-8 passes through unchanged
                }
        }
    }
    return out + "\"";
}

ReportEntry::ReportEntry(std::string name) : what(std::move(name)) {}

// Appends ,"key":value; built by appending, which also keeps GCC 12's -Wrestrict false
// positive on chains of string concatenation away.
void ReportEntry::Field(const std::string& key, const std::string& encoded) {
    fields.append(",").append(JsonString(key)).append(":").append(encoded);
}

ReportEntry& ReportEntry::Add(const std::string& key, const std::string& value) {
    Field(key, JsonString(value));
    return *this;
}

ReportEntry& ReportEntry::Add(const std::string& key, const char* value) {
    return Add(key, std::string(value));
}

ReportEntry& ReportEntry::Add(const std::string& key, std::int64_t value) {
    Field(key, std::to_string(value));
    return *this;
}

ReportEntry& ReportEntry::Add(const std::string& key, double value) {
    char number[64];
    std::snprintf(number, sizeof number, "%.3f", std::isfinite(value) ? value : 0.0);
    Field(key, number);
    return *this;
}

ReportEntry& ReportEntry::Add(const std::string& key, bool value) {
    Field(key, value ? "true" : "false");
    return *this;
}

ReportEntry& ReportEntry::Add(const std::string& key, const std::vector<std::string>& values) {
    std::string list = "[";
    for (const auto& value : values) {
        if (list.size() > 1) list.append(",");
        list.append(JsonString(value));
    }
    Field(key, list.append("]"));
    return *this;
}

ReportEntry& ReportEntry::Text(std::string readable) {
    text = std::move(readable);
    return *this;
}

std::string ReportEntry::Json(double seconds) const {
    char t[32];
    std::snprintf(t, sizeof t, "%.3f", seconds);
    std::string out = "{\"t\":";
    out.append(t).append(",\"what\":").append(JsonString(what)).append(fields).append("}");
    return out;
}

std::string ReportEntry::Readable(double seconds) const {
    char t[32];
    std::snprintf(t, sizeof t, "%8.3f  ", seconds);
    std::string out = t;
    if (!text.empty()) return out.append(text);
    return out.append(what).append(" ").append(fields.empty() ? fields : fields.substr(1));
}

Report::Report(std::ostream* jsonSink, std::ostream* timelineSink)
    : json(jsonSink), timeline(timelineSink), start(std::chrono::steady_clock::now()) {}

double Report::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report::Emit(const ReportEntry& entry) {
    const double seconds = Seconds();
    const std::string line = entry.Json(seconds);
    std::lock_guard<std::mutex> lock(mutex);
    if (keepLines) lines.push_back(line);
    if (json) *json << line << std::endl;
    if (timeline) *timeline << entry.Readable(seconds) << std::endl;
}

std::vector<std::string> Report::Lines() const {
    std::lock_guard<std::mutex> lock(mutex);
    return lines;
}

void Report::KeepLines(bool keep) {
    std::lock_guard<std::mutex> lock(mutex);
    keepLines = keep;
    if (!keep) lines.clear();
}

}  // namespace insigno::host
