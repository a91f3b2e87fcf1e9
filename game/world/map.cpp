#include "map.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/alert.h"
#include "core/graph.h"
#include "core/sound.h"
#include "magic.h"
#include "monster.h"
#include "npc.h"
#include "platform/gbk.h"
#include "role.h"

using plat::GBK;

float g_MapPixelWidth = 1.0f;
float g_MapPixelHeight = 1.0f;

// ---------------------------------------------------------------- parsing
namespace {

// Walks the lines of a file's text. A line ends at LF or at the end of the
// text; a CR right before the LF belongs to the line end. A CR LF file, an
// LF-only file and a last line without line end all read alike.
class LineReader {
public:
    explicit LineReader(const std::string& text) : text_(text) {}
    bool Next(std::string_view& line)
    {
        if (pos_ >= text_.size())
            return false;
        size_t end = text_.find('\n', pos_);
        size_t next = end == std::string::npos ? text_.size() : end + 1;
        if (end == std::string::npos)
            end = text_.size();
        if (end > pos_ && text_[end - 1] == '\r')
            --end;
        line = std::string_view(text_).substr(pos_, end - pos_);
        pos_ = next;
        ++number_;
        return true;
    }
    int Number() const { return number_; }

private:
    const std::string& text_;
    size_t pos_ = 0;
    int number_ = 0;
};

// Splits a line into at most `want` values. Every ',' and every CR ends a
// value; the line end ends the last one. Values after `want` are ignored.
// Returns the number of values found.
int SplitValues(std::string_view line, int want, std::string_view* values)
{
    int n = 0;
    size_t start = 0;
    for (size_t i = 0; i <= line.size() && n < want; ++i) {
        if (i == line.size() || line[i] == ',' || line[i] == '\r') {
            values[n++] = line.substr(start, i - start);
            start = i + 1;
        }
    }
    return n;
}

int32_t IntValue(std::string_view v)
{
    int32_t r = 0;
    return numparse::ParseInt32(std::string(v), &r) ? r : 0;
}

// A header size: a whole decimal number, blanks around it allowed.
bool SizeValue(std::string_view raw, const char* what, int32_t* out, std::string* reason)
{
    std::string text(raw);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    float v = 0;
    size_t end = 0;
    const std::string shown = "\"" + text + "\"";
    if (!numparse::ParseFloat(text, &v, &end) || end != text.size()) {
        *reason = std::string(GBK(what)) + GBK("不是数字：") + shown;
        return false;
    }
    if (v != std::floor(v)) {
        *reason = std::string(GBK(what)) + GBK("不是整数：") + shown;
        return false;
    }
    if (v < 1 || v > static_cast<float>(kMapMaxSide)) {
        *reason = std::string(GBK(what)) + GBK("超出1到") + std::to_string(kMapMaxSide) + GBK("：") + shown;
        return false;
    }
    *out = static_cast<int32_t>(v);
    return true;
}

} // namespace

bool ParseMapText(const std::string& bytes, MapData* out, int* errorLine, std::string* errorReason)
{
    LineReader lines(bytes);
    std::string_view line;
    std::string_view v[7];

    *errorLine = 1;
    if (!lines.Next(line) || SplitValues(line, 5, v) < 5) {
        *errorReason = GBK("文件头应有5个值：宽,高,方向,x,y");
        return false;
    }
    MapData d;
    if (!SizeValue(v[0], "宽度", &d.tilesWide, errorReason) || !SizeValue(v[1], "高度", &d.tilesHigh, errorReason))
        return false;
    if (int64_t(d.tilesWide) * d.tilesHigh > kMapMaxCells) {
        *errorReason = std::string(GBK("宽×高超过")) + std::to_string(kMapMaxCells) + GBK("格：") +
                       std::to_string(d.tilesWide) + "x" + std::to_string(d.tilesHigh);
        return false;
    }
    d.pixelWidth = static_cast<float>(d.tilesWide) * 32.0f;
    d.pixelHeight = static_cast<float>(d.tilesHigh) * 32.0f;
    d.tileCount = d.tilesWide * d.tilesHigh;
    d.direction = IntValue(v[2]);
    d.startX = IntValue(v[3]);
    d.startY = IntValue(v[4]);

    const int expected = 1 + kMapLayers * d.tileCount;
    // Each layer made in place: no layer is a copy of another.
    d.layers.resize(kMapLayers);
    for (std::vector<TILESTRUCT>& layer : d.layers)
        layer.resize(static_cast<size_t>(d.tileCount));
    for (int layer = 0; layer < kMapLayers; ++layer) {
        const int want = layer == 0 ? 7 : 5;
        for (TILESTRUCT& cell : d.layers[static_cast<size_t>(layer)]) {
            if (!lines.Next(line)) {
                *errorLine = lines.Number() + 1;
                *errorReason = std::string(GBK("文件在第")) + std::to_string(lines.Number()) + GBK("行后结束，应有") +
                               std::to_string(expected) + GBK("行");
                return false;
            }
            if (SplitValues(line, want, v) < want) {
                *errorLine = lines.Number();
                *errorReason = std::string(GBK("第")) + std::to_string(layer) + GBK("层的格子应有") +
                               std::to_string(want) + GBK("个值");
                return false;
            }
            cell.srcX = IntValue(v[0]);
            cell.srcY = IntValue(v[1]);
            cell.x = IntValue(v[2]);
            cell.y = IntValue(v[3]);
            if (layer == 0) {
                cell.obstacle = IntValue(v[4]);
                cell.picture = IntValue(v[5]);
                cell.event.assign(v[6]);
            } else {
                cell.picture = IntValue(v[4]);
            }
        }
    }
    // Whatever follows the last layer is not read.
    *out = std::move(d);
    return true;
}

// ---------------------------------------------------------------- map
map::~map()
{
    Alert("~map");
    if (loaded)
        FreeLayers();
}

void map::Init() {}

bool map::LoadMap(const std::string& mapName, MapData* out)
{
    const std::string path = MakePath("Map\\", mapName.c_str(), "jmap");
    // Read once, whole: the parser walks the text in memory.
    std::string bytes;
    bool refused = false;
    if (!ReadDataFile(path, DataKind::Map, &bytes, &refused)) {
        // A refused file was reported with its reason already.
        if (!refused) {
            Alert(GBK("打开MAP文件出错！"));
            AlertStr(ShownPath(path));
        }
        return false;
    }

    int line = 0;
    std::string reason;
    if (!ParseMapText(bytes, out, &line, &reason)) {
        Alert(GBK("打开MAP文件出错！"));
        AlertStr(ShownPath(path) + GBK("：第") + std::to_string(line) + GBK("行：") + reason);
        return false;
    }
    return true;
}

int32_t map::ChangeMap(const std::string& mapName)
{
    // Read and check the new map before anything of the current one goes.
    MapData d;
    if (!LoadMap(mapName, &d))
        return 0;
    return UseMap(mapName, std::move(d));
}

int32_t map::UseMap(const std::string& mapName, MapData&& d)
{
    if (loaded)
        FreeLayers();
    // The old surfaces go before the new ones are made, so that memory never
    // holds both sets.
    if (firstLoad == 0 && loaded == 1)
        ReleaseSurfaces();
    else
        firstLoad = 0;
    loaded = 0;

    name = mapName;
    tileCount = d.tileCount;
    layers = std::move(d.layers);
    g_MapPixelWidth = d.pixelWidth;
    g_MapPixelHeight = d.pixelHeight;
    g_Role.direction = d.direction;
    g_Role.x = static_cast<float>(d.startX);
    g_Role.y = static_cast<float>(d.startY);
    g_Role.viewX = g_Role.x * 593.0f / g_MapPixelWidth;
    g_Role.viewY = g_Role.y * 321.0f / g_MapPixelHeight;

    // The sprite work surfaces start at one pixel and grow to the largest
    // sprite staged on them.
    Surface** work[] = {&g_Graph.pNpc1, &g_Graph.pNpc2, &g_Graph.pMonster1, &g_Graph.pMonster2, &g_Graph.pMagic};
    for (Surface** s : work) {
        g_Graph.ReleaseSurface(*s);
        *s = g_Graph.CreatePlain(1, 1);
        g_Graph.SetKeyColour(*s);
        g_Graph.FillSurface(*s, static_cast<uint16_t>(g_KeyColour));
    }
    loaded = 1;

    PaintLay();

    g_Npcs.clear();
    g_Monsters.clear();
    g_hitMonsterIndex = -1;
    g_Magics.clear();
    g_Sound.ReleaseAllWaves();
    return 1;
}

void map::FreeLayers()
{
    if (layers.empty()) {
        ShowMessageBox(GBK("正在删除空指针！"), "");
        return;
    }
    layers.clear();
    layers.shrink_to_fit();
}

void map::ReleaseSurfaces()
{
    blocks.Clear();
    g_Graph.ReleaseSurface(g_Graph.pNpc1);
    g_Graph.ReleaseSurface(g_Graph.pNpc2);
    g_Graph.ReleaseSurface(g_Graph.pMonster1);
    g_Graph.ReleaseSurface(g_Graph.pMonster2);
    g_Graph.ReleaseSurface(g_Graph.pMagic);
}

void map::PaintLay()
{
    // Each kind of fault is reported once per map, with its first cell: a
    // sheet that is not in the picture table (the first picture stands in,
    // as for any unknown picture), a tile beyond its sheet (painted as far
    // as it lies inside), and a tile that could not be painted.
    bool reportedMissing = false, reportedOutside = false, reportedFailed = false;
    auto report = [&](bool& once, int layer, size_t cell, const std::string& what) {
        if (once)
            return;
        once = true;
        Alert(GBK("Map::PaintLay()失败!"));
        AlertStr(ShownPath(MakePath("Map\\", name.c_str(), "jmap")) + GBK("：第") + std::to_string(layer) + GBK("层第") +
                 std::to_string(cell) + GBK("格：") + what + GBK("（同类问题本图只报告一次）"));
    };
    blocks.Reset(static_cast<int32_t>(g_MapPixelWidth), static_cast<int32_t>(g_MapPixelHeight), kMapLayers,
                 static_cast<uint16_t>(g_KeyColour));
    const PICRESOURCESTRUCT* last = nullptr; // most cells use the sheet of the cell before
    for (size_t i = 0; i < layers.size() && i < static_cast<size_t>(kMapLayers); ++i) {
        for (size_t c = 0; c < layers[i].size(); ++c) {
            const TILESTRUCT& t = layers[i][c];
            if (t.picture == -1)
                continue;
            const PICRESOURCESTRUCT* pic = last && last->name == t.picture ? last : nullptr;
            if (!pic)
                for (const PICRESOURCESTRUCT& p : g_Graph.pictures)
                    if (p.name == t.picture) {
                        pic = last = &p;
                        break;
                    }
            if (!pic) {
                report(reportedMissing, static_cast<int>(i), c,
                       std::string(GBK("图片号")) + std::to_string(t.picture) + GBK("不存在"));
                if (g_Graph.pictures.empty())
                    continue;
                pic = &g_Graph.pictures[0];
            }
            if (t.srcX < 0 || t.srcY < 0 || int64_t(t.srcX) + 32 > pic->width || int64_t(t.srcY) + 32 > pic->height)
                report(reportedOutside, static_cast<int>(i), c,
                       std::string(GBK("图块(")) + std::to_string(t.srcX) + "," + std::to_string(t.srcY) +
                           GBK(")超出图片范围"));
            if (!pic->surface) {
                report(reportedFailed, static_cast<int>(i), c, GBK("画图块失败"));
                continue;
            }
            const Rect src{t.srcX, t.srcY, static_cast<int32_t>(std::min<int64_t>(int64_t(t.srcX) + 32, INT32_MAX)),
                           static_cast<int32_t>(std::min<int64_t>(int64_t(t.srcY) + 32, INT32_MAX))};
            blocks.AddTile(static_cast<int>(i), *pic->surface, src, paint::TruncSat(static_cast<float>(t.x)),
                           paint::TruncSat(static_cast<float>(t.y)));
        }
    }
    blocks.Finish();
}

int map::PaintLayer(Surface* dest, int32_t layer, const Rect& window, float x, float y)
{
    if (!dest || !loaded || !blocks.Ready() || layer < 0 || layer >= kMapLayers)
        return plat::kErrNoObject;
    const paint::Span s = paint::Cut(blocks.Width(), blocks.Height(), window, paint::TruncSat(x),
                                     paint::TruncSat(y), dest->Bounds());
    if (s.Empty())
        return 0;
    blocks.Paint(dest, layer, s.sl, s.st, s.w, s.h, s.dx, s.dy);
    return 0;
}

bool map::LayerCovers(int32_t layer, const Rect& window)
{
    return loaded && blocks.Ready() && blocks.Opaque(layer, window);
}

SpriteStage StageSprite(Surface* work, const Rect& r)
{
    SpriteStage st;
    if (!work)
        return st;
    const int64_t w = static_cast<int64_t>(g_MapPixelWidth), h = static_cast<int64_t>(g_MapPixelHeight);
    const int64_t l = std::max<int64_t>(r.left, 0), t = std::max<int64_t>(r.top, 0);
    const int64_t rr = std::min<int64_t>(r.right, w), b = std::min<int64_t>(r.bottom, h);
    st.surface = work;
    if (rr <= l || b <= t) {
        // Nothing of it lies on the map: an empty surface paints nothing.
        work->w = work->h = 0;
        work->px.clear();
        return st;
    }
    st.left = static_cast<int32_t>(l);
    st.top = static_cast<int32_t>(t);
    work->w = static_cast<int>(rr - l);
    work->h = static_cast<int>(b - t);
    work->px.assign(static_cast<size_t>(work->w) * static_cast<size_t>(work->h), work->key);
    return st;
}

bool map::OnMap(int32_t x, int32_t y)
{
    return x >= 0 && y >= 0 && static_cast<float>(x) < g_MapPixelWidth && static_cast<float>(y) < g_MapPixelHeight;
}

int32_t map::GetTileIndex(int32_t x, int32_t y)
{
    if (!OnMap(x, y)) {
        x = 0;
        y = 0;
    }
    const int32_t column = x / 32;
    const int32_t row = y / 32;
    return static_cast<int32_t>(static_cast<float>(column) + static_cast<float>(row) * (g_MapPixelWidth / 32.0f));
}

const TILESTRUCT& map::GroundTile(int32_t index) const
{
    static const TILESTRUCT kNoTile{"N", 0, 0, 0, 0, 0, -1};
    if (!loaded || layers.empty() || index < 0 || index >= static_cast<int32_t>(layers[0].size()))
        return kNoTile;
    return layers[0][static_cast<size_t>(index)];
}

void map::Save(FILE* f) { WriteString(f, name); }

bool map::LoadName(FILE* f, std::string& savedName) { return ReadString(f, savedName); }
