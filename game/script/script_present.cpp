// Presentation and flow commands: fades, the veil, map scrolls, sound and
// music, a timed wait, the key table, UI frames, the title, the start of
// play, the end of the program, saving and loading.
#include "script.h"

#include <algorithm>
#include <utility>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "core/sound.h"
#include "ui.h"
#include "world/magic.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

namespace {

// The blocking commands keep their state between the steps they take.
struct FadeState {
    int32_t step = 0;
    Rect rect{};
    int32_t mode = 0;
    int32_t alpha;
};
FadeState g_fadeIn{0, {}, 0, 1};
FadeState g_fadeOut{0, {}, 0, 31};

struct DelayState {
    int32_t parsed = 0;
    int32_t ms = 0;
    int32_t start = 1;
    int32_t armed = 0;
};
DelayState g_delay;

struct MoveMapState {
    int32_t parsed = 0;
    float dx = 0, dy = 0, speed = 0;
    float startX = 0, startY = 0;
    int32_t doneX = 0, doneY = 0;
};
MoveMapState g_moveMap;

struct MoveMapToState {
    int32_t parsed = 0;
    int32_t x = 0, y = 0, speed = 0;
    int32_t doneX = 0, doneY = 0;
};
MoveMapToState g_moveMapTo;

Rect FadeArea(int32_t area) { return area == 0 ? Rect{23, 23, 616, 344} : Rect{0, 0, 640, 480}; }

// One axis of a scroll by a distance: the camera is pos - view.
void ScrollBy(float d, float start, float pos, float& view, float maxCam, float speed, int32_t& done)
{
    const float cam = pos - view;
    const float target = start + d;
    if (d > 0) {
        if (target > cam && cam + speed >= 0 && cam + speed <= maxCam)
            view -= speed;
        else
            done = 1;
    } else {
        if (target < cam && cam - speed >= 0 && cam - speed <= maxCam)
            view += speed;
        else
            done = 1;
    }
}

// One axis of a scroll that brings a map point to the viewport's middle.
void ScrollTo(float target, float pos, float& view, float half, float extent, float mapSize, float speed,
              int32_t& done)
{
    const float cam = pos - view;
    const float mid = cam + half;
    if (mid < target) {
        if (target >= mid + speed && cam + extent + speed <= mapSize)
            view -= speed;
        else
            done = 1;
    } else {
        if (target <= mid - speed && cam - speed >= 0)
            view += speed;
        else
            done = 1;
    }
}

} // namespace

void script::DropPresentationWaits()
{
    g_fadeIn = FadeState{0, {}, 0, 1};
    g_fadeOut = FadeState{0, {}, 0, 31};
    g_delay = DelayState{};
    g_moveMap = MoveMapState{};
    g_moveMapTo = MoveMapToState{};
}

void script::ExitGame()
{
    g_Quit = 1;
    SkipLine(file);
}

void script::SaveGame()
{
    const int32_t slot = StrToInt(ArgUpTo(')'));
    g_Ui.SaveGame(slot);
    SkipLine(file);
}

void script::LoadGame()
{
    const int32_t slot = StrToInt(ArgUpTo(')'));
    g_Ui.g_LoadSlot = slot;
    if (g_Ui.LoadGame(slot) == 1) {
        g_Ui.UnloadFrame("selectload_frame");
        g_Ui.UnloadFrame("dead_frame");
    }
    SkipLine(file);
}

void script::PauseMidi()
{
    g_Sound.PauseMidi();
    SkipLine(file);
}

void script::ResumeMidi()
{
    g_Sound.ResumeMidi();
    SkipLine(file);
}

void script::KeyTable()
{
    const std::string word = ArgUpTo(',');
    const int32_t flag = StrToInt(ArgUpTo(')'));
    static const std::pair<const char*, int32_t> kKeys[] = {
        {"key1", 20}, {"key2", 21}, {"key3", 22}, {"key4", 23}, {"key5", 24}, {"key6", 25},
        {"key7", 26}, {"key8", 27}, {"key9", 28}, {"key0", 29}, {"Ctrl", 19}, {"Esc", 17},
        {"Space", 18}, {"W", 1},     {"S", 2},     {"A", 3},     {"D", 4},
    };
    for (const auto& k : kKeys)
        if (word == k.first)
            g_Control.keyEnabled[k.second] = flag;
    SkipLine(file);
}

void script::LaunchTitle()
{
    g_GameState = 1;
    if (g_Map.loaded) {
        g_Map.FreeLayers();
        g_Map.ReleaseSurfaces();
        g_Map.loaded = 0;
    }
    g_Control.SetInputEnabled(0);
    g_Control.mouseOn = 1;
    g_Control.leftOn = 1;
    g_Control.rightOn = 1;
    g_Control.bothOn = 1;
    g_Control.cursorMoved = 0;
    g_Npcs.clear();
    g_TalkNpcIndex = -1;
    g_Monsters.clear();
    g_Magics.clear();
    MagicKindsOfEndedGame();
    g_Sound.ReleaseAllWaves();
    Reset();
    // The ended game's clock scripts end with it: the next game opens its own
    // instead of adding them to the old ones.
    clockEnabled = 0;
    clockScripts.clear();
    g_Role.dead = 0;
    for (int32_t i = 0; i < g_Role.itemCount && i < Role::kItemSlots; ++i)
        g_Role.items[i].clear();
    g_Role.itemCount = 0;
    g_Ui.UnloadAll();
    g_Ui.LoadFrame("title_frame");
    g_Sound.PlayMidi("title");
    g_Graph.blackMode = 0;
    g_Graph.blackAlpha = -1;
    SkipLine(file);
}

void script::ShowTextAtOnce()
{
    const std::string text = ArgQuoted();
    g_Graph.ShowTextAtOnce(text.c_str());
    SkipLine(file);
}

void script::LaunchGame()
{
    g_GameState = 3;
    SkipLine(file);
}

void script::LoadUIFrame()
{
    const std::string name = ArgQuoted();
    g_Ui.LoadFrame(name);
    SkipLine(file);
}

void script::UnloadUIFrame()
{
    const std::string name = ArgQuoted();
    g_Ui.UnloadFrame(name);
    SkipLine(file);
}

void script::debug()
{
    const std::string text = ArgQuoted();
    AlertStr(text);
    SkipLine(file);
}

void script::StopMidi()
{
    g_Sound.StopMidi();
    SkipLine(file);
}

void script::PlayMidi()
{
    const std::string name = ArgQuoted();
    g_Sound.PlayMidi(name);
    SkipLine(file);
}

void script::StopWave()
{
    const std::string name = ArgQuoted();
    g_Sound.StopWave(name);
    SkipLine(file);
}

void script::PlayWave()
{
    const std::string name = ArgQuoted();
    g_Sound.PlayWave(name);
    SkipLine(file);
}

void script::SetScreenBlack()
{
    const int32_t mode = StrToInt(ArgUpTo(')'));
    if (mode >= 0 && mode <= 2)
        g_Graph.blackMode = mode;
    SkipLine(file);
}

void script::FadeIn()
{
    if (g_fadeIn.step == 0) {
        const int32_t area = StrToInt(ArgUpTo(')'));
        g_fadeIn.rect = FadeArea(area);
        g_fadeIn.mode = area == 0 ? 1 : 2;
        g_fadeIn.step = 1;
    }
    g_Graph.BlendPaint(g_Graph.black, g_Graph.BUF, g_fadeIn.rect, static_cast<float>(g_fadeIn.rect.left),
                       static_cast<float>(g_fadeIn.rect.top), g_fadeIn.alpha, 0, 0);
    ++g_fadeIn.alpha;
    if (g_fadeIn.alpha >= 32) {
        g_fadeIn.step = 0;
        g_fadeIn.alpha = 1;
        readNext = 1;
        g_Graph.blackMode = g_fadeIn.mode;
        SkipLine(file);
    }
}

void script::FadeOut()
{
    if (g_fadeOut.step == 0) {
        g_fadeOut.rect = FadeArea(StrToInt(ArgUpTo(')')));
        g_fadeOut.step = 1;
    }
    g_Graph.blackMode = 0;
    g_Graph.BlendPaint(g_Graph.black, g_Graph.BUF, g_fadeOut.rect, static_cast<float>(g_fadeOut.rect.left),
                       static_cast<float>(g_fadeOut.rect.top), g_fadeOut.alpha, 0, 0);
    --g_fadeOut.alpha;
    if (g_fadeOut.alpha <= 1) {
        g_fadeOut.step = 0;
        g_fadeOut.alpha = 31;
        g_Graph.blackMode = 0;
        readNext = 1;
        SkipLine(file);
    }
}

void script::DelayTime()
{
    if (g_delay.parsed == 0) {
        g_delay.ms = StrToLong(ArgUpTo(')'));
        g_delay.parsed = 1;
    }
    if (IntervalElapsed(&g_delay.start, &g_delay.armed, static_cast<uint32_t>(std::max(g_delay.ms, 0)))) {
        SkipLine(file);
        g_delay.start = 1;
        g_delay.armed = 0;
        g_delay.parsed = 0;
        return;
    }
    // Only time has to pass: such re-runs do not count as work done.
    timedWaitStep = 1;
    SeekFile(statementStart);
}

void script::MoveMap()
{
    MoveMapState& m = g_moveMap;
    if (m.parsed == 0) {
        m.dx = StrToFloat(ArgUpTo(','));
        m.dy = StrToFloat(ArgUpTo(','));
        m.startX = g_Role.x - g_Role.viewX;
        m.startY = g_Role.y - g_Role.viewY;
        m.speed = StrToFloat(ArgUpTo(')'));
        m.parsed = 1;
    }
    // A step of 0 or less would never reach the target: the axes end at once.
    if (m.speed > 0) {
        ScrollBy(m.dx, m.startX, g_Role.x, g_Role.viewX, g_MapPixelWidth - 593, m.speed, m.doneX);
        ScrollBy(m.dy, m.startY, g_Role.y, g_Role.viewY, g_MapPixelHeight - 321, m.speed, m.doneY);
    } else {
        m.doneX = 1;
        m.doneY = 1;
    }
    if (m.doneX == 1 && m.doneY == 1) {
        m.parsed = 0;
        m.doneX = 0;
        m.doneY = 0;
        readNext = 1;
        SkipLine(file);
    } else {
        readNext = 0;
    }
}

void script::MoveMapTo()
{
    MoveMapToState& m = g_moveMapTo;
    if (m.parsed == 0) {
        m.x = StrToInt(ArgUpTo(','));
        m.y = StrToInt(ArgUpTo(','));
        m.speed = StrToInt(ArgUpTo(')'));
        m.parsed = 1;
    }
    if (m.speed > 0) {
        ScrollTo(static_cast<float>(m.x), g_Role.x, g_Role.viewX, 296.5f, 593, g_MapPixelWidth,
                 static_cast<float>(m.speed), m.doneX);
        ScrollTo(static_cast<float>(m.y), g_Role.y, g_Role.viewY, 160.5f, 321, g_MapPixelHeight,
                 static_cast<float>(m.speed), m.doneY);
    } else {
        m.doneX = 1;
        m.doneY = 1;
    }
    if (m.doneX == 1 && m.doneY == 1) {
        m.parsed = 0;
        m.doneX = 0;
        m.doneY = 0;
        readNext = 1;
        SkipLine(file);
    } else {
        readNext = 0;
    }
}

void script::LockKeyMouse()
{
    g_Control.SetInputEnabled(0);
    SkipLine(file);
}

void script::UnlockKeyMouse()
{
    g_Control.SetInputEnabled(1);
    SkipLine(file);
}
