// Presentation and flow commands: sound and music, the veil, UI frames, the
// title, the start of play and the end of the program. The fades, the map
// scrolls, the timed wait, the key table and saving and loading still only
// read their arguments and go on with the next line.
#include "script.h"

#include "core/alert.h"
#include "core/globals.h"

void script::ExitGame()
{
    g_Quit = 1;
    SkipLine(file);
}

void script::SaveGame()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::LoadGame()
{
    ArgUpTo(')');
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
    ArgUpTo(',');
    ArgUpTo(')');
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
    g_Sound.ReleaseAllWaves();
    Reset();
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
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::FadeOut()
{
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::DelayTime()
{
    ArgUpTo(')');
    SkipLine(file);
}

void script::MoveMap()
{
    ArgUpTo(',');
    ArgUpTo(',');
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
}

void script::MoveMapTo()
{
    ArgUpTo(',');
    ArgUpTo(',');
    ArgUpTo(')');
    readNext = 1;
    SkipLine(file);
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
