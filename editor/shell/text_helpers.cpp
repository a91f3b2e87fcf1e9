#include "module2.h"

#include "platform/gbk.h"
#include "platform/paths.h"

#include <cstring>

namespace tilesmith {

int FindNthString(const QByteArray& text, const QByteArray& key, int n, int start)
{
    const int len = int(text.size());
    const int klen = int(key.size());
    if (klen == 0 || n < 1)
        return 1;
    int count = 0;
    for (int i = std::max(start, 1); i + klen - 1 <= len; ++i) {
        if (std::memcmp(text.constData() + i - 1, key.constData(), static_cast<size_t>(klen)) == 0) {
            if (++count == n)
                return i + klen;
        }
    }
    return 1;
}

namespace {

template <class Text>
int16_t numberFromDigits(const Text& text)
{
    int value = 0;
    bool any = false;
    for (auto c : text) {
        const int ch = int(c);
        if (ch >= '0' && ch <= '9') {
            any = true;
            value = value * 10 + (ch - '0');
            if (value > 32767)
                return -1;
        }
    }
    return any ? static_cast<int16_t>(value) : int16_t(-1);
}

} // namespace

int16_t GetNumber(const QByteArray& text)
{
    return numberFromDigits(text);
}

int16_t GetNumber(const QString& text)
{
    std::u16string s = text.toStdU16String();
    return numberFromDigits(s);
}

QByteArray CutStatement(const QByteArray& text, int p)
{
    const int len = int(text.size());
    auto at = [&](int pos) { return text[pos - 1]; }; // 1-based
    QByteArray front;
    for (int q = std::min(p - 1, len); q >= 2; --q)
        if (at(q) == ';') {
            front = text.left(q + 1);
            break;
        }
    QByteArray rest;
    for (int r = std::max(p - 1, 1); r <= len - 1; ++r)
        if (at(r) == ';') {
            rest = text.mid(r + 1);
            break;
        }
    return front + rest;
}

QString GetParentPath(const QString& path, int n)
{
    if (n <= 0)
        return path;
    int count = 0;
    for (qsizetype i = path.size() - 2; i >= 0; --i)
        if (path[i] == fr::sep && ++count == n)
            return path.left(i + 1);
    return {};
}

QString GetFileName(const QString& path)
{
    if (path.isEmpty())
        return {};
    for (qsizetype i = path.size() - 2; i >= 0; --i)
        if (path[i] == fr::sep)
            return path.mid(i + 1);
    return path;
}

QString StripExtension(const QString& name)
{
    if (name.isEmpty())
        return {};
    for (qsizetype i = name.size() - 2; i >= 0; --i)
        if (name[i] == QLatin1Char('.'))
            return name.left(i);
    return name;
}

QString GetFileTitle(const QString& path)
{
    if (path.isEmpty())
        return {};
    return StripExtension(GetFileName(path));
}

bool DigitsInRange(const QString& text, int lo, int hi, int& value)
{
    if (text.isEmpty())
        return false;
    long long v = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > hi)
            return false;
    }
    if (v < lo)
        return false;
    value = int(v);
    return true;
}

int16_t GetSheetIndex(const QString& name)
{
    if (name == QLatin1String("map1"))
        return 0;
    if (name == QLatin1String("map2"))
        return 1;
    if (name == QLatin1String("map3"))
        return 2;
    if (name == QLatin1String("anpc"))
        return 3;
    if (name == QLatin1String("monster"))
        return 4;
    return 0;
}

QString ValueTextProblem(const QByteArray& gbk)
{
    if (gbk.contains(','))
        return QStringLiteral("含有逗号");
    return QuotedTextProblem(gbk);
}

QString QuotedTextProblem(const QByteArray& gbk)
{
    if (gbk.contains('\r') || gbk.contains('\n'))
        return QStringLiteral("含有换行");
    if (gbk.contains('"'))
        return QStringLiteral("含有双引号");
    return {};
}

QString TypedValueProblem(const QString& text, QByteArray& gbk, bool quoted)
{
    if (!fr::gbk::encode(text, gbk))
        return QStringLiteral("含有不能用 GBK 保存的字符“%1”").arg(fr::gbk::firstUnencodable(text));
    return quoted ? QuotedTextProblem(gbk) : ValueTextProblem(gbk);
}

} // namespace tilesmith
