#include "gbk.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

std::string Convert(std::string_view in, const char* to, const char* from, std::string_view replacement)
{
    std::string out;
    if (in.empty())
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(in);
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: replace one byte and carry on.
            out.append(replacement);
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    iconv_close(cd);
    return out;
}

} // namespace

std::string GbkToUtf8(std::string_view gbk)
{
    // Plain ASCII needs no conversion; this is the common case for logs.
    bool ascii = true;
    for (unsigned char c : gbk)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return std::string(gbk);
    return Convert(gbk, "UTF-8", "CP936", "\xEF\xBF\xBD");
}

std::string Utf8ToGbk(std::string_view utf8)
{
    bool ascii = true;
    for (unsigned char c : utf8)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return std::string(utf8);
    return Convert(utf8, "CP936", "UTF-8", "?");
}

const char* GBK(const char* utf8)
{
    // Never destroyed: destructors of global objects still use their texts.
    static auto* m = new std::mutex;
    static auto* cache = new std::unordered_map<std::string, std::string>;
    std::lock_guard<std::mutex> lock(*m);
    auto it = cache->find(utf8);
    if (it == cache->end())
        it = cache->emplace(utf8, Utf8ToGbk(utf8)).first;
    return it->second.c_str();
}

} // namespace plat
