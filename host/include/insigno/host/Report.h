#pragma once

// What the viewer stand-in saw, one JSON object a line (for tools and tests) and, when asked, a
// readable timeline beside it (for people). Every entry has "t", seconds since the report began,
// and "what".

#include <chrono>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace insigno::host {

class ReportEntry {
public:
    explicit ReportEntry(std::string name);

    ReportEntry& Add(const std::string& key, const std::string& value);
    ReportEntry& Add(const std::string& key, const char* value);
    ReportEntry& Add(const std::string& key, std::int64_t value);
    ReportEntry& Add(const std::string& key, int value) { return Add(key, std::int64_t{value}); }
    ReportEntry& Add(const std::string& key, bool value);
    // Finite values only, with three decimals.
    ReportEntry& Add(const std::string& key, double value);
    ReportEntry& Add(const std::string& key, const std::vector<std::string>& values);
    // The readable line of the timeline; without one the timeline shows the JSON fields.
    ReportEntry& Text(std::string text);

    const std::string& What() const { return what; }
    std::string Json(double seconds) const;
    std::string Readable(double seconds) const;

private:
    void Field(const std::string& key, const std::string& encoded);

    std::string what;
    std::string fields;  // ,"key":value pairs, already encoded
    std::string text;
};

std::string JsonString(const std::string& text);

class Report {
public:
    // Either sink may be null.
    Report(std::ostream* jsonSink = nullptr, std::ostream* timelineSink = nullptr);

    void Emit(const ReportEntry& entry);
    double Seconds() const;
    // Every JSON line emitted so far, for tests.
    std::vector<std::string> Lines() const;
    // Off for long runs, whose lines would only grow the process.
    void KeepLines(bool keep);

private:
    std::ostream* json;
    std::ostream* timeline;
    std::chrono::steady_clock::time_point start;
    mutable std::mutex mutex;
    std::vector<std::string> lines;
    bool keepLines = true;
};

}  // namespace insigno::host
