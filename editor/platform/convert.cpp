#include "convert.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace fr {

RuntimeError::RuntimeError(const QString& text) : std::runtime_error(text.toStdString()) {}

QString RuntimeError::text() const
{
    return QString::fromStdString(what());
}

QString boolText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

int16_t toInt16(double v)
{
    if (!std::isfinite(v))
        throw RuntimeError(QStringLiteral("溢出"));
    // nearbyint rounds half to even under the default rounding mode.
    const double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0)
        throw RuntimeError(QStringLiteral("溢出：%1 超出 -32768 到 32767").arg(numText(v)));
    return static_cast<int16_t>(r);
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The grammar check is ours; strtod does the arithmetic on a clean copy, so
// no locale or hexadecimal form can slip in.
bool parseAscii(const char* s, size_t n, double& out)
{
    size_t b = 0, e = n;
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    size_t i = b;
    if (i < e && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < e && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < e && s[i] == '.') {
        ++i;
        while (i < e && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < e && (s[j] == '+' || s[j] == '-'))
            ++j;
        size_t expDigits = 0;
        while (j < e && s[j] >= '0' && s[j] <= '9') {
            ++j;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        i = j;
    }
    if (i != e)
        return false;
    const std::string clean(s + b, e - b);
    char* end = nullptr;
    const double v = std::strtod(clean.c_str(), &end);
    if (!std::isfinite(v))
        return false;
    out = v;
    return true;
}

} // namespace

bool parseNumber(const QByteArray& text, double& out)
{
    return parseAscii(text.constData(), static_cast<size_t>(text.size()), out);
}

bool parseNumber(QStringView text, double& out)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return parseNumber(text.toLatin1(), out);
}

double toNumber(const QString& text)
{
    double v = 0;
    if (!parseNumber(QStringView(text), v))
        throw RuntimeError(QStringLiteral("类型不匹配：“%1”不是数字").arg(text));
    return v;
}

bool cint16(QStringView text, int16_t& out)
{
    const QStringView t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        out = True;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        out = False;
        return true;
    }
    double v = 0;
    if (!parseNumber(t, v))
        return false;
    const double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0)
        return false;
    out = static_cast<int16_t>(r);
    return true;
}

bool parseWholeInt16(const QByteArray& text, int16_t& out)
{
    // Fast path for the plain integers that nearly every file holds.
    const char* s = text.constData();
    const qsizetype n = text.size();
    if (n > 0 && n <= 6) {
        qsizetype i = 0;
        bool neg = false;
        if (s[0] == '-') {
            neg = true;
            i = 1;
        }
        if (i < n) {
            int v = 0;
            qsizetype k = i;
            for (; k < n && s[k] >= '0' && s[k] <= '9'; ++k)
                v = v * 10 + (s[k] - '0');
            if (k == n) {
                v = neg ? -v : v;
                if (v < -32768 || v > 32767)
                    return false;
                out = static_cast<int16_t>(v);
                return true;
            }
        }
    }
    double d = 0;
    if (!parseNumber(text, d))
        return false;
    if (d != std::floor(d) || d < -32768.0 || d > 32767.0)
        return false;
    out = static_cast<int16_t>(d);
    return true;
}

QString numText(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e')) && std::fabs(v) >= 1e-4 && std::fabs(v) < 1e15)
        s = QString::number(v, 'f', 15 - static_cast<int>(std::floor(std::log10(std::fabs(v)))) - 1);
    if (s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s.replace(QLatin1Char('e'), QLatin1Char('E'));
}

NumOrText NumOrText::fromNumber(double v)
{
    NumOrText n;
    n.value_ = v;
    n.isText_ = false;
    return n;
}

NumOrText NumOrText::fromText(const QString& text)
{
    NumOrText n;
    n.text_ = text;
    n.isText_ = true;
    return n;
}

QString NumOrText::print() const
{
    return isText_ ? text_ : numText(value_);
}

double NumOrText::number() const
{
    if (!isText_)
        return value_;
    if (text_.isEmpty())
        return 0;
    return toNumber(text_);
}

} // namespace fr
