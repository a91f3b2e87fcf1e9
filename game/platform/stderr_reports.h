#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace plat {

// The game's reports as they go to stderr, one line each ("tevlegend: "
// and the UTF-8 text). A text identical to one seen within the last second
// is counted instead of printed, so a report raised at every play or every
// re-run does not flood the terminal; the count of each held text, naming
// it, is printed before the next line that is printed, and by Flush (at
// exit). A text written as not counted is always printed and never held.
class StderrReports {
public:
    explicit StderrReports(FILE* out = stderr) : out_(out) {}
    ~StderrReports() { Flush(); }
    StderrReports(const StderrReports&) = delete;
    StderrReports& operator=(const StderrReports&) = delete;

    void Write(const std::string& utf8, uint32_t nowMs, bool counted = true);
    void Flush();

    static constexpr uint32_t kRepeatWindowMs = 1000;

private:
    FILE* out_;
    std::map<std::string, uint32_t> lastSeen_;
    // The held repeats, in the order their texts were first held.
    std::vector<std::pair<std::string, uint64_t>> held_;
};

} // namespace plat
