#include "stderr_reports.h"

#include <algorithm>
#include <iterator>

namespace plat {

void StderrReports::Write(const std::string& utf8, uint32_t nowMs, bool counted)
{
    // Texts not seen for a second are forgotten: the map stays small.
    for (auto it = lastSeen_.begin(); it != lastSeen_.end();)
        it = nowMs - it->second > kRepeatWindowMs ? lastSeen_.erase(it) : std::next(it);
    if (counted) {
        auto [it, fresh] = lastSeen_.emplace(utf8, nowMs);
        if (!fresh) {
            it->second = nowMs;
            auto h = std::find_if(held_.begin(), held_.end(), [&](const auto& e) { return e.first == utf8; });
            if (h == held_.end())
                held_.emplace_back(utf8, 1);
            else
                ++h->second;
            return;
        }
    }
    Flush();
    std::fprintf(out_, "tevlegend: %s\n", utf8.c_str());
    std::fflush(out_);
}

void StderrReports::Flush()
{
    for (const auto& [text, count] : held_)
        std::fprintf(out_, "tevlegend: （“%s”一秒内又重复了%llu次，未显示）\n", text.c_str(),
                     static_cast<unsigned long long>(count));
    if (!held_.empty())
        std::fflush(out_);
    held_.clear();
}

} // namespace plat
