#include "gbk.h"

#include <iconv.h>

#include <cerrno>

namespace fr::gbk {
namespace {

bool isAscii(const QByteArray& b)
{
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace

QString decode(const QByteArray& bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    Iconv cd("UTF-8", "CP936");
    if (!cd.ok())
        return QString::fromLatin1(bytes);
    QByteArray out;
    out.reserve(bytes.size() * 2);
    char* src = const_cast<char*>(bytes.constData());
    size_t srcLeft = static_cast<size_t>(bytes.size());
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, dst - buf);
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            out.append("\xEF\xBF\xBD");
            ++src;
            --srcLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return QString::fromUtf8(out);
}

bool encode(const QString& text, QByteArray& out)
{
    out.clear();
    const QByteArray utf8 = text.toUtf8();
    if (isAscii(utf8)) {
        out = utf8;
        return true;
    }
    Iconv cd("CP936", "UTF-8");
    if (!cd.ok())
        return false;
    char* src = const_cast<char*>(utf8.constData());
    size_t srcLeft = static_cast<size_t>(utf8.size());
    QByteArray result;
    result.reserve(utf8.size());
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        result.append(buf, dst - buf);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG)
            return false;
    }
    out = result;
    return true;
}

QString firstUnencodable(const QString& text)
{
    QByteArray dummy;
    if (encode(text, dummy))
        return {};
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        if (!encode(ch, dummy))
            return ch;
        i += len - 1;
    }
    return {};
}

} // namespace fr::gbk
