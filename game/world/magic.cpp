#include "magic.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "core/sound.h"
#include "map.h"
#include "monster.h"
#include "platform/gbk.h"
#include "role.h"

MagicCooldown g_MagicCooldown;

MagicKind::~MagicKind() { Alert("~MagicKind"); }

namespace {
bool g_kindsOfEndedGame = false;
} // namespace

void MagicKindsOfEndedGame() { g_kindsOfEndedGame = true; }

void DropMagicKinds()
{
    g_kindsOfEndedGame = false;
    g_MagicKinds.clear();
    auto& pics = g_Graph.pictures;
    for (PICRESOURCESTRUCT& p : pics)
        if (p.magicSheet && p.surface)
            g_Graph.ReleaseSurface(p.surface);
    std::erase_if(pics, [](const PICRESOURCESTRUCT& p) { return p.magicSheet; });
}

int32_t MagicKind::ReadFromScript(FILE* f)
{
    MagicKind k;
    std::vector<std::string> v;
    std::string line;
    if (!ReadRecordLine(k, f, 31, &v, &line)) {
        ReportShortRecord("AddToMagicList(", 31, line);
        return 0;
    }
    CheckRecordNumbers("AddToMagicList(", v, {0, 2, 8}, line);
    auto num = [&](size_t i) { return k.StrToInt(v[i]); };
    k.picture = v[0];
    k.id = num(1);
    k.name = v[2];
    k.width = num(3);
    k.height = num(4);
    k.framesPerRow = num(5);
    k.rows = num(6);
    k.delay = k.StrToLong(v[7]) / 30;
    k.wave = v[8];
    k.cooldown = num(9);
    k.speed = static_cast<float>(num(10));
    k.accel = num(11);
    k.type = num(12);
    k.once = num(13);
    k.life = num(14);
    k.attack = static_cast<float>(num(15));
    k.addAttack = static_cast<float>(num(16));
    k.addDefend = static_cast<float>(num(17));
    k.addHp = static_cast<float>(num(18));
    k.addMp = static_cast<float>(num(19));
    k.attribute = num(20);
    k.boxLeft = num(21);
    k.boxTop = num(22);
    k.boxRight = num(23);
    k.boxBottom = num(24);
    k.autoAim = num(25);
    k.crossObstacle = num(26);
    k.radius = num(27);
    k.circles = num(28);
    k.oneCycle = num(29);
    k.mpCost = static_cast<float>(num(30));

    // The first kind the new game's start lists replaces the ended game's
    // kinds; once play has begun a kind joins the list, whatever the last
    // game left, so a kind an event adds never wipes the others.
    if (std::exchange(g_kindsOfEndedGame, false) && g_GameState != 3)
        DropMagicKinds();
    // Digits near the top of the number range wrap around, as 32-bit
    // arithmetic does, instead of overflowing: the id only has to name the
    // sheet just added.
    const int32_t pic = static_cast<int32_t>(100u + static_cast<uint32_t>(k.DigitsToInt(k.picture)));
    // A kind of a picture already listed in this game shares the sheet that
    // kind brought (sheets and kinds are dropped together): the picture table
    // finds the first entry of a number, so a second copy would only take
    // memory.
    const bool listed = std::any_of(g_MagicKinds.begin(), g_MagicKinds.end(),
                                    [&](const MagicKind& other) { return other.picture == k.picture; });
    Surface* sheet = nullptr;
    if (listed) {
        sheet = g_Graph.getpicre(pic).surface;
    } else {
        PICRESOURCESTRUCT p = g_Graph.LoadPicture(std::string("Resource\\bmp\\") + k.picture + ".bmp", pic);
        p.magicSheet = true;
        g_Graph.pictures.push_back(p);
        sheet = p.surface;
    }
    // A sheet that did not load was reported by the loader; it has no cells.
    if (sheet) {
        const Rect size = g_Graph.GetPlainSize(sheet);
        g_Graph.RectIndexPicture(pic, 0, 0, size.Width(), size.Height(), k.width, k.height);
    }
    g_MagicKinds.push_back(k);
    return 1;
}

const MagicKind* MagicKindAt(int32_t kind)
{
    if (kind < 0 || static_cast<size_t>(kind) >= g_MagicKinds.size())
        return nullptr;
    return &g_MagicKinds[static_cast<size_t>(kind)];
}

Magic::Magic(int32_t kind)
{
    g_Role.magicCast = 1;
    g_Role.magicKind = kind;
    kindIndex = kind;
    direction = g_Role.direction;
    if (kind < 0 || static_cast<size_t>(kind) >= g_MagicKinds.size()) {
        dead = 1;
        return;
    }
    const MagicKind& own = g_MagicKinds[static_cast<size_t>(kind)];
    width = own.width;
    height = own.height;
    framesPerRow = own.framesPerRow;
    rows = own.rows;
    wave = own.wave;
    // The behaviour comes from the kind the ID names; an ID that names no
    // kind keeps the kind's own values.
    const int32_t j = own.id;
    const MagicKind& b =
        (j >= 0 && static_cast<size_t>(j) < g_MagicKinds.size()) ? g_MagicKinds[static_cast<size_t>(j)] : own;
    name = b.name;
    delay = b.delay;
    MagicKind::speed = b.speed;
    step = b.speed;
    Object::speed = b.speed;
    accel = b.accel;
    type = b.type;
    once = b.once;
    life = b.life;
    attack = b.attack;
    addAttack = b.addAttack, addDefend = b.addDefend, addHp = b.addHp, addMp = b.addMp;
    attribute = b.attribute;
    boxLeft = b.boxLeft, boxTop = b.boxTop, boxRight = b.boxRight, boxBottom = b.boxBottom;
    autoAim = b.autoAim;
    crossObstacle = b.crossObstacle;
    radius = b.radius;
    circles = b.circles;
    oneCycle = b.oneCycle;
}

Magic::~Magic() { Alert("~Magic"); }

void Magic::AimAtMouse(int32_t sp)
{
    if (aimPending == 1) {
        const float cx = static_cast<float>(g_Control.cursorX), cy = static_cast<float>(g_Control.cursorY);
        const float dx = std::fabs(viewX - cx), dy = std::fabs(viewY - cy);
        const float s = static_cast<float>(sp);
        if (dx == 0 && dy == 0) {
            // The cursor on the start point gives no aim: fly on straight.
            moveMode = kStraight;
            aimPending = 0;
            return;
        }
        if (dy <= dx)
            vx = s, vy = s * dy / dx;
        else
            vy = s, vx = s * dx / dy;
        if (viewX > cx)
            vx = -vx;
        if (viewY > cy)
            vy = -vy;
        aimPending = 0;
    }
    y += vy;
    x += vx;
    if (vy == 0)
        direction = vx > 0 ? 3 : 2;
    else if (vx == 0)
        direction = vy > 0 ? 1 : 0;
    else if (vx < 0 && vy < 0)
        direction = 20;
    else if (vx < 0)
        direction = 21;
    else if (vy < 0)
        direction = 30;
    else
        direction = 31;
}

void Magic::PaintMagic(int32_t a, int32_t s)
{
    if (dead)
        return;
    People* c = caster ? caster : &g_Role;
    const int32_t casterCX = TruncToInt(c->x + static_cast<float>(c->width / 2));
    const int32_t casterCY = TruncToInt(c->y + static_cast<float>(c->height / 2));
    int32_t selfCX = TruncToInt(x + static_cast<float>(width / 2));
    int32_t selfCY = TruncToInt(y + static_cast<float>(height / 2));
    if (IntervalElapsed(&frameTimerStart, &frameTimerArmed, static_cast<uint32_t>(std::max(delay, 0))) &&
        g_Paused == 0) {
        ++ticks;
        if (life >= 1 && static_cast<int64_t>(ticks) * delay >= life) {
            dead = 1;
            return;
        }
        if (column < framesPerRow - 1)
            ++column;
        else
            column = 0, ++row;
        if (row >= rows) {
            row = 0;
            if (oneCycle != 0) {
                dead = 1;
                return;
            }
        }
        auto startOrbit = [&]() {
            selfCX = casterCX;
            selfCY = casterCY - radius;
            started = 1;
            orbitLength = static_cast<float>(radius) * 6.28f;
            orbitDistance = 0;
            orbits = 0;
        };
        if (type == 0) {
            if (!started) {
                x = c->x - static_cast<float>((width - c->width) / 2);
                y = c->y - static_cast<float>((height - c->height) / 2);
                viewX = c->viewX + static_cast<float>(c->width / 2);
                viewY = c->viewY + static_cast<float>(c->height / 2);
                started = 1;
            }
            if (!moveModeSet) {
                moveMode = g_Control.buttonHeld == 1 ? kHoming : kStraight;
                moveModeSet = 1;
            }
            if (moveMode == kHoming)
                AimAtMouse(TruncToInt(step));
            else {
                switch (direction) {
                case 0: y -= step; break;
                case 1: y += step; break;
                case 2: x -= step; break;
                case 3: x += step; break;
                case 20: x -= step, y -= step; break;
                case 21: x -= step, y += step; break;
                case 30: x += step, y -= step; break;
                case 31: x += step, y += step; break;
                default: break;
                }
            }
            if (x + static_cast<float>(width) < 0 || x > g_MapPixelWidth || y + static_cast<float>(height) < 0 ||
                y > g_MapPixelHeight) {
                dead = 1;
                return;
            }
        } else if (type == 1) {
            if (!started)
                startOrbit();
            orbitDistance = TruncToInt(static_cast<float>(orbitDistance) + step);
            const float angle = orbitLength > 0 ? static_cast<float>(orbitDistance) / orbitLength * 6.28f : 0;
            if (static_cast<float>(orbitDistance) < orbitLength) {
                selfCX = TruncToInt(std::sin(angle) * static_cast<float>(radius) + static_cast<float>(casterCX));
                selfCY = TruncToInt(static_cast<float>(casterCY) - std::cos(angle) * static_cast<float>(radius));
            } else {
                ++orbits;
                if (orbits >= circles) {
                    dead = 1;
                    return;
                }
                orbitDistance = 0;
            }
            x = static_cast<float>(selfCX - width / 2);
            y = static_cast<float>(selfCY - height / 2);
        } else if (type == 2) {
            // A falling effect stands where it was cast: centred on the caster.
            if (!started) {
                startOrbit();
                x = static_cast<float>(casterCX - width / 2);
                y = static_cast<float>(casterCY - height / 2);
            }
        }
        frameTimerArmed = 0;
    }
    const float camX = g_Role.x - g_Role.viewX, camY = g_Role.y - g_Role.viewY;
    const Rect src{column * width, row * height, (column + 1) * width, (row + 1) * height};
    const Rect r{TruncToInt(x), TruncToInt(y), TruncToInt(x + static_cast<float>(width)),
                 TruncToInt(y + static_cast<float>(height))};
    const SpriteStage st = StageSprite(g_Graph.pMagic, r);
    if (!st.surface)
        return; // no map, nothing to paint on: the map's failure was reported
    if (g_Graph.PaintPic(st.surface, 100 + kindIndex, src, st.X(x), st.Y(y), 0, -1, 0) < 0)
        Alert(plat::GBK("画魔法到pMagic失败！"));
    const Rect clip{23, 23, 616, 344};
    if (g_Graph.Paint(g_Graph.BUF, st.surface, st.Local(r), x - camX + 23, y - camY + 23, 1, a, s, &clip) < 0)
        Alert(plat::GBK("PaintMagic 到buf 失败!"));
}

int32_t Magic::FindHitMonster()
{
    const RectF box{x + static_cast<float>(boxLeft), y + static_cast<float>(boxTop), x + static_cast<float>(boxRight),
                    y + static_cast<float>(boxBottom)};
    for (size_t i = 0; i < g_Monsters.size(); ++i) {
        const Monster& m = g_Monsters[i];
        const int32_t tw = m.width / 3, th = m.height / 3;
        const RectF mid{m.x + static_cast<float>(tw), m.y + static_cast<float>(th), m.x + static_cast<float>(2 * tw),
                        m.y + static_cast<float>(2 * th)};
        if (RectOverlap(box, mid)) {
            g_hitMonsterIndex = static_cast<int32_t>(i);
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t Magic::DamageMonster(int32_t n)
{
    if (n < 0)
        return 0;
    if (static_cast<size_t>(n) < g_Monsters.size())
        g_Monsters[static_cast<size_t>(n)].BeHit(TruncToInt(attack));
    return 1;
}

void CastMagic(People* caster, GameKey key, MouseInfo mouse)
{
    const bool trigger = key == 19 || (key >= 9 && key <= 16) || mouse.button == 'r' || mouse.button == 'a';
    if (!trigger || caster == nullptr)
        return;
    const int32_t k = caster->magicKind;
    if (k < 0 || static_cast<size_t>(k) >= g_MagicKinds.size())
        return;
    const MagicKind& kind = g_MagicKinds[static_cast<size_t>(k)];
    if (!IntervalElapsed(&g_MagicCooldown.start, &g_MagicCooldown.armed,
                         static_cast<uint32_t>(std::max(kind.cooldown, 0))))
        return;
    if (caster->mp - kind.mpCost < 0)
        return;
    const float mpCost = kind.mpCost;
    const std::string wave = kind.wave;
    Magic m(k);
    m.caster = caster;
    g_Magics.push_back(m);
    g_Sound.PlayWaveOwned(wave, static_cast<int32_t>(g_Magics.size()) - 1);
    g_MagicCooldown.armed = 0;
    const float cost = mpCost > 0 ? mpCost : 1;
    if (caster->mp - cost > 0)
        caster->mp -= cost;
    else
        caster->mp = 0;
}
