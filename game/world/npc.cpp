#include "npc.h"

#include "core/alert.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "map.h"
#include "monster.h"
#include "platform/gbk.h"
#include "role.h"
#include "upcalls.h"

ActorPaintShared g_NpcPaint;

Npc::Npc()
{
    width = 32;
    height = 48;
}

Npc::~Npc() { Alert("~Npc"); }

int32_t Npc::ReadFromScript(FILE* f)
{
    Npc n;
    std::vector<std::string> v;
    std::string line;
    if (!ReadRecordLine(n, f, 16, &v, &line)) {
        ReportShortRecord("AddNpc(", 16, line);
        return 0;
    }
    CheckRecordNumbers("AddNpc(", v, {1, 5}, line);
    auto num = [&](size_t k) { return n.StrToInt(v[k]); };
    auto real = [&](size_t k) { return n.StrToFloat(v[k]); };
    n.id = num(0);
    n.name = v[1];
    n.frame = num(2);
    n.x = n.startX = real(3);
    n.y = n.startY = real(4);
    n.script = v[5];
    n.step = n.speed = real(6);
    n.animSpeed = num(7);
    n.boxLeft = num(8);
    n.boxTop = num(9);
    n.boxRight = num(10);
    n.boxBottom = num(11);
    n.division = num(12);
    n.active = n.initialActive = num(13);
    n.hp = n.maxHp = static_cast<float>(num(14));
    n.alpha = num(15);
    if (n.frame >= 0 && n.frame <= 3)
        n.direction = 3;
    else if (n.frame >= 4 && n.frame <= 7)
        n.direction = 0;
    else if (n.frame >= 8 && n.frame <= 11)
        n.direction = 2;
    else if (n.frame >= 12 && n.frame <= 15)
        n.direction = 1;
    g_Npcs.push_back(n);
    return 1;
}

void ApplyActorTint(People* a, Surface* work, const Rect& r, int32_t* counter)
{
    if (a->tint == -1)
        return;
    if (*counter < 0)
        *counter = a->tintFrames;
    if (*counter > 0) {
        g_Graph.ReplaceColour(work, r, -1, static_cast<uint16_t>(a->tint), 1, 1);
        --*counter;
    } else {
        a->tint = -1;
        *counter = a->tintFrames;
    }
}

namespace {

// The standing cell of a direction, or -1 for a diagonal one.
int32_t StandingCell(int32_t dir)
{
    switch (dir) {
    case 0: return 4;
    case 1: return 12;
    case 2: return 8;
    case 3: return 0;
    default: return -1;
    }
}

// The first of 0 to 3 that differs from dir.
int32_t OtherDirection(int32_t dir) { return dir == 0 ? 1 : 0; }

} // namespace

void Npc::PaintAnpc(int32_t pass, int32_t stipple)
{
    if (id < 0)
        return;
    if (g_Paused == 0) {
        if (active) {
            if (aiMode == 0) {
                if (randomWalk == 1)
                    direction = RandomDirection(&walkTimerStart, &walkTimerArmed, 30);
                if (HitsObstacle(direction))
                    direction = OtherDirection(direction);
                if (HitsRole(direction))
                    direction = OtherDirection(direction);
                if (HitsNpc(direction))
                    direction = OtherDirection(direction);
                if (HitsMonster(direction))
                    direction = OtherDirection(direction);
            } else if (aiMode == 1) {
                const int32_t cell = GetTileIndex(TruncToInt(x + static_cast<float>(width / 2)),
                                                  TruncToInt(y + static_cast<float>(boxTop) +
                                                             static_cast<float>((boxBottom - boxTop) / 2)));
                if (AstarStep(this, cell, goalTile) == 3) {
                    Upcall<ActorNotices>::Get().PathEnded(name);
                    active = 0;
                }
            } else if (aiMode == 3) {
                active = 0;
            }
        }
        if (!active && StandingCell(direction) >= 0)
            frame = StandingCell(direction);
    }
    const float camX = g_Role.x - g_Role.viewX, camY = g_Role.y - g_Role.viewY;
    if (pass == 0) {
        // An NPC in mode 2 stands where it is and keeps its frame.
        if (g_Paused == 0 && active && aiMode != 2 && direction >= 0 && direction <= 3) {
            // Per direction: its armed flag (right, up, left, down), first cell.
            static const int32_t kArmed[4] = {1, 3, 2, 0};
            static const int32_t kFirst[4] = {4, 12, 8, 0};
            const int32_t first = kFirst[direction];
            if (IntervalElapsed(&g_NpcPaint.animStart, &animArmed[kArmed[direction]],
                                static_cast<uint32_t>(animSpeed) * 25u)) {
                ++frame;
                animArmed[kArmed[direction]] = 0;
            }
            if (frame < first || frame > first + 3)
                frame = first;
            switch (direction) {
            case 3:
                if (x + step + 32 <= g_MapPixelWidth)
                    x += step, viewX += step;
                break;
            case 0:
                if (y - step >= 0)
                    y -= step, viewY -= step;
                break;
            case 2:
                if (x - step >= 0)
                    x -= step, viewX -= step;
                break;
            case 1:
                if (y + step + 48 <= g_MapPixelHeight)
                    y += step, viewY += step;
                break;
            }
        }
    }
    Rect cell;
    if (!g_Graph.GetCell(PIC_NPC, id * 16 + frame, &cell))
        return;
    const int32_t tx = TruncToInt(x), ty = TruncToInt(y);
    if (pass == 0) {
        const Rect src{cell.left, cell.top + division, cell.left + width, cell.top + height};
        const Rect r{tx, TruncToInt(y + static_cast<float>(division)), TruncToInt(x + static_cast<float>(width)),
                     TruncToInt(y + static_cast<float>(height))};
        const SpriteStage st = StageSprite(g_Graph.pNpc2, r);
        if (!st.surface)
            return; // no map, nothing to paint on: the map's failure was reported
        if (g_Graph.PaintPic(st.surface, PIC_NPC, src, st.X(x), st.Y(y + static_cast<float>(division)), 0, -1, 0) < 0)
            Alert(plat::GBK("画活动NPC下身到(pNpc2)失败！"));
        ApplyActorTint(this, st.surface, st.Local(r), &g_NpcPaint.tintCounter[0]);
        if (g_Graph.Paint(g_Graph.BUF, st.surface, st.Local(r), x - camX + 23,
                          y - camY + static_cast<float>(division) + 23, 1, alpha, stipple) < 0)
            Alert(plat::GBK("PaintAnpc2 到buf 失败!"));
    } else {
        const Rect src{cell.left, cell.top, cell.left + width, cell.top + division};
        const Rect r{tx, ty, TruncToInt(x + static_cast<float>(width)), TruncToInt(y + static_cast<float>(division))};
        const SpriteStage st = StageSprite(g_Graph.pNpc1, r);
        if (!st.surface)
            return; // no map, nothing to paint on: the map's failure was reported
        if (g_Graph.PaintPic(st.surface, PIC_NPC, src, st.X(x), st.Y(y), 0, -1, 0) < 0)
            Alert(plat::GBK("画活动NPC上身到(pNpc1)失败！"));
        ApplyActorTint(this, st.surface, st.Local(r), &g_NpcPaint.tintCounter[1]);
        if (g_Graph.Paint(g_Graph.BUF, st.surface, st.Local(r), x - camX + 23, y - camY + 23, 1, alpha, stipple) < 0)
            Alert(plat::GBK("PaintAnpc1 到buf 失败!"));
    }
}

void Npc::FaceRole()
{
    switch (g_Role.direction) {
    case 0: frame = 12; break;
    case 1: frame = 4; break;
    case 2: case 20: case 21: frame = 0; break;
    case 3: case 30: case 31: frame = 8; break;
    default: break;
    }
}

int32_t Npc::HitsNpc(int32_t dir) { return HitsActors(dir, g_Npcs, true); }

int32_t Npc::HitsMonster(int32_t dir) { return HitsActors(dir, g_Monsters, false); }

void Npc::Save(FILE* f)
{
    Object::Save(f);
    People::Save(f);
    WriteInt(f, randomWalk);
}

bool Npc::Load(FILE* f)
{
    Npc n(*this);
    if (!n.Object::Load(f) || !n.People::Load(f) || !ReadInt(f, &n.randomWalk))
        return false;
    *this = n;
    return true;
}

void RemoveNpc(size_t index)
{
    if (index >= g_Npcs.size())
        return;
    g_Npcs.erase(g_Npcs.begin() + static_cast<std::ptrdiff_t>(index));
    const int32_t i = static_cast<int32_t>(index);
    if (g_TalkNpcIndex == i)
        g_TalkNpcIndex = -1;
    else if (g_TalkNpcIndex > i)
        --g_TalkNpcIndex;
}
