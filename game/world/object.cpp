#include "object.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "core/alert.h"
#include "map.h"
#include "platform/gbk.h"
#include "platform/rng.h"
#include "role.h"
#include "upcalls.h"

int32_t g_WalkInterval = 1000;

int32_t TruncToInt(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483648.0f)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// ---------------------------------------------------------------- Object
Object::~Object() { Alert("~Object"); }

void Object::Save(FILE* f)
{
    WriteString(f, name);
    WriteInt(f, id);
    WriteInt(f, width);
    WriteInt(f, height);
    for (float v : {viewX, viewY, x, y, startViewX, startViewY, startX, startY})
        WriteFloat(f, v);
    WriteFloat(f, step);
    WriteFloat(f, speed);
    WriteInt(f, dead);
}

bool Object::Load(FILE* f)
{
    Object r(*this);
    const bool ok = ReadString(f, r.name) && ReadInt(f, &r.id) && ReadInt(f, &r.width) && ReadInt(f, &r.height) &&
                    ReadFloat(f, &r.viewX) && ReadFloat(f, &r.viewY) && ReadFloat(f, &r.x) && ReadFloat(f, &r.y) &&
                    ReadFloat(f, &r.startViewX) && ReadFloat(f, &r.startViewY) && ReadFloat(f, &r.startX) &&
                    ReadFloat(f, &r.startY) && ReadFloat(f, &r.step) && ReadFloat(f, &r.speed) &&
                    ReadInt(f, &r.dead);
    if (!ok)
        return false;
    *this = r;
    return true;
}

// ---------------------------------------------------------------- People
People::~People()
{
    Alert("~People");
    path.clear();
}

void People::Save(FILE* f)
{
    WriteString(f, script);
    WriteInt(f, reserved1);
    WriteInt(f, reserved2);
    WriteInt(f, frame);
    WriteInt(f, direction);
    WriteInt(f, animSpeed);
    for (float v : {hp, mp, maxHp, maxMp, attack, defence, exp})
        WriteFloat(f, v);
    WriteInt(f, level);
    WriteFloat(f, nextExp);
    for (int32_t v : {boxLeft, boxTop, boxRight, boxBottom, tintFrames, goalTile, alpha, pathStep, lastTile, division,
                      magicKind, active, initialActive, walking})
        WriteInt(f, v);
    WriteUnsigned(f, static_cast<uint32_t>(tint));
    // The AI mode is stored as its four bytes, little-endian, then a line end.
    const uint32_t mode = static_cast<uint32_t>(aiMode);
    const unsigned char raw[5] = {static_cast<unsigned char>(mode & 0xFF), static_cast<unsigned char>((mode >> 8) & 0xFF),
                                  static_cast<unsigned char>((mode >> 16) & 0xFF),
                                  static_cast<unsigned char>((mode >> 24) & 0xFF), '\n'};
    std::fwrite(raw, 1, sizeof raw, f);
    WriteInt(f, static_cast<int32_t>(path.size()));
    for (int32_t cell : path)
        WriteInt(f, cell);
    WriteInt(f, pathStep);
    WriteInt(f, lastTile);
}

namespace {
// Four raw bytes and the LF after them.
bool ReadRawMode(FILE* f, int32_t* mode)
{
    unsigned char raw[5];
    if (std::fread(raw, 1, sizeof raw, f) != sizeof raw || raw[4] != '\n')
        return false;
    *mode = static_cast<int32_t>(uint32_t(raw[0]) | uint32_t(raw[1]) << 8 | uint32_t(raw[2]) << 16 |
                                 uint32_t(raw[3]) << 24);
    return true;
}
} // namespace

bool People::Load(FILE* f)
{
    People r(*this);
    bool ok = ReadString(f, r.script) && ReadInt(f, &r.reserved1) && ReadInt(f, &r.reserved2) &&
              ReadInt(f, &r.frame) && ReadInt(f, &r.direction) && ReadInt(f, &r.animSpeed) && ReadFloat(f, &r.hp) &&
              ReadFloat(f, &r.mp) && ReadFloat(f, &r.maxHp) && ReadFloat(f, &r.maxMp) && ReadFloat(f, &r.attack) &&
              ReadFloat(f, &r.defence) && ReadFloat(f, &r.exp) && ReadInt(f, &r.level) && ReadFloat(f, &r.nextExp);
    for (int32_t* v : {&r.boxLeft, &r.boxTop, &r.boxRight, &r.boxBottom, &r.tintFrames, &r.goalTile, &r.alpha,
                       &r.pathStep, &r.lastTile, &r.division, &r.magicKind, &r.active, &r.initialActive, &r.walking})
        ok = ok && ReadInt(f, v);
    uint32_t tintBits = 0;
    ok = ok && ReadUnsigned(f, &tintBits) && ReadRawMode(f, &r.aiMode);
    if (!ok)
        return false;
    r.tint = static_cast<int32_t>(tintBits);

    // A path holds map cells; no map has more than kMaxPathCells of them.
    constexpr int32_t kMaxPathCells = 32767;
    int32_t count = 0;
    if (!ReadInt(f, &count) || count < 0 || count > kMaxPathCells)
        return false;
    r.path.clear();
    r.path.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        int32_t cell = 0;
        if (!ReadInt(f, &cell) || cell < 0 || cell >= kMaxPathCells)
            return false;
        r.path.push_back(cell);
    }
    if (!ReadInt(f, &r.pathStep) || !ReadInt(f, &r.lastTile))
        return false;
    // An index at or past the path's end means the walk has arrived; saves
    // written when a finished walk kept its old index read that way.
    if (r.pathStep < 0)
        return false;
    if (r.pathStep > count)
        r.pathStep = count;
    *this = r;
    return true;
}

bool People::PathFitsMap(int32_t mapTileCount) const
{
    for (int32_t cell : path)
        if (cell < 0 || cell >= mapTileCount)
            return false;
    return true;
}

int32_t People::RandomDirection(int32_t* timerStart, int32_t* timerArmed, int32_t factor)
{
    if (IntervalElapsed(timerStart, timerArmed, static_cast<uint32_t>(g_WalkInterval))) {
        direction = plat::GameRand() % 4;
        *timerArmed = 0;
        g_WalkInterval = factor * (plat::GameRand() % 50);
    }
    return direction;
}

bool People::MovedBox(int32_t dir, RectF* box) const
{
    float dx = 0, dy = 0;
    switch (dir) {
    case 0: dy = -step; break;
    case 1: dy = step; break;
    case 2: dx = -step; break;
    case 3: dx = step; break;
    default: return false;
    }
    *box = RectF{x + static_cast<float>(boxLeft) + dx, y + static_cast<float>(boxTop) + dy,
                 x + static_cast<float>(boxRight) + dx, y + static_cast<float>(boxBottom) + dy};
    return true;
}

int32_t People::HitsObstacle(int32_t dir)
{
    const float l = x + static_cast<float>(boxLeft), r = x + static_cast<float>(boxRight);
    const float t = y + static_cast<float>(boxTop), b = y + static_cast<float>(boxBottom);
    float p[2][2];
    switch (dir) {
    case 0:
        p[0][0] = l, p[1][0] = r;
        p[0][1] = p[1][1] = t + 5 - step;
        break;
    case 1:
        p[0][0] = l, p[1][0] = r;
        p[0][1] = p[1][1] = b - 5 + step;
        break;
    case 2:
        p[0][0] = p[1][0] = l + 5 - step;
        p[0][1] = t, p[1][1] = b;
        break;
    case 3:
        p[0][0] = p[1][0] = r - 5 + step;
        p[0][1] = t, p[1][1] = b;
        break;
    default:
        return 0;
    }
    for (auto& pt : p) {
        const int32_t cell = g_Map.GetTileIndex(TruncToInt(pt[0]), TruncToInt(pt[1]));
        if (g_Map.GroundTile(cell).obstacle == 1)
            return 1;
    }
    return 0;
}

int32_t People::HitsRole(int32_t dir)
{
    RectF box;
    if (!MovedBox(dir, &box))
        return 0;
    const RectF role{g_Role.x, g_Role.y, g_Role.x + static_cast<float>(g_Role.width),
                     g_Role.y + static_cast<float>(g_Role.height)};
    return RectOverlap(box, role);
}

int32_t People::GetTileIndex(int32_t px, int32_t py)
{
    if (!g_Map.loaded)
        return -1;
    // Points on the right or bottom edge lie outside the grid.
    if (px < 0 || py < 0 || static_cast<float>(px) >= g_MapPixelWidth || static_cast<float>(py) >= g_MapPixelHeight)
        return -1;
    // Coordinates up to 32 count as the first column and row.
    const int32_t column = px > 32 ? px / 32 : 0;
    const int32_t row = py > 32 ? py / 32 : 0;
    return static_cast<int32_t>(static_cast<float>(column) + static_cast<float>(row) * (g_MapPixelWidth / 32.0f));
}

void People::FaceRole()
{
    switch (g_Role.direction) {
    case 0:
    case 20:
    case 30:
        direction = 1;
        break;
    case 1:
    case 21:
    case 31:
        direction = 0;
        break;
    case 2:
        direction = 3;
        break;
    case 3:
        direction = 2;
        break;
    default:
        break;
    }
}

int32_t People::Chance(int32_t p)
{
    const int32_t r = plat::GameRand() % 100 + 1;
    return p >= r ? 1 : 0;
}

bool ReadRecordLine(FileHelper& h, FILE* f, size_t count, std::vector<std::string>* values, std::string* line)
{
    const long start = std::ftell(f);
    line->clear();
    for (int c; (c = std::getc(f)) != EOF && c != '\r' && c != '\n';)
        *line += static_cast<char>(c);
    values->clear();
    size_t i = line->find(',');
    if (i != std::string::npos) {
        ++i;
        while (values->size() < count) {
            const size_t end = line->find(',', i);
            if (end == std::string::npos)
                break;
            std::string token = line->substr(i, end - i);
            h.StripComment(token);
            h.Trim(token);
            values->push_back(std::move(token));
            i = end + 1;
        }
    }
    if (values->size() < count) {
        std::fseek(f, start, SEEK_SET);
        return false;
    }
    std::fseek(f, start + static_cast<long>(i), SEEK_SET);
    return true;
}

namespace {
// The script file a record statement stands in, as reports show it.
std::string RecordScriptFile() { return "Script\\" + Upcall<ScriptWatch>::Get().ScriptName() + ".jsr"; }
} // namespace

void ReportShortRecord(const char* head, size_t wanted, const std::string& line)
{
    AlertStr(RecordScriptFile() + plat::GBK("：") + head + plat::GBK("的值少于") + std::to_string(wanted) +
             plat::GBK("个，已忽略此语句：") + line);
}

void CheckRecordNumbers(const char* head, const std::vector<std::string>& values,
                        std::initializer_list<size_t> texts, const std::string& line)
{
    // Script files already reported in this run.
    static std::set<std::string> reported;
    for (size_t k = 0; k < values.size(); ++k) {
        if (std::find(texts.begin(), texts.end(), k) != texts.end())
            continue;
        float probe;
        if (numparse::ParseFloat(values[k], &probe))
            continue;
        const std::string file = RecordScriptFile();
        if (!reported.insert(file).second)
            return;
        AlertStr(file + plat::GBK("：") + head + plat::GBK("的第") + std::to_string(k + 1) + plat::GBK("个值“") +
                 values[k] + plat::GBK("”不是数字，按0读取（此文件只报告一次）：") + line);
        return;
    }
}
