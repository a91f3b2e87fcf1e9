#include "map_file.h"

#include "platform/gbk.h"

#include <charconv>
#include <cmath>

namespace tilesmith {
namespace {

// Lines end at CR LF, CR or LF; a last line may lack its end.
class Lines {
public:
    explicit Lines(const QByteArray& b) : p_(b.constData()), end_(b.constData() + b.size()) {}
    bool next(const char*& begin, const char*& stop)
    {
        if (p_ >= end_)
            return false;
        begin = p_;
        const char* q = p_;
        while (q < end_ && *q != '\r' && *q != '\n')
            ++q;
        stop = q;
        if (q < end_) {
            if (*q == '\r') {
                ++q;
                if (q < end_ && *q == '\n')
                    ++q;
            } else {
                ++q;
            }
        }
        p_ = q;
        ++number_;
        return true;
    }
    int number() const { return number_; }

private:
    const char* p_;
    const char* end_;
    int number_ = 0;
};

// Splits at ','; at most `want` values are kept, and the last kept value
// runs to the next ',' or the line end. Returns how many values the line has
// (counting only up to `want`).
int split(const char* b, const char* e, int want, std::array<QByteArray, 7>& out)
{
    int n = 0;
    const char* start = b;
    for (const char* q = b;; ++q) {
        if (q == e || *q == ',') {
            out[n++] = QByteArray(start, q - start);
            if (n == want || q == e)
                return n;
            start = q + 1;
        }
    }
}

QString shown(const QByteArray& b)
{
    QString s = fr::gbk::decode(b);
    if (s.size() > 24)
        s = s.left(24) + QStringLiteral("…");
    return s;
}

QString at(int line, const QString& why)
{
    return QStringLiteral("地图文件格式错误：第 %1 行：%2").arg(line).arg(why);
}

bool readSide(const QByteArray& text, int& out)
{
    double v = 0;
    if (!fr::parseNumber(text, v) || v != std::floor(v) || v < 1 || v > MaxMapSide)
        return false;
    out = int(v);
    return true;
}

} // namespace

MapReadResult ParseMapFile(const QByteArray& bytes, MapDocument& doc)
{
    MapReadResult r;
    r.lfOnly = !bytes.contains('\r') && bytes.contains('\n');
    Lines lines(bytes);
    const char* b = nullptr;
    const char* e = nullptr;
    if (!lines.next(b, e)) {
        r.error = QStringLiteral("地图文件格式错误：文件是空的。");
        return r;
    }
    std::array<QByteArray, 7> v;
    {
        std::array<QByteArray, 7> head;
        const int n = split(b, e, 5, head);
        if (n < 5) {
            r.error = at(1, QStringLiteral("文件头应有 5 个值（宽,高,方向,x,y），只有 %1 个。").arg(n));
            return r;
        }
        if (!readSide(head[0], doc.width)) {
            r.error = at(1, QStringLiteral("地图宽度“%1”不是 1 到 %2 的整数。").arg(shown(head[0])).arg(MaxMapSide));
            return r;
        }
        if (!readSide(head[1], doc.height)) {
            r.error = at(1, QStringLiteral("地图高度“%1”不是 1 到 %2 的整数。").arg(shown(head[1])).arg(MaxMapSide));
            return r;
        }
        if (doc.width * doc.height > MaxMapCells) {
            r.error = at(1, QStringLiteral("地图 %1×%2 有 %3 格，超过 %4 格。")
                                .arg(doc.width)
                                .arg(doc.height)
                                .arg(doc.width * doc.height)
                                .arg(MaxMapCells));
            return r;
        }
        int16_t* targets[3] = {&doc.RoleDir, &doc.RoleX, &doc.RoleY};
        for (int k = 0; k < 3; ++k)
            if (!fr::parseWholeInt16(head[2 + k], *targets[k])) {
                r.error = at(1, QStringLiteral("第 %1 个值“%2”不是 -32768 到 32767 的整数。")
                                    .arg(3 + k)
                                    .arg(shown(head[2 + k])));
                return r;
            }
        doc.MapWidth = fr::NumOrText::fromNumber(doc.width);
        doc.MapHeight = fr::NumOrText::fromNumber(doc.height);
        doc.TileCount = static_cast<int16_t>(doc.width * doc.height);
    }
    const int cells = doc.TileCount;
    for (int layer = 0; layer < TileLayers; ++layer) {
        auto& recs = doc.layers[layer];
        recs.assign(static_cast<size_t>(cells), TileRec{});
        const bool ground = layer == 0;
        const int want = ground ? 7 : 5;
        for (int i = 0; i < cells; ++i) {
            if (!lines.next(b, e)) {
                r.error = QStringLiteral("地图文件格式错误：文件只有 %1 行，%2×%3 的地图需要 %4 行。")
                              .arg(lines.number())
                              .arg(doc.width)
                              .arg(doc.height)
                              .arg(1 + TileLayers * cells);
                return r;
            }
            const int line = lines.number();
            const int n = split(b, e, want, v);
            if (n < want) {
                r.error = at(line, QStringLiteral("%1应有 %2 个值，只有 %3 个。")
                                       .arg(ground ? QStringLiteral("地面层的格") : QStringLiteral("图块层的格"))
                                       .arg(want)
                                       .arg(n));
                return r;
            }
            TileRec& t = recs[static_cast<size_t>(i)];
            int16_t* fields[6] = {&t.srcX, &t.srcY, &t.mapX, &t.mapY, ground ? &t.obstacle : &t.sheet,
                                  ground ? &t.sheet : nullptr};
            const int numeric = ground ? 6 : 5;
            for (int k = 0; k < numeric; ++k)
                if (!fr::parseWholeInt16(v[k], *fields[k])) {
                    r.error = at(line, QStringLiteral("第 %1 个值“%2”不是 -32768 到 32767 的整数。")
                                           .arg(k + 1)
                                           .arg(shown(v[k])));
                    return r;
                }
            if (t.sheet < -1 || t.sheet >= SheetCount) {
                r.error = at(line, QStringLiteral("图块表编号 %1 无效（应为 -1 到 %2）。").arg(t.sheet).arg(SheetCount - 1));
                return r;
            }
            if (ground) {
                if (v[6].size() > MaxEventBytes) {
                    r.error = at(line, QStringLiteral("事件名有 %1 字节，超过 %2 字节。").arg(v[6].size()).arg(MaxEventBytes));
                    return r;
                }
                // Shares the one "N" of the default record when it is that.
                if (v[6] != "N")
                    t.event = v[6];
            }
        }
    }
    r.ok = true;
    return r;
}

MapSource SourceOf(const MapDocument& doc)
{
    MapSource s;
    s.MapWidth = doc.MapWidth;
    s.MapHeight = doc.MapHeight;
    s.RoleDir = doc.RoleDir;
    s.RoleX = doc.RoleX;
    s.RoleY = doc.RoleY;
    for (int l = 0; l < TileLayers; ++l)
        s.layers[l] = &doc.layers[l];
    return s;
}

MapSource SourceOf(const Module1& m)
{
    MapSource s;
    s.MapWidth = m.MapWidth;
    s.MapHeight = m.MapHeight;
    s.RoleDir = m.RoleDir;
    s.RoleX = m.RoleX;
    s.RoleY = m.RoleY;
    for (int l = 0; l < TileLayers; ++l)
        s.layers[l] = &m.LayData(l + 1);
    return s;
}

namespace {

bool wholeSide(const fr::NumOrText& n, int& out)
{
    if (n.isEmpty())
        return false;
    // Typed text is printed as it stands, so it must be plain digits.
    if (n.isText())
        for (QChar c : n.print())
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
    double v = 0;
    if (!fr::parseNumber(n.print(), v) || v != std::floor(v) || v < 1 || v > MaxMapSide)
        return false;
    out = int(v);
    return true;
}

// Appends a 16-bit number in decimal.
void appendNumber(QByteArray& out, int v)
{
    char buf[8];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr - buf);
}

} // namespace

QString MapWriteProblem(const MapSource& src)
{
    int w = 0, h = 0;
    if (!wholeSide(src.MapWidth, w) || !wholeSide(src.MapHeight, h))
        return QStringLiteral("地图尺寸“%1×%2”不是 1 到 %3 的整数。")
            .arg(src.MapWidth.print(), src.MapHeight.print())
            .arg(MaxMapSide);
    if (w * h > MaxMapCells)
        return QStringLiteral("地图 %1×%2 有 %3 格，超过 %4 格。").arg(w).arg(h).arg(w * h).arg(MaxMapCells);
    for (int l = 0; l < TileLayers; ++l)
        if (!src.layers[l] || src.layers[l]->size() != size_t(w * h))
            return QStringLiteral("第 %1 层的格数与地图尺寸 %2×%3 不符。").arg(l + 1).arg(w).arg(h);
    const std::vector<TileRec>& ground = *src.layers[0];
    for (size_t i = 0; i < ground.size(); ++i) {
        const QByteArray& e = ground[i].event;
        if (e.contains(',') || e.contains('\r') || e.contains('\n'))
            return QStringLiteral("第 %1 格（第 %2 列第 %3 行）的事件名“%4”含有逗号或换行，游戏无法读回。")
                .arg(i)
                .arg(int(i) % w)
                .arg(int(i) / w)
                .arg(fr::gbk::decode(e).replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    }
    return {};
}

QByteArray SerializeMap(const MapSource& src)
{
    size_t cells = 0;
    for (const auto* layer : src.layers)
        if (layer)
            cells += layer->size();
    QByteArray out;
    out.reserve(qsizetype(64 + cells * 24));
    // Sizes are written in the form they are held (typed text as typed).
    auto size = [&](const fr::NumOrText& n) {
        QByteArray b;
        fr::gbk::encode(n.print(), b);
        out.append(b);
    };
    size(src.MapWidth);
    out.append(',');
    size(src.MapHeight);
    out.append(',');
    appendNumber(out, src.RoleDir);
    out.append(',');
    appendNumber(out, src.RoleX);
    out.append(',');
    appendNumber(out, src.RoleY);
    out.append("\r\n", 2);
    for (int layer = 0; layer < TileLayers; ++layer) {
        if (!src.layers[layer])
            continue;
        for (const TileRec& t : *src.layers[layer]) {
            appendNumber(out, t.srcX);
            out.append(',');
            appendNumber(out, t.srcY);
            out.append(',');
            appendNumber(out, t.mapX);
            out.append(',');
            appendNumber(out, t.mapY);
            out.append(',');
            if (layer == 0) {
                appendNumber(out, t.obstacle);
                out.append(',');
                appendNumber(out, t.sheet);
                out.append(',');
                out.append(t.event);
            } else {
                appendNumber(out, t.sheet);
            }
            out.append("\r\n", 2);
        }
    }
    return out;
}

QByteArray SerializeMap(const MapDocument& doc)
{
    return SerializeMap(SourceOf(doc));
}

} // namespace tilesmith
