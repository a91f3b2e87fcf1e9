// Save games: the slot's file as a whole, the script-state section and the
// current slot's line. A save is written to a temporary file beside the
// slot's file and renamed over it only once the whole write succeeded; a
// load reads and checks the whole file before anything in the game changes.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/alert.h"
#include "core/control.h"
#include "core/game_state.h"
#include "core/graph.h"
#include "core/sound.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "script.h"
#include "ui.h"
#include "world/magic.h"
#include "world/map.h"
#include "world/monster.h"
#include "world/npc.h"
#include "world/role.h"

// ---------------------------------------------------------------- script state
void script::Save(FILE* f)
{
    WriteInt(f, static_cast<int32_t>(staticNames.size()));
    for (size_t i = 0; i < staticNames.size(); ++i) {
        WriteString(f, i < staticTypes.size() ? staticTypes[i] : std::string("int"));
        WriteString(f, staticNames[i]);
        WriteInt(f, i < staticValues.size() ? staticValues[i] : 0);
    }
    WriteInt(f, clockEnabled);
    WriteInt(f, static_cast<int32_t>(clockScripts.size()));
    for (const std::string& name : clockScripts)
        WriteString(f, name);
}

bool script::Load(FILE* f, bool apply)
{
    int32_t count = 0;
    if (!ReadInt(f, &count) || count < 0 || count > kMaxSavedCount)
        return false;
    std::vector<std::string> types, names;
    std::vector<int32_t> values;
    for (int32_t i = 0; i < count; ++i) {
        std::string type, name;
        int32_t value = 0;
        if (!ReadString(f, type) || !ReadString(f, name) || !ReadInt(f, &value))
            return false;
        types.push_back(std::move(type));
        names.push_back(std::move(name));
        values.push_back(value);
    }
    int32_t enabled = 0;
    if (!ReadInt(f, &enabled) || !ReadInt(f, &count) || count < 0 || count > kMaxSavedCount)
        return false;
    std::vector<std::string> clocks;
    for (int32_t i = 0; i < count; ++i) {
        std::string name;
        if (!ReadString(f, name))
            return false;
        clocks.push_back(std::move(name));
    }
    if (apply) {
        staticTypes = std::move(types);
        staticNames = std::move(names);
        staticValues = std::move(values);
        clockEnabled = enabled;
        clockScripts = std::move(clocks);
    }
    return true;
}

// ---------------------------------------------------------------- the slot line
void ui::Save(FILE* f) { WriteInt(f, g_LoadSlot); }

bool ui::Load(FILE* f)
{
    int32_t slot = 0;
    if (!ReadInt(f, &slot))
        return false;
    g_LoadSlot = slot;
    return true;
}

std::string ui::SaveFileName(int32_t slot) { return "Save\\tev" + std::to_string(slot) + ".jsv"; }

namespace {

// Lists of actors read from a save may hold at most this many records.
constexpr int32_t kMaxSavedActors = 1 << 16;

// Everything a save file holds, read whole before anything is applied. The
// input and music sections are applied by their own readers at the offsets
// noted here, once the file has proved sound.
struct SaveContents {
    int32_t dialogOpen = 0;
    std::string mapName;
    int32_t slot = 1;
    long inputAt = 0;
    long scriptAt = 0;
    long musicAt = 0;
    Role role;
    int32_t talkNpcIndex = -1;
    std::vector<Npc> npcs;
    int32_t hitMonsterIndex = -1;
    std::vector<Monster> monsters;
};

bool ReadContents(FileHelper& h, FILE* f, SaveContents& c)
{
    if (!h.ReadInt(f, &c.dialogOpen) || !g_Map.LoadName(f, c.mapName) || !h.ReadInt(f, &c.slot))
        return false;
    c.inputAt = std::ftell(f);
    for (int i = 0; i < 256 + 12; ++i) {
        int32_t v = 0;
        if (!h.ReadInt(f, &v))
            return false;
    }
    c.scriptAt = std::ftell(f);
    if (!g_Script.Load(f, false))
        return false;
    c.musicAt = std::ftell(f);
    std::string music;
    if (!h.ReadString(f, music))
        return false;
    c.role = g_Role;
    if (!c.role.Load(f))
        return false;
    int32_t count = 0;
    if (!h.ReadInt(f, &count) || count < 0 || count > kMaxSavedActors || !h.ReadInt(f, &c.talkNpcIndex))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        Npc n;
        if (!n.Load(f))
            return false;
        c.npcs.push_back(std::move(n));
    }
    if (!h.ReadInt(f, &count) || count < 0 || count > kMaxSavedActors || !h.ReadInt(f, &c.hitMonsterIndex))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        Monster m;
        if (!m.Load(f))
            return false;
        c.monsters.push_back(std::move(m));
    }
    return true;
}

// The role's box at (x, y) lies wholly on the map.
bool BoxOnMap(const Role& r, float x, float y)
{
    return map::OnMap(TruncToInt(x + static_cast<float>(r.boxLeft)), TruncToInt(y + static_cast<float>(r.boxTop))) &&
           map::OnMap(TruncToInt(x + static_cast<float>(r.boxRight)), TruncToInt(y + static_cast<float>(r.boxBottom)));
}

// The role's box at (x, y) lies wholly on the map, on cells that are no
// obstacle.
bool CanStand(const Role& r, float x, float y)
{
    if (!BoxOnMap(r, x, y))
        return false;
    const int32_t left = TruncToInt(x + static_cast<float>(r.boxLeft)) / 32;
    const int32_t right = TruncToInt(x + static_cast<float>(r.boxRight)) / 32;
    const int32_t top = TruncToInt(y + static_cast<float>(r.boxTop)) / 32;
    const int32_t bottom = TruncToInt(y + static_cast<float>(r.boxBottom)) / 32;
    for (int32_t row = top; row <= bottom; ++row)
        for (int32_t column = left; column <= right; ++column)
            if (g_Map.GroundTile(g_Map.GetTileIndex(column * 32, row * 32)).obstacle == 1)
                return false;
    return true;
}

// The role at (x, y) can take a step in one of the four directions.
bool CanStep(Role& r, float x, float y)
{
    const float oldX = r.x, oldY = r.y;
    r.x = x;
    r.y = y;
    bool free = false;
    for (int32_t d = 0; d < 4 && !free; ++d)
        free = r.Blocked(d) == 0;
    r.x = oldX;
    r.y = oldY;
    return free;
}

// Puts the role's frame wholly onto the map, its width and box centred on
// the nearest cell where its box is clear of obstacles and it can take a
// step (with `anyCell`, the nearest cell of all when there is none), and
// places the view as a change of map places it. True when it moved.
bool MoveToNearestFreeCell(Role& r, bool anyCell)
{
    const float w = g_MapPixelWidth, h = g_MapPixelHeight;
    const int32_t columns = static_cast<int32_t>(w / 32), rows = static_cast<int32_t>(h / 32);
    const float maxX = std::max(w - static_cast<float>(r.width), 0.0f);
    const float maxY = std::max(h - static_cast<float>(r.height), 0.0f);
    float bestX = 0, bestY = 0, bestDistance = INFINITY;
    bool bestStands = false;
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < columns; ++column) {
            const float cx = static_cast<float>(column * 32 + 16), cy = static_cast<float>(row * 32 + 16);
            const float x = std::clamp(cx - static_cast<float>(r.width / 2), 0.0f, maxX);
            const float y = std::clamp(cy - static_cast<float>(int64_t{r.boxTop} + (int64_t{r.boxBottom} - r.boxTop) / 2),
                                       0.0f, maxY);
            const float distance = std::hypot(x - r.x, y - r.y);
            // Only a nearer cell can win, or the first one it can stand on.
            if (bestStands && distance >= bestDistance)
                continue;
            const bool stands = CanStand(r, x, y) && CanStep(r, x, y);
            if ((stands && !bestStands) || (stands == bestStands && distance < bestDistance))
                bestX = x, bestY = y, bestDistance = distance, bestStands = stands;
        }
    if (!bestStands && !anyCell)
        return false;
    r.x = bestX;
    r.y = bestY;
    r.viewX = r.x * 593.0f / w;
    r.viewY = r.y * 321.0f / h;
    return true;
}

// A save from before its map was made smaller may hold the role outside
// it, where the map's edge refuses every step: it comes onto the map.
bool BringOntoMap(Role& r) { return !BoxOnMap(r, r.x, r.y) && MoveToNearestFreeCell(r, true); }

// A save from before its map was edited may hold the role's box inside
// obstacles, where it can take no step: it comes out to a cell it can walk
// from. Only a load does this; a script may put the role on an obstacle on
// purpose, and that script is still there to move it again.
bool FreeFromObstacles(Role& r) { return !CanStep(r, r.x, r.y) && MoveToNearestFreeCell(r, false); }

// The game's saves live in its own folder: the part of a save's name (its
// folder, or with `fileToo` the save itself) that a link takes out of the
// game folder, in the game's spelling; empty when none does.
std::string PartLeadingOut(const std::string& name, const std::filesystem::path& path, bool fileToo)
{
    const plat::PathResolver& paths = plat::P().paths();
    if (paths.LeadsOut(path.parent_path()))
        return name.substr(0, name.rfind('\\'));
    if (fileToo && paths.LeadsOut(path))
        return name;
    return {};
}

std::string LeadsOutReason() { return plat::GBK("经链接通到游戏文件夹之外"); }

} // namespace

// ---------------------------------------------------------------- saving
int32_t ui::SaveGame(int32_t slot)
{
    plat::P().Trace("save write " + std::to_string(slot));
    const std::string name = SaveFileName(slot);
    plat::PathResolver& paths = plat::P().paths();
    const plat::ResolvedPath target = paths.ResolveForWrite(name);
    // The first failure's errno says why; 0 while all goes well.
    int err = 0;
    if (target.error != plat::PathError::None)
        err = target.error == plat::PathError::NotFound ? ENOENT : EINVAL;
    // The name the message gives: the temporary file's while it can't be
    // made (whatever stands at its name is the cause), the folder's when a
    // link takes it out of the game folder, else the slot's. Links at the
    // file names themselves are replaced, never written through.
    std::string failedName = name;
    std::string reason;
    if (err == 0) {
        const std::string out = PartLeadingOut(name, target.path, false);
        if (!out.empty()) {
            err = EXDEV;
            failedName = out;
            reason = LeadsOutReason();
        }
    }
    std::filesystem::path temp;
    if (err == 0) {
        temp = target.path;
        temp += ".tmp";
        saveFile = plat::CreateFresh(temp, &err);
        if (err != 0)
            failedName = name + ".tmp";
    }
    if (err == 0) {
        FILE* f = saveFile;
        // The talk itself is not saved: without it the flag would pause
        // the loaded world for good.
        WriteInt(f, g_Script.TalkShown() ? g_DialogOpen : 0);
        g_Map.Save(f);
        Save(f);
        // No script is in the file, so none runs after a load to lift a lock
        // it holds now (a talk's, or its own "LockKeyMouse"): a save made
        // while a script runs holds the switches on, or the loaded role could
        // never move.
        g_Control.Save(f, g_Script.running == 1);
        g_Script.Save(f);
        g_Sound.Save(f);
        g_Role.Save(f);
        WriteInt(f, static_cast<int32_t>(g_Npcs.size()));
        WriteInt(f, g_TalkNpcIndex);
        for (Npc& n : g_Npcs)
            n.Save(f);
        WriteInt(f, static_cast<int32_t>(g_Monsters.size()));
        WriteInt(f, g_hitMonsterIndex);
        for (Monster& m : g_Monsters)
            m.Save(f);
        // The data reaches the disk before the file takes the slot's name,
        // and the new name reaches it after: a power cut leaves the old
        // save or the new one, never an empty slot.
        errno = 0;
        if (std::ferror(f) != 0)
            err = errno != 0 ? errno : EIO;
        if (err == 0) {
            err = plat::SyncFile(f);
            plat::P().Trace("save sync file");
        }
        errno = 0;
        if (std::fclose(f) != 0 && err == 0)
            err = errno != 0 ? errno : EIO;
        saveFile = nullptr;
        std::error_code ec;
        if (err == 0) {
            std::filesystem::rename(temp, target.path, ec);
            if (ec)
                err = ec.value();
        }
        if (err == 0) {
            plat::SyncFolderOf(target.path);
            plat::P().Trace("save sync folder");
        } else {
            std::filesystem::remove(temp, ec);
        }
        paths.Invalidate();
    }
    if (err != 0) {
        if (reason.empty())
            reason = plat::SystemReasonGbk(err);
        Alert((plat::GBK("存档失败，原来的存档未改动：") + failedName + plat::GBK("（") + reason + plat::GBK("）")).c_str());
        return 0;
    }
    LoadFrame("saved_frame");
    return 1;
}

// ---------------------------------------------------------------- loading
int32_t ui::LoadGame(int32_t slot)
{
    plat::P().Trace("save load " + std::to_string(slot));
    const bool wasRunning = g_Script.running == 1;
    const std::string runningName = g_Script.scriptName;
    const int32_t runningAt = wasRunning ? g_Script.TellFile() : 0;

    loadRefused = 0;
    const std::string name = SaveFileName(slot);
    if (!FileExists(name))
        return 0;
    // A save is read only from where the game writes it.
    const std::string out = PartLeadingOut(name, plat::P().paths().Resolve(name).path, true);
    if (!out.empty()) {
        loadRefused = 1;
        Alert((plat::GBK("未读取存档：") + out + plat::GBK("（") + LeadsOutReason() + plat::GBK("）")).c_str());
        return 0;
    }
    saveFile = OpenFile(name, "rb");
    if (!saveFile)
        return 0;
    FILE* f = saveFile;
    if (!WithinCap(f, name, DataKind::Save)) {
        std::fclose(f);
        saveFile = nullptr;
        loadRefused = 1;
        return 0;
    }
    SaveContents c;
    if (!ReadContents(*this, f, c)) {
        std::fclose(f);
        saveFile = nullptr;
        loadRefused = 1;
        Alert((plat::GBK("存档文件已损坏，未读取：") + name).c_str());
        return 0;
    }
    // The saved map must load before anything changes: from the title or at
    // start-up play begins on it, in game it replaces the current one.
    const bool startsPlay = g_GameState == 1 || g_GameState == 2;
    const bool mapChanges = g_GameState == 1 || c.mapName != g_Map.name || (startsPlay && !g_Map.loaded);
    MapData mapData;
    if (mapChanges && !g_Map.LoadMap(c.mapName, &mapData)) {
        std::fclose(f);
        saveFile = nullptr;
        loadRefused = 1;
        Alert((plat::GBK("存档中的地图无法读取，未读取存档：") + c.mapName + " (" + name + ")").c_str());
        return 0;
    }

    LoadFrame("loading_frame");
    g_Graph.PaintUIFrames();
    g_Graph.Present();
    g_Graph.blackMode = 0;
    g_Graph.blackAlpha = -1;
    if (g_GameState == 1) {
        g_Map.name = "NULL";
        UnloadFrame("title_frame");
    }
    if (startsPlay) {
        LoadFrame("main_frame");
        // The running script ends as at its "EOF", and so does every script
        // that called it: "MagicKindList" can only run alone. The noted
        // script then goes on where it was, still returning to its callers.
        const std::vector<ScriptFileInfo> callers = g_Script.callStack;
        if (g_Script.running == 1)
            g_Script.EndRun();
        MagicKindsOfEndedGame();
        g_Script.RunToEnd("MagicKindList");
        if (wasRunning && g_Script.OpenScript(runningName) == 1) {
            g_Script.SeekFile(runningAt);
            g_Script.callStack = callers;
        }
        g_GameState = 3;
        g_Paused = 0;
    }

    // The file proved sound: apply it in its own order. The map comes first
    // because a change of map resets the role and the actor lists.
    // A flag saved while a talk was shown (by an older save) would pause the
    // world with no talk to end it: it holds only while a talk is live.
    g_DialogOpen = g_Script.TalkShown() ? c.dialogOpen : 0;
    if (mapChanges)
        g_Map.UseMap(c.mapName, std::move(mapData));
    g_LoadSlot = c.slot;
    std::fseek(f, c.inputAt, SEEK_SET);
    g_Control.Load(f);
    std::fseek(f, c.scriptAt, SEEK_SET);
    g_Script.Load(f);
    std::fseek(f, c.musicAt, SEEK_SET);
    g_Sound.Load(f);
    g_Role = c.role;
    if (g_Map.loaded && BringOntoMap(g_Role))
        Alert((plat::GBK("存档中主角的位置在地图之外，已移到地图上最近的格子：") + name + " (" + c.mapName + ")")
                  .c_str());
    else if (g_Map.loaded && FreeFromObstacles(g_Role))
        Alert((plat::GBK("存档中主角被障碍围住，无法走动，已移到最近能走动的格子：") + name + " (" + c.mapName + ")")
                  .c_str());
    g_TalkNpcIndex = c.talkNpcIndex;
    g_Npcs = std::move(c.npcs);
    g_hitMonsterIndex = c.hitMonsterIndex;
    g_Monsters = std::move(c.monsters);
    g_Magics.clear();
    // A path walked on another map would lead off this one: it is dropped.
    const int32_t cells = g_Map.loaded ? g_Map.tileCount : 0;
    auto fitPath = [cells](People& p) {
        if (!p.PathFitsMap(cells)) {
            p.path.clear();
            p.pathStep = 0;
        }
    };
    fitPath(g_Role);
    for (Npc& n : g_Npcs)
        fitPath(n);
    for (Monster& m : g_Monsters)
        fitPath(m);

    std::fclose(f);
    saveFile = nullptr;
    UnloadFrame("loading_frame");
    return 1;
}
