#include "fsys.h"

#include "gbk.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

bool PathResolver::LeadsOut(const fs::path& path) const
{
    std::error_code ec;
    const fs::path root = fs::canonical(root_, ec);
    if (ec)
        return true;
    const fs::path real = fs::canonical(path, ec);
    if (ec)
        return true;
    const fs::path rest = real.lexically_relative(root);
    return rest.empty() || *rest.begin() == "..";
}

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

std::string SystemReasonGbk(int err)
{
    switch (err) {
    case ENOENT: return GBK("文件夹不存在");
    case ENOTDIR: return GBK("路径中有一段不是文件夹");
    case EACCES:
    case EPERM: return GBK("没有写入权限");
    case EROFS: return GBK("文件系统是只读的");
    case ENOSPC: return GBK("磁盘已满");
    case EDQUOT: return GBK("超出磁盘配额");
    case EFBIG: return GBK("文件超出允许的大小");
    case EISDIR: return GBK("是一个文件夹");
    case EIO: return GBK("磁盘读写出错");
    default: break;
    }
    return std::strerror(err);
}

int SyncFile(FILE* f)
{
    if (std::fflush(f) != 0)
        return errno != 0 ? errno : EIO;
    if (::fsync(::fileno(f)) != 0)
        return errno;
    return 0;
}

FILE* CreateFresh(const std::filesystem::path& path, int* err)
{
    // Another process may plant a name between the removal and the
    // creation: a few attempts, then the failure stands.
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            *err = errno;
            return nullptr;
        }
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            *err = errno;
            return nullptr;
        }
    }
    if (fd < 0) {
        *err = EEXIST;
        return nullptr;
    }
    FILE* f = ::fdopen(fd, "wb+");
    if (!f) {
        *err = errno != 0 ? errno : EIO;
        ::close(fd);
        ::unlink(path.c_str());
        return nullptr;
    }
    *err = 0;
    return f;
}

int SyncFolderOf(const std::filesystem::path& file)
{
    const int fd = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int r = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return r;
}

bool PathResolver::Exists(std::string_view gbkName)
{
    FILE* f = Open(gbkName, "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

std::string ReadWholeFile(FILE* f, size_t limit)
{
    std::string bytes;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    std::rewind(f);
    if (size > 0) {
        bytes.resize(std::min(static_cast<size_t>(size), limit));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    }
    char buf[4096];
    size_t n;
    while (bytes.size() < limit && (n = std::fread(buf, 1, std::min(sizeof buf, limit - bytes.size()), f)) > 0)
        bytes.append(buf, n);
    return bytes;
}

} // namespace plat
