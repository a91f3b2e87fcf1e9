#include "monster.h"

#include <cmath>

#include "core/alert.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "core/sound.h"
#include "map.h"
#include "npc.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "role.h"
#include "upcalls.h"

DeathFade g_DeathFade;
int32_t g_DeathFadeAlpha = 32;

namespace {

ActorPaintShared g_MonsterPaint;

int32_t OtherDirection(int32_t dir) { return dir == 0 ? 1 : 0; }

int32_t StandingCell(int32_t dir)
{
    switch (dir) {
    case 0: return 18;
    case 1: return 6;
    case 2: return 12;
    case 3: return 0;
    default: return -1;
    }
}

} // namespace

Monster::Monster()
{
    width = 64;
    height = 64;
}

Monster::~Monster() { Alert("~Monster"); }

int32_t Monster::ReadFromScript(FILE* f)
{
    Monster m;
    std::vector<std::string> v;
    std::string line;
    if (!ReadRecordLine(m, f, 29, &v, &line)) {
        ReportShortRecord("AddMonster(", 29, line);
        return 0;
    }
    CheckRecordNumbers("AddMonster(", v, {1, 5, 25, 26}, line);
    auto num = [&](size_t k) { return m.StrToInt(v[k]); };
    auto real = [&](size_t k) { return m.StrToFloat(v[k]); };
    m.id = num(0);
    m.name = v[1];
    m.frame = num(2);
    m.x = m.startX = real(3);
    m.y = m.startY = real(4);
    m.script = v[5];
    m.step = m.speed = real(6);
    m.animSpeed = num(7);
    m.boxLeft = num(8);
    m.boxTop = num(9);
    m.boxRight = num(10);
    m.boxBottom = num(11);
    m.division = num(12);
    m.hp = m.maxHp = static_cast<float>(num(13));
    m.mp = m.maxMp = static_cast<float>(num(14));
    m.attack = static_cast<float>(num(15));
    m.defence = static_cast<float>(num(16));
    m.magicKind = num(17);
    m.critChance = num(18);
    m.active = m.initialActive = num(19);
    m.level = num(20);
    m.modeAfterAstar = num(21);
    if (m.modeAfterAstar == 2)
        m.aiMode = 2;
    m.reservedInt = num(22);
    m.expReward = static_cast<float>(num(23));
    m.goldReward = static_cast<float>(num(24));
    m.reservedText = v[25];
    m.deathWave = v[26];
    m.alpha = num(27);
    m.attackInterval = num(28);
    static const int32_t kDir[8] = {3, 31, 1, 21, 2, 20, 0, 30};
    if (m.frame >= 0 && m.frame <= 23)
        m.direction = kDir[m.frame / 3];
    g_Monsters.push_back(m);
    return 1;
}

void Monster::Think()
{
    switch (aiMode) {
    case 0:
        if (randomWalk == 1)
            direction = RandomDirection(&walkTimerStart, &walkTimerArmed, 30);
        if (HitsObstacle(direction))
            direction = OtherDirection(direction);
        if (HitsNpc(direction))
            direction = OtherDirection(direction);
        if (HitsMonster(direction))
            direction = OtherDirection(direction);
        if (HitsRole(direction))
            direction = OtherDirection(direction);
        break;
    case 1: {
        const int32_t cell = GetTileIndex(TruncToInt(x + static_cast<float>(width / 2)),
                                          TruncToInt(y + static_cast<float>(boxTop) +
                                                     static_cast<float>((boxBottom - boxTop) / 2)));
        if (AstarStep(this, cell, goalTile) == 3) {
            Upcall<ActorNotices>::Get().PathEnded(name);
            if (modeAfterAstar <= 1)
                aiMode = 0;
            else if (modeAfterAstar == 2)
                aiMode = 2;
            active = 0;
        }
        break;
    }
    case 2: {
        const float cy = y + static_cast<float>(boxTop + (boxBottom - boxTop) / 2);
        if (g_Role.y + static_cast<float>(boxTop) - 5 > cy)
            direction = 1;
        else if (cy > g_Role.y + static_cast<float>(g_Role.boxBottom) + 5)
            direction = 0;
        else {
            const float roleCx = g_Role.x + static_cast<float>(g_Role.boxLeft + (g_Role.boxRight - g_Role.boxLeft) / 2);
            const float cx = x + static_cast<float>(boxLeft + (boxRight - boxLeft) / 2);
            direction = roleCx < cx ? 2 : 3;
        }
        if (HitsObstacle(direction))
            direction = OtherDirection(direction);
        if (HitsRole(direction))
            AttackRole();
        break;
    }
    case 3:
        active = 0;
        break;
    default:
        break;
    }
}

void Monster::Move()
{
    if (direction < 0 || direction > 3)
        return;
    // Per direction: armed flag (right, up, left, down), first cell, cell count.
    static const int32_t kArmed[4] = {1, 3, 2, 0};
    static const int32_t kFirst[4] = {18, 6, 12, 0};
    static const int32_t kCount[4] = {2, 2, 2, 3};
    if (IntervalElapsed(&g_MonsterPaint.animStart, &animArmed[kArmed[direction]],
                        static_cast<uint32_t>(std::max(animSpeed, 0)) * 25u)) {
        ++frame;
        animArmed[kArmed[direction]] = 0;
    }
    const int32_t first = kFirst[direction];
    if (frame < first || frame >= first + kCount[direction])
        frame = first;
    const float chase = 1.1f * step;
    const bool chasing = aiMode == 2;
    auto moveX = [&](float d) { x += d, viewX += d; };
    auto moveY = [&](float d) { y += d, viewY += d; };
    switch (direction) {
    case 3:
        if (x + chase + static_cast<float>(width) <= g_MapPixelWidth) {
            if (!chasing)
                moveX(step);
            else if (g_Role.x >= x)
                moveX(chase);
        }
        break;
    case 2:
        if (x - chase >= 0) {
            if (!chasing)
                moveX(-step);
            else if (g_Role.x + static_cast<float>(g_Role.boxRight) <= x + static_cast<float>(boxLeft) - chase &&
                     g_Role.x < x)
                moveX(-chase);
        }
        break;
    case 0:
        if (y - chase >= 0) {
            if (!chasing)
                moveY(-step);
            else {
                if (g_Role.y < y)
                    moveY(-chase);
                moveX(g_Role.x > x ? chase : -chase);
            }
        }
        break;
    case 1:
        if (y + chase + static_cast<float>(height) <= g_MapPixelHeight) {
            if (!chasing)
                moveY(step);
            else {
                const float cy = y + static_cast<float>(boxTop + (boxBottom - boxTop) / 2);
                if (g_Role.y + static_cast<float>(g_Role.boxTop + g_Role.boxBottom) > cy) {
                    if (g_Role.y > y)
                        moveY(chase);
                    moveX(g_Role.x > x ? chase : -chase);
                }
            }
        }
        break;
    }
}

void Monster::PaintBody(int32_t pass, int32_t stipple)
{
    Rect cell;
    if (!g_Graph.GetCell(PIC_MONSTER, id * 24 + frame, &cell))
        return;
    const float camX = g_Role.x - g_Role.viewX, camY = g_Role.y - g_Role.viewY;
    const float top = pass == 0 ? static_cast<float>(division) : 0.0f;
    const Rect src = pass == 0 ? Rect{cell.left, cell.top + division, cell.left + width, cell.top + height}
                               : Rect{cell.left, cell.top, cell.left + width, cell.top + division};
    const Rect r{TruncToInt(x), TruncToInt(y + top), TruncToInt(x + static_cast<float>(width)),
                 TruncToInt(y + static_cast<float>(pass == 0 ? height : division))};
    const SpriteStage st = StageSprite(pass == 0 ? g_Graph.pMonster2 : g_Graph.pMonster1, r);
    if (!st.surface)
        return; // no map, nothing to paint on: the map's failure was reported
    if (g_Graph.PaintPic(st.surface, PIC_MONSTER, src, st.X(x), st.Y(y + top), 0, -1, 0) < 0)
        Alert(plat::GBK(pass == 0 ? "画MONSTER下身到(pMonster2)失败！" : "画Monster上身到(pMonster1)失败！"));
    ApplyActorTint(this, st.surface, st.Local(r), &g_MonsterPaint.tintCounter[pass == 0 ? 0 : 1]);
    if (g_Graph.Paint(g_Graph.BUF, st.surface, st.Local(r), x - camX + 23, y - camY + top + 23, 1, alpha, stipple) <
        0)
        Alert(plat::GBK(pass == 0 ? "PaintMonster2 到Buf失败!" : "PaintMonster1 到Buf失败!"));
}

void Monster::PaintFade(int32_t pass)
{
    if (IntervalElapsed(&g_DeathFade.start, &g_DeathFade.armed, 30)) {
        if (g_DeathFade.offsetA <= 100)
            g_DeathFade.offsetA += 2;
        if (g_DeathFade.offsetB <= 100)
            g_DeathFade.offsetB += 2;
        if (g_DeathFadeAlpha > 1) {
            --g_DeathFadeAlpha;
            g_DeathFade.armed = 0;
        } else {
            g_DeathFade = DeathFade{};
            g_DeathFadeAlpha = 32;
            id = -1;
            return;
        }
    }
    Rect c;
    if (!g_Graph.GetCell(PIC_MONSTER, id * 24 + frame, &c))
        return;
    const float camX = g_Role.x - g_Role.viewX, camY = g_Role.y - g_Role.viewY;
    const int32_t h = width / 2;
    const float a = static_cast<float>(g_DeathFade.offsetA), b = static_cast<float>(g_DeathFade.offsetB);
    struct Quarter {
        Rect src;
        float x, y;
        const char* paintMsg;
        const char* bufMsg;
    };
    const float d = static_cast<float>(division), fh = static_cast<float>(h);
    const Quarter quarters[2][2] = {
        {{{c.left + h, c.top + division, c.left + width, c.top + height}, x + fh + a, y + d + b,
          "画dead MONSTER下身到(pMonster2)失败！ 右下角", "PaintMonster2 下身dead 到Buf失败! 右下角"},
         {{c.left, c.top + division, c.left + h, c.top + height}, x - a, y + d + b,
          "画dead MONSTER下身到(pMonster2)失败！ 左下角", "PaintMonster2 下身dead 到Buf失败! 左下角"}},
        {{{c.left + h, c.top, c.left + width, c.top + division}, x + fh + a, y - b,
          "画dead MONSTER上身到(pMonster1)失败！ 右上角", "PaintMonster2 上身dead 到Buf失败! 右上角"},
         {{c.left, c.top, c.left + h, c.top + division}, x - a, y - b,
          "画dead MONSTER上身到(pMonster1)失败！ 左上角", "PaintMonster2 上身dead 到Buf失败! 左上角"}}};
    Surface* work = pass == 0 ? g_Graph.pMonster2 : g_Graph.pMonster1;
    for (const Quarter& q : quarters[pass == 0 ? 0 : 1]) {
        const Rect r{TruncToInt(q.x), TruncToInt(q.y), TruncToInt(q.x) + q.src.Width(),
                     TruncToInt(q.y) + q.src.Height()};
        const SpriteStage st = StageSprite(work, r);
        if (!st.surface)
            return; // no map, nothing to paint on: the map's failure was reported
        if (g_Graph.PaintPic(st.surface, PIC_MONSTER, q.src, st.X(q.x), st.Y(q.y), 0, -1, 0) < 0)
            Alert(plat::GBK(q.paintMsg));
        if (g_Graph.Paint(g_Graph.BUF, st.surface, st.Local(r), q.x - camX + 23, q.y - camY + 23, 1,
                          g_DeathFadeAlpha, 0) < 0)
            Alert(plat::GBK(q.bufMsg));
    }
}

void Monster::PaintMonster(int32_t pass, int32_t stipple)
{
    if (id < 0)
        return;
    if (g_Paused == 0) {
        if (hp <= 0 && dead == 0) {
            dying = 1;
            g_Sound.PlayWave(deathWave);
            dead = 1;
            active = 0;
        }
        if (dying == 1) {
            PaintFade(pass);
            return;
        }
        if (active)
            Think();
        else if (StandingCell(direction) >= 0)
            frame = StandingCell(direction);
    }
    if (pass == 0 && g_Paused == 0 && active)
        Move();
    PaintBody(pass, stipple);
}

void Monster::AttackRole()
{
    if (!IntervalElapsed(&attackStart, &attackArmed, static_cast<uint32_t>(std::max(attackInterval, 0))))
        return;
    const float bonus = Chance(critChance) ? attack / 5 : 0;
    const float n = static_cast<float>(g_Monsters.size());
    int32_t damage = TruncToInt((n / 10 + 1) * attack + bonus - g_Role.defence);
    if (damage <= 0)
        damage = 1;
    if (g_Role.hp - static_cast<float>(damage) > 0) {
        g_Role.hp -= static_cast<float>(damage);
        g_Sound.PlayWave("rolehitted");
    } else {
        g_Role.hp = 0;
        g_Role.dead = 1;
    }
    attackArmed = 0;
}

void Monster::BeHit(int32_t power)
{
    plat::P().Trace("monster hit " + name + " " + std::to_string(power));
    tint = 0xF800;
    const float guard = Chance(critChance) ? defence * 1.2f : defence;
    const int32_t damage = TruncToInt((static_cast<float>(g_Role.level) / 12 + 1) * static_cast<float>(power) +
                                      g_Role.attack - guard);
    // Only the blow that ends the hit points kills: a second blow before
    // the death is painted must not pay its rewards again.
    const bool wasAlive = hp > 0;
    if (damage > 0)
        hp -= static_cast<float>(damage);
    if (wasAlive && hp <= 0 && dying == 0)
        Die();
    // A monster without hit points to measure against shows an empty bar.
    StatusFrames& frames = Upcall<StatusFrames>::Get();
    const int32_t baseW = frames.ImageBaseSize("monster_hp", 0);
    const int32_t barW = maxHp > 0 ? TruncToInt(static_cast<float>(baseW) * std::max(hp, 0.0f) / maxHp) : 0;
    frames.SetImageSize("monster_hp", barW, frames.ImageBaseSize("monster_hp", 1));
    aiMode = 2;
    People::FaceRole();
    g_Sound.PlayWave("firehit");
}

void Monster::Die()
{
    hp = 0;
    g_Role.exp += expReward;
    if (g_Role.nextExp <= g_Role.exp)
        g_Role.LevelUp();
    g_Role.gold += goldReward;
    Upcall<ActorNotices>::Get().MonsterDied(name);
}

int32_t Monster::HitsNpc(int32_t dir) { return HitsActors(dir, g_Npcs, false); }

int32_t Monster::HitsMonster(int32_t dir) { return HitsActors(dir, g_Monsters, true); }

void Monster::Save(FILE* f)
{
    Object::Save(f);
    People::Save(f);
    WriteString(f, reservedText);
    WriteString(f, deathWave);
    WriteFloat(f, expReward);
    WriteFloat(f, goldReward);
    WriteInt(f, attackInterval);
    WriteInt(f, reservedInt);
    WriteInt(f, attackInterval);
    WriteInt(f, critChance);
    WriteInt(f, randomWalk);
    WriteInt(f, dying);
}

bool Monster::Load(FILE* f)
{
    Monster m(*this);
    int32_t firstInterval = 0;
    if (!m.Object::Load(f) || !m.People::Load(f) || !ReadString(f, m.reservedText) || !ReadString(f, m.deathWave) ||
        !ReadFloat(f, &m.expReward) || !ReadFloat(f, &m.goldReward) || !ReadInt(f, &firstInterval) ||
        !ReadInt(f, &m.reservedInt) || !ReadInt(f, &m.attackInterval) || !ReadInt(f, &m.critChance) ||
        !ReadInt(f, &m.randomWalk) || !ReadInt(f, &m.dying))
        return false;
    m.modeAfterAstar = 0;
    *this = m;
    return true;
}

void RemoveMonster(size_t index)
{
    if (index >= g_Monsters.size())
        return;
    g_Monsters.erase(g_Monsters.begin() + static_cast<std::ptrdiff_t>(index));
    const int32_t i = static_cast<int32_t>(index);
    if (g_hitMonsterIndex == i)
        g_hitMonsterIndex = -1;
    else if (g_hitMonsterIndex > i)
        --g_hitMonsterIndex;
}
