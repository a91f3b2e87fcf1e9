#include "map_file.h"

#include "platform/gbk.h"

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

QByteArray SerializeMap(const MapDocument& doc)
{
    QByteArray out;
    out.reserve(32 + doc.TileCount * 7 * 16);
    auto num = [&](int v) { out.append(QByteArray::number(v)); };
    // Sizes are written in the form they are held (typed text as typed).
    auto size = [&](const fr::NumOrText& n) {
        QByteArray b;
        fr::gbk::encode(n.print(), b);
        out.append(b);
    };
    size(doc.MapWidth);
    out.append(',');
    size(doc.MapHeight);
    out.append(',');
    num(doc.RoleDir);
    out.append(',');
    num(doc.RoleX);
    out.append(',');
    num(doc.RoleY);
    out.append("\r\n");
    for (int layer = 0; layer < TileLayers; ++layer)
        for (const TileRec& t : doc.layers[layer]) {
            num(t.srcX);
            out.append(',');
            num(t.srcY);
            out.append(',');
            num(t.mapX);
            out.append(',');
            num(t.mapY);
            out.append(',');
            if (layer == 0) {
                num(t.obstacle);
                out.append(',');
                num(t.sheet);
                out.append(',');
                out.append(t.event);
            } else {
                num(t.sheet);
            }
            out.append("\r\n");
        }
    return out;
}

} // namespace tilesmith
