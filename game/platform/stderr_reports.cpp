#include "stderr_reports.h"

#include <iterator>

namespace plat {

void StderrReports::Write(const std::string& utf8, uint32_t nowMs)
{
    // Texts not seen for a second are forgotten: the map stays small.
    for (auto it = lastSeen_.begin(); it != lastSeen_.end();)
        it = nowMs - it->second > kRepeatWindowMs ? lastSeen_.erase(it) : std::next(it);
    auto [it, fresh] = lastSeen_.emplace(utf8, nowMs);
    if (!fresh) {
        it->second = nowMs;
        ++held_;
        return;
    }
    Flush();
    std::fprintf(out_, "tevlegend: %s\n", utf8.c_str());
    std::fflush(out_);
}

void StderrReports::Flush()
{
    if (held_ == 0)
        return;
    std::fprintf(out_, "tevlegend: （另有%llu条一秒内重复的报告未显示）\n", static_cast<unsigned long long>(held_));
    std::fflush(out_);
    held_ = 0;
}

} // namespace plat
