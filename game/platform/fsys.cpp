#include "fsys.h"

#include "gbk.h"

#include <algorithm>
#include <system_error>

namespace plat {
namespace fs = std::filesystem;

namespace {
bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

PathResolver::PathResolver(fs::path root) : root_(std::move(root)) {}

void PathResolver::SetRoot(fs::path root)
{
    root_ = std::move(root);
    cache_.clear();
}

void PathResolver::Invalidate() { cache_.clear(); }

std::optional<std::vector<std::string>> PathResolver::Split(std::string_view gbkName)
{
    const std::string utf8 = GbkToUtf8(gbkName);
    if (!utf8.empty() && (utf8[0] == '/' || utf8[0] == '\\'))
        return std::nullopt;
    if (utf8.size() >= 2 && utf8[1] == ':')
        return std::nullopt;
    std::vector<std::string> parts;
    std::string cur;
    auto flush = [&]() -> bool {
        if (cur == "..")
            return false;
        if (!cur.empty() && cur != ".")
            parts.push_back(cur);
        cur.clear();
        return true;
    };
    for (char c : utf8) {
        if (c == '\\' || c == '/') {
            if (!flush())
                return std::nullopt;
        } else {
            cur += c;
        }
    }
    if (!flush())
        return std::nullopt;
    return parts;
}

const std::vector<std::string>& PathResolver::Listing(const fs::path& dir)
{
    std::error_code ec;
    const auto mtime = fs::last_write_time(dir, ec);
    auto it = cache_.find(dir.string());
    if (it != cache_.end() && !ec && it->second.mtime == mtime)
        return it->second.names;
    CachedDir entry;
    entry.mtime = mtime;
    for (fs::directory_iterator d(dir, ec), end; !ec && d != end; d.increment(ec))
        entry.names.push_back(d->path().filename().string());
    std::sort(entry.names.begin(), entry.names.end());
    auto& slot = cache_[dir.string()];
    slot = std::move(entry);
    return slot.names;
}

std::optional<std::string> PathResolver::Match(const fs::path& dir, const std::string& name)
{
    std::error_code ec;
    if (fs::exists(dir / name, ec))
        return name;
    for (const auto& n : Listing(dir))
        if (SameIgnoringCase(n, name))
            return n;
    return std::nullopt;
}

ResolvedPath PathResolver::Walk(std::string_view gbkName, bool forWrite)
{
    ResolvedPath r;
    const auto parts = Split(gbkName);
    if (!parts) {
        r.error = PathError::LeavesFolder;
        return r;
    }
    if (parts->empty()) {
        r.error = PathError::Empty;
        return r;
    }
    fs::path cur = root_;
    for (size_t i = 0; i < parts->size(); ++i) {
        const bool last = i + 1 == parts->size();
        auto m = Match(cur, (*parts)[i]);
        if (!m) {
            if (forWrite && last) {
                cur /= (*parts)[i];
                r.path = cur;
                return r;
            }
            r.error = PathError::NotFound;
            r.path = cur / (*parts)[i];
            return r;
        }
        cur /= *m;
    }
    r.path = cur;
    return r;
}

ResolvedPath PathResolver::Resolve(std::string_view gbkName) { return Walk(gbkName, false); }

ResolvedPath PathResolver::ResolveForWrite(std::string_view gbkName) { return Walk(gbkName, true); }

FILE* PathResolver::Open(std::string_view gbkName, const char* mode, PathError* error)
{
    const bool writing = mode && (mode[0] == 'w' || mode[0] == 'a');
    ResolvedPath r = writing ? ResolveForWrite(gbkName) : Resolve(gbkName);
    if (error)
        *error = r.error;
    if (r.error != PathError::None)
        return nullptr;
    std::error_code ec;
    if (!writing && fs::is_directory(r.path, ec)) {
        if (error)
            *error = PathError::NotFound;
        return nullptr;
    }
    FILE* f = std::fopen(r.path.c_str(), mode);
    if (writing)
        Invalidate();
    return f;
}

bool PathResolver::Exists(std::string_view gbkName)
{
    FILE* f = Open(gbkName, "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

} // namespace plat
